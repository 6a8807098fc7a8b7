#pragma once
// The one database connection of the program (ADO_DB). Every statement of every window goes
// through it; statements commit on their own unless they run inside transaction().
#include "db/connection_settings.h"

#include <QSqlDatabase>
#include <QString>
#include <functional>

class QSqlError;
class QSqlQuery;
struct pg_conn;

namespace tabel::db {
struct PgOutcome;
}

namespace tabel::db {

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens (closing first) from the settings on their driver; throws DbError when it cannot.
    // Every session reads day-first date texts (DateStyle "ISO, DMY") and runs in the client's
    // time zone, whatever the server's configuration.
    void open(const ConnectionSettings& settings);
    void close();
    bool isOpen() const;
    Driver driver() const { return settings_.driver; }
    const ConnectionSettings& settings() const { return settings_; }
    // Changes with every open, so that prepared statements of an earlier session are not reused.
    int generation() const { return generation_; }

    // Runs one statement without parameters; returns the number of rows it touched.
    int execute(const QString& sql);

    // Runs fn in one transaction. When any statement inside fails (even one whose DbError fn caught)
    // or fn throws, everything is rolled back and the error propagates; commit() of some drivers
    // reports success after a failed statement, so it is never trusted to notice. A nested call
    // joins the outer transaction: an error escaping it rolls the whole outer transaction back,
    // even when the outer code catches that error.
    void transaction(const std::function<void()>& fn);
    bool inTransaction() const { return inTransaction_; }

    // For the dataset layer: a query object on this connection (QODBC), the libpq connection
    // under QPSQL (throws DbError when not open), and the report of a failed statement.
    QSqlQuery newQuery() const;
    pg_conn* pgHandle() const;
    [[noreturn]] void fail(const QSqlError& error, const QString& sqlState = {});
    // The failure of an ODBC statement, with the server's SQLSTATE.
    [[noreturn]] void fail(const QSqlQuery& query);
    [[noreturn]] void fail(const QString& serverText, const QString& sqlState = {});
    [[noreturn]] void fail(const PgOutcome& outcome);

private:
    void pinSession();

    QString name_;
    ConnectionSettings settings_;
    int generation_ = 0;
    bool inTransaction_ = false;
    bool failedInTransaction_ = false;
};

} // namespace tabel::db
