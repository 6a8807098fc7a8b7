#include "db/pg_exec.h"

#include "db/value.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <charconv>
#include <cstring>
#include <libpq-fe.h>

namespace tabel::db {
namespace {

// Type OIDs of pg_type (fixed across server versions). Domains arrive as their base type.
enum Oid : unsigned {
    BoolOid = 16,
    Int8Oid = 20,
    Int2Oid = 21,
    Int4Oid = 23,
    OidOid = 26,
    Float4Oid = 700,
    Float8Oid = 701,
    NumericOid = 1700,
    DateOid = 1082,
    TimestampOid = 1114,
    TimestamptzOid = 1184,
};

int digits(const char* p, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return -1;
        v = v * 10 + (p[i] - '0');
    }
    return v;
}

QDate parseIsoDate(const char* s, int len)
{
    if (len < 10 || s[4] != '-' || s[7] != '-')
        return QDate::fromString(QString::fromLatin1(s, len), Qt::ISODate);
    return { digits(s, 4), digits(s + 5, 2), digits(s + 8, 2) };
}

// "YYYY-MM-DD HH:MM:SS[.ffffff][+HH[:MM[:SS]]]" as the server writes it in ISO DateStyle. A time
// zone offset (timestamptz) is brought to the client's wall clock; the session runs in the
// client's zone, so it is normally that already.
QVariant parseTimestamp(const char* s, int len, bool withZone)
{
    Timestamp t { parseIsoDate(s, len), 0 };
    if (len < 19 || (s[10] != ' ' && s[10] != 'T') || s[13] != ':' || s[16] != ':')
        return QVariant::fromValue(t);
    t.micros = ((digits(s + 11, 2) * Q_INT64_C(60) + digits(s + 14, 2)) * 60 + digits(s + 17, 2)) * 1000000;
    int i = 19;
    if (i < len && s[i] == '.') {
        int scale = 100000;
        for (++i; i < len && s[i] >= '0' && s[i] <= '9'; ++i, scale /= 10)
            t.micros += static_cast<qint64>(s[i] - '0') * scale;
    }
    if (!withZone || i >= len || (s[i] != '+' && s[i] != '-'))
        return QVariant::fromValue(t);
    const int sign = s[i] == '-' ? -1 : 1;
    const int fields[3] = { len >= i + 3 ? digits(s + i + 1, 2) : 0, len >= i + 6 ? digits(s + i + 4, 2) : 0,
        len >= i + 9 ? digits(s + i + 7, 2) : 0 };
    const int offset = sign * (fields[0] * 3600 + fields[1] * 60 + fields[2]);
    const QDateTime zoned(
        t.date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(t.micros / 1000)), Qt::OffsetFromUTC, offset);
    Timestamp local = Timestamp::fromDateTime(zoned.toLocalTime());
    local.micros += t.micros % 1000;
    return QVariant::fromValue(local);
}

QVariant convert(unsigned oid, const char* s, int len)
{
    switch (oid) {
    case BoolOid:
        return { s[0] == 't' };
    case Int2Oid:
    case Int4Oid:
    case Int8Oid:
    case OidOid: {
        qint64 v = 0;
        const auto r = std::from_chars(s, s + len, v);
        if (r.ec == std::errc() && r.ptr == s + len)
            return oid == Int8Oid || oid == OidOid ? QVariant(v) : QVariant(static_cast<int>(v));
        break;
    }
    case Float4Oid:
    case Float8Oid:
    case NumericOid: {
        double v = 0;
        const auto r = std::from_chars(s, s + len, v);
        if (r.ec == std::errc() && r.ptr == s + len)
            return { v };
        return { QString::fromLatin1(s, len).toDouble() }; // NaN, Infinity
    }
    case DateOid:
        return { parseIsoDate(s, len) };
    case TimestampOid:
    case TimestamptzOid:
        return parseTimestamp(s, len, oid == TimestamptzOid);
    default:
        break;
    }
    return { QString::fromUtf8(s, len) };
}

QMetaType typeOf(unsigned oid)
{
    switch (oid) {
    case BoolOid:
        return QMetaType(QMetaType::Bool);
    case Int2Oid:
    case Int4Oid:
        return QMetaType(QMetaType::Int);
    case Int8Oid:
    case OidOid:
        return QMetaType(QMetaType::LongLong);
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        return QMetaType(QMetaType::Double);
    case DateOid:
        return QMetaType(QMetaType::QDate);
    case TimestampOid:
    case TimestamptzOid:
        return QMetaType::fromType<Timestamp>();
    default:
        return QMetaType(QMetaType::QString);
    }
}

// A parameter value as the text libpq sends; null stays null.
std::optional<QByteArray> paramText(const QVariant& v)
{
    if (isNullParameter(v))
        return std::nullopt;
    return parameterText(v);
}

} // namespace

PgResultStore::PgResultStore(std::shared_ptr<pg_result> result)
    : result_(std::move(result))
{
    rows_ = PQntuples(result_.get());
    columns_ = PQnfields(result_.get());
    for (int c = 0; c < columns_; ++c)
        oids_.push_back(PQftype(result_.get(), c));
}

QVariant PgResultStore::at(int row, int column) const
{
    const PGresult* r = result_.get();
    if (PQgetisnull(r, row, column))
        return {};
    return convert(oids_[column], PQgetvalue(r, row, column), PQgetlength(r, row, column));
}

QStringList PgResultStore::names() const
{
    QStringList out;
    for (int c = 0; c < columns_; ++c)
        out << QString::fromUtf8(PQfname(result_.get(), c));
    return out;
}

std::vector<QMetaType> PgResultStore::types() const
{
    std::vector<QMetaType> out;
    for (const unsigned oid : oids_)
        out.push_back(typeOf(oid));
    return out;
}

PgOutcome pgExec(pg_conn* conn, const QString& sql, const std::vector<QVariant>& params)
{
    PgOutcome out;
    const QByteArray text = sql.toUtf8();
    PGresult* raw = nullptr;
    if (params.empty()) {
        raw = PQexec(conn, text.constData());
    } else {
        std::vector<std::optional<QByteArray>> values;
        values.reserve(params.size());
        std::vector<const char*> pointers;
        for (const QVariant& p : params) {
            values.push_back(paramText(p));
            pointers.push_back(values.back() ? values.back()->constData() : nullptr);
        }
        raw = PQexecParams(
            conn, text.constData(), static_cast<int>(params.size()), nullptr, pointers.data(), nullptr, nullptr, 0);
    }
    std::shared_ptr<pg_result> result(raw, PQclear);
    const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status == PGRES_TUPLES_OK) {
        out.result = result;
        out.affected = PQntuples(raw);
    } else if (status == PGRES_COMMAND_OK) {
        const char* n = PQcmdTuples(raw);
        out.affected = (n && *n) ? std::atoi(n) : -1;
    } else {
        out.error = QString::fromUtf8(raw ? PQresultErrorMessage(raw) : PQerrorMessage(conn)).trimmed();
        if (out.error.isEmpty())
            out.error = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
        if (raw) {
            out.sqlState = QString::fromUtf8(PQresultErrorField(raw, PG_DIAG_SQLSTATE));
            out.primary = QString::fromUtf8(PQresultErrorField(raw, PG_DIAG_MESSAGE_PRIMARY));
        }
    }
    return out;
}

pg_conn* pgConnection(const QVariant& handle)
{
    const char* type = handle.typeName();
    if (!type || (std::strcmp(type, "PGconn*") != 0 && std::strcmp(type, "pg_conn*") != 0))
        return nullptr;
    return *static_cast<pg_conn* const*>(handle.constData());
}

} // namespace tabel::db
