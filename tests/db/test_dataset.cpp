#include "db/db_error.h"
#include "db/query.h"
#include "db/table.h"
#include "support/test_db.h"
#include "support/test_registry.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using namespace tabel;
using namespace tabel::db;

// Queries, commands and tables against the real server, through the driver of TABEL_SQL_DRIVER.
class DataSetTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::FreshDatabase> db_;

    Connection& conn() { return db_->connection(); }

    // A small list to sort and filter: id, name, grp, amount (nulls in places).
    void openList(Query& q)
    {
        q.setSql(QStringList { u"select * from (values"_s, u"  (1, 'Иванов И.И.', 2, 10.5::float8),"_s,
            u"  (2, 'Петров П.П.', 1, null),"_s, u"  (3, 'иванова А.А.', 2, 3.25),"_s, u"  (4, 'O''Brien', 1, 7.0),"_s,
            u"  (5, 'Сидоров С.С.', null, 10.5),"_s, u"  (6, 'Петров П.П.', 2, 1.0)"_s,
            u") t(id, name, grp, amount) order by id"_s });
        q.open();
    }

    static QList<int> ids(Query& q)
    {
        QList<int> out;
        for (q.first(); !q.eof(); q.next())
            out << q.field(u"id"_s).toInt();
        return out;
    }

