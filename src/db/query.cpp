#include "db/query.h"

#include "db/db_error.h"

#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace tabel::db {

Query::Query(Connection& connection, QObject* parent) : DataSet(parent), statement_(connection) {}

Query::Query(Connection& connection, const QString& sql, QObject* parent) : Query(connection, parent)
{
    statement_.setSql(sql);
}

void Query::open()
{
    if (isOpen())
        close();
    QStringList names;
    std::vector<QMetaType> types;
    std::vector<QVariant> cells;
    QSqlQuery& q = statement_.run();
    fetchAll(q, statement_.connection().driver(), names, types, cells);
    q.finish();
    setResult(std::move(names), std::move(types), std::move(cells));
}

void Query::refresh()
{
    const int row = recNo();
    const QString keepSort = sort();
    open();
    if (!keepSort.isEmpty())
        setSort(keepSort);
    if (row > 0)
        setRecNo(row);
}

Command::Command(Connection& connection, const QString& sql) : statement_(connection)
{
    statement_.setSql(sql);
}

int Command::execute()
{
    QSqlQuery& q = statement_.run();
    const int affected = q.numRowsAffected();
    q.finish();
    return affected;
}

Value Command::executeReturning()
{
    QSqlQuery& q = statement_.run();
    if (!q.next())
        throw DbError(u"Команда не вернула значения"_s);
    const Value v(normalizeFetched(q.value(0), statement_.connection().driver()));
    q.finish();
    return v;
}

} // namespace tabel::db
