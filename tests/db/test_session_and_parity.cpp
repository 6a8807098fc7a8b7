#include "db/db_error.h"
#include "db/query.h"
#include "db/statement.h"
#include "db/table.h"
#include "support/test_db.h"
#include "support/test_registry.h"

#include <QTest>
#include <QTimeZone>
#include <memory>

using namespace Qt::StringLiterals;
using namespace tabel;
using namespace tabel::db;

// What every session is pinned to, and how values travel both ways, the same on both drivers.
class SessionAndParityTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::FreshDatabase> db_;

    Connection& conn() { return db_->connection(); }

    db::Value scalar(const QString& sql) { return test::scalar(conn(), sql); }

private slots:
    void init() { db_ = std::make_unique<test::FreshDatabase>(); }
    void cleanup() { db_.reset(); }

    void dayFirstDateTextsWhateverTheServerSays()
    {
        // the role of the test server reads dates month first, as a stock server does
        conn().execute(u"alter role sys in database "_s + db_->name() + u" set datestyle = 'ISO, MDY'"_s);
        Connection other;
        other.open(db_->settings());
        Query q(other, u"select '13.12.2026'::date as a, '05.11.2026'::date as b, to_char(now(), 'x') as c"_s);
        q.open();
        QCOMPARE(q.field(u"a"_s).toDate(), QDate(2026, 12, 13));
        QCOMPARE(q.field(u"b"_s).toDate(), QDate(2026, 11, 5));
        // and the reconnect of a dropped session is pinned again
        other.open(db_->settings());
        Query again(other, u"select '05.11.2026'::date as b"_s);
        again.open();
        QCOMPARE(again.field(u"b"_s).toDate(), QDate(2026, 11, 5));
    }

    void sessionTimeZoneIsTheClients()
    {
        conn().execute(u"alter role sys in database "_s + db_->name() + u" set timezone = 'Pacific/Kiritimati'"_s);
        Connection other;
        other.open(db_->settings());
        Query q(
            other, u"select now()::t_date as today, now() as stamp, timestamptz '2026-03-01 10:00:00+00' as fixed"_s);
        q.open();
        QCOMPARE(q.field(u"today"_s).toDate(), QDate::currentDate());
        const QDateTime stamp = q.field(u"stamp"_s).toDateTime();
        QVERIFY2(qAbs(stamp.secsTo(QDateTime::currentDateTime())) < 120, qPrintable(stamp.toString(Qt::ISODate)));
        QCOMPARE(q.field(u"fixed"_s).toDateTime(), QDateTime(QDate(2026, 3, 1), QTime(10, 0), Qt::UTC).toLocalTime());
    }

    void nullParametersAreNull_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("type");
        QTest::newRow("invalid variant as text") << QVariant() << u"text"_s;
        QTest::newRow("invalid variant as date") << QVariant() << u"date"_s;
        QTest::newRow("null date") << QVariant(QDate()) << u"date"_s;
        QTest::newRow("null date-time") << QVariant(QDateTime()) << u"timestamp"_s;
        QTest::newRow("null string") << QVariant(QString()) << u"text"_s;
        QTest::newRow("null number text") << QVariant(QString()) << u"int"_s;
    }
    void nullParametersAreNull()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, type);
        conn().execute(u"create table probe (v "_s + type + u")"_s);
        Command ins(conn(), u"insert into probe (v) values (:v)"_s);
        ins.setParam(u"v"_s, value);
        ins.execute();
        QCOMPARE(scalar(u"select count(*) from probe where v is null"_s).toInt(), 1);
        // read back as null and written back, it stays null
        Query q(conn(), u"select v from probe"_s);
        q.open();
        QVERIFY(q.field(u"v"_s).isNull());
        Command again(conn(), u"insert into probe (v) values (:v)"_s);
        again.setParam(u"v"_s, q.field(u"v"_s).variant());
        again.execute();
        QCOMPARE(scalar(u"select count(*) from probe where v is null"_s).toInt(), 2);
    }

    void emptyTextIsNotNull()
    {
        conn().execute(u"create table probe (v text)"_s);
        Command ins(conn(), u"insert into probe (v) values (:v)"_s);
        ins.setParam(u"v"_s, QString(u""_s));
        ins.execute();
        QCOMPARE(scalar(u"select count(*) from probe where v = ''"_s).toInt(), 1);
    }

    void numbersAndTimesTravelExactly()
    {
        conn().execute(u"create table probe (n numeric, f float8, at timestamp)"_s);
        conn().execute(u"insert into probe values (0.1, 0.1, timestamp '2026-12-10 08:15:30.123456')"_s);
        Query q(conn(), u"select count(*) as c from probe where n = :x and f = :x"_s);
        q.setParam(u"x"_s, 0.1);
        q.open();
        QCOMPARE(q.field(u"c"_s).toInt(), 1);

        // a timestamp read and bound back finds its row: the microseconds survive both ways
        Query at(conn(), u"select at, n, at as again from probe"_s);
        at.open();
        Query back(conn(), u"select count(*) as c from probe where at = :at"_s);
        back.setParam(u"at"_s, at.field(u"at"_s).variant());
        back.open();
        QCOMPARE(back.field(u"c"_s).toInt(), 1);
        QCOMPARE(at.field(u"at"_s).toDateTime(), QDateTime(QDate(2026, 12, 10), QTime(8, 15, 30, 123)));
        QCOMPARE(at.field(u"n"_s).toDouble(), 0.1);
        QCOMPARE(at.field(u"again"_s).variant().value<Timestamp>(), at.field(u"at"_s).variant().value<Timestamp>());

        // a keyless table whose row holds such values is updated, not reported as changed by others
        Table t(conn(), u"probe"_s);
        t.open();
        t.edit();
        t.setField(u"f"_s, 0.2);
        t.post();
        QCOMPARE(scalar(u"select f from probe"_s).toDouble(), 0.2);
    }

    void odbcReadsLikeLibpq()
    {
        Query q(conn(),
            u"select 1.5::real as r, true as t, false as f, null::boolean as n, 2.25::float4 as r2 "
            "from generate_series(1, 2)"_s);
        q.open();
        QVERIFY(q.field(u"r"_s).isNumeric());
        QCOMPARE(q.field(u"r"_s).toDouble(), 1.5);
        QCOMPARE(q.field(u"r"_s).toText(), u"1,5"_s);
        QCOMPARE(q.field(u"t"_s).variant().typeId(), QMetaType::Bool);
        QCOMPARE(q.field(u"t"_s).variant().toBool(), true);
        QCOMPARE(q.field(u"f"_s).variant().typeId(), QMetaType::Bool);
        QCOMPARE(q.field(u"f"_s).variant().toBool(), false);
        QVERIFY(q.field(u"n"_s).isNull());
        q.setSort(u"r2 DESC"_s);
        QCOMPARE(q.field(u"r2"_s).toDouble(), 2.25);
    }

    void droppedConnectionIsNotOpenAndReopens()
    {
        QVERIFY(conn().isOpen());
        const int pid = scalar(u"select pg_backend_pid()"_s).toInt();
        Connection killer;
        killer.open(db_->settings());
        killer.execute(u"select pg_terminate_backend("_s + QString::number(pid) + u")"_s);
        QVERIFY_THROWS_EXCEPTION(DbError, scalar(u"select 1"_s));
        QVERIFY(!conn().isOpen());
        conn().open(db_->settings());
        QCOMPARE(scalar(u"select 7"_s).toInt(), 7);
    }

    void innerTransactionFailureRollsBackTheOuter()
    {
        conn().execute(u"create table probe (v int)"_s);
        QVERIFY_THROWS_EXCEPTION(DbError, conn().transaction([&] {
            conn().execute(u"insert into probe values (1)"_s);
            try {
                conn().transaction([&] {
                    conn().execute(u"insert into probe values (2)"_s);
                    throw DbError(u"inner"_s);
                });
            } catch (const DbError&) {
                // the outer code goes on, but the transaction is doomed
            }
            conn().execute(u"insert into probe values (3)"_s);
        }));
        QCOMPARE(scalar(u"select count(*) from probe"_s).toInt(), 0);
        QVERIFY(!conn().inTransaction());
        // the connection works on afterwards
        conn().transaction([&] { conn().execute(u"insert into probe values (4)"_s); });
        QCOMPARE(scalar(u"select count(*) from probe"_s).toInt(), 1);
    }

    void parameterNamesInsideCommentsAndStringsAreText_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("block comment") << u"select /* :x here */ :v::text as r"_s << u"ok"_s;
        QTest::newRow("nested block comment") << u"select /* a /* :x */ :y */ :v::text as r"_s << u"ok"_s;
        QTest::newRow("dollar quote") << u"select $$:x$$ || :v::text as r"_s << u":xok"_s;
        QTest::newRow("tagged dollar quote") << u"select $q$it's :x$q$ || :v::text as r"_s << u"it's :xok"_s;
        QTest::newRow("escape string") << u"select E'a\\':x' || :v::text as r"_s << u"a':xok"_s;
        QTest::newRow("line comment") << u"select :v::text as r -- :x\n"_s << u"ok"_s;
    }
    void parameterNamesInsideCommentsAndStringsAreText()
    {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        Query q(conn(), sql);
        q.setParam(u"v"_s, u"ok"_s);
        QVERIFY_THROWS_EXCEPTION(DbError, q.setParam(u"x"_s, 1));
        q.open();
        QCOMPARE(q.field(u"r"_s).toText(), expected);
    }

    void failedChangesLeaveTheDataSetAsItWas()
    {
        Query q(conn(), u"select * from (values (1, 'б'), (2, 'а'), (3, 'в')) t(id, \"имя\") order by id"_s);
        q.open();
        q.setSort(u"имя DESC"_s); // Cyrillic field names sort like they filter
        q.first();
        QCOMPARE(q.field(u"id"_s).toInt(), 3);
        q.setFilter(u"id <> 2"_s);
        q.setFiltered(true);
        QCOMPARE(q.recordCount(), 2);
        QVERIFY_THROWS_EXCEPTION(DbError, q.setFilter(u"nosuch = 1"_s));
        QCOMPARE(q.filter(), u"id <> 2"_s);
        QCOMPARE(q.recordCount(), 2);
        QVERIFY_THROWS_EXCEPTION(DbError, q.setSort(u"nosuch ASC"_s));
        QCOMPARE(q.sort(), u"имя DESC"_s);
        QCOMPARE(q.field(u"id"_s).toInt(), 3);
        q.setFilter(u"id <> 3"_s); // later calls work
        QCOMPARE(q.recordCount(), 2);

        q.setSql(u"select * from no_such_table"_s);
        QVERIFY_THROWS_EXCEPTION(DbError, q.open());
        QVERIFY(!q.isOpen());
        QCOMPARE(q.recordCount(), 0);
    }

    void tablePostShowsWhatTheServerStored()
    {
        conn().execute(u"create table probe (id serial primary key, price float8, note text default 'x', "
                       "changed int default 0)"_s);
        conn().execute(u"create function probe_touch() returns trigger language plpgsql as "
                       "$$ begin new.changed := old.changed + 1; return new; end $$"_s);
        conn().execute(
            u"create trigger probe_touch before update on probe for each row execute function probe_touch()"_s);
        conn().execute(u"insert into probe (price) values (10), (3)"_s);
        Table t(conn(), u"probe"_s);
        t.open();
        t.setSort(u"price ASC"_s);
        t.first();
        QCOMPARE(t.field(u"price"_s).toDouble(), 3.0);
        t.edit();
        t.setField(u"price"_s, u"20.50"_s); // as typed
        t.post();
        QVERIFY(t.field(u"price"_s).isNumeric());
        QCOMPARE(t.field(u"price"_s).toDouble(), 20.5);
        QCOMPARE(t.field(u"changed"_s).toInt(), 1);
        t.setSort(u"price DESC"_s);
        t.first();
        QCOMPARE(t.field(u"price"_s).toDouble(), 20.5); // sorts as a number

        // append while editing posts the edit first
        t.first();
        t.edit();
        t.setField(u"price"_s, 30);
        t.append();
        t.setField(u"price"_s, 1);
        t.post();
        QCOMPARE(scalar(u"select string_agg(price::text, ',' order by price) from probe"_s).toText(), u"1,10,30"_s);
    }

    void filterComparesDatesAsDates()
    {
        Query q(conn(),
            u"select * from (values (1, date '2021-12-31'), (2, date '2022-03-02'), (3, date '2022-03-01')) t(id, day)"_s);
        q.open();
        q.setFilter(u"day > '01.03.2022'"_s);
        q.setFiltered(true);
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.field(u"id"_s).toInt(), 2);
        q.setFilter(u"day = '01.03.2022'"_s);
        QCOMPARE(q.field(u"id"_s).toInt(), 3);
    }

    void locateWithTextThatIsNoNumberFindsNothing()
    {
        Query q(conn(), u"select * from (values (0), (5)) t(n)"_s);
        q.open();
        q.last();
        QVERIFY(!q.locate(u"n"_s, u"abc"_s));
        QCOMPARE(q.recNo(), 2);
        QVERIFY(q.locate(u"n"_s, u"5"_s));
        QVERIFY(q.locate(u"n"_s, 0));
        QCOMPARE(q.recNo(), 1);
    }

    void refreshKeepsTheRowNumberOrGoesToTheFirst()
    {
        conn().execute(u"create table probe (id int)"_s);
        conn().execute(u"insert into probe select generate_series(1, 5)"_s);
        Query q(conn(), u"select id from probe order by id"_s);
        q.open();
        q.setSort(u"id DESC"_s);
        q.setRecNo(4);
        q.refresh();
        QCOMPARE(q.sort(), u"id DESC"_s);
        QCOMPARE(q.recNo(), 4);
        QCOMPARE(q.field(u"id"_s).toInt(), 2);
        conn().execute(u"delete from probe where id > 2"_s);
        q.refresh();
        QCOMPARE(q.recNo(), 1); // fewer rows than the number: the first row, not the last
        QCOMPARE(q.field(u"id"_s).toInt(), 2);
    }
};

TABEL_TEST(SessionAndParityTest)
#include "test_session_and_parity.moc"
