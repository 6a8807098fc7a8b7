#pragma once
// TForm22: the norm rows (norm, piece price, bonus) of one operation, edited in place. Every
// changed cell is written as soon as it is left; "Сохранить" (also Enter and Escape) writes what
// is still being typed and re-reads the operation list so its lowest price and norm count follow.
#include "core/ids.h"
#include "db/table.h"
#include "ui/form.h"

class QPushButton;

namespace tabel::db {
class TDataModule6;
}
namespace tabel::ui {
class DBGrid;
}

namespace tabel::catalog {

class TForm22 : public ui::Form {
    Q_OBJECT
public:
    TForm22(ui::Prompter& prompter, db::TDataModule6& dm, QWidget* parent);

    // Reads the norm rows of the operation and shows the editor modally.
    void showFor(Id operationId);

    db::Table norm;
    ui::DBGrid* DBGrid1;
    QPushButton* Button1;
    QPushButton* Button2;

    // A typed cell is left: the row is written (a new row with the operation's id) and re-read.
    void DBGrid1ColExit(int row, int column, const QString& text);
    void Button1Click();
    void Button2Click();

    // Escape presses "Сохранить".
    void reject() override;

private:
    void reread(const QVariant& keepId);

    db::TDataModule6& dm_;
    Id operationId_ = 0;
};

} // namespace tabel::catalog
