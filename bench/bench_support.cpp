#include "bench_support.h"

#include "db/query.h"
#include "support/test_db.h"

#include <libpq-fe.h>

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace tabel::bench {

db::ConnectionSettings settings(const QString& database, db::Driver driver)
{
    db::ConnectionSettings s = test::serverSettings(database);
    s.driver = driver;
    return s;
}

bool ensureDatabase(const QString& database)
{
    db::Connection admin;
    admin.open(settings(u"postgres"_s));
    db::Query q(admin, u"select count(*) as n from pg_database where datname = :name"_s);
    q.setParam(u"name"_s, database);
    q.open();
    if (q.field(u"n"_s).toInt() > 0)
        return false;
    admin.execute(u"create database "_s + database);
    return true;
}

pg_conn* libpqConnect(const QString& database)
{
    const db::ConnectionSettings s = settings(database);
    const QByteArray conninfo = (u"sslmode=allow client_encoding=UTF8 host="_s + s.server + u" port="_s
        + QString::number(s.port) + u" dbname="_s + s.database + u" user="_s + s.login + u" password="_s + s.password)
                                    .toUtf8();
    PGconn* conn = PQconnectdb(conninfo.constData());
    if (PQstatus(conn) != CONNECTION_OK) {
        std::fprintf(stderr, "libpq: %s\n", PQerrorMessage(conn));
        std::exit(1);
    }
    return conn;
}

double onceMs(const std::function<void()>& fn)
{
    QElapsedTimer t;
    t.start();
    fn();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

double medianMs(int runs, const std::function<void()>& fn)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        fn();
        times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void print(const char* name, double value, const char* unit)
{
    std::printf("%s: %.1f %s\n", name, value, unit);
    std::fflush(stdout);
}

void printRatio(const char* name, double value)
{
    std::printf("%s ratio: %.2f\n", name, value);
    std::fflush(stdout);
}

} // namespace tabel::bench
