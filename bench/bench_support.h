#pragma once
// What every benchmark shares: the server started by scripts/pg, medians, and the output lines.
#include "db/connection.h"
#include "support/test_db.h"

#include <QString>
#include <functional>

struct pg_conn;

namespace tabel::bench {

// The generated large enterprise (bench/generate_large).
inline const QString largeDatabase = QStringLiteral("tabel_bench_large");

// 127.0.0.1, port TABEL_PG_PORT (default 55432), sys/tovmask.
db::ConnectionSettings settings(const QString& database, db::Driver driver = db::Driver::Psql);
// Creates the database when it is missing; returns true when it was created (needs filling).
bool ensureDatabase(const QString& database);
// A plain libpq connection with the options of the program's QPSQL connection; exits on failure.
pg_conn* libpqConnect(const QString& database);
// Median wall time in milliseconds of `runs` calls of fn.
double medianMs(int runs, const std::function<void()>& fn);
// Wall time in milliseconds of one call of fn.
double onceMs(const std::function<void()>& fn);
// The first column of the first row of a statement's result (the tests' helper).
using test::scalar;
void print(const char* name, double value, const char* unit);
void printRatio(const char* name, double value);

} // namespace tabel::bench
