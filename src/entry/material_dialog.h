#pragma once
// TForm24: one material row of a record. It offers the materials the server allows for the
// record, proposes the rest of the consumption norm, and keeps what is recorded within the norm
// and within what is free or reserved for the record's requisition.
#include "core/ids.h"
#include "db/query.h"
#include "ui/form.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tabel::db {
class TDataModule6;
}
namespace tabel::ui {
class LookupCombo;
}

namespace tabel::entry {

class TForm24 : public ui::Form {
    Q_OBJECT
public:
    TForm24(ui::Prompter& prompter, db::TDataModule6& dm, QWidget* parent);

    // What the dialog reads from the record editor.
    struct Record {
        Id id = 0;
        Id product = 0;
        QString quantity; // the editor's quantity box
    };
    void setRecord(const Record& record) { record_ = record; }

    ui::LookupCombo* LCB_id_gds_use;
    QLineEdit* Edit7;
    QLabel* DBText1;
    QLabel* DBText2;
    QPushButton* Button1;
    QPushButton* Button2;

    db::Query v_cmn_gds_in;
    db::Query v_id_cons_use;
    db::Query v_id_cons_use1;
    db::Query operation;
    db::Query sum_smena_gds_use;

    void FormActivate() override;
    void LCB_id_gds_useCloseUp();
    void Button1Click();
    void FormClose();
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    double usedQuantity();
    void showRemainders();

    db::TDataModule6& dm_;
    Record record_;
    Id material_ = 0;
    double norm_ = 0;
};

} // namespace tabel::entry
