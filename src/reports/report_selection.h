#pragma once
// TForm18: the period and product kind for the five printed reports and the product summary.
#include "db/query.h"
#include "ui/form.h"

#include <memory>

class QDateEdit;
class QPushButton;
class QRadioButton;

namespace tabel::db {
class TDataModule6;
}
namespace tabel::excel {
class ExcelLink;
}

namespace tabel::reports {

class PeriodReport;

class TForm18 : public ui::Form {
    Q_OBJECT
public:
    TForm18(ui::Prompter& prompter, db::TDataModule6& dm, excel::ExcelLink& excel, QWidget* parent);
    ~TForm18() override;

    // The journal's menu: the month before today's, then the window.
    void showForPreviousMonth(const QDate& today);

    QRadioButton* RadioGroup1[3]; // "Все", "Готовая продукция", "Заготовки"
    QDateEdit* DTPicker1;
    QDateEdit* DTPicker2;
    QPushButton* Button4;
    QPushButton* Button2;
    QPushButton* Button1;
    QPushButton* Button3;
    QPushButton* Button7;
    QPushButton* Button6;
    QPushButton* Button5;
    db::Query XLS_Rep;

    int productKind() const;
    // The five report forms, in the buttons' order: by workers, by products, detailed by
    // workers, by products, by requisitions.
    PeriodReport& form(int index) const { return *forms_[index]; }

    void runReport(int index);
    void Button6Click();

private:
    db::TDataModule6& dm_;
    excel::ExcelLink& excel_;
    std::unique_ptr<PeriodReport> forms_[5];
};

// The period's product summary into a workbook; progress(written, rows) after each row. False
// when no workbook could be opened.
bool writeProductSummary(excel::ExcelLink& excel, db::Query& summary, const QDate& from, const QDate& to, int kind,
    const std::function<void(int written, int rows)>& progress = {});

// Title of a report over a period.
QString reportTitle(int index, const QDate& from, const QDate& to);

} // namespace tabel::reports
