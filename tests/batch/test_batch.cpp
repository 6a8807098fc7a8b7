#include "batch/batch.h"
#include "core/dates.h"
#include "db/query.h"
#include "support/test_db.h"
#include "support/test_registry.h"
#include "support/xlsx_reader.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace tabel;

// The command words: files written without a display, and one clear line for every mistake.
class BatchTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::FreshDatabase> db_;
    QTemporaryDir dir_;

    app::SiteSettings site() const
    {
        app::SiteSettings s = app::SiteSettings::fromBuild();
        s.defaultServer = db_->settings().server;
        s.defaultDatabase = db_->name();
        s.port = db_->settings().port;
        return s;
    }
    batch::Outcome run(const QStringList& args, const QString& password = u"tovmask"_s)
    {
        return batch::run(args, site(), db_->settings().driver, password);
    }

private slots:
    void initTestCase()
    {
        db_ = std::make_unique<test::FreshDatabase>();
        db_->connection().execute(uR"(
insert into cmn_contractor.person (id, s_code, s_caption, b_employee) values (990000000301, '99301', 'Ъ-Пакетный Иван', true);
insert into accounts_dep.h_tabel (w_id, smena, month, year, d1, d2) values (99301, 1, 3, 2022, 8, 3), (99301, 4, 3, 2022, 2, 0);
insert into accounts_dep.smena (w_id, i_id, o_id, kol_vo, brak, data, smena, cena, color, time, ok)
values (99301, 1001, 4, 13.5, 0, date '2022-02-10', 1, 10, 1, 8, 'no');
)"_s);
    }
    void cleanupTestCase() { db_.reset(); }

    void timesheetAsPdfAndWorkbook()
    {
        const QString pdf = dir_.filePath(u"t.pdf"_s);
        const QString xlsx = dir_.filePath(u"t.xlsx"_s);
        batch::Outcome done = run(
            { u"timesheet"_s, u"--month"_s, u"3"_s, u"--year"_s, u"2022"_s, u"--pdf"_s, pdf, u"--login"_s, u"sys"_s });
        QCOMPARE(done.code, 0);
        QVERIFY(done.message.isEmpty());
        QProcess text;
        text.start(u"pdftotext"_s, { pdf, u"-"_s });
        QVERIFY(text.waitForFinished(30000));
        const QString written = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY(written.contains(u"Март 2022 г."_s));
        QVERIFY(written.contains(u"Ъ-Пакетный Иван"_s));

        done = run({ u"timesheet"_s, u"--month"_s, u"3"_s, u"--year"_s, u"2022"_s, u"--xlsx"_s, xlsx, u"--login"_s,
            u"sys"_s });
        QCOMPARE(done.code, 0);
        const test::XlsxSheet sheet = test::readXlsx(xlsx);
        QVERIFY(sheet.ok);
        QCOMPARE(sheet.at(1, 1)->text, u"Март 2022"_s);
        // both files follow the umask; the PDF names its title and the program that made it
        const mode_t mask = ::umask(0);
        ::umask(mask);
        const auto mode = [](const QString& path) {
            struct stat st { };
            ::stat(QFile::encodeName(path).constData(), &st);
            return st.st_mode & 0777;
        };
        QCOMPARE(mode(xlsx), 0666 & ~mask);
        QCOMPARE(mode(pdf), 0666 & ~mask);
        QProcess info;
        info.start(u"pdfinfo"_s, { pdf });
        QVERIFY(info.waitForFinished(30000));
        const QString meta = QString::fromUtf8(info.readAllStandardOutput());
        QVERIFY2(meta.contains(QRegularExpression(u"Title:\\s+Табель Март 2022 г\\."_s)), qPrintable(meta));
        QVERIFY2(meta.contains(QRegularExpression(u"Creator:\\s+Tabel"_s)), qPrintable(meta));
        QProcess fonts; // one family embedded, the one the layouts are measured in
        fonts.start(u"pdffonts"_s, { pdf });
        QVERIFY(fonts.waitForFinished(30000));
        const QStringList lines = QString::fromUtf8(fonts.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QVERIFY(lines.size() > 2);
        for (const QString& line : lines.mid(2))
            QVERIFY2(line.startsWith(u"LiberationSans"_s), qPrintable(line));
        int row = -1;
        for (int r = 3; r <= sheet.rows(); ++r)
            if (sheet.at(r, 1)->text == u"Ъ-Пакетный Иван"_s)
                row = r;
        QVERIFY(row > 0);
        QCOMPARE(sheet.at(row, 2)->text.toInt(), 10); // shift 1 and overtime
        QCOMPARE(sheet.at(row, 33)->text.toInt(), 13);
    }

    void historyForThePayOffice()
    {
        // a correction of the record made in initTestCase, by the master who made it
        db::Connection master;
        db::ConnectionSettings m = db_->settings();
        m.login = m.password = u"master"_s;
        master.open(m);
        master.execute(u"update accounts_dep.smena set time = 7 where w_id = 99301"_s);
        const QString xlsx = dir_.filePath(u"h.xlsx"_s);
        const QDate today = QDate::currentDate();
        const QStringList args = { u"history"_s, u"--from"_s, formatDate(today), u"--to"_s,
            formatDate(today.addDays(1)), u"--xlsx"_s, xlsx, u"--login"_s };
        const batch::Outcome done = run(args + QStringList { u"econom"_s }, u"econom"_s);
        QCOMPARE(done.message, QString());
        const test::XlsxSheet sheet = test::readXlsx(xlsx);
        QVERIFY(sheet.ok);
        QCOMPARE(sheet.at(1, 5)->text, u"Что изменилось"_s);
        QStringList changes;
        for (int r = 2; r <= sheet.rows(); ++r)
            if (sheet.at(r, 5)->text.startsWith(u"time: 8 → 7"_s))
                changes << sheet.at(r, 2)->text + u" "_s + sheet.at(r, 4)->text;
        QCOMPARE(changes, QStringList { u"master изменение"_s });
        // the restricted logins get no reports, nor this
        QCOMPARE(run(args + QStringList { u"kontrol1"_s }, u"kontrol1"_s).code, 1);
        // before the period: nothing but the header
        const batch::Outcome old = run({ u"history"_s, u"--from"_s, u"01.01.2001"_s, u"--to"_s, u"01.01.2002"_s,
            u"--xlsx"_s, xlsx, u"--login"_s, u"sys"_s });
        QCOMPARE(old.code, 0);
        QCOMPARE(test::readXlsx(xlsx).rows(), 1);
    }

    void reportsAsPdfAndSummaryAsWorkbook()
    {
        const QString pdf = dir_.filePath(u"r.pdf"_s);
        const QString xlsx = dir_.filePath(u"s.xlsx"_s);
        const QStringList period
            = { u"--from"_s, u"01.02.2022"_s, u"--to"_s, u"01.03.2022"_s, u"--login"_s, u"econom"_s };
        for (const QString& kind :
            { u"workers"_s, u"products"_s, u"workers-detailed"_s, u"products-detailed"_s, u"requisitions"_s }) {
            const batch::Outcome done = run(QStringList { u"report"_s, kind, u"--pdf"_s, pdf } + period, u"econom"_s);
            QCOMPARE(done.code, 0);
            QVERIFY(QFile::exists(pdf));
        }
        QProcess text;
        text.start(u"pdftotext"_s, { pdf, u"-"_s });
        QVERIFY(text.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(text.readAllStandardOutput())
                    .contains(u"Детальный отчет по заявкам за период с 01.02.2022 по 01.03.2022"_s));
        const batch::Outcome done = run(
            QStringList { u"summary"_s, u"--xlsx"_s, xlsx, u"--products"_s, u"finished"_s } + period, u"econom"_s);
        QCOMPARE(done.code, 0);
        const test::XlsxSheet sheet = test::readXlsx(xlsx);
        QCOMPARE(sheet.text(1, 1), u"Наименование"_s);
        QCOMPARE(sheet.text(2, 2), u"Покраска (грунт)"_s);
        QCOMPARE(sheet.text(2, 5), u"14"_s); // 13.5 to the even neighbour
    }

    void mistakes_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        const QStringList ok = { u"--month"_s, u"3"_s, u"--year"_s, u"2022"_s, u"--pdf"_s, u"/tmp/x.pdf"_s };
        QTest::newRow("unknown option") << (QStringList { u"timesheet"_s, u"--colour"_s, u"red"_s } + ok)
                                        << u"tovmask"_s << 2 << u"--colour"_s;
        QTest::newRow("month 13") << QStringList { u"timesheet"_s, u"--month"_s, u"13"_s, u"--year"_s, u"2022"_s,
            u"--pdf"_s, u"/tmp/x.pdf"_s, u"--login"_s, u"sys"_s }
                                  << u"tovmask"_s << 2 << u"--month"_s;
        QTest::newRow("no login") << (QStringList { u"timesheet"_s } + ok) << u"tovmask"_s << 2 << u"--login"_s;
        QTest::newRow("pdf and xlsx") << (QStringList {
                                              u"timesheet"_s, u"--xlsx"_s, u"/tmp/x.xlsx"_s, u"--login"_s, u"sys"_s }
            + ok) << u"tovmask"_s << 2 << u"--pdf"_s;
        QTest::newRow("a restricted login") << (QStringList { u"timesheet"_s, u"--login"_s, u"kontrol1"_s } + ok)
                                            << u"kontrol1"_s << 1 << u"kontrol1"_s;
        QTest::newRow("wrong password") << (QStringList { u"timesheet"_s, u"--login"_s, u"sys"_s } + ok) << u"wrong"_s
                                        << 1 << u"sys"_s;
        const QStringList period = { u"--from"_s, u"01.02.2022"_s, u"--to"_s, u"01.03.2022"_s };
        QTest::newRow("a report kind that does not exist")
            << (QStringList { u"report"_s, u"salaries"_s, u"--pdf"_s, u"/tmp/x.pdf"_s, u"--login"_s, u"sys"_s }
                   + period)
            << u"tovmask"_s << 2 << u"salaries"_s;
        QTest::newRow("not a date") << QStringList { u"summary"_s, u"--from"_s, u"31.02.2022"_s, u"--to"_s,
            u"01.03.2022"_s, u"--xlsx"_s, u"/tmp/x.xlsx"_s, u"--login"_s, u"sys"_s }
                                    << u"tovmask"_s << 2 << u"31.02.2022"_s;
        QTest::newRow("products of another kind") << (QStringList { u"summary"_s, u"--products"_s, u"some"_s,
                                                          u"--xlsx"_s, u"/tmp/x.xlsx"_s, u"--login"_s, u"sys"_s }
            + period) << u"tovmask"_s << 2 << u"--products"_s;
        QTest::newRow("a restricted login cannot report")
            << (QStringList { u"report"_s, u"workers"_s, u"--pdf"_s, u"/tmp/x.pdf"_s, u"--login"_s, u"kontrol1"_s }
                   + period)
            << u"kontrol1"_s << 1 << u"kontrol1"_s;
        QTest::newRow("unwritable file") << QStringList { u"timesheet"_s, u"--month"_s, u"3"_s, u"--year"_s, u"2022"_s,
            u"--pdf"_s, u"/nonexistent/x.pdf"_s, u"--login"_s, u"sys"_s }
                                         << u"tovmask"_s << 1 << u"/nonexistent/x.pdf"_s;
    }
    void mistakes()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, password);
        QFETCH(int, code);
        QFETCH(QString, says);
        const batch::Outcome outcome = run(args, password);
        QCOMPARE(outcome.code, code);
        QVERIFY2(outcome.message.contains(says), qPrintable(outcome.message));
        QVERIFY(!outcome.message.contains(u'\n')); // one line
    }

    void theProgramItself()
    {
        QProcess tabel;
        tabel.start(QStringLiteral(TABEL_EXE), { u"--help"_s });
        QVERIFY(tabel.waitForFinished(30000));
        QCOMPARE(tabel.exitCode(), 0);
        QVERIFY(QString::fromUtf8(tabel.readAllStandardOutput()).contains(u"tabel timesheet --month"_s));
        tabel.start(QStringLiteral(TABEL_EXE), { u"timesheet"_s, u"--month"_s });
        QVERIFY(tabel.waitForFinished(30000));
        QCOMPARE(tabel.exitCode(), 2);
        QCOMPARE(QString::fromUtf8(tabel.readAllStandardError()).count(u'\n'), 1);
    }
};

TABEL_TEST(BatchTest)
#include "test_batch.moc"
