#include "db/connection.h"

#include "db/db_error.h"
#include "db/odbc_result.h"
#include "db/pg_exec.h"

#include <QAtomicInt>
#include <QDateTime>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>
#include <libpq-fe.h>

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
    QString db = e.databaseText().trimmed();
    QString drv = e.driverText().trimmed();
    if (db.isEmpty())
        return drv;
    if (drv.isEmpty())
        return db;
    return db + u"\n"_s + drv;
}

// A refusal's message as the ODBC driver reports it ("ERROR: text;\nError while executing the
// query"), without the driver's words around it.
QString refusalText(QString text)
{
    text = text.section(u'\n', 0, 0).trimmed();
    if (text.startsWith(u"ERROR:"_s))
        text = text.mid(6).trimmed();
    if (text.endsWith(u';'))
        text.chop(1);
    return text;
}

QString sqlText(const QString& text)
{
    QString q = text;
    q.replace(u"'"_s, u"''"_s);
    return u'\'' + q + u'\'';
}

// The client's UTC offset now, as the server's interval literal ("+05:00").
QString utcOffsetLiteral()
{
    const int seconds = QDateTime::currentDateTime().offsetFromUtc();
    const int minutes = std::abs(seconds) / 60;
    return QString::asprintf("%c%02d:%02d", seconds < 0 ? '-' : '+', minutes / 60, minutes % 60);
}

} // namespace

Connection::Connection()
    : name_(uniqueName())
{
}

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
        db.setConnectOptions(u"SQL_ATTR_LOGIN_TIMEOUT="_s + QString::number(settings.connectTimeout));
    } else {
        db.setHostName(settings.server);
        db.setDatabaseName(settings.database);
        db.setPort(settings.port);
        db.setUserName(settings.login);
        db.setPassword(settings.password);
        db.setConnectOptions(u"sslmode=allow;connect_timeout="_s + QString::number(settings.connectTimeout));
    }
    db.setNumericalPrecisionPolicy(QSql::LowPrecisionDouble);
    if (!db.open()) {
        const QString text = errorText(db.lastError());
        throw DbError(text.isEmpty() ? u"Не удалось подключиться к базе данных"_s : text);
    }
    try {
        pinSession();
    } catch (...) {
        close();
        throw;
    }
}

void Connection::pinSession()
{
    // A server message reaches the user as it stands, without the PL/pgSQL call stack under it.
    if (settings_.driver == Driver::Psql)
        PQsetErrorContextVisibility(pgHandle(), PQSHOW_CONTEXT_NEVER);
    // Statements carry day-first date texts (vvod='13.12.2026'); a server's default "ISO, MDY"
    // would refuse or misread them.
    execute(u"set DateStyle = 'ISO, DMY'"_s);
    // now()::t_date in the statements is the shop's date, not the server's.
    const QString zone = QString::fromUtf8(QTimeZone::systemTimeZoneId());
    try {
        if (zone.isEmpty())
            throw DbError(u"no zone name"_s);
        execute(u"set TimeZone = "_s + sqlText(zone));
    } catch (const DbError&) { // a zone name the server does not know: the offset in force now
        execute(u"set time zone interval "_s + sqlText(utcOffsetLiteral()) + u" hour to minute"_s);
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
    if (!QSqlDatabase::contains(name_))
        return false;
    const QSqlDatabase db = QSqlDatabase::database(name_, false);
    if (!db.isOpen())
        return false;
    // QPSQL notices a dropped connection itself; QODBC keeps saying it is open
    return settings_.driver != Driver::Odbc || !odbcConnectionDead(db.driver()->handle());
}

QSqlQuery Connection::newQuery() const
{
    if (!isOpen())
        throw DbError(u"Нет подключения к базе данных"_s);
    return QSqlQuery(QSqlDatabase::database(name_, false));
}

void Connection::fail(const QSqlError& error, const QString& sqlState)
{
    const QString text = errorText(error);
    fail(isRefusal(sqlState) ? refusalText(text) : text, sqlState);
}

void Connection::fail(const QSqlQuery& query)
{
    fail(query.lastError(), odbcSqlState(query));
}

void Connection::fail(const PgOutcome& outcome)
{
    fail(isRefusal(outcome.sqlState) ? outcome.primary : outcome.error, outcome.sqlState);
}

void Connection::fail(const QString& serverText, const QString& sqlState)
{
    if (inTransaction_)
        failedInTransaction_ = true;
    throw DbError(serverText.isEmpty() ? u"Ошибка выполнения запроса"_s : serverText, sqlState);
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
            fail(outcome);
        return outcome.affected;
    }
    QSqlQuery q = newQuery();
    if (!q.exec(sql))
        fail(q);
    return q.numRowsAffected();
}

void Connection::transaction(const std::function<void()>& fn)
{
    if (inTransaction_) { // nested: part of the outer one, which an escaping error dooms
        try {
            fn();
        } catch (...) {
            failedInTransaction_ = true;
            throw;
        }
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
