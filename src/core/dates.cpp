#include "core/dates.h"

#include "core/error.h"
#include "core/numbers.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace tabel {

QString formatDate(const QDate& date)
{
    return date.toString(u"dd.MM.yyyy"_s);
}

QDate parseDate(const QString& text)
{
    static const QRegularExpression shape(uR"(^\d{2}\.\d{2}\.\d{4}$)"_s);
    const QString t = text.trimmed();
    const QDate date = shape.match(t).hasMatch() ? QDate::fromString(t, u"dd.MM.yyyy"_s) : QDate();
    if (!date.isValid())
        throw ConversionError(quoted(text) + u" не является датой (ДД.ММ.ГГГГ)"_s);
    return date;
}

QString sqlDate(const QDate& date)
{
    return u"to_date('"_s + formatDate(date) + u"', 'DD.MM.YYYY')"_s;
}

} // namespace tabel
