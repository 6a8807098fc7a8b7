#include "db/data_module.h"
#include "db/db_error.h"
#include "db/query.h"
#include "domain/production_records.h"
#include "support/test_db.h"
#include "support/test_registry.h"

#include <QTest>
#include <QThread>
#include <atomic>
#include <memory>
#include <thread>

using namespace Qt::StringLiterals;
using namespace tabel;

// The rules of a payable record as the server holds them for any client: each demo login through
// a plain connection, the history, and the hours cells and requisition lines under several
// copies of the program at once.
class RulesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::FreshDatabase> db_;

    db::Connection& sys() { return db_->connection(); }
    db::Value scalar(const QString& sql) { return test::scalar(sys(), sql); }
    db::ConnectionSettings as(const QString& login) const
    {
        db::ConnectionSettings s = db_->settings();
        s.login = login;
        s.password = login;
        return s;
    }
    // The SQLSTATE a statement fails with, or "ok".
    static QString outcome(db::Connection& c, const QString& sql)
    {
        try {
            c.execute(sql);
            return u"ok"_s;
        } catch (const db::DbError& e) {
            return e.sqlState().isEmpty() ? e.text() : e.sqlState();
        }
    }
    // Every hours cell of the worker's two months equals the sum of its records, in one row each.
    void cellsEqualTheRecords(int worker)
    {
        const QString mismatches = scalar(uR"(
select string_agg(format('%s %s: cell %s, records %s', k.smena, k.day, k.cell, k.hours), '; ')
from (select d.smena, d.day,
             (select string_agg((to_jsonb(h) ->> ('d' || extract(day from d.day)))::text, ',')
                from accounts_dep.h_tabel h
               where h.w_id = %1 and h.smena = d.smena and h.month = extract(month from d.day)
                 and h.year = extract(year from d.day)) as cell,
             (select coalesce(sum(time), 0) from accounts_dep.smena s
               where s.w_id = %1 and s.smena = d.smena and s.data = d.day) as hours
        from (select s, day::date from generate_series(1, 2) s,
                     generate_series(date '2022-01-25', date '2022-02-05', interval '1 day') day) d(smena, day)) k
where coalesce(k.cell, '0') <> k.hours::text)"_s.arg(worker))
                                       .toText();
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches));
    }
    Id operation_ = 0; // the first operation of product 1001
    // A record of product 1001 (callable from any thread: it asks the server nothing).
    ProductionRecord record(int worker, const QDate& day, int hours) const
    {
        ProductionRecord r;
        r.worker = worker;
        r.product = 1001;
        r.operation = operation_;
        r.price = 10;
        r.quantity = 1;
        r.date = day;
        r.shift = 1;
        r.hours = hours;
        return r;
    }

