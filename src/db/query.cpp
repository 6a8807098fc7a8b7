#include "db/query.h"

#include "db/db_error.h"

using namespace Qt::StringLiterals;

namespace tabel::db {

Query::Query(Connection& connection, QObject* parent)
    : DataSet(parent)
    , statement_(connection)
{
}

Query::Query(Connection& connection, const QString& sql, QObject* parent)
    : Query(connection, parent)
{
    statement_.setSql(sql);
}

void Query::open()
{
    if (isOpen())
        close();
    setResult(statement_.fetch());
}

void Query::refresh()
{
    const int row = recNo();
    const QString keepSort = sort();
    open();
    if (!keepSort.isEmpty())
        setSort(keepSort);
    // the same row number while the list still has that many rows, otherwise the first row
    if (row > 0 && row <= recordCount())
        setRecNo(row);
    else
        first();
}

Command::Command(Connection& connection, const QString& sql)
    : statement_(connection)
{
    statement_.setSql(sql);
}

int Command::execute()
{
    return statement_.execute();
}

Value Command::executeReturning()
{
    const Fetched f = statement_.fetch();
    if (f.store->rows() == 0 || f.store->columns() == 0)
        throw DbError(u"Команда не вернула значения"_s);
    return Value(f.store->at(0, 0));
}

} // namespace tabel::db
