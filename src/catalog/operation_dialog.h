#pragma once
// TForm10: creates an operation (tag 1) with its first price, or changes the product, type and
// kind of the operation current in the list (tag 2).
#include "core/ids.h"
#include "ui/form.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tabel::db {
class TDataModule6;
}

namespace tabel::catalog {

class TForm3;
class TForm8;

class TForm10 : public ui::Form {
    Q_OBJECT
public:
    TForm10(ui::Prompter& prompter, db::TDataModule6& dm, TForm3& products, TForm8& types, QWidget* parent);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    Id productId = 0;
    Id typeId = 0;

    QLineEdit* Edit1;
    QPushButton* Button3;
    QLineEdit* Edit2;
    QPushButton* Button4;
    QComboBox* ComboBox1;
    QLineEdit* Edit3;
    QPushButton* Button1;
    QPushButton* Button2;

    void FormActivate() override;
    void Button1Click();
    void Button3Click();
    void Button4Click();

private:
    db::TDataModule6& dm_;
    TForm3& products_;
    TForm8& types_;
    int tag_ = 0;
};

} // namespace tabel::catalog
