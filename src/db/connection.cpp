#include "db/connection.h"

#include "db/db_error.h"
#include "db/pg_exec.h"

#include <QAtomicInt>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace tabel::db {
namespace {

QString uniqueName()
{
    static QAtomicInt counter;
    return u"tabel-"_s + QString::number(counter.fetchAndAddRelaxed(1));
}

QString errorText(const QSqlError& e)
{
    const QString db = e.databaseText().trimmed();
    const QString drv = e.driverText().trimmed();
    if (db.isEmpty())
        return drv;
    if (drv.isEmpty())
        return db;
    return db + u"\n"_s + drv;
}

} // namespace

Connection::Connection() : name_(uniqueName()) {}

Connection::~Connection()
{
    close();
    QSqlDatabase::removeDatabase(name_);
}

void Connection::open(const ConnectionSettings& settings)
{
    close();
    settings_ = settings;
    ++generation_;
    QSqlDatabase db = QSqlDatabase::contains(name_) ? QSqlDatabase::database(name_, false) : QSqlDatabase();
    const QString type = settings.driver == Driver::Odbc ? u"QODBC"_s : u"QPSQL"_s;
    if (!db.isValid() || db.driverName() != type) {
        if (db.isValid()) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(name_);
        }
        db = QSqlDatabase::addDatabase(type, name_);
    }
    if (!db.isValid())
        throw DbError(u"Драйвер базы данных "_s + type + u" недоступен"_s);
    if (settings.driver == Driver::Odbc) {
        db.setDatabaseName(odbcConnectionString(settings));
        db.setUserName({});
        db.setPassword({});
    } else {
        db.setHostName(settings.server);
        db.setDatabaseName(settings.database);
        db.setPort(settings.port);
        db.setUserName(settings.login);
        db.setPassword(settings.password);
        db.setConnectOptions(u"sslmode=allow;connect_timeout=10"_s);
    }
    db.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!db.open()) {
        const QString text = errorText(db.lastError());
        throw DbError(text.isEmpty() ? u"Не удалось подключиться к базе данных"_s : text);
    }
}

void Connection::close()
{
    if (!QSqlDatabase::contains(name_))
        return;
    QSqlDatabase db = QSqlDatabase::database(name_, false);
    if (db.isOpen())
        db.close();
    inTransaction_ = false;
    failedInTransaction_ = false;
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(name_) && QSqlDatabase::database(name_, false).isOpen();
}

QSqlQuery Connection::newQuery() const
{
    if (!isOpen())
        throw DbError(u"Нет подключения к базе данных"_s);
    return QSqlQuery(QSqlDatabase::database(name_, false));
}

void Connection::fail(const QSqlError& error) { fail(errorText(error)); }

void Connection::fail(const QString& serverText)
{
    if (inTransaction_)
        failedInTransaction_ = true;
    throw DbError(serverText.isEmpty() ? u"Ошибка выполнения запроса"_s : serverText);
}

pg_conn* Connection::pgHandle() const
{
    if (!isOpen())
        throw DbError(u"Нет подключения к базе данных"_s);
    pg_conn* conn = pgConnection(QSqlDatabase::database(name_, false).driver()->handle());
    if (!conn)
        throw DbError(u"Нет подключения к базе данных"_s);
    return conn;
}

int Connection::execute(const QString& sql)
{
    if (driver() == Driver::Psql) {
        const PgOutcome outcome = pgExec(pgHandle(), sql, {});
        if (!outcome.error.isEmpty())
            fail(outcome.error);
        return outcome.affected;
    }
    QSqlQuery q = newQuery();
    if (!q.exec(sql))
        fail(q.lastError());
    return q.numRowsAffected();
}

void Connection::transaction(const std::function<void()>& fn)
{
    if (inTransaction_) { // nested: part of the outer one
        fn();
        return;
    }
    QSqlDatabase db = QSqlDatabase::database(name_, false);
    if (!db.isOpen())
        throw DbError(u"Нет подключения к базе данных"_s);
    if (!db.transaction())
        throw DbError(errorText(db.lastError()));
    inTransaction_ = true;
    failedInTransaction_ = false;
    auto rollback = [&] {
        db.rollback();
        inTransaction_ = false;
        failedInTransaction_ = false;
    };
    try {
        fn();
    } catch (...) {
        rollback();
        throw;
    }
    if (failedInTransaction_) {
        rollback();
        throw DbError(u"Транзакция отменена: одна из команд завершилась ошибкой"_s);
    }
    inTransaction_ = false;
    if (!db.commit()) {
        const QString text = errorText(db.lastError());
        db.rollback();
        throw DbError(text);
    }
}

} // namespace tabel::db
