#pragma once
// TForm9: adds (tag 1) or renames (tag 2) one operation type of the data module's Vid_oper.
#include "ui/form.h"

class QLineEdit;
class QPushButton;

namespace tabel::db {
class TDataModule6;
}

namespace tabel::catalog {

class TForm9 : public ui::Form {
    Q_OBJECT
public:
    TForm9(ui::Prompter& prompter, db::TDataModule6& dm, QWidget* parent);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }

    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;

    void FormActivate() override;
    void Button1Click();

private:
    db::TDataModule6& dm_;
    int tag_ = 0;
};

} // namespace tabel::catalog
