#pragma once
// A select whose whole result is held in memory (the program's queries: Smena1, Workers, Oper …).
// Re-opening fetches anew: the sort is dropped and the cursor goes to the first row; the filter
// text and whether it is on are kept.
#include "db/dataset.h"
#include "db/statement.h"

namespace tabel::db {

class Query : public DataSet {
    Q_OBJECT
public:
    explicit Query(Connection& connection, QObject* parent = nullptr);
    Query(Connection& connection, const QString& sql, QObject* parent = nullptr);

    void setSql(const QString& sql) { statement_.setSql(sql); }
    // The statement as lines joined by "\n".
    void setSql(const QStringList& lines) { statement_.setSql(lines.join(u'\n')); }
    const QString& sql() const { return statement_.sql(); }
    void setParam(const QString& name, const QVariant& value) { statement_.setParam(name, value); }
    QVariant param(const QString& name) const { return statement_.param(name); }

    // Runs the statement and holds its result; throws DbError (the query is then closed).
    void open();
    // Re-reads with the current parameters, returning to the same row number when it still exists.
    void refresh();

private:
    Statement statement_;
};

// A statement that returns no rows to keep: insert, update, delete, a server function call.
class Command {
public:
    explicit Command(Connection& connection, const QString& sql = {});

    void setSql(const QString& sql) { statement_.setSql(sql); }
    void setSql(const QStringList& lines) { statement_.setSql(lines.join(u'\n')); }
    const QString& sql() const { return statement_.sql(); }
    void setParam(const QString& name, const QVariant& value) { statement_.setParam(name, value); }

    // Runs it; returns the number of rows touched (-1 when the driver does not say).
    int execute();
    // Runs "… returning id" and gives the first column of the first row; throws DbError when the
    // statement returned no row.
    Value executeReturning();

private:
    Statement statement_;
};

} // namespace tabel::db
