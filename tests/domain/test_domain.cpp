#include "db/data_module.h"
#include "db/db_error.h"
#include "db/query.h"
#include "domain/hours_cell.h"
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

// Saving, deleting and accepting records and the hours cells they keep, on the real server; two
// copies of the program are two data modules on two connections.
class DomainTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::FreshDatabase> db_;
    std::unique_ptr<db::TDataModule6> dm_;

    db::Value scalar(const QString& sql) { return test::scalar(dm_->ADO_DB, sql); }
    QString cell(int worker, int shift, const QDate& day)
    {
        return scalar(u"select string_agg(d"_s + QString::number(day.day())
            + u"::text, ',') from accounts_dep.h_tabel "
              "where w_id = "_s
            + QString::number(worker) + u" and smena = "_s + QString::number(shift) + u" and month = "_s
            + QString::number(day.month()) + u" and year = "_s + QString::number(day.year()))
            .toText();
    }
    // A record of the demo's line 400000000001 (product 1001) with its first operation.
    ProductionRecord record(int worker, int shift, const QDate& day, int hours)
    {
        ProductionRecord r;
        r.worker = worker;
        r.product = 1001;
        r.operation = scalar(u"select min(id) from accounts_dep.oper where i_id = 1001"_s).toId();
        r.price = 12.34567;
        r.quantity = 2.5;
        r.defects = 1;
        r.date = day;
        r.shift = shift;
        r.colour = 6005;
        r.hours = hours;
        r.requisition = 300000000151;
        r.line = 400000000001;
        r.goods = 1001;
        return r;
    }

