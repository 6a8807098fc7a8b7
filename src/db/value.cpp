#include "db/value.h"

#include "core/dates.h"
#include "core/numbers.h"

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <limits>

using namespace Qt::StringLiterals;

namespace tabel::db {
namespace {

bool isTimestamp(const QVariant& v)
{
    return v.typeId() == qMetaTypeId<Timestamp>();
}

bool isFloat(const QVariant& v)
{
    const int t = v.typeId();
    return t == QMetaType::Double || t == QMetaType::Float;
}

bool isIntegral(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

double textToDouble(const QString& s, bool* ok)
{
    QString t = s.trimmed();
    t.replace(u',', u'.');
    return t.toDouble(ok);
}

constexpr qint64 microsPerDay = Q_INT64_C(86400000000);

} // namespace

Timestamp Timestamp::fromDateTime(const QDateTime& dt)
{
    const QDateTime local = dt.timeSpec() == Qt::LocalTime ? dt : dt.toLocalTime();
    return { local.date(), static_cast<qint64>(local.time().msecsSinceStartOfDay()) * 1000 };
}

QDateTime Timestamp::toDateTime() const
{
    return { date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(micros / 1000)) };
}

QByteArray Timestamp::toSql() const
{
    const qint64 s = micros / 1000000;
    char clock[64];
    std::snprintf(
        clock, sizeof clock, " %02lld:%02lld:%02lld.%06lld", s / 3600, (s / 60) % 60, s % 60, micros % 1000000);
    return date.toString(Qt::ISODate).toLatin1() + clock;
}

qint64 Timestamp::ordinal() const
{
    return dayOrdinal(date) + micros;
}

qint64 dayOrdinal(const QDate& date)
{
    return (date.toJulianDay() - Q_INT64_C(2440588)) * microsPerDay;
}

bool isNullParameter(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return true;
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate().isNull();
    case QMetaType::QTime:
        return v.toTime().isNull();
    case QMetaType::QDateTime:
        return v.toDateTime().isNull();
    case QMetaType::QString:
        return v.toString().isNull();
    case QMetaType::QByteArray:
        return v.toByteArray().isNull();
    default:
        return isTimestamp(v) && v.value<Timestamp>().date.isNull();
    }
}

QByteArray parameterText(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Bool:
        return { v.toBool() ? "t" : "f" };
    case QMetaType::Double:
    case QMetaType::Float:
        return QByteArray::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate).toLatin1();
    case QMetaType::QDateTime:
        return Timestamp::fromDateTime(v.toDateTime()).toSql();
    case QMetaType::QTime:
        return v.toTime().toString(u"HH:mm:ss.zzz"_s).toLatin1();
    default:
        if (isTimestamp(v))
            return v.value<Timestamp>().toSql();
        return v.toString().toUtf8();
    }
}

bool Value::isNumeric() const
{
    return isFloat(v_) || isIntegral(v_);
}

std::optional<qint64> Value::moment() const
{
    if (isNull())
        return std::nullopt;
    if (v_.typeId() == QMetaType::QDate)
        return dayOrdinal(v_.toDate());
    if (isTimestamp(v_))
        return v_.value<Timestamp>().ordinal();
    if (v_.typeId() == QMetaType::QDateTime)
        return Timestamp::fromDateTime(v_.toDateTime()).ordinal();
    return std::nullopt;
}

qint64 Value::toInt64() const
{
    if (isNull())
        return 0;
    if (isIntegral(v_))
        return v_.toLongLong();
    if (v_.typeId() == QMetaType::Bool)
        return v_.toBool() ? 1 : 0;
    double d = 0;
    if (isFloat(v_)) {
        d = v_.toDouble();
    } else {
        const QString s = v_.toString().trimmed();
        bool ok = false;
        const qint64 whole = s.toLongLong(&ok);
        if (ok)
            return whole;
        d = textToDouble(s, &ok);
        if (!ok)
            return 0;
    }
    if (!std::isfinite(d) || std::fabs(d) > 9.2e18)
        return 0;
    return std::llround(d);
}

double Value::toDouble() const
{
    if (isNull())
        return 0;
    if (isFloat(v_) || isIntegral(v_))
        return v_.toDouble();
    if (v_.typeId() == QMetaType::Bool)
        return v_.toBool() ? 1 : 0;
    bool ok = false;
    const double d = textToDouble(v_.toString(), &ok);
    return ok ? d : 0;
}

bool Value::toBool() const
{
    if (isNull())
        return false;
    if (v_.typeId() == QMetaType::Bool)
        return v_.toBool();
    if (isNumeric())
        return v_.toDouble() != 0;
    const QString s = v_.toString().trimmed().toLower();
    return s == u"1"_s || s == u"t"_s || s == u"true"_s || s == u"-1"_s || s == u"y"_s;
}

QString Value::toText() const
{
    if (isNull())
        return {};
    switch (v_.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return formatGeneral(v_.toDouble());
    case QMetaType::Bool:
        return v_.toBool() ? u"1"_s : u"0"_s;
    case QMetaType::QDate:
        return formatDate(v_.toDate());
    case QMetaType::QDateTime:
        return Value(QVariant::fromValue(Timestamp::fromDateTime(v_.toDateTime()))).toText();
    default:
        if (isTimestamp(v_)) {
            const auto t = v_.value<Timestamp>();
            return t.micros == 0 ? formatDate(t.date)
                                 : formatDate(t.date) + u' ' + t.toDateTime().time().toString(u"HH:mm:ss"_s);
        }
        return v_.toString();
    }
}

QDate Value::toDate() const
{
    if (isNull())
        return {};
    if (v_.typeId() == QMetaType::QDate)
        return v_.toDate();
    if (v_.typeId() == QMetaType::QDateTime)
        return v_.toDateTime().date();
    if (isTimestamp(v_))
        return v_.value<Timestamp>().date;
    const QString s = v_.toString().trimmed();
    QDate d = QDate::fromString(s.left(10), Qt::ISODate);
    if (!d.isValid())
        d = QDate::fromString(s.left(10), u"dd.MM.yyyy"_s);
    return d;
}

QDateTime Value::toDateTime() const
{
    if (isNull())
        return {};
    if (v_.typeId() == QMetaType::QDateTime)
        return v_.toDateTime().toLocalTime();
    if (isTimestamp(v_))
        return v_.value<Timestamp>().toDateTime();
    if (v_.typeId() == QMetaType::QDate)
        return { v_.toDate(), QTime(0, 0) };
    return QDateTime::fromString(v_.toString().trimmed(), Qt::ISODate);
}

QVariant normalizeFetched(QVariant v, Driver driver)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::ULongLong: {
        const qulonglong u = v.toULongLong();
        if (u <= static_cast<qulonglong>(std::numeric_limits<qint64>::max()))
            return { static_cast<qint64>(u) };
        return v;
    }
    case QMetaType::QDateTime:
        return QVariant::fromValue(Timestamp::fromDateTime(v.toDateTime()));
    case QMetaType::QString:
        if (driver == Driver::Odbc) {
            QString s = v.toString();
            if (s.contains(u'\r')) {
                s.replace(u"\r\n"_s, u"\n"_s);
                return { s };
            }
        }
        return v;
    default:
        return v;
    }
}

} // namespace tabel::db
