#include "timesheet/printed_timesheet.h"

#include "db/data_module.h"
#include "db/statements.h"

using namespace Qt::StringLiterals;

namespace tabel::timesheet {
namespace {

constexpr double nameWidth = 55;
constexpr double dayWidth = 6.4;
constexpr double totalWidth = 20;

double dayLeft(int day)
{
    return nameWidth + (day - 1) * dayWidth;
}

} // namespace

TForm15::TForm15(db::TDataModule6& dm)
    : H_Tabel(dm.ADO_DB)
{
    H_Tabel.setSql(db::statements::monthTotals());
    using report::Band;
    using report::Item;
    const report::Font bold { report::printFamily, 10, true };
    definition_.orientation = QPageLayout::Landscape;
    definition_.previewWholePage = true;
    definition_.margins = QMarginsF(10, 10, 10, 10);

    Band header;
    header.kind = Band::Kind::PageHeader;
    header.height = 7;
    header.frame = report::Top | report::Bottom;
    header.items.push_back(Item::computed(
        QRectF(0, 0, nameWidth, 7), [this](const report::Context&) { return QVariant(QRLabel33); }, bold));
    for (int d = 1; d <= 31; ++d) {
        Item day = Item::label(QRectF(dayLeft(d), 0, dayWidth, 7), QString::number(d), bold, Qt::AlignCenter);
        day.frame = report::Left | report::Right;
        header.items.push_back(day);
    }
    header.items.push_back(Item::label(QRectF(dayLeft(32), 0, totalWidth, 7), u"Итого"_s, bold, Qt::AlignCenter));

    Band detail;
    detail.kind = Band::Kind::Detail;
    detail.height = 5.5;
    detail.frame = report::Top | report::Bottom;
    detail.items.push_back(Item::field(QRectF(0, 0, nameWidth, 5.5), u"fio"_s, { report::printFamily, 10, false }));
    for (int d = 1; d <= 31; ++d) {
        Item day = Item::field(QRectF(dayLeft(d), 0, dayWidth, 5.5), u"sd"_s + QString::number(d),
            { report::printFamily, 9, false }, Qt::AlignCenter);
        if (d % 2 == 1)
            day.frame = report::Left | report::Right; // the odd days boxed
        detail.items.push_back(day);
    }
    detail.items.push_back(Item::computed(
        QRectF(dayLeft(32), 0, totalWidth, 5.5),
        [](const report::Context& c) {
            qint64 total = 0; // sd1+sd2+…+sd31
            for (int d = 1; d <= 31; ++d)
                total += c.field(u"sd"_s + QString::number(d)).toInt64();
            return QVariant(total);
        },
        bold, Qt::AlignCenter));

    Band footer;
    footer.kind = Band::Kind::PageFooter;
    footer.height = 6;
    footer.items.push_back(Item::pageNumber(QRectF(0, 0, dayLeft(32) + totalWidth, 6)));

    definition_.bands = { header, detail, footer };
}

std::vector<report::Page> TForm15::prepare(int month, int year)
{
    H_Tabel.close();
    H_Tabel.setParam(u"mnth"_s, month);
    H_Tabel.setParam(u"yea"_s, year);
    H_Tabel.open();
    return report::layout(definition_, H_Tabel);
}

} // namespace tabel::timesheet
