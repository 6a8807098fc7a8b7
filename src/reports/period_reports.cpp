#include "reports/period_reports.h"

#include "db/data_module.h"
#include "db/statements.h"

using namespace Qt::StringLiterals;

namespace tabel::reports {
namespace {

using report::Band;
using report::Context;
using report::Item;

const report::Font bold10 { report::printFamily, 10, true };
// The layouts name "MS Sans Serif" for the details: printed in the one print family, so every
// machine measures and embeds the same font.
const report::Font detail9 { report::printFamily, 9, false };
const report::Font boldDetail { report::printFamily, 9, true };
const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
const Qt::Alignment centre = Qt::AlignCenter;
const QColor headerGrey(244, 244, 244);
const QColor groupGrey(224, 224, 224);
const QColor sumGrey(239, 239, 239);
const QColor totalGrey(220, 220, 220);

// A column of the layout: left edge and width in millimetres.
struct Col {
    double x;
    double w;
    QRectF at(double h = 5) const { return { x, 0, w, h }; }
};

Item fieldItem(const Col& c, const QString& name, Qt::Alignment a = left, const QString& mask = {},
    const report::Font& font = detail9)
{
    return Item::field(c.at(), name, font, a, mask);
}

Item sumItem(const Col& c, const QString& sum, const QString& mask = {})
{
    Item i = Item::computed(
        c.at(), [sum](const Context& x) { return QVariant(x.sum(sum)); }, boldDetail, centre, mask);
    i.background = sumGrey;
    return i;
}

Band titleBand(PeriodReport* report, double titleWidth, std::vector<Item> captions, double points = 10)
{
    Band b;
    b.kind = Band::Kind::Title;
    b.height = 7;
    b.background = headerGrey;
    b.spaceAfter = 0.5; // the 2-pixel spacer
    b.items.push_back(Item::computed(QRectF(0, 0, titleWidth, 7),
        [report](const Context&) { return QVariant(report->QRLabel1); }, { report::printFamily, points, true }));
    for (Item& c : captions)
        b.items.push_back(std::move(c));
    return b;
}

Band groupHeader(int group, const QString& field, double width, bool white = false)
{
    Band b;
    b.kind = Band::Kind::GroupHeader;
    b.group = group;
    b.height = 6;
    b.background = white ? QColor(Qt::white) : groupGrey;
    b.breakOn = [field](const Context& c) { return c.field(field).variant(); };
    b.items.push_back(Item::field(QRectF(0, 0, width, 6), field, bold10));
    return b;
}

Band band(Band::Kind kind, std::vector<Item> items, double height = 5, int group = 0)
{
    Band b;
    b.kind = kind;
    b.height = height;
    b.group = group;
    b.items = std::move(items);
    return b;
}

Band summary(std::vector<Item> sums)
{
    Band b = band(Band::Kind::Summary, {}, 6);
    b.frame = report::Box;
    b.background = totalGrey;
    b.items.push_back(Item::label(QRectF(0, 0, 30, 6), u"Итого:"_s, bold10));
    for (Item& s : sums) {
        s.rect.setHeight(6);
        s.font = bold10;
        s.background = QColor();
        b.items.push_back(std::move(s));
    }
    return b;
}

Band pageFooter()
{
    return band(Band::Kind::PageFooter, { Item::pageNumber(QRectF(0, 0, 190, 5), { report::printFamily, 9, false }) });
}

report::Sum sum(const QString& name, const QString& field, int group)
{
    return { name, [field](const Context& c) { return QVariant(c.number(field)); }, group };
}

Item kindItem(const Col& c)
{
    return Item::computed(
        c.at(), [](const Context& x) { return QVariant(kindText(x.field(u"naimen"_s))); }, detail9);
}

Item colourItem(const Col& c)
{
    return Item::computed(
        c.at(), [](const Context& x) { return QVariant(colourSuffix(x.field(u"color"_s))); }, detail9);
}

} // namespace

QString kindText(const db::Value& naimen)
{
    return naimen.toInt() == 0 ? u"Готовая продукция"_s : u"Заготовки"_s;
}

QString colourSuffix(const db::Value& color)
{
    const qint64 c = color.toInt64();
    if (c <= 0)
        return u" "_s;
    return c == 1 ? u" (грунт)"_s : u" (RAL: "_s + QString::number(c) + u")"_s;
}

std::unique_ptr<PeriodReport> makeReport(int index, db::TDataModule6& dm)
{
    switch (index) {
    case 0:
        return std::make_unique<TForm16>(dm);
    case 1:
        return std::make_unique<TForm17>(dm);
    case 2:
        return std::make_unique<TForm20>(dm);
    case 3:
        return std::make_unique<TForm21>(dm);
    default:
        return std::make_unique<TForm25>(dm);
    }
}

PeriodReport::PeriodReport(db::TDataModule6& dm)
    : query(dm.ADO_DB)
{
    definition_.margins = QMarginsF(10, 10, 10, 10);
}

std::vector<report::Page> PeriodReport::prepare(const QDate& from, const QDate& to, int kind)
{
    query.close();
    query.setParam(u"data1"_s, from);
    query.setParam(u"data2"_s, to);
    if (kind == 0) {
        query.setFiltered(false);
    } else {
        query.setFilter(kind == 1 ? u"naimen=0"_s : u"naimen=1"_s);
        query.setFiltered(true);
    }
    query.open();
    return report::layout(definition_, query);
}

TForm16::TForm16(db::TDataModule6& dm)
    : PeriodReport(dm)
{
    query.setSql(db::statements::reportByWorkers());
    const Col kind { 0, 40 };
    const Col vid { 40, 45 };
    const Col colour { 85, 35 };
    const Col kolvo { 120, 30 };
    const Col summa { 150, 40 };
    definition_.sums = { sum(u"g2_kolvo"_s, u"kolvo"_s, 1), sum(u"g2_summa"_s, u"summa"_s, 1),
        sum(u"g1_summa"_s, u"summa"_s, 0), sum(u"all_summa"_s, u"summa"_s, -1) };
    Band workerFooter = band(Band::Kind::GroupFooter, { sumItem(summa, u"g1_summa"_s, u"#0.00"_s) }, 5, 0);
    workerFooter.frame = report::Bottom;
    definition_.bands = {
        titleBand(this, 190, {}),
        groupHeader(0, u"fio"_s, 190),
        groupHeader(1, u"nom"_s, 190, true),
        band(Band::Kind::Detail,
            { kindItem(kind), fieldItem(vid, u"vid"_s, centre), colourItem(colour),
                fieldItem(kolvo, u"kolvo"_s, centre),
                fieldItem(summa, u"summa"_s, Qt::AlignRight | Qt::AlignVCenter, u"#0.000"_s) }),
        band(Band::Kind::GroupFooter, { sumItem(kolvo, u"g2_kolvo"_s), sumItem(summa, u"g2_summa"_s, u"#0.000"_s) }, 5,
            1),
        workerFooter,
        summary({ sumItem(summa, u"all_summa"_s, u"#0.00"_s) }),
        pageFooter(),
    };
}

TForm17::TForm17(db::TDataModule6& dm)
    : PeriodReport(dm)
{
    query.setSql(db::statements::reportByProducts());
    const Col kind { 0, 40 };
    const Col vid { 40, 50 };
    const Col colour { 90, 40 };
    const Col mass { 130, 30 };
    const Col kolvo { 160, 30 };
    definition_.sums = { sum(u"g_mass"_s, u"mass"_s, 0), sum(u"g_kolvo"_s, u"kolvo"_s, 0),
        sum(u"all_mass"_s, u"mass"_s, -1), sum(u"all_kolvo"_s, u"kolvo"_s, -1) };
    definition_.bands = {
        titleBand(this, 130,
            { Item::label(mass.at(7), u"Коробки"_s, bold10, centre),
                Item::label(kolvo.at(7), u"Количество"_s, bold10, centre) }),
        groupHeader(0, u"nom"_s, 190),
        band(Band::Kind::Detail,
            { kindItem(kind), fieldItem(vid, u"vid"_s, centre), colourItem(colour), fieldItem(mass, u"mass"_s, centre),
                fieldItem(kolvo, u"kolvo"_s, centre) }),
        band(Band::Kind::GroupFooter, { sumItem(mass, u"g_mass"_s), sumItem(kolvo, u"g_kolvo"_s) }, 5, 0),
        summary({ sumItem(mass, u"all_mass"_s, u"#0"_s), sumItem(kolvo, u"all_kolvo"_s) }),
        pageFooter(),
    };
}

TForm20::TForm20(db::TDataModule6& dm)
    : PeriodReport(dm)
{
    query.setSql(db::statements::detailedByWorkers());
    const report::Font detail8 { report::printFamily, 8, false };
    const Col marka { 0, 35 };
    const Col vid { 35, 30 };
    const Col colour { 65, 15 };
    const Col kind { 80, 30 };
    const Col brk { 110, 15 };
    const Col kolvo { 125, 20 };
    const Col summa { 145, 25 };
    const Col prize { 170, 20 };
    definition_.sums = { sum(u"g_brk"_s, u"brk"_s, 0), sum(u"g_kolvo"_s, u"kolvo"_s, 0),
        sum(u"g_summa"_s, u"summa"_s, 0), sum(u"g_prize"_s, u"s_prize"_s, 0), sum(u"all_brk"_s, u"brk"_s, -1),
        sum(u"all_kolvo"_s, u"kolvo"_s, -1), sum(u"all_summa"_s, u"summa"_s, -1) };
    auto at = [](const Col& c, double y, double h = 5) { return QRectF(c.x, y, c.w, h); };
    Item total = Item::computed(
        at(prize, 5), [](const Context& c) { return QVariant(c.sum(u"g_summa"_s) + c.sum(u"g_prize"_s)); }, boldDetail,
        centre, u"#0.00"_s);
    total.background = sumGrey;
    Band footer = band(Band::Kind::GroupFooter,
        { sumItem(brk, u"g_brk"_s), sumItem(kolvo, u"g_kolvo"_s), sumItem(summa, u"g_summa"_s, u"#0.00"_s),
            sumItem(prize, u"g_prize"_s, u"#0.00"_s),
            Item::label(at(summa, 5), u"Итог:"_s, boldDetail, Qt::AlignRight | Qt::AlignVCenter), total },
        10, 0);
    const auto d8 = [&](const Col& c, const QString& f, Qt::Alignment a = left, const QString& mask = {}) {
        return fieldItem(c, f, a, mask, detail8);
    };
    Item kindDetail = kindItem(kind);
    kindDetail.font = detail8;
    definition_.bands = {
        titleBand(this, 110,
            { Item::label(brk.at(7), u"Брак"_s, bold10, centre),
                Item::label(kolvo.at(7), u"Количество"_s, bold10, centre),
                Item::label(summa.at(7), u"Сумма"_s, bold10, centre),
                Item::label(prize.at(7), u"Премия"_s, bold10, centre) }),
        groupHeader(0, u"fio"_s, 190),
        band(Band::Kind::Detail,
            { d8(marka, u"marka"_s), d8(vid, u"vid"_s, centre), d8(colour, u"color"_s, centre), kindDetail,
                d8(brk, u"brk"_s, centre), d8(kolvo, u"kolvo"_s, centre), d8(summa, u"summa"_s, centre, u"#0.00"_s),
                d8(prize, u"s_prize"_s, centre, u"#0.00"_s) }),
        footer,
        summary(
            { sumItem(brk, u"all_brk"_s), sumItem(kolvo, u"all_kolvo"_s), sumItem(summa, u"all_summa"_s, u"#0.00"_s) }),
        pageFooter(),
    };
}

TForm21::TForm21(db::TDataModule6& dm, bool byRequisition)
    : PeriodReport(dm)
{
    query.setSql(byRequisition ? db::statements::detailedByRequisitions() : db::statements::detailedByProducts());
    const Col marka { 0, 40 };
    const Col vid { 40, 30 };
    const Col colour { 70, 15 };
    const Col kind { 85, 30 };
    const Col brk { 115, 15 };
    const Col mass { 130, 20 };
    const Col kolvo { 150, 15 };
    const Col summa { 165, 25 };
    definition_.sums = { sum(u"g_brk"_s, u"brk"_s, 0), sum(u"g_mass"_s, u"mass"_s, 0), sum(u"g_kolvo"_s, u"kolvo"_s, 0),
        sum(u"g_summa"_s, u"summa"_s, 0), sum(u"all_brk"_s, u"brk"_s, -1), sum(u"all_mass"_s, u"mass"_s, -1),
        sum(u"all_kolvo"_s, u"kolvo"_s, -1), sum(u"all_summa"_s, u"summa"_s, -1) };
    definition_.bands = {
        titleBand(this, 115,
            { Item::label(brk.at(7), u"Брак"_s, bold10, centre),
                Item::label(mass.at(7), byRequisition ? u"Номенкл."_s : u"Коробки"_s, bold10, centre),
                Item::label(kolvo.at(7), u"Кол-во"_s, bold10, centre),
                Item::label(summa.at(7), u"Сумма"_s, bold10, centre) },
            9),
        // by requisition the group is the requisition: its number heads the group
        groupHeader(0, byRequisition ? u"s_number"_s : u"nom"_s, 190),
        band(Band::Kind::Detail,
            { fieldItem(marka, u"marka"_s), fieldItem(vid, u"vid"_s), fieldItem(colour, u"color"_s, centre),
                kindItem(kind), fieldItem(brk, u"brk"_s, centre),
                byRequisition ? fieldItem(mass, u"nom"_s, centre) : fieldItem(mass, u"mass"_s, centre),
                fieldItem(kolvo, u"kolvo"_s, centre), fieldItem(summa, u"summa"_s, centre, u"#0.000"_s) }),
        band(Band::Kind::GroupFooter,
            { sumItem(brk, u"g_brk"_s), sumItem(mass, u"g_mass"_s, u"#0.00"_s), sumItem(kolvo, u"g_kolvo"_s),
                sumItem(summa, u"g_summa"_s, u"#0.00"_s) },
            5, 0),
        summary({ sumItem(brk, u"all_brk"_s), sumItem(mass, u"all_mass"_s), sumItem(kolvo, u"all_kolvo"_s),
            sumItem(summa, u"all_summa"_s, u"#0.00"_s) }),
        pageFooter(),
    };
}

TForm25::TForm25(db::TDataModule6& dm)
    : TForm21(dm, true)
{
}

} // namespace tabel::reports