private slots:
    void init()
    {
        db_ = std::make_unique<test::FreshDatabase>();
        operation_ = scalar(u"select min(id) from accounts_dep.oper where i_id = 1001"_s).toId();
    }
    void cleanup() { db_.reset(); }

    void eachLoginMayDoWhatItsRoleMay_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* login, const QString& sql, const char* expected) {
            QTest::newRow(name) << QString::fromUtf8(login) << sql << QString::fromUtf8(expected);
        };
        const QString accept = u"select accounts_dep.smena__accept_row_hwo({open})"_s;
        row("master accepts", "master", accept, "TB002");
        row("master marks accepted", "master",
            u"update accounts_dep.smena set kol_vo = 500, ok = 'ok' where id = {open}"_s, "TB002");
        row("master takes acceptance back", "master",
            u"update accounts_dep.smena set ok = 'no' where id = {accepted}"_s, "TB001");
        row("master corrects hours", "master", u"update accounts_dep.smena set time = 3 where id = {open}"_s, "ok");
        row("master adds a type", "master", u"insert into accounts_dep.vid_oper (vid) values ('Ъ')"_s, "ok");
        row("master changes stock", "master", u"update cmn_gds_and_srv.consignment set f_qty = 0"_s, "42501");
        row("master frees reservations", "master", u"delete from mnf_doc.reserve"_s, "42501");
        row("master changes a requisition", "master", u"update mnf_doc.doc_item set f_qty = 1e6"_s, "42501");
        row("master rewrites history", "master", u"delete from accounts_dep.smena_history"_s, "42501");
        row("econom stamps the version", "econom", u"update accounts_dep.ver set d = d"_s, "ok");
        row("econom writes a record", "econom", u"update accounts_dep.smena set time = 1 where id = {open}"_s, "42501");
        row("econom adds a material", "econom",
            u"insert into accounts_dep.smena_gds_use (id_smena, id_gds_use, f_qty_use) values ({open}, 5001, 1)"_s,
            "42501");
        row("econom accepts", "econom", accept, "TB002");
        row("kontrol1 accepts", "kontrol1", accept, "ok");
        row("glavmaster accepts", "glavmaster", accept, "ok");
        row("sys changes an accepted record", "sys",
            u"update accounts_dep.smena set kol_vo = 1 where id = {accepted}"_s, "TB001");
        row("sys marks it accepted again", "sys", u"update accounts_dep.smena set ok = 'да' where id = {accepted}"_s,
            "TB001");
        row("sys deletes an accepted record", "sys", u"delete from accounts_dep.smena where id = {accepted}"_s,
            "TB001");
        row("sys adds a material to it", "sys",
            u"insert into accounts_dep.smena_gds_use (id_smena, id_gds_use, f_qty_use) values ({accepted}, 5001, 1)"_s,
            "TB001");
        row("sys changes its materials", "sys",
            u"update accounts_dep.smena_gds_use set f_qty_use = 0 where id_smena = {accepted}"_s, "TB001");
        row("sys removes its materials", "sys", u"delete from accounts_dep.smena_gds_use where id_smena = {accepted}"_s,
            "TB001");
        row("sys adds it a team member", "sys",
            u"insert into accounts_dep.person_temp (id_smena, id_person) select {accepted}, min(id) from cmn_contractor.person"_s,
            "TB001");
        row("sys rewrites history", "sys", u"update accounts_dep.smena_history set login = 'x'"_s, "TB003");
        row("sys clears history", "sys", u"truncate accounts_dep.smena_history"_s, "TB003");
    }
    void eachLoginMayDoWhatItsRoleMay()
    {
        QFETCH(QString, login);
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        // a record not accepted that has materials, and an accepted one with materials
        const QString open = scalar(u"select min(s.id) from accounts_dep.smena s where s.ok = 'no' and exists "
                                    "(select 1 from accounts_dep.smena_gds_use u where u.id_smena = s.id)"_s)
                                 .toText();
        const QString accepted = scalar(u"select min(s.id) from accounts_dep.smena s where s.ok = 'ok' and exists "
                                        "(select 1 from accounts_dep.smena_gds_use u where u.id_smena = s.id)"_s)
                                     .toText();
        const QString before
            = scalar(u"select md5(string_agg(s::text, '' order by id)) from accounts_dep.smena s"_s).toText();
        db::Connection c;
        c.open(login == u"sys"_s ? db_->settings() : as(login));
        const QString got = outcome(c, QString(sql).replace(u"{open}"_s, open).replace(u"{accepted}"_s, accepted));
        QCOMPARE(got, expected);
        if (expected != u"ok"_s) // a refusal changes nothing
            QCOMPARE(scalar(u"select md5(string_agg(s::text, '' order by id)) from accounts_dep.smena s"_s).toText(),
                before);
    }

    void refusalsReadInTheProgramsWords()
    {
        db::Connection master;
        master.open(as(u"master"_s));
        const QString accepted = scalar(u"select min(id) from accounts_dep.smena where ok = 'ok'"_s).toText();
        try {
            master.execute(u"delete from accounts_dep.smena where id = "_s + accepted);
            QFAIL("an accepted record was deleted");
        } catch (const db::DbError& e) {
            QVERIFY(e.isRecordClosed());
            QCOMPARE(e.text(), u"Запись "_s + accepted + u" уже принята: изменить или удалить её нельзя."_s);
        }
    }

    void historyNamesWhoActedAndStays()
    {
        db::TDataModule6 master;
        master.ADO_DB.open(as(u"master"_s));
        ProductionRecord r = record(1001, QDate(2022, 3, 9), 4);
        const Id id = insertRecord(master, r, QDate::currentDate());
        r.quantity = 3;
        updateRecord(master, id, r, QDate::currentDate());
        master.ADO_DB.execute(u"insert into accounts_dep.smena_gds_use (id_smena, id_gds_use, f_qty_use) values ("_s
            + QString::number(id) + u", 5001, 0.5)"_s);
        db::Connection kontrol;
        kontrol.open(as(u"kontrol1"_s));
        kontrol.execute(u"select accounts_dep.smena__accept_row_hwo("_s + QString::number(id) + u")"_s);
        QCOMPARE(scalar(u"select string_agg(login || ' ' || action, '; ' order by id) from accounts_dep.smena_history "
                        "where id_smena = "_s
                     + QString::number(id))
                     .toText(),
            u"master добавление; master изменение; master материал: добавление; kontrol1 приёмка"_s);
        QCOMPARE(scalar(u"select changes from accounts_dep.v_smena_history where id_smena = "_s + QString::number(id)
                     + u" and action = 'изменение'"_s)
                     .toText(),
            u"kol_vo: 1 → 3"_s);
        QCOMPARE(outcome(kontrol, u"delete from accounts_dep.smena_history"_s), u"42501"_s);
    }

    void movesAndDeletesOfEightCopiesKeepTheCells()
    {
        // Copies A and B show the record on 31.01; A moves it to 01.02, then B deletes it or moves
        // it on, from its stale journal: the cells follow what the database holds.
        db::TDataModule6 a, b;
        a.ADO_DB.open(as(u"master"_s));
        b.ADO_DB.open(as(u"master"_s));
        const QDate jan31(2022, 1, 31), feb1(2022, 2, 1), feb2(2022, 2, 2);
        for (const bool deletes : { true, false }) {
            const Id id = insertRecord(a, record(1011, jan31, 5), jan31);
            updateRecord(a, id, record(1011, feb1, 5), jan31);
            if (deletes)
                deleteRecord(b, id);
            else
                updateRecord(b, id, record(1011, feb2, 5), jan31);
            cellsEqualTheRecords(1011);
        }

        // Eight copies move records of one worker across the month's end both ways and delete
        // some meanwhile: no deadlock, no raw server text, every cell the sum of its records.
        std::vector<Id> pool;
        for (int i = 0; i < 16; ++i)
            pool.push_back(insertRecord(a, record(1012, i % 2 ? jan31 : feb1, 1 + i % 4), jan31));
        std::atomic<int> failures { 0 };
        std::atomic<int> stale { 0 };
        const auto copy = [&](int n) {
            db::TDataModule6 dm;
            try {
                dm.ADO_DB.open(as(u"master"_s));
                for (int i = 0; i < 40; ++i) {
                    const Id id = pool[(i * 7 + n * 3) % pool.size()];
                    try {
                        if (n == 7 && i % 10 == 9)
                            deleteRecord(dm, id);
                        else
                            updateRecord(dm, id, record(1012, (i + n) % 2 ? jan31 : feb1, 1 + (i + n) % 5), jan31);
                    } catch (const StaleRecord&) {
                        ++stale; // deleted by another copy meanwhile: said in the program's words
                    }
                }
            } catch (const std::exception& e) {
                qWarning("copy %d: %s", n, e.what());
                ++failures;
            }
        };
        std::vector<std::unique_ptr<QThread>> threads;
        for (int n = 0; n < 8; ++n)
            threads.emplace_back(QThread::create(copy, n));
        for (auto& t : threads)
            t->start();
        for (auto& t : threads)
            t->wait();
        QCOMPARE(failures.load(), 0);
        QVERIFY(stale.load() > 0);
        cellsEqualTheRecords(1012);
        QCOMPARE(scalar(u"select max(n) from (select count(*) as n from accounts_dep.h_tabel where w_id = 1012 "
                        "group by w_id, smena, month, year) k"_s)
                     .toInt(),
            1);
    }

    void twoCopiesNeverTakeALineBeyondItself()
    {
        // Each round the line gets 5 pieces more; two copies each try to take those 5 at once.
        const Id line = 400000000001;
        ProductionRecord r = record(1013, QDate(2022, 3, 1), 1);
        r.line = line;
        r.requisition = scalar(u"select id_doc from mnf_doc.doc_item where id = "_s + QString::number(line)).toId();
        const auto open = [&] {
            return scalar(u"select accounts_dep.line_open_qty("_s + QString::number(line) + u", "_s
                + QString::number(r.operation) + u", 0)"_s)
                .toDouble();
        };
        sys().execute(u"update mnf_doc.doc_item set f_qty = f_qty - "_s + QString::number(open()) + u" where id = "_s
            + QString::number(line));
        QCOMPARE(open(), 0.0);
        std::atomic<int> saved { 0 }, refused { 0 }, failures { 0 };
        for (int round = 0; round < 10; ++round) {
            sys().execute(u"update mnf_doc.doc_item set f_qty = f_qty + 5 where id = "_s + QString::number(line));
            std::atomic<int> ready { 0 };
            const auto copy = [&] {
                db::TDataModule6 dm;
                try {
                    dm.ADO_DB.open(as(u"master"_s));
                    ProductionRecord mine = r;
                    mine.quantity = 5;
                    ++ready;
                    while (ready.load() < 2)
                        std::this_thread::yield();
                    insertRecord(dm, mine, QDate::currentDate());
                    ++saved;
                } catch (const BeyondLine&) {
                    ++refused;
                } catch (const std::exception& e) {
                    qWarning("copy: %s", e.what());
                    ++failures;
                }
            };
            std::unique_ptr<QThread> one(QThread::create(copy)), two(QThread::create(copy));
            one->start();
            two->start();
            one->wait();
            two->wait();
            QCOMPARE(open(), 0.0);
        }
        QCOMPARE(failures.load(), 0);
        QCOMPARE(saved.load(), 10);
        QCOMPARE(refused.load(), 10);
    }
};

TABEL_TEST(RulesTest)
#include "test_rules.moc"
