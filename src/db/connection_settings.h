#pragma once
// What a connection is opened from: the fields the login window's connection string carries.
#include "db/value.h"

#include <QString>

namespace tabel::db {

struct ConnectionSettings {
    QString server;
    QString database;
    int port = 5432;
    QString login;
    QString password;
    Driver driver = Driver::Psql;
    int connectTimeout = 10; // seconds a connection attempt may take
};

// The exact ODBC driver connection string of the login: driver, database, server, port, login,
// password, sslmode, then the three fixed option blocks. A login or password holding ';', '{' or
// '}' is wrapped in braces (a '}' doubled) so that it stays one value and cannot add options.
QString odbcConnectionString(const ConnectionSettings& settings);

// The site's driver: QODBC when TABEL_SQL_DRIVER=QODBC is set in the environment, else QPSQL.
Driver driverFromEnvironment();

} // namespace tabel::db