private slots:
    void init()
    {
        db_ = std::make_unique<test::FreshDatabase>();
        dm_ = std::make_unique<db::TDataModule6>();
        dm_->ADO_DB.open(db_->settings());
        dm_->ADO_DB.execute(u"delete from accounts_dep.h_tabel where year = 2022"_s);
    }
    void cleanup()
    {
        dm_.reset();
        db_.reset();
    }

    void insertWritesTheRecordAndItsCell()
    {
        const QDate day(2022, 3, 13); // the 13th: a day-first date text the server must not misread
        const QDate today = QDate::currentDate();
        const Id id = insertRecord(*dm_, record(1001, 2, day, 5), today);
        QVERIFY(id > 0);
        QCOMPARE(
            scalar(
                u"select ok || '|' || prize || '|' || f_gds_qty_use || '|' || id_cons_use || '|' || cena || '|' || "
                u"kol_vo "
                "|| '|' || to_char(data, 'DD.MM.YYYY') || '|' || to_char(vvod, 'DD.MM.YYYY') from accounts_dep.smena where id = "_s
                + QString::number(id))
                .toText(),
            u"no|0|0|0|12.3457|2.5|13.03.2022|"_s + today.toString(u"dd.MM.yyyy"_s));
        QCOMPARE(cell(1001, 2, day), u"5"_s); // d13 of shift 2, March 2022, created
        QCOMPARE(
            scalar(
                u"select d12 from accounts_dep.h_tabel where w_id = 1001 and smena = 2 and month = 3 and year = 2022"_s)
                .toInt(),
            0);
        insertRecord(*dm_, record(1001, 2, day, 3), today);
        QCOMPARE(cell(1001, 2, day), u"8"_s); // the sum, one row
        insertRecord(*dm_, record(1001, 4, day, 2), today);
        QCOMPARE(cell(1001, 4, day), u"2"_s); // overtime has its own row
        QCOMPARE(cell(1001, 2, day), u"8"_s);
        insertRecord(*dm_, record(1002, 1, QDate(2022, 3, 5), 0), today);
        QCOMPARE(cell(1002, 1, QDate(2022, 3, 5)), u"0"_s); // 0 hours still makes the row
    }

    void changeMovesTheHoursAndRefusesAnAcceptedRecord()
    {
        const QDate today = QDate::currentDate();
        const QDate first(2022, 3, 5);
        const QDate second(2022, 4, 1);
        const Id keep = insertRecord(*dm_, record(1003, 1, first, 2), today);
        const Id moved = insertRecord(*dm_, record(1003, 1, first, 6), today);
        QCOMPARE(cell(1003, 1, first), u"8"_s);
        dm_->ADO_DB.execute(u"update accounts_dep.smena set prize = 7 where id = "_s + QString::number(moved));
        updateRecord(*dm_, moved, record(1003, 1, second, 6), today);
        QCOMPARE(cell(1003, 1, first), u"2"_s); // the former cell lost the moved hours
        QCOMPARE(cell(1003, 1, second), u"6"_s);
        QCOMPARE(scalar(u"select ok || prize from accounts_dep.smena where id = "_s + QString::number(moved)).toText(),
            u"no0"_s); // the mark kept, the bonus reset
        dm_->ADO_DB.execute(u"update accounts_dep.smena set ok = 'ok' where id = "_s + QString::number(keep));
        QVERIFY_THROWS_EXCEPTION(StaleRecord, updateRecord(*dm_, keep, record(1003, 1, first, 9), today));
        QVERIFY_THROWS_EXCEPTION(StaleRecord, deleteRecord(*dm_, keep));
        QCOMPARE(scalar(u"select time from accounts_dep.smena where id = "_s + QString::number(keep)).toInt(), 2);
    }

    void deleteKeepsTheOtherDays()
    {
        const QDate today = QDate::currentDate();
        const Id a = insertRecord(*dm_, record(1004, 3, QDate(2022, 3, 7), 4), today);
        insertRecord(*dm_, record(1004, 3, QDate(2022, 3, 8), 5), today);
        deleteRecord(*dm_, a);
        QCOMPARE(cell(1004, 3, QDate(2022, 3, 7)), u"0"_s);
        QCOMPARE(cell(1004, 3, QDate(2022, 3, 8)), u"5"_s);
        QVERIFY_THROWS_EXCEPTION(StaleRecord, deleteRecord(*dm_, a)); // gone already
        // a worker without a month row keeps none (the delete never creates one)
        const Id b = insertRecord(*dm_, record(1005, 1, QDate(2022, 5, 2), 4), today);
        dm_->ADO_DB.execute(u"delete from accounts_dep.h_tabel where w_id = 1005 and year = 2022"_s);
        deleteRecord(*dm_, b);
        QCOMPARE(cell(1005, 1, QDate(2022, 5, 2)), QString());
    }

    void twoClientsOnOneCell()
    {
        // Two copies save records of the same worker, shift and date at the same moment, many
        // times over, on cells of one month row: always one row, and each cell the sum of its records.
        const QDate day(2022, 6, 10);
        const int rounds = 60;
        std::atomic<int> ready { 0 };
        std::atomic<bool> failed { false };
        ProductionRecord base = record(1006, 1, day, 0);
        base.line = 0; // many records: no line would take them all
        const auto client = [&](int hours, int dayOffset) {
            db::TDataModule6 dm;
            try {
                dm.ADO_DB.open(db_->settings());
                for (int i = 0; i < rounds; ++i) {
                    const int turn = ++ready;
                    while (ready.load() < (turn + 1) / 2 * 2 && !failed) // both clients reach the round
                        std::this_thread::yield();
                    ProductionRecord r = base;
                    r.date = day.addDays(i % 3 ? 0 : dayOffset);
                    r.hours = hours;
                    insertRecord(dm, r, QDate::currentDate());
                }
            } catch (const std::exception& e) {
                qWarning("client: %s", e.what());
                failed = true;
            }
        };
        std::unique_ptr<QThread> one(QThread::create(client, 1, 0));
        std::unique_ptr<QThread> two(QThread::create(client, 2, 1));
        one->start();
        two->start();
        one->wait();
        two->wait();
        QVERIFY(!failed);
        QCOMPARE(
            scalar(
                u"select count(*) from accounts_dep.h_tabel where w_id = 1006 and smena = 1 and month = 6 and year = 2022"_s)
                .toInt(),
            1);
        for (const QDate& d : { day, day.addDays(1) })
            QCOMPARE(cell(1006, 1, d),
                QString::number(
                    scalar(u"select sum(time) from accounts_dep.smena where w_id = 1006 and smena = 1 and data = '"_s
                        + d.toString(Qt::ISODate) + u"'"_s)
                        .toInt()));
    }

    void acceptanceNeedsItsMaterials()
    {
        const Id id = insertRecord(*dm_, record(1007, 1, QDate(2022, 3, 9), 8), QDate::currentDate());
        QCOMPARE(materialCount(*dm_, id), 0);
        const Id material
            = scalar(u"select id_gds_from from mnf_operation.operation where id_gds_to = 1001 limit 1"_s).toId();
        dm_->ADO_DB.execute(u"insert into accounts_dep.smena_gds_use (id_smena, id_gds_use, f_qty_use) values ("_s
            + QString::number(id) + u", "_s + QString::number(material) + u", 0.001)"_s);
        QCOMPARE(materialCount(*dm_, id), 1);
        acceptRecord(*dm_, id);
        QCOMPARE(scalar(u"select ok from accounts_dep.smena where id = "_s + QString::number(id)).toText(), u"ok"_s);
        QVERIFY_THROWS_EXCEPTION(db::DbError, acceptRecord(*dm_, id)); // accepted by another copy meanwhile
    }
};

TABEL_TEST(DomainTest)
#include "test_domain.moc"
