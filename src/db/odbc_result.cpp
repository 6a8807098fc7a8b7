#include "db/odbc_result.h"

#include "db/value.h"

#include <QDateTime>
#include <QSqlRecord>
#include <QSqlResult>

#include <sql.h>
#include <sqlext.h>

using namespace Qt::StringLiterals;

namespace tabel::db {
namespace {

// The ODBC handle in a QODBC handle variant (its type name is "void*" or "SQLHANDLE").
SQLHANDLE odbcHandle(const QVariant& handle)
{
    const char* name = handle.typeName();
    if (!handle.isValid() || !name || (qstrcmp(name, "void*") != 0 && qstrcmp(name, "SQLHANDLE") != 0))
        return nullptr;
    return *static_cast<const SQLHANDLE*>(handle.constData());
}

QString typeName(SQLHANDLE statement, int column)
{
    SQLWCHAR buffer[64] = {};
    SQLSMALLINT bytes = 0;
    const SQLRETURN r = SQLColAttributeW(
        statement, static_cast<SQLUSMALLINT>(column + 1), SQL_DESC_TYPE_NAME, buffer, sizeof buffer, &bytes, nullptr);
    if (!SQL_SUCCEEDED(r))
        return {};
    static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer), bytes / 2);
}

} // namespace

std::vector<OdbcColumn> odbcColumns(const QSqlQuery& query)
{
    std::vector<OdbcColumn> out;
    const int n = query.record().count();
    const SQLHANDLE statement = odbcHandle(query.result()->handle());
    for (int c = 0; c < n; ++c) {
        const QString type = statement ? typeName(statement, c) : QString();
        if (type == u"bool"_s)
            out.push_back(OdbcColumn::Bool);
        else if (type == u"float4"_s)
            out.push_back(OdbcColumn::Real);
        else if (type.startsWith(u"timestamp"_s))
            out.push_back(OdbcColumn::Timestamp);
        else
            out.push_back(OdbcColumn::Plain);
    }
    return out;
}

QVariant odbcValue(const QSqlQuery& query, int column, OdbcColumn kind)
{
    if (kind == OdbcColumn::Timestamp) {
        // Read here, before QODBC does (it reads the columns of a row in order, when asked), in
        // full: QODBC would keep milliseconds. QODBC then finds this column read and skips it.
        const SQLHANDLE statement = odbcHandle(query.result()->handle());
        SQL_TIMESTAMP_STRUCT ts {};
        SQLLEN indicator = 0;
        if (!statement
            || !SQL_SUCCEEDED(SQLGetData(
                statement, static_cast<SQLUSMALLINT>(column + 1), SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &indicator))
            || indicator == SQL_NULL_DATA)
            return {};
        Timestamp t;
        t.date = QDate(ts.year, ts.month, ts.day);
        t.micros = ((ts.hour * Q_INT64_C(60) + ts.minute) * 60 + ts.second) * 1000000 + ts.fraction / 1000;
        return QVariant::fromValue(t);
    }
    QVariant v = normalizeFetched(query.value(column), Driver::Odbc);
    if (v.isNull())
        return v;
    switch (kind) {
    case OdbcColumn::Bool:
        return { Value(v).toBool() };
    case OdbcColumn::Real:
        return { Value(v).toDouble() };
    default:
        return v;
    }
}

QString odbcSqlState(const QSqlQuery& query)
{
    const SQLHANDLE statement = query.result() ? odbcHandle(query.result()->handle()) : nullptr;
    if (!statement)
        return {};
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    const SQLRETURN r = SQLGetDiagRecW(SQL_HANDLE_STMT, statement, 1, state, &native, nullptr, 0, &length);
    if (!SQL_SUCCEEDED(r))
        return {};
    QString text;
    for (const SQLWCHAR c : state)
        if (c != 0)
            text += QChar(static_cast<char16_t>(c));
    return text;
}

bool odbcConnectionDead(const QVariant& driverHandle)
{
    const SQLHANDLE connection = odbcHandle(driverHandle);
    if (!connection)
        return false;
    SQLUINTEGER dead = SQL_CD_FALSE;
    const SQLRETURN r = SQLGetConnectAttr(connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr);
    return SQL_SUCCEEDED(r) && dead == SQL_CD_TRUE;
}

} // namespace tabel::db
