#include "reports/report_selection.h"

#include "core/dates.h"
#include "core/numbers.h"
#include "db/data_module.h"
#include "db/statements.h"
#include "excel/excel_link.h"
#include "report_engine/preview.h"
#include "reports/period_reports.h"
#include "ui/busy_cursor.h"
#include "ui/date_box.h"
#include "ui/fonts.h"

#include <algorithm>

#include <QApplication>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tabel::reports {
namespace {

const char16_t* const prefixes[5] = {
    u"   Отчет по рабочим за период с ",
    u"   Отчет по продукции за период с ",
    u"   Детальный отчет по рабочим за период с ",
    u"   Детальный отчет по продукции за период с ",
    u"   Детальный отчет по заявкам за период с ",
};

} // namespace

QString reportTitle(int index, const QDate& from, const QDate& to)
{
    return QString::fromUtf16(prefixes[index]) + formatDate(from) + u" по "_s + formatDate(to);
}

TForm18::TForm18(ui::Prompter& prompter, db::TDataModule6& dm, excel::ExcelLink& excel, QWidget* parent)
    : ui::Form(prompter, parent)
    , DTPicker1(new QDateEdit(this))
    , DTPicker2(new QDateEdit(this))
    , Button4(new QPushButton(u"Отчет по рабочим"_s, this))
    , Button2(new QPushButton(u"Отчет по продукции"_s, this))
    , Button1(new QPushButton(u"Детальный отчет по рабочим"_s, this))
    , Button3(new QPushButton(u"Детальный отчет по продукции"_s, this))
    , Button7(new QPushButton(u"Детальный отчет по заявкам"_s, this))
    , Button6(new QPushButton(u"Excel (0 из 0)"_s, this))
    , Button5(new QPushButton(u"Выход"_s, this))
    , XLS_Rep(dm.ADO_DB)
    , dm_(dm)
    , excel_(excel)
{
    setWindowTitle(u"Отчеты"_s);
    XLS_Rep.setSql(db::statements::productSummary());
    for (int i = 0; i < 5; ++i)
        forms_[i] = makeReport(i, dm);

    auto* kinds = new QGroupBox(u"Вид продукции"_s, this);
    auto* kindsLayout = new QVBoxLayout(kinds);
    const QString names[3] = { u"Все"_s, u"Готовая продукция"_s, u"Заготовки"_s };
    for (int i = 0; i < 3; ++i) {
        RadioGroup1[i] = new QRadioButton(names[i], kinds);
        kindsLayout->addWidget(RadioGroup1[i]);
    }
    ui::setBoldTitle(kinds);
    RadioGroup1[0]->setChecked(true);
    auto* period = new QGroupBox(u"Период отбора"_s, this);
    auto* periodLayout = new QGridLayout(period);
    for (QDateEdit* d : { DTPicker1, DTPicker2 })
        ui::makeDateBox(d);
    periodLayout->addWidget(new QLabel(u"с"_s, period), 0, 0);
    periodLayout->addWidget(DTPicker1, 0, 1);
    periodLayout->addWidget(new QLabel(u"по"_s, period), 1, 0);
    periodLayout->addWidget(DTPicker2, 1, 1);
    ui::setBoldTitle(period);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(kinds);
    layout->addWidget(period);
    for (QPushButton* b : { Button4, Button2, Button1, Button3, Button7, Button6, Button5 })
        layout->addWidget(b);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // One column 180 wide, or as wide as its widest control where the fonts need more.
    const QList<QWidget*> column = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    int width = 180;
    for (const QWidget* w : column)
        width = std::max(width, w->sizeHint().width());
    for (QWidget* w : column)
        w->setFixedWidth(width);

    QPushButton* reportButtons[5] = { Button4, Button2, Button1, Button3, Button7 };
    for (int i = 0; i < 5; ++i)
        on(reportButtons[i], &QPushButton::clicked, [this, i] { runReport(i); });
    on(Button6, &QPushButton::clicked, &TForm18::Button6Click);
    connect(Button5, &QPushButton::clicked, this, &QDialog::reject);
}

TForm18::~TForm18() = default;

int TForm18::productKind() const
{
    for (int i = 0; i < 3; ++i)
        if (RadioGroup1[i]->isChecked())
            return i;
    return 0;
}

void TForm18::showForPreviousMonth(const QDate& today)
{
    const QDate thisMonth(today.year(), today.month(), 1);
    DTPicker1->setDate(thisMonth.addMonths(-1));
    DTPicker2->setDate(thisMonth);
    prompter().exec(*this);
}

void TForm18::runReport(int index)
{
    PeriodReport& report = *forms_[index];
    const QDate from = DTPicker1->date();
    const QDate to = DTPicker2->date();
    report.QRLabel1 = reportTitle(index, from, to);
    std::vector<report::Page> pages;
    {
        const ui::BusyCursor busy;
        pages = report.prepare(from, to, productKind());
    }
    report::preview(prompter(), report.definition(), pages, report.QRLabel1.trimmed(), this);
    report.query.close();
}

bool writeProductSummary(excel::ExcelLink& excel, db::Query& summary, const QDate& from, const QDate& to, int kind,
    const std::function<void(int written, int rows)>& progress)
{
    summary.close();
    summary.setParam(u"data1"_s, from);
    summary.setParam(u"data2"_s, to);
    if (kind == 0) {
        summary.setFiltered(false);
    } else {
        summary.setFilter(kind == 1 ? u"naimen=0"_s : u"naimen=1"_s);
        summary.setFiltered(true);
    }
    summary.open();
    struct Close {
        db::Query& q;
        ~Close() { q.close(); }
    } close { summary };
    if (excel.OpenWorkbook(QString()) == -1)
        return false;
    const int rows = summary.recordCount();
    if (progress)
        progress(0, rows);
    const QStringList titles = { u"Наименование"_s, u"Операция"_s, u"Вид продукции"_s, u"Коробки"_s, u"Кол-во"_s };
    for (int c = 0; c < titles.size(); ++c)
        excel.WriteCell(1, c + 1, 1, titles[c], false, false, false);
    for (int r = 0; r < rows; ++r) {
        const auto field = [&](const QString& name) { return summary.value(r, summary.fieldIndex(name)); };
        const int row = r + 2;
        const qint64 colour = field(u"color"_s).toInt64();
        QString operation = field(u"vid"_s).toText();
        if (colour == 1)
            operation += u" (грунт)"_s;
        else if (colour > 1)
            operation += u" (цвет: "_s + QString::number(colour) + u")"_s;
        excel.WriteCell(1, 1, row, field(u"nom"_s).toText(), false, false, false);
        excel.WriteCell(1, 2, row, operation, false, false, false);
        excel.WriteCell(1, 3, row, kindText(field(u"naimen"_s)), false, false, false);
        excel.WriteCell(1, 4, row, field(u"mass"_s).isNull() ? QString() : formatGeneral(field(u"mass"_s).toDouble()),
            false, false, false);
        excel.WriteCell(1, 5, row, QString::number(static_cast<qint64>(roundHalfEven(field(u"kolvo"_s).toDouble(), 0))),
            false, false, false);
        if (progress)
            progress(r + 1, rows);
    }
    excel.SetVisible(true);
    return true;
}

void TForm18::Button6Click()
{
    const ui::BusyCursor busy;
    writeProductSummary(
        excel_, XLS_Rep, DTPicker1->date(), DTPicker2->date(), productKind(), [this](int written, int rows) {
            Button6->setText(u"Excel ("_s + QString::number(written) + u" из "_s + QString::number(rows) + u")"_s);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
}

} // namespace tabel::reports
