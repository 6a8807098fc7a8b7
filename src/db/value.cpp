#include "db/value.h"

#include "core/dates.h"
#include "core/numbers.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace tabel::db {
namespace {

bool isFloat(const QVariant& v)
{
    const int t = v.typeId();
    return t == QMetaType::Double || t == QMetaType::Float;
}

bool isIntegral(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Short: case QMetaType::UShort: case QMetaType::Char: case QMetaType::SChar:
    case QMetaType::UChar: case QMetaType::Long: case QMetaType::ULong:
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

} // namespace

bool Value::isNumeric() const { return isFloat(v_) || isIntegral(v_); }

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
    case QMetaType::QDateTime: {
        const QDateTime dt = v_.toDateTime();
        return dt.time() == QTime(0, 0) ? formatDate(dt.date())
                                        : formatDate(dt.date()) + u' ' + dt.time().toString(u"HH:mm:ss"_s);
    }
    default:
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
    if (v_.typeId() == QMetaType::QDateTime) { // stored as wall clock; handed out as local time
        const QDateTime dt = v_.toDateTime();
        return QDateTime(dt.date(), dt.time());
    }
    if (v_.typeId() == QMetaType::QDate)
        return QDateTime(v_.toDate(), QTime(0, 0));
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
            return QVariant(static_cast<qint64>(u));
        return v;
    }
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return QVariant(QDateTime(dt.date(), dt.time(), Qt::UTC));
    }
    case QMetaType::QString:
        if (driver == Driver::Odbc) {
            QString s = v.toString();
            if (s.contains(u'\r')) {
                s.replace(u"\r\n"_s, u"\n"_s);
                return QVariant(s);
            }
        }
        return v;
    default:
        return v;
    }
}

} // namespace tabel::db
