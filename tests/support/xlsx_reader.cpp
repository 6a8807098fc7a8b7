#include "support/xlsx_reader.h"

#include <QProcess>
#include <QStringList>
#include <QXmlStreamReader>
#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace tabel::test {
namespace {

QByteArray member(const QString& path, const QString& name)
{
    QProcess unzip;
    unzip.start(u"unzip"_s, { u"-p"_s, path, name });
    unzip.waitForFinished(60000);
    return unzip.exitCode() == 0 ? unzip.readAllStandardOutput() : QByteArray();
}

// "BC12" → (12, 55)
std::pair<int, int> cellRef(const QString& ref)
{
    int column = 0;
    int i = 0;
    for (; i < ref.size() && ref.at(i).isLetter(); ++i)
        column = column * 26 + (ref.at(i).unicode() - u'A' + 1);
    return { ref.mid(i).toInt(), column };
}

std::vector<QString> sharedStrings(const QByteArray& xml)
{
    std::vector<QString> out;
    QXmlStreamReader r(xml);
    QString current;
    bool inItem = false;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.name() == u"si"_s) {
            inItem = true;
            current.clear();
        } else if (r.isStartElement() && r.name() == u"t"_s && inItem) {
            current += r.readElementText();
        } else if (r.isEndElement() && r.name() == u"si"_s) {
            out.push_back(current);
            inItem = false;
        }
    }
    return out;
}

struct Style {
    bool bold = false;
    bool textFormat = false;
};

std::vector<Style> cellStyles(const QByteArray& xml)
{
    std::vector<bool> fontBold;
    std::vector<Style> styles;
    std::vector<int> textFormats { 49 }; // the built-in "@" and any custom one with that code
    QXmlStreamReader r(xml);
    QString section;
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        const QString name = r.name().toString();
        if (name == u"numFmt"_s && r.attributes().value(u"formatCode"_s) == u"@"_s)
            textFormats.push_back(r.attributes().value(u"numFmtId"_s).toInt());
        if (name == u"fonts"_s || name == u"cellXfs"_s || name == u"cellStyleXfs"_s) {
            section = name;
        } else if (name == u"font"_s && section == u"fonts"_s) {
            fontBold.push_back(false);
        } else if (name == u"b"_s && section == u"fonts"_s && !fontBold.empty()) {
            fontBold.back() = true;
        } else if (name == u"xf"_s && section == u"cellXfs"_s) {
            const int font = r.attributes().value(u"fontId"_s).toInt();
            const int numFmt = r.attributes().value(u"numFmtId"_s).toInt();
            styles.push_back({ font < static_cast<int>(fontBold.size()) && fontBold[font],
                std::find(textFormats.begin(), textFormats.end(), numFmt) != textFormats.end() });
        }
    }
    return styles;
}

} // namespace

const XlsxCell* XlsxSheet::at(int row, int column) const
{
    const auto found = cells.find({ row, column });
    return found == cells.end() ? nullptr : &found->second;
}

int XlsxSheet::rows() const
{
    return cells.empty() ? 0 : cells.rbegin()->first.first;
}

XlsxSheet readXlsx(const QString& path)
{
    XlsxSheet sheet;
    const QByteArray xml = member(path, u"xl/worksheets/sheet1.xml"_s);
    if (xml.isEmpty())
        return sheet;
    const std::vector<QString> strings = sharedStrings(member(path, u"xl/sharedStrings.xml"_s));
    const std::vector<Style> styles = cellStyles(member(path, u"xl/styles.xml"_s));
    QXmlStreamReader r(xml);
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        if (r.name() == u"col"_s) {
            const int min = r.attributes().value(u"min"_s).toInt();
            const int max = r.attributes().value(u"max"_s).toInt();
            for (int c = min; c <= max; ++c)
                sheet.widths[c] = r.attributes().value(u"width"_s).toDouble();
        } else if (r.name() == u"c"_s) {
            const auto ref = cellRef(r.attributes().value(u"r"_s).toString());
            const QString type = r.attributes().value(u"t"_s).toString();
            const int style = r.attributes().value(u"s"_s).toInt();
            XlsxCell cell;
            if (style < static_cast<int>(styles.size())) {
                cell.bold = styles[style].bold;
                cell.textFormat = styles[style].textFormat;
            }
            while (!(r.isEndElement() && r.name() == u"c"_s) && !r.atEnd()) {
                r.readNext();
                if (r.isStartElement() && r.name() == u"v"_s) {
                    const QString v = r.readElementText();
                    if (type == u"s"_s)
                        cell.text = strings.at(v.toInt());
                    else {
                        cell.text = v;
                        cell.number = type.isEmpty() || type == u"n"_s;
                    }
                } else if (r.isStartElement() && r.name() == u"t"_s) {
                    cell.text += r.readElementText(); // inline strings
                }
            }
            sheet.cells[ref] = cell;
        }
    }
    sheet.ok = true;
    return sheet;
}

} // namespace tabel::test
