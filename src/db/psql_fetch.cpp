#include "db/psql_fetch.h"

#include <QDate>
#include <QDateTime>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QTime>

#include <charconv>
#include <cstring>
#include <libpq-fe.h>

namespace tabel::db {
namespace {

// Type OIDs of pg_type (stable across server versions). Domains arrive as their base type.
enum Oid : unsigned {
    BoolOid = 16, Int8Oid = 20, Int2Oid = 21, Int4Oid = 23, OidOid = 26,
    Float4Oid = 700, Float8Oid = 701, NumericOid = 1700, DateOid = 1082, TimestampOid = 1114,
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
    return QDate(digits(s, 4), digits(s + 5, 2), digits(s + 8, 2));
}

QVariant parseTimestamp(const char* s, int len)
{
    const QDate date = parseIsoDate(s, len);
    if (len < 19 || (s[10] != ' ' && s[10] != 'T') || s[13] != ':' || s[16] != ':')
        return QDateTime(date, QTime(0, 0), Qt::UTC);
    int ms = 0;
    if (len > 20 && s[19] == '.') {
        int scale = 100;
        for (int i = 20; i < len && i < 23 && s[i] >= '0' && s[i] <= '9'; ++i, scale /= 10)
            ms += (s[i] - '0') * scale;
    }
    return QDateTime(date, QTime(digits(s + 11, 2), digits(s + 14, 2), digits(s + 17, 2), ms), Qt::UTC);
}

QVariant convert(unsigned oid, const char* s, int len)
{
    switch (oid) {
    case BoolOid:
        return QVariant(s[0] == 't');
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
            return QVariant(v);
        return QVariant(QString::fromLatin1(s, len).toDouble()); // NaN, Infinity
    }
    case DateOid:
        return QVariant(parseIsoDate(s, len));
    case TimestampOid:
        return parseTimestamp(s, len);
    default:
        break;
    }
    return QVariant(QString::fromUtf8(s, len));
}

} // namespace

bool fetchPsqlResult(QSqlQuery& query, QStringList& names, std::vector<QMetaType>& types, std::vector<QVariant>& cells)
{
    const QSqlResult* result = query.result();
    if (!result || query.isForwardOnly())
        return false;
    const QVariant handle = result->handle();
    const char* type = handle.typeName();
    if (!type || (std::strcmp(type, "PGresult*") != 0 && std::strcmp(type, "pg_result*") != 0))
        return false;
    const PGresult* res = *static_cast<PGresult* const*>(handle.constData());
    if (!res || PQresultStatus(res) != PGRES_TUPLES_OK)
        return false;
    const QSqlRecord rec = query.record();
    const int n = PQnfields(res);
    const int rows = PQntuples(res);
    std::vector<unsigned> oids(n);
    names.clear();
    types.clear();
    for (int c = 0; c < n; ++c) {
        names << rec.fieldName(c);
        types.push_back(rec.field(c).metaType());
        oids[c] = PQftype(res, c);
    }
    cells.clear();
    cells.reserve(static_cast<size_t>(rows) * n);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < n; ++c) {
            if (PQgetisnull(res, r, c))
                cells.emplace_back();
            else
                cells.push_back(convert(oids[c], PQgetvalue(res, r, c), PQgetlength(res, r, c)));
        }
    }
    return true;
}

} // namespace tabel::db
