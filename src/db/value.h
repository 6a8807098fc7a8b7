#pragma once
// One field value of a fetched row. Reads the same whichever driver fetched it: the dataset layer
// normalises driver quirks when it stores a row (see normalizeFetched), and the readers below
// accept every representation a driver may leave (booleans as "1"/"0", numbers as text).
#include "core/ids.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>

namespace tabel::db {

// A wall-clock timestamp to the microsecond, as the server keeps it (QDateTime holds milliseconds
// only): the dataset layer stores timestamp columns so, and a value read and bound back finds
// its row again.
struct Timestamp {
    QDate date;
    qint64 micros = 0; // since midnight

    static Timestamp fromDateTime(const QDateTime& dt); // its wall clock, to the millisecond
    QDateTime toDateTime() const; // local time, to the millisecond
    // "YYYY-MM-DD HH:MM:SS.ffffff", the form the server reads whatever its DateStyle.
    QByteArray toSql() const;
    // Microseconds since 1970-01-01 00:00 of the same wall clock, for ordering.
    qint64 ordinal() const;
    friend bool operator==(const Timestamp&, const Timestamp&) = default;
};

class Value {
public:
    Value() = default;
    explicit Value(QVariant v)
        : v_(std::move(v))
    {
    }

    bool isNull() const { return !v_.isValid() || v_.isNull(); }
    // Whole numbers: a fractional value is rounded to the nearest; null or non-numeric text is 0.
    int toInt() const { return static_cast<int>(toInt64()); }
    qint64 toInt64() const;
    Id toId() const { return toInt64(); }
    double toDouble() const;
    bool toBool() const;
    // Text as the program shows it: numbers in the general format with a decimal comma,
    // dates as DD.MM.YYYY; null is the empty text.
    QString toText() const;
    QDate toDate() const;
    QDateTime toDateTime() const;
    const QVariant& variant() const { return v_; }
    bool isNumeric() const;
    // A date or timestamp on the scale of dayOrdinal(); nothing for other values.
    std::optional<qint64> moment() const;

private:
    QVariant v_;
};

// Microseconds since 1970-01-01 of a date's midnight: dates and timestamps order on one scale.
qint64 dayOrdinal(const QDate& date);

enum class Driver { Psql, Odbc };

// Brings a value as one driver returns it into the form every reader above expects: an invalid or
// null variant becomes null, a qulonglong a qint64, CRLF in ODBC text LF, and a date-time a
// Timestamp of its wall clock.
QVariant normalizeFetched(QVariant v, Driver driver);

// Whether a variant stands for SQL NULL when bound: invalid, or a null date, time, date-time,
// string or byte array (a null QString is NULL, an empty one is '').
bool isNullParameter(const QVariant& v);

// A parameter that is not NULL as the text the server reads: a double in the shortest form that
// reads back the same, dates and timestamps in ISO form (to the microsecond), booleans as t/f,
// anything else as its text.
QByteArray parameterText(const QVariant& v);

} // namespace tabel::db

Q_DECLARE_METATYPE(tabel::db::Timestamp)
