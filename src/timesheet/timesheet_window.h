#pragma once
// TForm19: the monthly hours timesheet, one tab per shift, rebuilt from the records on demand and
// written to a spreadsheet.
#include "db/query.h"
#include "ui/form.h"

class QComboBox;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace tabel::db {
class TDataModule6;
}
namespace tabel::excel {
class ExcelLink;
}
namespace tabel::ui {
class DBGrid;
struct CellStyle;
} // namespace tabel::ui

namespace tabel::timesheet {

class TForm15;

class TForm19 : public ui::Form {
    Q_OBJECT
public:
    TForm19(ui::Prompter& prompter, db::TDataModule6& dm, excel::ExcelLink& excel, TForm15& printed, QWidget* parent);

    // What the journal's menu does: the month and year of its date, then the window.
    void showForMonthOf(const QDate& day);

    QTabWidget* PageControl1;
    ui::DBGrid* DBGrid1;
    ui::DBGrid* DBGrid2;
    ui::DBGrid* DBGrid3;
    QPushButton* Button1;
    QProgressBar* PB;
    QPushButton* Button2;
    QPushButton* Button6;
    QComboBox* ComboBox1;
    QComboBox* ComboBox2;
    QPushButton* Button5;
    QPushButton* Button4;

    int monthNumber() const;
    int yearNumber() const;

    void FormActivate() override;
    void ComboBox1Change();
    void Button5Click();
    void Button1Click();
    void Button2Click();
    void Button6Click();

private:
    void styleCell(int row, int column, ui::DBGrid* grid, ui::CellStyle& style) const;

    db::TDataModule6& dm_;
    excel::ExcelLink& excel_;
    TForm15& printed_;
    int days_ = 31; // days of the month shown
};

} // namespace tabel::timesheet
