#include "db/data_module.h"
#include "db/query.h"
#include "domain/production_records.h"
#include "domain/timesheet_rebuild.h"
#include "support/test_db.h"
#include "support/test_registry.h"

#include <QTest>
#include <QThread>
#include <atomic>
#include <memory>

using namespace Qt::StringLiterals;
using namespace tabel;

// The month's rebuild against the statement-per-row plan (one grouped query per day, one count
// and one write per worker and shift), its transaction, and its meeting with other copies.
class RebuildTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::FreshDatabase> db_;
    std::unique_ptr<db::TDataModule6> dm_;

    db::Connection& conn() { return dm_->ADO_DB; }
    // The month's rows as text, one line per worker and shift.
    QString table(int month, int year)
    {
        QString days;
        for (int d = 1; d <= 31; ++d)
            days += u" || ',' || d"_s + QString::number(d);
        db::Query q(conn(),
            u"select w_id || '/' || smena || ':'"_s + days + u" from accounts_dep.h_tabel where month = "_s
                + QString::number(month) + u" and year = "_s + QString::number(year) + u" order by w_id, smena"_s);
        q.open();
        QStringList lines;
        for (int r = 0; r < q.recordCount(); ++r)
            lines << q.value(r, 0).toText();
        return lines.join(u'\n');
    }
    // The statement-per-row plan, as the window of the original did it.
    void planPerRow(int month, int year)
    {
        const QString m = QString::number(month);
        const QString y = QString::number(year);
        conn().execute(u"delete from accounts_dep.h_tabel where month="_s + m + u" and year="_s + y);
        db::Query dt(conn(),
            u" select smena, w_id, sum(time) as tim from accounts_dep.smena where data=:data group by smena,w_id;"_s);
        for (int i = 1; i <= QDate(year, month, 1).daysInMonth(); ++i) {
            dt.close();
            dt.setParam(u"data"_s, QDate(year, month, i));
            dt.open();
            for (int r = 0; r < dt.recordCount(); ++r) {
                const QString s = dt.value(r, 0).toText(), w = dt.value(r, 1).toText(), tim = dt.value(r, 2).toText();
                const QString key
                    = u" where w_id="_s + w + u" and smena="_s + s + u" and month="_s + m + u" and year="_s + y;
                db::Query cnt(conn(), u"select count(w_id) as cnt from accounts_dep.h_tabel h_tabel"_s + key);
                cnt.open();
                if (cnt.value(0, 0).toInt() != 0)
                    conn().execute(
                        u"update accounts_dep.h_tabel set d"_s + QString::number(i) + u"='"_s + tim + u"'"_s + key);
                else
                    conn().execute(u"insert into accounts_dep.h_tabel(smena, w_id, month, year, d"_s
                        + QString::number(i) + u") values("_s + s + u", "_s + w + u", "_s + m + u", "_s + y + u", "_s
                        + tim + u")"_s);
            }
        }
    }
    void records(const QDate& from, int days, int seed)
    {
        // workers 1001…1006 in shifts 1…4, some days twice, some with 0 hours
        conn().execute(u"insert into accounts_dep.smena (w_id, i_id, o_id, kol_vo, data, smena, cena, time, ok) "
                       "select 1001 + (n * 7 + "_s
            + QString::number(seed) + u") % 6, 1001, (select min(id) from accounts_dep.oper), 1, "_s + u"date '"_s
            + from.toString(Qt::ISODate) + u"' + (n * 3) % "_s + QString::number(days)
            + u", 1 + n % 4, 10, (n * 5) % 11, 'no' from generate_series(1, 120) n"_s);
    }

private slots:
    void init()
    {
        db_ = std::make_unique<test::FreshDatabase>();
        dm_ = std::make_unique<db::TDataModule6>();
        conn().open(db_->settings());
        records(QDate(2022, 3, 1), 31, 0);
        records(QDate(2024, 2, 1), 29, 3); // a leap February
    }
    void cleanup()
    {
        dm_.reset();
        db_.reset();
    }

    void sameTableAsThePlanAndTwice_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("year");
        QTest::newRow("March 2022") << 3 << 2022;
        QTest::newRow("February 2024, 29 days") << 2 << 2024;
    }
    void sameTableAsThePlanAndTwice()
    {
        QFETCH(int, month);
        QFETCH(int, year);
        planPerRow(month, year);
        const QString plan = table(month, year);
        QVERIFY(plan.count(u'\n') > 10);
        conn().execute(u"update accounts_dep.h_tabel set d2 = 99 where month = "_s + QString::number(month)); // stale
        std::vector<int> days;
        rebuildMonth(*dm_, month, year, [&](int day) { days.push_back(day); });
        QCOMPARE(table(month, year), plan);
        QCOMPARE(int(days.size()), QDate(year, month, 1).daysInMonth()); // progress per day
        rebuildMonth(*dm_, month, year);
        QCOMPARE(table(month, year), plan);
        if (month == 2)
            QVERIFY(plan.contains(u','));
    }

    void failureLeavesTheMonthAsItWas()
    {
        planPerRow(3, 2022);
        conn().execute(u"update accounts_dep.h_tabel set d5 = 77 where month = 3 and year = 2022 and w_id = 1001"_s);
        const QString before = table(3, 2022);
        QVERIFY_THROWS_EXCEPTION(Error, rebuildMonth(*dm_, 3, 2022, [](int day) {
            if (day == 15)
                throw Error(u"прервано"_s);
        }));
        QCOMPARE(table(3, 2022), before);
    }

    void twoRebuildsAndSavesAtOnce()
    {
        // Two copies rebuild the month while a third saves records into it: the table ends equal
        // to the records, no row doubled.
        std::atomic<bool> failed { false };
        const auto copy = [&](int what) {
            db::TDataModule6 dm;
            try {
                dm.ADO_DB.open(db_->settings());
                for (int i = 0; i < 8; ++i) {
                    if (what < 2) {
                        rebuildMonth(dm, 3, 2022);
                    } else {
                        ProductionRecord r;
                        r.worker = 1001 + i % 3;
                        r.product = 1001;
                        r.operation = 1;
                        r.quantity = 1;
                        r.date = QDate(2022, 3, 1 + i);
                        r.shift = 1 + i % 2;
                        r.hours = 3;
                        insertRecord(dm, r, QDate::currentDate());
                    }
                }
            } catch (const std::exception& e) {
                qWarning("copy: %s", e.what());
                failed = true;
            }
        };
        std::vector<std::unique_ptr<QThread>> threads;
        for (int what = 0; what < 3; ++what)
            threads.emplace_back(QThread::create(copy, what));
        for (auto& t : threads)
            t->start();
        for (auto& t : threads)
            t->wait();
        QVERIFY(!failed);
        const QString result = table(3, 2022);
        planPerRow(3, 2022);
        QCOMPARE(result, table(3, 2022));
    }
};

TABEL_TEST(RebuildTest)
#include "test_rebuild.moc"
