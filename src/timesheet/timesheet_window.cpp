#include "timesheet/timesheet_window.h"

#include "report_engine/preview.h"
#include "timesheet/printed_timesheet.h"
#include "timesheet/timesheet_workbook.h"

#include "db/data_module.h"
#include "domain/timesheet_rebuild.h"
#include "excel/excel_link.h"
#include "ui/busy_cursor.h"
#include "ui/db_grid.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tabel::timesheet {
namespace {

const QColor red(255, 0, 0);
const QColor silver(192, 192, 192);
const QColor above8(192, 220, 192);
const QColor totals(225, 228, 255);
// The layout's 20 pixels do not hold a bold "10" at this font size: the day columns are wider.
constexpr int dayWidth = 25;

std::vector<ui::GridColumn> columns()
{
    std::vector<ui::GridColumn> c;
    c.push_back({ u"fio"_s, u"Фамилия И. О."_s, 208 });
    for (int d = 1; d <= 31; ++d)
        c.push_back({ u"d"_s + QString::number(d), QString::number(d), dayWidth, Qt::AlignCenter });
    c.push_back({ u"summ"_s, u"Итого"_s, 47, Qt::AlignCenter });
    return c;
}

} // namespace

TForm19::TForm19(
    ui::Prompter& prompter, db::TDataModule6& dm, excel::ExcelLink& excel, TForm15& printed, QWidget* parent)
    : ui::Form(prompter, parent)
    , PageControl1(new QTabWidget(this))
    , DBGrid1(new ui::DBGrid)
    , DBGrid2(new ui::DBGrid)
    , DBGrid3(new ui::DBGrid)
    , Button1(new QPushButton(u"Перестроить"_s))
    , PB(new QProgressBar)
    , Button2(new QPushButton(u"Excel"_s))
    , Button6(new QPushButton(u"Печать"_s, this))
    , ComboBox1(new QComboBox(this))
    , ComboBox2(new QComboBox(this))
    , Button5(new QPushButton(u"Обновить"_s, this))
    , Button4(new QPushButton(u"Выход"_s, this))
    , dm_(dm)
    , excel_(excel)
    , printed_(printed)
{
    setWindowTitle(u"Табель по времени"_s);
    db::Query* queries[] = { &dm.H_Tabel_1, &dm.H_Tabel_2, &dm.H_Tabel_3 };
    ui::DBGrid* grids[] = { DBGrid1, DBGrid2, DBGrid3 };
    for (int k = 0; k < 3; ++k) {
        ui::DBGrid* grid = grids[k];
        grid->horizontalHeader()->setMinimumSectionSize(16); // narrow day columns
        grid->setColumns(columns());
        grid->setDataSet(queries[k]);
        grid->setCellHook(
            [this, grid](int row, int column, ui::CellStyle& style) { styleCell(row, column, grid, style); });
        auto* tab = new QWidget;
        auto* layout = new QVBoxLayout(tab);
        layout->addWidget(grid, 1);
        if (k == 0) {
            auto* row = new QHBoxLayout;
            row->addWidget(Button1);
            row->addWidget(PB, 1);
            row->addWidget(Button2);
            layout->addLayout(row);
        }
        PageControl1->addTab(tab, u"Смена №"_s + QString::number(k + 1));
    }
    PB->setMinimum(1);
    PB->setValue(1);
    PB->hide();
    ComboBox1->addItems({ u"Январь"_s, u"Февраль"_s, u"Март"_s, u"Апрель"_s, u"Май"_s, u"Июнь"_s, u"Июль"_s,
        u"Август"_s, u"Сентябрь"_s, u"Октябрь"_s, u"Ноябрь"_s, u"Декабрь"_s });
    // "2007" to the year after this one: the current year can always be chosen
    for (int y = 2007; y <= QDate::currentDate().year() + 1; ++y)
        ComboBox2->addItem(QString::number(y));
    ComboBox2->setCurrentIndex(-1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Button6);
    bottom->addStretch(1);
    bottom->addWidget(ComboBox1);
    bottom->addWidget(ComboBox2);
    bottom->addWidget(Button5);
    bottom->addWidget(Button4);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(bottom);
    setFixedSize(208 + 31 * dayWidth + 47 + 70, 560);

    on(ComboBox1, &QComboBox::currentIndexChanged, &TForm19::ComboBox1Change);
    on(ComboBox2, &QComboBox::currentIndexChanged, &TForm19::ComboBox1Change);
    on(Button5, &QPushButton::clicked, &TForm19::Button5Click);
    on(Button1, &QPushButton::clicked, &TForm19::Button1Click);
    on(Button2, &QPushButton::clicked, &TForm19::Button2Click);
    on(Button6, &QPushButton::clicked, &TForm19::Button6Click);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
}

int TForm19::monthNumber() const
{
    return ComboBox1->currentIndex() + 1;
}

int TForm19::yearNumber() const
{
    return ComboBox2->currentText().toInt();
}

