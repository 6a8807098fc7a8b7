#include "core/numbers.h"

#include "core/error.h"

#include <QRegularExpression>
#include <cmath>

using namespace Qt::StringLiterals;

namespace tabel {
namespace {

// A finite double as sign, 15 significant digits and the decimal exponent of the first digit.
struct Decimal {
    bool negative = false;
    QString digits; // exactly 15 characters
    int exponent = 0;
};

Decimal decompose(double value)
{
    // "d.dddddddddddddde±x": the 15 digits correctly rounded by the runtime.
    const QString e = QString::number(std::fabs(value), 'e', 14);
    const qsizetype ePos = e.indexOf(u'e');
    Decimal d;
    d.negative = std::signbit(value) && value != 0.0;
    d.digits = e.left(1) + e.mid(2, ePos - 2);
    d.exponent = e.mid(ePos + 1).toInt();
    return d;
}

QString trimZeros(QString digits)
{
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);
    return digits;
}

QString general(double value, QChar separator)
{
    if (std::isnan(value))
        return u"NAN"_s;
    if (std::isinf(value))
        return value > 0 ? u"INF"_s : u"-INF"_s;
    if (value == 0.0)
        return u"0"_s;
    const Decimal d = decompose(value);
    const QString sign = d.negative ? u"-"_s : QString();
    const bool fixed = d.exponent < 15 && std::fabs(value) >= 0.00001;
    if (!fixed) {
        const QString m = trimZeros(d.digits);
        QString mantissa = m.left(1);
        if (m.size() > 1)
            mantissa += separator + m.mid(1);
        return sign + mantissa + u'E' + QString::number(d.exponent);
    }
    QString intPart;
    QString fracPart;
    if (d.exponent >= 0) {
        intPart = d.digits.left(d.exponent + 1);
        fracPart = d.digits.mid(d.exponent + 1);
    } else {
        intPart = u"0"_s;
        fracPart = QString(-d.exponent - 1, u'0') + d.digits;
    }
    while (fracPart.endsWith(u'0'))
        fracPart.chop(1);
    if (fracPart.isEmpty())
        return sign + intPart;
    return sign + intPart + separator + fracPart;
}

const QRegularExpression& numberPattern()
{
    static const QRegularExpression re(uR"(^[+-]?(\d+([,.]\d*)?|[,.]\d+)$)"_s);
    return re;
}

} // namespace

QString formatGeneral(double value)
{
    return general(value, u',');
}

QString formatDecimals(double value, int minPlaces, int maxPlaces)
{
    QString text = QString::number(roundHalfEven(value, maxPlaces), 'f', maxPlaces);
    if (maxPlaces > 0) {
        const qsizetype point = text.indexOf(u'.');
        qsizetype end = text.size();
        while (end > point + 1 + minPlaces && text.at(end - 1) == u'0')
            --end;
        if (end == point + 1)
            --end; // no places left: no separator either
        text.truncate(end);
        text.replace(u'.', u',');
    }
    if (text == u"-0"_s || (text.startsWith(u"-0,"_s) && text.mid(3).count(u'0') == text.size() - 3))
        text.remove(0, 1); // a negative value that rounds to zero shows as zero
    return text;
}

QString sqlNumber(double value)
{
    return general(value, u'.');
}

double roundHalfEven(double value, int places)
{
    if (!std::isfinite(value) || value == 0.0)
        return value;
    const Decimal d = decompose(value);
    // Position of the last kept digit within d.digits.
    const int keep = d.exponent + 1 + places;
    if (keep >= 15)
        return value; // already exact at this many places
    if (keep < 0)
        return 0.0;
    QString kept = d.digits.left(keep);
    const QString rest = d.digits.mid(keep);
    const QChar first = rest.at(0);
    bool up = false;
    if (first > u'5') {
        up = true;
    } else if (first == u'5') {
        const bool beyond = rest.mid(1).contains(QRegularExpression(u"[1-9]"_s));
        const bool lastOdd = !kept.isEmpty() && (kept.back().digitValue() % 2 == 1);
        up = beyond || lastOdd;
    }
    // Whole number formed by the kept digits, then scaled back.
    double magnitude = kept.isEmpty() ? 0.0 : kept.toDouble();
    if (up)
        magnitude += 1.0;
    const QString text = QString::number(magnitude, 'f', 0) + u"e" + QString::number(-places);
    const double result = text.toDouble();
    return d.negative ? -result : result;
}

bool isNumber(const QString& text)
{
    return numberPattern().match(text.trimmed()).hasMatch();
}

QString quoted(const QString& text)
{
    constexpr qsizetype shown = 40;
    if (text.size() <= shown)
        return u"«"_s + text + u"»"_s;
    qsizetype cut = shown;
    if (text.at(cut - 1).isHighSurrogate())
        --cut; // never half a character
    return u"«"_s + text.left(cut) + u"…»"_s;
}

double parseNumber(const QString& text)
{
    const QString t = text.trimmed();
    if (!numberPattern().match(t).hasMatch())
        throw ConversionError(quoted(text) + u" не является числом"_s);
    QString normal = t;
    normal.replace(u',', u'.');
    bool ok = false;
    const double value = normal.toDouble(&ok);
    static const QRegularExpression nonZero(u"[1-9]"_s);
    if (!ok || !std::isfinite(value) || (value == 0.0 && t.contains(nonZero)))
        throw ConversionError(quoted(text) + u" — число вне допустимых пределов"_s);
    return value;
}

qint64 parseWhole(const QString& text)
{
    const QString t = text.trimmed();
    bool ok = false;
    const qint64 value = t.toLongLong(&ok);
    static const QRegularExpression whole(uR"(^[+-]?\d+$)"_s);
    if (!ok || !whole.match(t).hasMatch())
        throw ConversionError(quoted(text) + u" не является целым числом"_s);
    return value;
}

} // namespace tabel
