#pragma once
// The QODBC path's corrections, so that a value reads the same as through libpq: the server's
// type of each result column (psqlODBC reports booleans and reals as text under the program's
// connection options), timestamps to the microsecond (QODBC keeps milliseconds), and whether the
// driver knows the connection was dropped (QODBC keeps saying it is open).
#include <QSqlQuery>
#include <QVariant>
#include <vector>

namespace tabel::db {

enum class OdbcColumn { Plain, Bool, Real, Timestamp };

// The kinds of the columns of an executed query's result.
std::vector<OdbcColumn> odbcColumns(const QSqlQuery& query);
// The current row's value of a column as the dataset layer stores it. The columns of a row are
// read in order, each once.
QVariant odbcValue(const QSqlQuery& query, int column, OdbcColumn kind);
// True when the ODBC connection handle reports a dead connection.
bool odbcConnectionDead(const QVariant& driverHandle);
// The SQLSTATE of the statement's last failure (the server's own, as psqlODBC passes it on).
QString odbcSqlState(const QSqlQuery& query);

} // namespace tabel::db
