#pragma once
// The test database server started by scripts/pg (CTest fixture "pg"): settings to reach it, and
// a fresh database copied from the template for a test case that writes.
#include "db/connection.h"
#include "db/value.h"

#include <QString>

namespace tabel::test {

// 127.0.0.1, port TABEL_PG_PORT (default 55432), sys/tovmask, on the driver of TABEL_SQL_DRIVER.
db::ConnectionSettings serverSettings(const QString& database);

// The first column of the first row of a statement's result; null when it gives no row.
db::Value scalar(db::Connection& connection, const QString& sql);

// A database created from the template for one test case and dropped afterwards, with an open
// connection through the program's own Connection.
class FreshDatabase {
public:
    explicit FreshDatabase(db::Driver driver = db::driverFromEnvironment());
    ~FreshDatabase();
    FreshDatabase(const FreshDatabase&) = delete;
    FreshDatabase& operator=(const FreshDatabase&) = delete;

    db::Connection& connection() { return connection_; }
    const db::ConnectionSettings& settings() const { return settings_; }
    const QString& name() const { return name_; }

private:
    QString name_;
    db::ConnectionSettings settings_;
    db::Connection admin_;
    db::Connection connection_;
};

} // namespace tabel::test
