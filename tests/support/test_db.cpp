#include "support/test_db.h"

#include "db/query.h"

#include <QCoreApplication>
#include <atomic>

using namespace Qt::StringLiterals;

namespace tabel::test {

db::ConnectionSettings serverSettings(const QString& database)
{
    db::ConnectionSettings s;
    s.server = u"127.0.0.1"_s;
    s.database = database;
    const QString port = qEnvironmentVariable("TABEL_PG_PORT");
    s.port = port.isEmpty() ? 55432 : port.toInt();
    s.login = u"sys"_s;
    s.password = u"tovmask"_s;
    s.driver = db::driverFromEnvironment();
    return s;
}

db::Value scalar(db::Connection& connection, const QString& sql)
{
    db::Query q(connection, sql);
    q.open();
    return q.isEmpty() ? db::Value() : q.value(0, 0);
}

FreshDatabase::FreshDatabase(db::Driver driver)
{
    static std::atomic<int> counter { 0 };
    name_ = u"t_"_s + QString::number(QCoreApplication::applicationPid()) + u"_"_s + QString::number(counter++);
    db::ConnectionSettings admin = serverSettings(u"postgres"_s);
    admin.driver = db::Driver::Psql;
    admin_.open(admin);
    admin_.execute(u"set client_min_messages = warning"_s);
    admin_.execute(u"drop database if exists "_s + name_ + u" with (force)"_s);
    const QString templ = qEnvironmentVariable("TABEL_PG_TEMPLATE", u"tabel_template"_s);
    admin_.execute(u"create database "_s + name_ + u" template "_s + templ);
    settings_ = serverSettings(name_);
    settings_.driver = driver;
    connection_.open(settings_);
}

FreshDatabase::~FreshDatabase()
{
    connection_.close();
    try {
        admin_.execute(u"drop database if exists "_s + name_ + u" with (force)"_s);
    } catch (...) {
        // the server is gone already; the throwaway cluster is removed with it
    }
}

} // namespace tabel::test
