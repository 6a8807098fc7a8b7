#pragma once
// The report engine: a banded report definition laid out over a dataset into pages of placed
// items (the page model the tests read), painted on any paint device, previewed and saved as PDF.
// Sizes are millimetres on the page. Expressions of the layouts are C++ functions of the row.
//
// Bands print in this order: the title once; the page header on every page; per row the headers
// of the groups whose break value changed, the detail, and, before the next break, the footers of
// the groups that end (innermost first); the summary after the last row; the page footer at the
// foot of every page. A band that does not fit the rest of a page goes to the next one, and so
// does a group header that would be left without its first detail row. An empty report prints
// its title, headers, summary and footers.
#include "db/dataset.h"

#include <QColor>
#include <QFont>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QVariant>
#include <functional>
#include <map>
#include <vector>

class QPainter;

namespace tabel::report {

// The family printed output asks for: metric-compatible with the layouts' Arial and installed by
// the setup (fonts-liberation2), so pages measure the same on every machine.
inline const QString printFamily = QStringLiteral("Liberation Sans");

struct Font {
    QString family = printFamily;
    double points = 10;
    bool bold = false;
};

// Frame lines of an item or a band.
enum Frame : unsigned { NoFrame = 0, Left = 1, Top = 2, Right = 4, Bottom = 8, Box = 15 };

class Context;
using Expression = std::function<QVariant(const Context&)>;

struct Item {
    enum class Kind { Label, Field, Computed, PageNumber };
    Kind kind = Kind::Label;
    QRectF rect; // within the band
    QString text; // a label's text, or a field's name
    Expression value; // a computed item
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    Font font;
    QString mask; // "#0.00", "#0.000", "#0", "#0.00#": numbers with a decimal comma
    unsigned frame = NoFrame;
    QColor background;

    static Item label(QRectF rect, QString text, Font font = {}, Qt::Alignment a = Qt::AlignLeft | Qt::AlignVCenter);
    static Item field(QRectF rect, QString name, Font font = {}, Qt::Alignment a = Qt::AlignLeft | Qt::AlignVCenter,
        QString mask = {});
    static Item computed(QRectF rect, Expression value, Font font = {},
        Qt::Alignment a = Qt::AlignLeft | Qt::AlignVCenter, QString mask = {});
    static Item pageNumber(QRectF rect, Font font = {}, Qt::Alignment a = Qt::AlignRight | Qt::AlignVCenter);
};

struct Band {
    enum class Kind { Title, PageHeader, GroupHeader, Detail, GroupFooter, Summary, PageFooter };
    Kind kind = Kind::Detail;
    double height = 5;
    std::vector<Item> items;
    QColor background;
    unsigned frame = NoFrame;
    // a group header's break value; its footer is the group footer with the same group number
    Expression breakOn;
    int group = 0; // the group a header or footer belongs to (0 = outermost)
    double spaceAfter = 0; // a child spacer band below it
};

// A running sum: value(row) added for every detail row; cleared after the footer of its group
// prints, or never (group -1).
struct Sum {
    QString name;
    Expression value;
    int group = -1;
};

struct Definition {
    QPageSize::PageSizeId paper = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins { 10, 10, 10, 10 };
    std::vector<Band> bands;
    std::vector<Sum> sums;
    bool previewWholePage = false; // the preview's zoom: the whole page, or the page's width
    QSizeF pageSize() const; // millimetres, in the orientation
};

// What an expression reads: the current row's fields (the last row of a group in its footer),
// the running sums, the page number.
class Context {
public:
    Context(const db::DataSet& rows, int row, int page, const std::map<QString, double>& sums)
        : rows_(rows)
        , row_(row)
        , page_(page)
        , sums_(sums)
    {
    }
    db::Value field(const QString& name) const;
    double number(const QString& name) const { return field(name).toDouble(); }
    double sum(const QString& name) const;
    int page() const { return page_; }
    bool hasRow() const { return row_ >= 0; }

private:
    const db::DataSet& rows_;
    int row_;
    int page_;
    const std::map<QString, double>& sums_;
};

struct Placed {
    QRectF rect; // on the page
    QString text;
    Font font;
    Qt::Alignment alignment;
    unsigned frame = NoFrame;
    QColor background;
};

struct Page {
    std::vector<Placed> items;
    // The texts on the page in order, for tests.
    QStringList texts() const;
};

// A value as an item shows it under its mask.
QString formatValue(const QVariant& value, const QString& mask);

std::vector<Page> layout(const Definition& definition, const db::DataSet& rows);
// Draws a page at pixelsPerMm device pixels per millimetre.
void paint(const Page& page, QPainter& painter, double pixelsPerMm);
// The font of a text drawn into widthPixels at pixelsPerMm: the item's font, made smaller (to no
// less than 60 %) where the text would not fit, so that a long name is printed whole.
QFont fittedFont(const Font& font, const QString& text, double widthPixels, double pixelsPerMm);
// Writes the pages to a PDF file; false when the file cannot be written.
bool savePdf(
    const Definition& definition, const std::vector<Page>& pages, const QString& path, const QString& title = {});

} // namespace tabel::report