void TForm19::showForMonthOf(const QDate& day)
{
    const QSignalBlocker months(ComboBox1);
    const QSignalBlocker years(ComboBox2);
    ComboBox1->setCurrentIndex(day.month() - 1);
    ComboBox2->setCurrentIndex(0);
    const QString year = QString::number(day.year());
    while (ComboBox2->currentText() != year && ComboBox2->currentIndex() < ComboBox2->count() - 1)
        ComboBox2->setCurrentIndex(ComboBox2->currentIndex() + 1); // never past the end of the list
    ComboBox1Change();
    prompter().exec(*this);
    dm_.H_Tabel_1.close();
    dm_.H_Tabel_2.close();
    dm_.H_Tabel_3.close();
}

void TForm19::FormActivate()
{
    Button2->setText(u"Excel"_s);
}

void TForm19::ComboBox1Change()
{
    if (ComboBox2->currentIndex() < 0)
        return; // no year chosen yet
    const QDate first(yearNumber(), monthNumber(), 1);
    days_ = first.daysInMonth();
    db::Query* queries[] = { &dm_.H_Tabel_1, &dm_.H_Tabel_2, &dm_.H_Tabel_3 };
    ui::DBGrid* grids[] = { DBGrid1, DBGrid2, DBGrid3 };
    for (int k = 0; k < 3; ++k) {
        db::Query& q = *queries[k];
        q.close();
        q.setParam(u"mnth"_s, monthNumber());
        q.setParam(u"yea"_s, yearNumber());
        q.open();
        for (int n = 1; n <= 31; ++n) {
            const bool weekend = n <= days_ && first.addDays(n - 1).dayOfWeek() >= 6;
            grids[k]->gridModel().setTitleColor(n, n > days_ ? silver : weekend ? red : QColor());
        }
    }
}

void TForm19::styleCell(int row, int column, ui::DBGrid* grid, ui::CellStyle& style) const
{
    const int last = 32;
    if (column == last) { // "Итого"
        style.font.setBold(true);
        if (!style.selected)
            style.background = totals;
        return;
    }
    if (column < 1 || column > 31 || style.selected)
        return; // the name, and the selected row, are drawn plainly
    const QDate first(yearNumber(), monthNumber(), 1);
    const bool past = column > days_; // a day after the month's end: its values hidden
    const bool weekend = !past && first.isValid() && first.addDays(column - 1).dayOfWeek() >= 6;
    const QColor background = grid->palette().color(QPalette::Base);
    if (weekend)
        style.text = red;
    if (past)
        style.text = background;
    const int hours = grid->gridModel().cellValue(row, column).toInt();
    if (hours == 0) {
        if (!weekend)
            style.text = silver;
        if (past)
            style.text = background;
    } else if (hours == 8) {
        style.font.setBold(true);
        if (!weekend) // unless red: the window-text colour, even after the month's end
            style.text = grid->palette().color(QPalette::Text);
    } else if (hours > 8) {
        style.font.setBold(true);
        style.background = above8;
    }
}

void TForm19::Button5Click()
{
    for (db::Query* q : { &dm_.H_Tabel_1, &dm_.H_Tabel_2, &dm_.H_Tabel_3 })
        q->close();
    for (db::Query* q : { &dm_.H_Tabel_1, &dm_.H_Tabel_2, &dm_.H_Tabel_3 })
        q->open();
}

void TForm19::Button1Click()
{
    const int month = monthNumber();
    const int year = yearNumber();
    const int days = QDate(year, month, 1).daysInMonth();
    PB->setMaximum(days);
    PB->setValue(1);
    PB->show();
    struct Hide {
        QProgressBar* pb;
        ~Hide() { pb->hide(); }
    } hide { PB };
    const auto reopen = [this] {
        for (db::Query* q : { &dm_.H_Tabel_1, &dm_.H_Tabel_2, &dm_.H_Tabel_3 })
            q->open();
    };
    try {
        rebuildMonth(dm_, month, year, [this](int day) {
            PB->setValue(day);
            PB->repaint();
        });
    } catch (...) {
        reopen(); // the month was rolled back as it was: show it
        throw;
    }
    reopen();
}

void TForm19::Button2Click()
{
    const ui::BusyCursor busy;
    writeTimesheetWorkbook(
        excel_, printed_, monthNumber(), yearNumber(), ComboBox1->currentText(), [this](int written, int rows) {
            Button2->setText(u"Excel ("_s + QString::number(written) + u" из "_s + QString::number(rows) + u")"_s);
            // the caption shows the progress; clicks wait until the export is done
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
}

void TForm19::Button6Click()
{
    printed_.QRLabel33 = ComboBox1->currentText() + u" "_s + ComboBox2->currentText() + u" г."_s;
    const std::vector<report::Page> pages = printed_.prepare(monthNumber(), yearNumber());
    report::preview(prompter(), printed_.definition(), pages, windowTitle(), this);
    printed_.H_Tabel.close();
}

} // namespace tabel::timesheet
