#include "report_engine/report.h"

#include "core/numbers.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

using namespace Qt::StringLiterals;

namespace tabel::report {

Item Item::label(QRectF rect, QString text, Font font, Qt::Alignment a)
{
    Item i;
    i.kind = Kind::Label;
    i.rect = rect;
    i.text = std::move(text);
    i.font = std::move(font);
    i.alignment = a;
    return i;
}

Item Item::field(QRectF rect, QString name, Font font, Qt::Alignment a, QString mask)
{
    Item i = label(rect, std::move(name), std::move(font), a);
    i.kind = Kind::Field;
    i.mask = std::move(mask);
    return i;
}

Item Item::computed(QRectF rect, Expression value, Font font, Qt::Alignment a, QString mask)
{
    Item i = label(rect, {}, std::move(font), a);
    i.kind = Kind::Computed;
    i.value = std::move(value);
    i.mask = std::move(mask);
    return i;
}

Item Item::pageNumber(QRectF rect, Font font, Qt::Alignment a)
{
    Item i = label(rect, {}, std::move(font), a);
    i.kind = Kind::PageNumber;
    return i;
}

QSizeF Definition::pageSize() const
{
    const QSizeF size = QPageSize(paper).size(QPageSize::Millimeter);
    return orientation == QPageLayout::Landscape ? size.transposed() : size;
}

db::Value Context::field(const QString& name) const
{
    if (row_ < 0)
        return {};
    const int column = rows_.fieldIndex(name);
    return column < 0 ? db::Value() : rows_.value(row_, column);
}

double Context::sum(const QString& name) const
{
    const auto found = sums_.find(name);
    return found == sums_.end() ? 0.0 : found->second;
}

QString formatValue(const QVariant& value, const QString& mask)
{
    const db::Value v(value);
    if (v.isNull())
        return {};
    if (mask.isEmpty() || !v.isNumeric())
        return v.toText();
    const qsizetype point = mask.indexOf(u'.');
    const QString places = point < 0 ? QString() : mask.mid(point + 1);
    return formatDecimals(v.toDouble(), static_cast<int>(places.count(u'0')), static_cast<int>(places.size()));
}

QStringList Page::texts() const
{
    QStringList out;
    for (const Placed& p : items)
        if (!p.text.isEmpty())
            out << p.text;
    return out;
}

namespace {

class Layout {
public:
    Layout(const Definition& d, const db::DataSet& rows)
        : d_(d)
        , rows_(rows)
        , size_(d.pageSize())
    {
        for (const Band& b : d.bands)
            if (b.kind == Band::Kind::PageFooter)
                footer_ = &b;
        for (const Sum& s : d.sums)
            sums_[s.name] = 0;
    }

    std::vector<Page> run()
    {
        newPage();
        printAll(Band::Kind::Title);
        std::vector<const Band*> headers;
        for (const Band& b : d_.bands)
            if (b.kind == Band::Kind::GroupHeader)
                headers.push_back(&b);
        std::vector<QVariant> keys(headers.size());
        const Band* detail = find(Band::Kind::Detail);
        for (int r = 0; r < rows_.recordCount(); ++r) {
            const Context here(rows_, r, page(), sums_);
            size_t level = headers.size();
            for (size_t g = 0; g < headers.size(); ++g) {
                const QVariant key = headers[g]->breakOn ? headers[g]->breakOn(here) : QVariant();
                if (r == 0 || key != keys[g]) {
                    level = g;
                    break;
                }
            }
            if (r > 0)
                closeGroups(level, r - 1, headers.size());
            for (size_t g = level; g < headers.size(); ++g) {
                keys[g] = headers[g]->breakOn ? headers[g]->breakOn(here) : QVariant();
                // a group header is never left at the foot of a page without the headers of the
                // groups it opens inside it and its first row
                double withFirst = detail ? detail->height : 0;
                for (size_t inner = g; inner < headers.size(); ++inner)
                    withFirst += headers[inner]->height + headers[inner]->spaceAfter;
                if (y_ + withFirst > bottom())
                    breakPage(r);
                print(*headers[g], r);
            }
            for (const Sum& s : d_.sums)
                sums_[s.name] += s.value ? s.value(Context(rows_, r, page(), sums_)).toDouble() : 0.0;
            if (detail)
                print(*detail, r);
        }
        const int last = rows_.recordCount() - 1;
        if (last >= 0)
            closeGroups(0, last, headers.size());
        printAll(Band::Kind::Summary, last);
        finishPage(last);
        return std::move(pages_);
    }

private:
    int page() const { return static_cast<int>(pages_.size()); }
    double bottom() const { return size_.height() - d_.margins.bottom() - (footer_ ? footer_->height : 0); }

    const Band* find(Band::Kind kind) const
    {
        for (const Band& b : d_.bands)
            if (b.kind == kind)
                return &b;
        return nullptr;
    }

    void printAll(Band::Kind kind, int row = -1)
    {
        for (const Band& b : d_.bands)
            if (b.kind == kind)
                print(b, row);
    }

