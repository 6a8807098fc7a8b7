#include "session/session.h"
#include "session/site_settings.h"
#include "support/test_registry.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tabel;

// The site file: what it sets, and every mistake told with its file, line and key.
class SiteFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString write(const QString& text)
    {
        const QString path = dir_.filePath(u"site.conf"_s);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text.toUtf8());
        return path;
    }

private slots:
    void init() { qunsetenv("TABEL_DB_PORT"); }

    void aSiteFileSetsTheInstallation()
    {
        const QString path
            = write(u"; the shop's settings\n[database]\nserver = db.factory\ndatabase = erp\nport = 6432\n"
                    "driver = QODBC\n[roles]\nrestricted_logins = qc1, qc2\nextra_rights_login = chief\n"
                    "[login]\naccess_code =\nsystem_login = tabel_sys\nsystem_password = s3cret\n"_s);
        const app::SiteSettings s = app::SiteSettings::readFile(path);
        QCOMPARE(s.defaultServer, u"db.factory"_s);
        QCOMPARE(s.defaultDatabase, u"erp"_s);
        QCOMPARE(s.port, 6432);
        QCOMPARE(s.driver, db::Driver::Odbc);
        QCOMPARE(s.restrictedLogins, (QStringList { u"qc1"_s, u"qc2"_s }));
        QCOMPARE(s.extraRightsLogin, u"chief"_s);
        QVERIFY(s.accessCode.isEmpty()); // the code is off
        QCOMPARE(s.systemLogin, u"tabel_sys"_s);
        QCOMPARE(s.file, path);
        // keys left out keep the build's values
        const app::SiteSettings some = app::SiteSettings::readFile(write(u"[database]\nport=1\n"_s));
        QCOMPARE(some.defaultServer, app::SiteSettings::fromBuild().defaultServer);
        QCOMPARE(some.accessCode, u"4162"_s);
    }

    void theDemosSiteFileReads()
    {
        const app::SiteSettings s
            = app::SiteSettings::readFile(QStringLiteral(QT_TESTCASE_SOURCEDIR "/../scripts/demo.conf"));
        QCOMPARE(s.defaultDatabase, u"tabel_demo"_s);
        QCOMPARE(s.port, 55433);
        QCOMPARE(s.restrictedLogins, app::SiteSettings::fromBuild().restrictedLogins);
    }

    void withoutASystemPasswordTheTypedLoginConnects()
    {
        app::Session session;
        session.site = app::SiteSettings::readFile(write(u"[login]\nsystem_password =\n"_s));
        const db::ConnectionSettings s = session.loginConnection(u"ivanov"_s, u"pw"_s);
        QCOMPARE(s.login, u"ivanov"_s);
        QCOMPARE(s.password, u"pw"_s);
        QCOMPARE(s.server, session.site.defaultServer);
    }

    void mistakesNameTheFileLineAndKey_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown key") << u"[database]\nserver = x\nsever = y\n"_s
                                     << u"строка 3, параметр «sever»: неизвестный параметр раздела [database]"_s;
        QTest::newRow("unknown section") << u"[data]\nserver = x\n"_s << u"строка 1: неизвестный раздел [data]"_s;
        QTest::newRow("key before a section")
            << u"server = x\n"_s << u"строка 1, параметр «server»: неизвестный параметр"_s;
        QTest::newRow("bad port") << u"[database]\n\nport = 99999\n"_s
                                  << u"строка 3, параметр «port»: ожидается число от 1 до 65535"_s;
        QTest::newRow("bad driver") << u"[database]\ndriver = MYSQL\n"_s
                                    << u"строка 2, параметр «driver»: ожидается QPSQL или QODBC"_s;
        QTest::newRow("no value form") << u"[roles]\nkontrol1\n"_s
                                       << u"строка 2: строка не вида «параметр = значение»"_s;
        QTest::newRow("empty server") << u"[database]\nserver =\n"_s
                                      << u"строка 2, параметр «server»: пустое значение"_s;
    }
    void mistakesNameTheFileLineAndKey()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        const QString path = write(text);
        try {
            app::SiteSettings::readFile(path);
            QFAIL("accepted");
        } catch (const app::SiteFileError& e) {
            QCOMPARE(e.text(), u"Файл настроек "_s + path + u", "_s + message);
        }
    }

    void aNamedFileThatIsMissingStopsTheProgram()
    {
        const QString missing = dir_.filePath(u"none.conf"_s);
        qputenv("TABEL_SITE_FILE", missing.toLocal8Bit());
        QVERIFY_THROWS_EXCEPTION(app::SiteFileError, app::SiteSettings::read());
        // the program itself: one line naming the file, a non-zero status, no other server tried
        QProcess tabel;
        tabel.start(QStringLiteral(TABEL_EXE), { u"--version"_s });
        QVERIFY(tabel.waitForFinished(30000));
        QCOMPARE(tabel.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(tabel.readAllStandardError()).contains(missing));
        const QString good = write(u"[database]\nserver = db.factory\n"_s);
        qputenv("TABEL_SITE_FILE", good.toLocal8Bit());
        tabel.start(QStringLiteral(TABEL_EXE), { u"--version"_s });
        QVERIFY(tabel.waitForFinished(30000));
        QCOMPARE(tabel.exitCode(), 0);
        const QString said = QString::fromLocal8Bit(tabel.readAllStandardOutput());
        QVERIFY2(said.startsWith(u"tabel 1.0, build "_s) && said.contains(u"site file: "_s + good), qPrintable(said));
        qunsetenv("TABEL_SITE_FILE");
    }
};

TABEL_TEST(SiteFileTest)
#include "test_site_file.moc"
