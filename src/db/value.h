#pragma once
// One field value of a fetched row. Reads the same whichever driver fetched it: the dataset layer
// normalises driver quirks when it stores a row (see normalizeFetched), and the readers below
// accept every representation a driver may leave (booleans as "1"/"0", numbers as text).
#include "core/ids.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QVariant>

namespace tabel::db {

class Value {
public:
    Value() = default;
    explicit Value(QVariant v) : v_(std::move(v)) {}

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

private:
    QVariant v_;
};

enum class Driver { Psql, Odbc };

// Brings a value as one driver returns it into the form every reader above expects: an invalid or
// null variant becomes null, a qulonglong a qint64, CRLF in ODBC text LF, and a timestamp its
// wall-clock value kept as a UTC-spec QDateTime (a local one costs a time-zone lookup per value;
// toDateTime() gives it back as local time).
QVariant normalizeFetched(QVariant v, Driver driver);

} // namespace tabel::db