    void closeGroups(size_t level, int row, size_t groups)
    {
        for (size_t g = groups; g-- > level;) {
            for (const Band& b : d_.bands)
                if (b.kind == Band::Kind::GroupFooter && b.group == static_cast<int>(g))
                    print(b, row);
            for (const Sum& s : d_.sums)
                if (s.group == static_cast<int>(g))
                    sums_[s.name] = 0;
        }
    }

    void newPage()
    {
        pages_.emplace_back();
        y_ = d_.margins.top();
        for (const Band& b : d_.bands)
            if (b.kind == Band::Kind::PageHeader)
                place(b, -1, y_), y_ += b.height + b.spaceAfter;
    }

    void finishPage(int row)
    {
        if (footer_)
            place(*footer_, row, size_.height() - d_.margins.bottom() - footer_->height);
    }

    void breakPage(int row)
    {
        finishPage(row);
        newPage();
    }

    void print(const Band& band, int row)
    {
        if (y_ + band.height > bottom() && y_ > firstLine())
            breakPage(row);
        place(band, row, y_);
        y_ += band.height + band.spaceAfter;
    }

    double firstLine() const
    {
        double y = d_.margins.top();
        for (const Band& b : d_.bands)
            if (b.kind == Band::Kind::PageHeader)
                y += b.height + b.spaceAfter;
        return y;
    }

    void place(const Band& band, int row, double top)
    {
        Page& page = pages_.back();
        const double left = d_.margins.left();
        const double width = size_.width() - d_.margins.left() - d_.margins.right();
        if (band.background.isValid() || band.frame != NoFrame)
            page.items.push_back({ QRectF(left, top, width, band.height), {}, {}, {}, band.frame, band.background });
        const Context context(rows_, row, this->page(), sums_);
        for (const Item& item : band.items) {
            QString text;
            switch (item.kind) {
            case Item::Kind::Label:
                text = item.text;
                break;
            case Item::Kind::Field:
                text = formatValue(context.field(item.text).variant(), item.mask);
                break;
            case Item::Kind::Computed:
                text = formatValue(item.value ? item.value(context) : QVariant(), item.mask);
                break;
            case Item::Kind::PageNumber:
                text = QString::number(this->page());
                break;
            }
            page.items.push_back(
                { item.rect.translated(left, top), text, item.font, item.alignment, item.frame, item.background });
        }
    }

    const Definition& d_;
    const db::DataSet& rows_;
    QSizeF size_;
    const Band* footer_ = nullptr;
    std::vector<Page> pages_;
    std::map<QString, double> sums_;
    double y_ = 0;
};

} // namespace

std::vector<Page> layout(const Definition& definition, const db::DataSet& rows)
{
    return Layout(definition, rows).run();
}

void paint(const Page& page, QPainter& painter, double pixelsPerMm)
{
    painter.save();
    const auto px = [&](const QRectF& mm) {
        return QRectF(mm.x() * pixelsPerMm, mm.y() * pixelsPerMm, mm.width() * pixelsPerMm, mm.height() * pixelsPerMm);
    };
    for (const Placed& item : page.items) {
        const QRectF r = px(item.rect);
        if (item.background.isValid())
            painter.fillRect(r, item.background);
        if (item.frame != NoFrame) {
            painter.setPen(QPen(Qt::black, std::max(1.0, 0.2 * pixelsPerMm)));
            if (item.frame & Left)
                painter.drawLine(r.topLeft(), r.bottomLeft());
            if (item.frame & Top)
                painter.drawLine(r.topLeft(), r.topRight());
            if (item.frame & Right)
                painter.drawLine(r.topRight(), r.bottomRight());
            if (item.frame & Bottom)
                painter.drawLine(r.bottomLeft(), r.bottomRight());
        }
        if (item.text.isEmpty())
            continue;
        const QRectF inner = r.adjusted(0.5 * pixelsPerMm, 0, -0.5 * pixelsPerMm, 0);
        painter.setFont(fittedFont(item.font, item.text, inner.width(), pixelsPerMm));
        painter.setPen(Qt::black);
        painter.drawText(inner, int(item.alignment) | Qt::TextSingleLine, item.text);
    }
    painter.restore();
}

QFont fittedFont(const Font& font, const QString& text, double widthPixels, double pixelsPerMm)
{
    QFont f;
    // Arial where the one asked for is missing, rather than whatever the machine's default is
    f.setFamilies({ font.family, u"Arial"_s });
    f.setBold(font.bold);
    const int full = std::max(1, qRound(font.points * 0.3528 * pixelsPerMm));
    f.setPixelSize(full);
    const double advance = QFontMetricsF(f).horizontalAdvance(text);
    if (advance > widthPixels && advance > 0)
        f.setPixelSize(std::max(1, static_cast<int>(full * std::max(0.6, widthPixels / advance))));
    return f;
}

bool savePdf(const Definition& definition, const std::vector<Page>& pages, const QString& path, const QString& title)
{
    QPdfWriter writer(path);
    writer.setTitle(title); // what a PDF reader shows as the document's title
    writer.setCreator(u"Tabel"_s);
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(
        QPageSize(definition.paper), definition.orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    const double pixelsPerMm = writer.width() / definition.pageSize().width();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (i > 0)
            writer.newPage();
        paint(pages[i], painter, pixelsPerMm);
    }
    return painter.end();
}

} // namespace tabel::report
