#pragma once
// TForm11: the production record editor. The journal sets it up for adding, changing or viewing a
// record and shows it; the editor ties the record to a requisition line (requisition or goods
// mode), takes the worker and the operation from their lists, works out price and sum, saves the
// record with its hours cell and then leads to the record's materials and work team.
#include "catalog/requisition_context.h"
#include "core/ids.h"
#include "db/query.h"
#include "domain/production_records.h"
#include "ui/form.h"

#include <optional>

class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tabel::db {
class TDataModule6;
}
namespace tabel::ui {
class DBGrid;
class LookupCombo;
} // namespace tabel::ui
namespace tabel::catalog {
class TForm4;
class TForm5;
} // namespace tabel::catalog
namespace tabel::app {
class TForm1;
}

namespace tabel::entry {

class TForm24;

class TForm11 : public ui::Form, public catalog::RequisitionContext {
    Q_OBJECT
public:
    TForm11(ui::Prompter& prompter, db::TDataModule6& dm, app::TForm1& journal, catalog::TForm5& workers,
        catalog::TForm4& operations, TForm24& materials, QWidget* parent);

    int tag() const { return tag_; }

    // The record values the save writes.
    struct Values {
        int worker = 0;
        Id person = 0;
        Id operation = 0;
        Id product = 0;
        std::optional<double> basePrice; // known after an operation was chosen
        double finalPrice = 0;
        Id record = 0;
        Id goods = 0;
        Id colour = 0;
        Id requisition = 0;
        Id line = 0;
        double required = 0;
    };
    const Values& values() const { return v_; }

    // Mode set-ups, done by the journal before it shows the editor; `row` is the journal query on
    // the selected record.
    void setUpAdd(const QDate& day);
    void setUpChange(const db::DataSet& row);
    void setUpView(const db::DataSet& row);
    // What follows a showing in change and view mode.
    void afterChange();
    void afterView();

    // The requisition context the operation list reads.
    bool hasRequisition() const override;
    std::optional<Id> goodsId() const override;

    QGroupBox* GroupBox1;
    QLabel* Label13;
    ui::LookupCombo* LCB_id_doc;
    QLabel* Label14;
    ui::LookupCombo* LCB_id_doc_item;
    QLineEdit* Edit1;
    QPushButton* Button3;
    QLineEdit* Edit2;
    QPushButton* Button4;
    QLineEdit* Edit3;
    QLineEdit* Edit6;
    QDateEdit* DTimeP;
    QLineEdit* Edit4;
    QLineEdit* Edit7;
    QLineEdit* Edit8;
    QLineEdit* Edit5;
    QGroupBox* RG1;
    QRadioButton* RG1Requisition; // item 0 "По ЗВП"
    QRadioButton* RG1Goods; // item 1 "По ТМЦ "
    QLabel* Label10;
    QPushButton* Button1;
    ui::DBGrid* DBGrid1;
    QPushButton* Button5;
    QPushButton* Button6;
    QLabel* Label6;
    ui::DBGrid* DBGrid2;
    QPushButton* Button7;
    QPushButton* Button8;
    QPushButton* Button9;
    QPushButton* Button2;

    // The editor's lists: requisitions and their lines, goods and the lines that need them; the
    // record's material rows and its work team.
    db::Query v_mnf_requisition;
    db::Query v_mnf_requisition_item;
    db::Query id_gds;
    db::Query get_doc_by_gds;
    db::Query smena_gds_use;
    db::Query fio_smena_gds;

    int RG1ItemIndex() const;
    void RG1Click();
    void LCB_id_docCloseUp();
    void LCB_id_doc_itemCloseUp();
    void Edit3Exit();
    void Edit4Exit();
    void Edit6Exit();
    void Button3Click();
    void Button4Click();
    void Button1Click();
    void Button2Click();
    void FormClose();
    // The record's materials and its work team.
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();

    void done(int result) override;
    // Escape closes the editor as "Выход" does.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void layOut();
    void fillFromRow(const db::DataSet& row);
    void defaultRequisitionStatements();
    void forgetWorkerAndOperation();
    ProductionRecord record() const;
    void reopenJournal(bool onNewRecord);

    db::TDataModule6& dm_;
    app::TForm1& journal_;
    catalog::TForm5& workers_;
    catalog::TForm4& operations_;
    TForm24& materials_;
    int tag_ = 0;
    Values v_;
};

} // namespace tabel::entry