private slots:
    void init() { db_ = std::make_unique<test::FreshDatabase>(); }
    void cleanup() { db_.reset(); }

    void namedParametersAreReboundAndReopened()
    {
        Query q(conn(),
            u"select :A::int + 1 as x, :name::text as n, :a::int * 2 as y, 'it''s :not' as lit, 1::int8 as c"_s);
        q.setParam(u"a"_s, 1);
        q.setParam(u"NAME"_s, u"Цех №2"_s);
        q.open();
        QCOMPARE(q.field(u"x"_s).toInt(), 2);
        QCOMPARE(q.field(u"y"_s).toInt(), 2);
        QCOMPARE(q.field(u"n"_s).toText(), u"Цех №2"_s);
        QCOMPARE(q.field(u"lit"_s).toText(), u"it's :not"_s);
        q.setParam(u"a"_s, 20);
        q.open();
        QCOMPARE(q.field(u"x"_s).toInt(), 21);
        QCOMPARE(q.field(u"y"_s).toInt(), 40);
        QCOMPARE(q.field(u"N"_s).toText(), u"Цех №2"_s); // kept, and fields ignore case
        QVERIFY_THROWS_EXCEPTION(DbError, q.setParam(u"missing"_s, 1));

        Query dates(conn(), u"select :d::date + 1 as next, :d::date as same"_s);
        dates.setParam(u"d"_s, QDate(2022, 12, 31));
        dates.open();
        QCOMPARE(dates.field(u"next"_s).toDate(), QDate(2023, 1, 1));
        QCOMPARE(dates.field(u"same"_s).toDate(), QDate(2022, 12, 31));
    }

    void insertReturningAndTypesRoundTrip()
    {
        conn().execute(u"create table probe (id bigserial primary key, erp numeric(15,0), name varchar(50), "
                       "price float8, qty numeric(12,3), day date, at timestamp, flag boolean, note text)"_s);
        conn().execute(u"select setval('probe_id_seq', 3000000000)"_s);
        Command ins(conn(),
            u"insert into probe (erp, name, price, qty, day, at, flag, note) "
            "values (:erp, :name, :price, :qty, :day, :at, :flag, :note) returning id"_s);
        ins.setParam(u"erp"_s, Q_INT64_C(123456789012345));
        ins.setParam(u"name"_s, u"Грунт ГФ-021 «серый»"_s);
        ins.setParam(u"price"_s, 30.3705);
        ins.setParam(u"qty"_s, 1.5);
        ins.setParam(u"day"_s, QDate(2022, 3, 5));
        ins.setParam(u"at"_s, QDateTime(QDate(2022, 3, 5), QTime(23, 30, 15)));
        ins.setParam(u"flag"_s, true);
        ins.setParam(u"note"_s, u"строка 1\nстрока 2"_s);
        const qint64 id = ins.executeReturning().toInt64();
        QCOMPARE(id, Q_INT64_C(3000000001));

        Command nulls(conn(), u"insert into probe (name) values (null) returning id"_s);
        const qint64 nullId = nulls.executeReturning().toInt64();

        Query q(conn(), u"select * from probe where id = :id"_s);
        q.setParam(u"id"_s, id);
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(q.field(u"id"_s).toInt64(), id);
        QCOMPARE(q.field(u"erp"_s).toId(), Q_INT64_C(123456789012345));
        QCOMPARE(q.field(u"name"_s).toText(), u"Грунт ГФ-021 «серый»"_s);
        QCOMPARE(q.field(u"price"_s).toDouble(), 30.3705);
        QCOMPARE(q.field(u"price"_s).toText(), u"30,3705"_s);
        QCOMPARE(q.field(u"qty"_s).toDouble(), 1.5);
        QCOMPARE(q.field(u"day"_s).toDate(), QDate(2022, 3, 5));
        QCOMPARE(q.field(u"day"_s).toText(), u"05.03.2022"_s);
        QCOMPARE(q.field(u"at"_s).toDateTime(), QDateTime(QDate(2022, 3, 5), QTime(23, 30, 15)));
        QVERIFY(q.field(u"flag"_s).toBool());
        QCOMPARE(q.field(u"flag"_s).toText(), u"1"_s);
        QCOMPARE(q.field(u"note"_s).toText(), u"строка 1\nстрока 2"_s);

        q.setParam(u"id"_s, nullId);
        q.open();
        for (const QString& f : { u"erp"_s, u"name"_s, u"price"_s, u"day"_s, u"at"_s, u"flag"_s, u"note"_s }) {
            QVERIFY2(q.field(f).isNull(), qPrintable(f));
            QCOMPARE(q.field(f).toText(), QString());
            QCOMPARE(q.field(f).toInt(), 0);
        }
        QVERIFY(!q.field(u"flag"_s).toBool());
    }

    void failingStatementCarriesServerText()
    {
        try {
            conn().execute(u"select 1/0"_s);
            QFAIL("no error");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains(u"division by zero"_s), qPrintable(e.text()));
        }
        Query q(conn(), u"select * from no_such_table where id = :id"_s);
        q.setParam(u"id"_s, 1);
        QVERIFY_THROWS_EXCEPTION(DbError, q.open());
        QVERIFY(!q.isOpen());
        // the connection is still usable afterwards
        Query ok(conn(), u"select 5 as five"_s);
        ok.open();
        QCOMPARE(ok.field(u"five"_s).toInt(), 5);
    }

    void failedTransactionLeavesNothing()
    {
        conn().execute(u"create table tx (id serial primary key, v int not null)"_s);
        Command ins(conn(), u"insert into tx (v) values (:v)"_s);
        // an error that escapes the function
        QVERIFY_THROWS_EXCEPTION(DbError, conn().transaction([&] {
            ins.setParam(u"v"_s, 1);
            ins.execute();
            conn().execute(u"insert into tx (v) values (null)"_s);
        }));
        // a failing statement whose error the function swallowed: still rolled back
        QVERIFY_THROWS_EXCEPTION(DbError, conn().transaction([&] {
            ins.setParam(u"v"_s, 2);
            ins.execute();
            try {
                conn().execute(u"insert into tx (v) values (null)"_s);
            } catch (const DbError&) {
            }
            ins.setParam(u"v"_s, 3);
            ins.execute();
        }));
        Query count(conn(), u"select count(*) as n from tx"_s);
        count.open();
        QCOMPARE(count.field(u"n"_s).toInt(), 0);
        // and a good one commits
        conn().transaction([&] {
            ins.setParam(u"v"_s, 4);
            ins.execute();
        });
        count.open();
        QCOMPARE(count.field(u"n"_s).toInt(), 1);
    }

    void stableMultiKeySort()
    {
        Query q(conn());
        openList(q);
        q.setSort(u"name ASC"_s);
        // Russian collation without regard to case (Cyrillic before Latin); the two "Петров" keep
        // their fetched order
        QCOMPARE(ids(q), (QList<int> { 1, 3, 2, 6, 5, 4 }));
        q.setSort(u"grp DESC, name ASC"_s);
        QCOMPARE(ids(q), (QList<int> { 1, 3, 6, 2, 4, 5 })); // null grp last when descending
        q.setSort(u"amount asc, id desc"_s);
        QCOMPARE(ids(q), (QList<int> { 2, 6, 3, 4, 5, 1 }));
        q.setSort(u"grp"_s);
        QCOMPARE(ids(q), (QList<int> { 5, 2, 4, 1, 3, 6 }));
        QVERIFY_THROWS_EXCEPTION(DbError, q.setSort(u"name sideways"_s));
        QVERIFY_THROWS_EXCEPTION(DbError, q.setSort(u"nosuch ASC"_s));
        q.open(); // re-opening drops the sort
        QCOMPARE(q.sort(), QString());
        QCOMPARE(ids(q), (QList<int> { 1, 2, 3, 4, 5, 6 }));
    }

    void filterLanguage_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("number =") << u"grp=1"_s << QList<int> { 2, 4 };
        QTest::newRow("number <>") << u"grp <> 1"_s << QList<int> { 1, 3, 5, 6 };
        QTest::newRow("text =") << u"name = 'петров п.п.'"_s << QList<int> { 2, 6 };
        QTest::newRow("like prefix") << u"name like 'Иванов%'"_s << QList<int> { 1, 3 };
        QTest::newRow("like any case") << u"NAME LIKE 'ив%'"_s << QList<int> { 1, 3 };
        QTest::newRow("like inner") << u"name like '%ов %'"_s << QList<int> { 1, 2, 5, 6 };
        QTest::newRow("quote") << u"name like 'O''B%'"_s << QList<int> { 4 };
        QTest::newRow("and") << u"grp=2 and name like 'П%'"_s << QList<int> { 6 };
        QTest::newRow("or") << u"id=1 or id=5"_s << QList<int> { 1, 5 };
        QTest::newRow("and before or") << u"id=1 or grp=1 and amount>5"_s << QList<int> { 1, 4 };
        QTest::newRow("parentheses") << u"(id=1 or grp=1) and amount>5"_s << QList<int> { 1, 4 };
        QTest::newRow("decimal") << u"amount=10.5"_s << QList<int> { 1, 5 };
        QTest::newRow("null never equal") << u"amount=0"_s << QList<int> {};
        QTest::newRow("text against number") << u"id='3'"_s << QList<int> { 3 };
    }
    void filterLanguage()
    {
        QFETCH(QString, filter);
        QFETCH(QList<int>, expected);
        Query q(conn());
        openList(q);
        q.setFilter(filter);
        QCOMPARE(q.recordCount(), 6); // not yet on
        q.setFiltered(true);
        QCOMPARE(ids(q), expected);
        q.setFiltered(false);
        QCOMPARE(q.recordCount(), 6);
    }

    void malformedFilterIsAClearError_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::newRow("open quote") << u"name like 'abc"_s;
        QTest::newRow("no operator") << u"name 'abc'"_s;
        QTest::newRow("no value") << u"grp ="_s;
        QTest::newRow("dangling and") << u"grp=1 and"_s;
        QTest::newRow("open parenthesis") << u"(grp=1"_s;
        QTest::newRow("stray text") << u"grp=1 grp=2"_s;
        QTest::newRow("like number") << u"grp like 1"_s;
        QTest::newRow("symbol") << u"grp=1; drop table x"_s;
    }
    void malformedFilterIsAClearError()
    {
        QFETCH(QString, filter);
        Query q(conn());
        openList(q);
        q.setFiltered(true);
        try {
            q.setFilter(filter);
            QFAIL("accepted");
        } catch (const DbError& e) {
            QVERIFY2(e.text().startsWith(u"Неверное условие отбора «"_s + filter + u"»"_s), qPrintable(e.text()));
        }
        QCOMPARE(q.recordCount(), 6); // the list is as it was
        QVERIFY_THROWS_EXCEPTION(DbError, q.setFilter(u"nosuch=1"_s));
    }

    void typedTextNeverBreaksTheFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("quote") << u"O'B"_s << QList<int> { 4 };
        QTest::newRow("lone quote") << u"'"_s << QList<int> {};
        QTest::newRow("percent is literal") << u"%ов"_s << QList<int> {};
        QTest::newRow("underscore is literal") << u"_ванов"_s << QList<int> {};
        QTest::newRow("injection") << u"x' or name like '"_s << QList<int> {};
        QTest::newRow("lower case") << u"пет"_s << QList<int> { 2, 6 };
    }
    void typedTextNeverBreaksTheFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QList<int>, expected);
        Query q(conn());
        openList(q);
        q.setFilter(filterLike(u"name"_s, typed));
        q.setFiltered(true);
        QCOMPARE(ids(q), expected);
    }

    void textFilterFollowsEditsAndKeepsNulls()
    {
        conn().execute(u"create table names_t (id serial primary key, name text)"_s);
        conn().execute(u"insert into names_t (name) values ('Иванов'), (null), ('Петров')"_s);
        Table t(conn(), u"names_t"_s, u"id"_s);
        t.open();
        t.setFilter(filterLike(u"name"_s, u"ив"_s));
        t.setFiltered(true);
        QCOMPARE(t.recordCount(), 1);
        t.setFilter(u"name<>'иванов'"_s);
        QCOMPARE(t.recordCount(), 2); // the null row too: null equals nothing
        t.setFilter(u"name=''"_s);
        QCOMPARE(t.recordCount(), 0); // and is not the empty text
        t.setFiltered(false);
        t.last();
        t.edit();
        t.setField(u"name"_s, u"Ивашов"_s);
        t.post();
        t.setFilter(filterLike(u"name"_s, u"ива"_s));
        t.setFiltered(true);
        QCOMPARE(t.recordCount(), 2); // the edited row is read as it is now
    }

    void recordNumberAndLocateAfterSortAndFilter()
    {
        Query q(conn());
        openList(q);
        QCOMPARE(q.recNo(), 1);
        QVERIFY(q.locate(u"id"_s, 4));
        QCOMPARE(q.recNo(), 4);
        QSignalSpy moved(&q, &DataSet::currentChanged);
        q.setSort(u"name DESC"_s); // the current row stays current
        QCOMPARE(q.field(u"id"_s).toInt(), 4);
        QCOMPARE(q.recNo(), 1);
        q.setRecNo(3);
        QCOMPARE(q.field(u"id"_s).toInt(), 2);
        q.setFilter(u"grp=1"_s);
        q.setFiltered(true);
        QCOMPARE(q.recordCount(), 2);
        QCOMPARE(q.field(u"id"_s).toInt(), 2);
        QCOMPARE(q.recNo(), 2);
        QVERIFY(!q.locate(u"id"_s, 1)); // filtered away: stays put
        QCOMPARE(q.recNo(), 2);
        QVERIFY(q.locate(u"name"_s, u"O'Brien"_s));
        QCOMPARE(q.field(u"id"_s).toInt(), 4);
        QCOMPARE(q.recNo(), 1);
        q.setFilter(u"grp=2"_s); // current row filtered out: first row
        QCOMPARE(q.recNo(), 1);
        QCOMPARE(q.field(u"id"_s).toInt(), 6);
        QVERIFY(moved.count() > 0);
        q.setRecNo(99);
        QCOMPARE(q.recNo(), 3);
        q.next();
        QVERIFY(q.eof());
        QCOMPARE(q.recNo(), 0);
        QVERIFY_THROWS_EXCEPTION(DbError, q.field(u"id"_s));
        // re-opening keeps the filter, drops the sort, goes to the first row
        q.open();
        QVERIFY(q.filtered());
        QCOMPARE(ids(q), (QList<int> { 1, 3, 6 }));
        q.setRecNo(3);
        q.refresh(); // re-read in place
        QCOMPARE(q.recNo(), 3);
    }

    void tableEditAppendPostRemove()
    {
        conn().execute(u"create table norm_t (id serial primary key, o_id int, norma int, price float8 default 1.5)"_s);
        conn().execute(u"insert into norm_t (o_id, norma, price) values (7, 10, 2.5), (7, 20, 2.0), (8, 5, 9.0)"_s);
        Table t(conn(), u"norm_t"_s);
        t.open();
        t.setFilter(u"o_id=7"_s);
        t.setFiltered(true);
        t.setSort(u"norma ASC"_s);
        QCOMPARE(t.recordCount(), 2);
        t.last();
        t.edit();
        t.setField(u"price"_s, 1.75);
        QCOMPARE(t.field(u"price"_s).toDouble(), 1.75);
        t.post();
        QCOMPARE(t.field(u"price"_s).toDouble(), 1.75);
        t.append();
        t.setField(u"o_id"_s, 7);
        t.setField(u"norma"_s, 15);
        t.post();
        QCOMPARE(t.recordCount(), 3);
        QCOMPARE(t.field(u"norma"_s).toInt(), 15);
        QVERIFY(t.field(u"id"_s).toInt() > 3); // the server's id came back
        QCOMPARE(t.field(u"price"_s).toDouble(), 1.5); // and its default
        QCOMPARE(t.recNo(), 2); // placed by the sort
        t.append();
        t.setField(u"o_id"_s, 7);
        t.cancel();
        QCOMPARE(t.recordCount(), 3);
        t.first();
        t.remove();
        QCOMPARE(t.recordCount(), 2);

        Query check(conn(), u"select o_id, norma, price from norm_t order by o_id, norma"_s);
        check.open();
        QCOMPARE(check.recordCount(), 3);
        QCOMPARE(check.field(u"norma"_s).toInt(), 15);
        check.next();
        QCOMPARE(check.field(u"price"_s).toDouble(), 1.75);
        check.next();
        QCOMPARE(check.field(u"o_id"_s).toInt(), 8);

        // a failing post keeps the row being edited
        t.first();
        t.edit();
        t.setField(u"norma"_s, u"много"_s);
        QVERIFY_THROWS_EXCEPTION(DbError, t.post());
        QCOMPARE(t.state(), Table::State::Edit);
        t.cancel();
    }

    void tableWithoutIdIsKeyedByItsValues()
    {
        conn().execute(u"create table ver_t (d int, t int)"_s);
        Table t(conn(), u"ver_t"_s);
        t.open();
        QVERIFY(t.isEmpty());
        t.append();
        t.setField(u"d"_s, 20220506);
        t.setField(u"t"_s, 39256);
        t.post();
        t.open();
        t.first();
        t.edit();
        t.setField(u"t"_s, 40000);
        t.post();
        Query check(conn(), u"select d, t from ver_t"_s);
        check.open();
        QCOMPARE(check.recordCount(), 1);
        QCOMPARE(check.field(u"t"_s).toInt(), 40000);
        // changed under our feet: the update touches nothing and says so
        conn().execute(u"update ver_t set t = 1"_s);
        t.edit();
        t.setField(u"t"_s, 2);
        QVERIFY_THROWS_EXCEPTION(DbError, t.post());
    }
};

TABEL_TEST(DataSetTest)
#include "test_dataset.moc"
