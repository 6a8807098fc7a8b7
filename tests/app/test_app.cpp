#include "app/forms.h"
#include "app/login_window.h"
#include "db/data_module.h"
#include "db/db_error.h"
#include "db/query.h"
#include "journal/journal_window.h"
#include "session/build_stamp.h"
#include "session/version_check.h"
#include "session/version_guard.h"
#include "support/app_fixture.h"
#include "support/gui.h"
#include "support/test_registry.h"
#include "ui/appearance.h"
#include "ui/db_grid.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tabel;

namespace {

QString readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : u"<missing>"_s;
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

} // namespace

class AppTest : public QObject {
    Q_OBJECT
private slots:
    void buildStampFromCompilerTexts_data()
    {
        QTest::addColumn<QByteArray>("date");
        QTest::addColumn<QByteArray>("time");
        QTest::addColumn<int>("d");
        QTest::addColumn<int>("t");
        QTest::newRow("example") << QByteArray("May  6 2022") << QByteArray("10:54:16") << 20220506 << 39256;
        QTest::newRow("two-digit day") << QByteArray("Dec 31 2026") << QByteArray("23:59:59") << 20261231 << 86399;
        QTest::newRow("midnight") << QByteArray("Jan  1 2027") << QByteArray("00:00:00") << 20270101 << 0;
        QTest::newRow("not a month") << QByteArray("Foo  1 2027") << QByteArray("00:00:00") << 0 << 0;
        QTest::newRow("bad time") << QByteArray("Jan  1 2027") << QByteArray("25:00:00") << 0 << 0;
    }
    void buildStampFromCompilerTexts()
    {
        QFETCH(QByteArray, date);
        QFETCH(QByteArray, time);
        QFETCH(int, d);
        QFETCH(int, t);
        QCOMPARE(app::stampFrom(date.constData(), time.constData()), (app::BuildStamp { d, t }));
        QVERIFY(app::currentBuild().date > 20260000);
        QCOMPARE((app::BuildStamp { 20220506, 39256 }).text(), u"20220506.39256"_s);
    }

    void appearanceFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // "<none>" = no file
        QTest::addColumn<QString>("inForce");
        QTest::addColumn<QString>("fileAfter");
        QTest::addColumn<int>("errors");
        QTest::newRow("first run") << QByteArray("<none>") << u"Windows"_s << u"Windows\n"_s << 0;
        QTest::newRow("empty") << QByteArray("") << u"Windows"_s << u"Windows\n"_s << 0;
        QTest::newRow("empty first line") << QByteArray("\nOnyx Blue\n") << u"Windows"_s << u"Windows\n"_s << 0;
        QTest::newRow("stored") << QByteArray("Onyx Blue\n") << u"Onyx Blue"_s << u"Onyx Blue\n"_s << 0;
        QTest::newRow("other case") << QByteArray("oNYX bLUE\r\n") << u"Onyx Blue"_s << u"oNYX bLUE\r\n"_s << 0;
        QTest::newRow("unknown") << QByteArray("Aero Glass\n") << u"Windows"_s << u"Aero Glass\n"_s << 1;
    }
    void appearanceFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, inForce);
        QFETCH(QString, fileAfter);
        QFETCH(int, errors);
        QTemporaryDir dir;
        test::ScriptedPrompter prompter;
        ui::Appearance appearance(prompter, dir.path() + u"/Tabel"_s);
        appearance.apply(u"Windows"_s);
        if (content != "<none>") {
            QDir().mkpath(dir.path() + u"/Tabel"_s);
            writeFile(appearance.filePath(), content);
        }
        appearance.startUp();
        QCOMPARE(appearance.current(), inForce);
        QCOMPARE(readFile(appearance.filePath()), fileAfter);
        QCOMPARE(int(prompter.shown().size()), errors);
        if (errors)
            QCOMPARE(prompter.texts().first(), u"Стиль «Aero Glass» не найден"_s);
    }

    void choosingAStyleRestylesEveryWindowAndIsStored()
    {
        test::AppFixture fx;
        app::TForm1& journal = fx.forms().journal();
        QCOMPARE(fx.forms().appearance().current(), u"Windows"_s);
        const QStringList names = ui::Appearance::styleNames();
        QVERIFY(names.size() >= 10);
        QCOMPARE(journal.ComboBox1->count(), names.size()); // "Onyx Blue" of the layout is not doubled
        QCOMPARE(journal.ComboBox1->itemText(0), names.first());
        const QColor before = fx.forms().login().palette().color(QPalette::Window);
        journal.show(); // the user is in the journal
        test::choose(journal.ComboBox1, u"Onyx Blue"_s);
        QCoreApplication::processEvents();
        journal.hide();
        QCOMPARE(fx.forms().appearance().current(), u"Onyx Blue"_s);
        QVERIFY(fx.forms().login().palette().color(QPalette::Window) != before);
        QCOMPARE(journal.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));
        QCOMPARE(readFile(fx.forms().appearance().filePath()), u"Onyx Blue\n"_s);
        // the next start uses it, and the journal's activation selects it
        test::AppFixture next;
        next.forms().appearance().apply(u"Windows"_s);
        writeFile(next.forms().appearance().filePath(), "Onyx Blue\n");
        next.forms().appearance().startUp();
        next.forms().journal().show();
        QCOMPARE(next.forms().journal().ComboBox1->currentText(), u"Onyx Blue"_s);
        next.forms().journal().hide();
        next.forms().appearance().apply(u"Windows"_s);
        fx.forms().appearance().apply(u"Windows"_s);
    }

    void loginWindowShowsServerAndBuild()
    {
        test::AppFixture::Setup setup;
        setup.arguments = QStringList { u"erp-srv"_s, u"erp"_s };
        setup.build = { 20220506, 39256 };
        test::AppFixture fx(setup);
        app::TForm23& login = fx.forms().login();
        QVERIFY(login.isVisible());
        QCOMPARE(login.Label3->text(), u"Сервер: erp-srv, БД: erp"_s);
        QCOMPARE(login.windowTitle(), u"Авторизация (build: 20220506.39256)"_s);
        QVERIFY(login.Button1->isDefault());
        QCOMPARE(login.Edit2->echoMode(), QLineEdit::Password);

        test::AppFixture none;
        QCOMPARE(none.forms().login().Label3->text(), u"Сервер: , БД: "_s);
        test::click(none.forms().login().Button2); // "Отмена" ends the program
        QCOMPARE(none.terminations(), 1);
    }

    void connectionSettings()
    {
        test::AppFixture::Setup setup;
        setup.start = false;
        test::AppFixture fx(setup);
        fx.options().arguments = QStringList { u"srv"_s, u"base"_s };
        fx.start();
        db::ConnectionSettings s = fx.forms().session().loginConnection(u"master"_s, u"pw"_s);
        QCOMPARE(s.server, u"srv"_s);
        QCOMPARE(s.database, u"base"_s);
        QCOMPARE(s.login, u"master"_s);
        QCOMPARE(s.password, u"pw"_s);
        QCOMPARE(s.connectTimeout, 10);
        // the check before login, every 30 s on the window's thread, gives up on a server soon
        QCOMPARE(fx.forms().session().connection.connectTimeout, 2);
        // without both arguments: the built-in connection, as sys whatever was typed
        for (const QStringList& args : { QStringList {}, QStringList { u"srv"_s }, QStringList { u""_s, u"base"_s } }) {
            test::AppFixture::Setup other;
            other.arguments = args;
            test::AppFixture f(other);
            s = f.forms().session().loginConnection(u"master"_s, u"pw"_s);
            QCOMPARE(s.login, u"sys"_s);
            QCOMPARE(s.password, u"tovmask"_s);
            QCOMPARE(s.database, f.db().name());
            QCOMPARE(s.connectTimeout, 10);
        }
    }

    void rolesGateTheJournal_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("login");
        QTest::addColumn<bool>("enter");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<bool>("menus");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("restricted") << u"kontrol1"_s << u"kontrol1"_s << u"kontrol1"_s << false << true << false
                                    << false;
        QTest::newRow("sys") << u"sys"_s << u"tovmask"_s << u"sys"_s << true << true << true << false;
        QTest::newRow("sys with blanks") << u"  sys  "_s << u" tovmask "_s << u"sys"_s << true << true << true << false;
        QTest::newRow("extra rights") << u"glavmaster"_s << u"glavmaster"_s << u"glavmaster"_s << true << true << true
                                      << false;
        QTest::newRow("SYS is not sys") << u"SYS"_s << u"x"_s << u"SYS"_s << true << false << true << false;
        QTest::newRow("econom") << u"econom"_s << u"econom"_s << u"econom"_s << false << false << true << true;
        QTest::newRow("ordinary") << u"master"_s << u"master"_s << u"master"_s << true << false << true << false;
        QTest::newRow("access code") << u"anybody"_s << u" 4162 "_s << u"sys"_s << true << true << true << false;
    }
    void rolesGateTheJournal()
    {
        QFETCH(QString, typed);
        QFETCH(QString, password);
        QFETCH(QString, login);
        QFETCH(bool, enter);
        QFETCH(bool, accept);
        QFETCH(bool, menus);
        QFETCH(bool, readOnly);
        test::AppFixture fx; // no command line: any login connects with the built-in connection
        app::TForm23& form = fx.forms().login();
        app::TForm1& journal = fx.forms().journal();
        form.Edit1->setText(typed);
        form.Edit2->setText(password);
        bool shown = false;
        fx.prompter().whileOpen([&](QDialog& d) {
            shown = true;
            QCOMPARE(&d, static_cast<QDialog*>(&journal));
            QVERIFY(!form.isVisible());
            QCOMPARE(fx.forms().session().login, login);
            QCOMPARE(fx.forms().session().connection.database, fx.db().name());
            QCOMPARE(journal.currentShift(), 1);
            QCOMPARE(journal.Button1->isEnabled(), enter);
            QCOMPARE(journal.Button2->isEnabled(), enter);
            QCOMPARE(journal.Button3->isEnabled(), enter);
            QCOMPARE(journal.Button5->isEnabled(), accept);
            QCOMPARE(journal.N2->menuAction()->isEnabled(), menus && !readOnly);
            QCOMPARE(journal.N11->isEnabled(), menus && !readOnly);
            QCOMPARE(journal.N7->menuAction()->isEnabled(), menus);
            QCOMPARE(journal.DBGrid2->isEnabled(), !readOnly);
            QCOMPARE(journal.Button8->isEnabled(), !readOnly);
            QCOMPARE(journal.Button4->isEnabled(), true);
            QCOMPARE(journal.windowTitle(),
                readOnly ? u"Табель"_s : u"Табель (Сервер: , БД: , пользователь: "_s + login + u")"_s);
            QCOMPARE(fx.forms().dataModule().Smena3.param(u"ok"_s).toString(), u"ta"_s);
            test::click(journal.Button4);
        });
        test::click(form.Button1);
        QVERIFY(shown);
        QCOMPARE(fx.terminations(), 1); // the journal closed: the program ends
        QVERIFY(fx.prompter().texts().isEmpty());
    }

    void loginWithTheCommandLine()
    {
        test::AppFixture probe; // to learn the fresh database's name and server
        test::AppFixture::Setup setup;
        setup.arguments = QStringList { probe.options().site.defaultServer, probe.db().name() };
        test::AppFixture fx(setup);
        app::TForm23& form = fx.forms().login();
        form.Edit1->setText(u"master"_s);
        form.Edit2->setText(u"master"_s);
        fx.prompter().whileOpen([&](QDialog&) {
            db::Query who(fx.forms().dataModule().ADO_DB, u"select current_user as u"_s);
            who.open();
            QCOMPARE(who.field(u"u"_s).toText(), u"master"_s);
            QVERIFY(fx.forms().journal().windowTitle().startsWith(
                u"Табель (Сервер: 127.0.0.1, БД: "_s + probe.db().name()));
        });
        test::click(form.Button1);
        QCOMPARE(fx.prompter().execCount(), 1);

        // a wrong password: the failure message and the end, no journal
        test::AppFixture bad(setup);
        bad.forms().login().Edit1->setText(u"master"_s);
        bad.forms().login().Edit2->setText(u"wrong"_s);
        test::click(bad.forms().login().Button1);
        QCOMPARE(bad.prompter().execCount(), 0);
        QCOMPARE(bad.prompter().texts(),
            QStringList { u"Подключение к БД отсутсвует (сервер: 127.0.0.1, БД: "_s + probe.db().name() + u")"_s });
        QCOMPARE(bad.prompter().shown()[0].flags, 16);
        QCOMPARE(bad.terminations(), 1);
    }

    void versionCheck()
    {
        auto stamp = [](test::AppFixture& fx) {
            db::Query q(fx.forms().dataModule().ADO_DB, u"select d, t from accounts_dep.ver"_s);
            q.open();
            return q.isEmpty() ? app::BuildStamp {}
                               : app::BuildStamp { q.field(u"d"_s).toInt(), q.field(u"t"_s).toInt() };
        };
        // an empty table gets this build's stamp at the login window's first activation
        test::AppFixture fx;
        QCOMPARE(stamp(fx), fx.forms().session().build);
        QCOMPARE(fx.terminations(), 0);

        db::Connection& conn = fx.forms().dataModule().ADO_DB;
        // an older build in the table: stamped over
        conn.execute(u"update accounts_dep.ver set d = 20200101, t = 5"_s);
        QCOMPARE(app::checkVersion(conn, { 20260101, 3600 }), app::VersionVerdict::Current);
        QCOMPARE(stamp(fx), (app::BuildStamp { 20260101, 3600 }));
        // a newer build: the journal's timer finds it, says so and ends the program
        conn.execute(u"update accounts_dep.ver set t = 3601"_s);
        fx.forms().journal().Timer1Timer();
        QCOMPARE(fx.prompter().texts(),
            QStringList { u"Версия программы не соответсвует БД! Запустите программу через 5 мин."_s });
        QCOMPARE(fx.prompter().shown()[0].caption, u"Ошибка"_s);
        QCOMPARE(fx.terminations(), 1);
        QVERIFY(fx.forms().login().Timer1.isActive());
        QCOMPARE(fx.forms().login().Timer1.interval(), 5500);
        QCOMPARE(fx.forms().journal().Timer1.interval(), 30000);
        QVERIFY(fx.forms().journal().Timer1.isActive());
        QCOMPARE(stamp(fx), (app::BuildStamp { 20260101, 3601 })); // the newer stamp stays
    }

    void versionChecksNeverStackBoxes()
    {
        test::AppFixture::Setup away;
        away.defaultDatabase = u"no_such_database"_s;
        test::AppFixture fx(away); // the check at the login window's activation failed once
        QCOMPARE(fx.prompter().shown().size(), size_t(1));
        app::TForm1& journal = fx.forms().journal();
        int ticks = 0;
        // the 30-second timer fires again while the error box is still open
        fx.prompter().whileShown([&] {
            ++ticks;
            QCOMPARE(fx.forms().versionGuard().check(), app::VersionGuard::Outcome::Busy);
        });
        journal.Timer1Timer();
        QCOMPARE(ticks, 1);
        QCOMPARE(fx.prompter().shown().size(), size_t(2));
        journal.Timer1Timer(); // once it is closed, the next tick tries again
        QCOMPARE(fx.prompter().shown().size(), size_t(3));
        QCOMPARE(fx.terminations(), 0);
    }

    void lostConnectionComesBackAsTheUser()
    {
        test::AppFixture probe;
        test::AppFixture::Setup setup;
        setup.arguments = QStringList { probe.options().site.defaultServer, probe.db().name() };
        test::AppFixture fx(setup);
        fx.forms().login().Edit1->setText(u"master"_s);
        fx.forms().login().Edit2->setText(u"master"_s);
        fx.prompter().whileOpen([&](QDialog&) {
            db::Connection& conn = fx.forms().dataModule().ADO_DB;
            db::Query pid(conn, u"select pg_backend_pid() as p"_s);
            pid.open();
            probe.db().connection().execute(u"select pg_terminate_backend("_s + pid.field(u"p"_s).toText() + u")"_s);
            db::Query dead(conn, u"select 1 as x"_s);
            QVERIFY_THROWS_EXCEPTION(db::DbError, dead.open());
            fx.prompter().clear();
            fx.forms().journal().Timer1Timer(); // the version check opens it again, as the user
            QVERIFY(fx.prompter().shown().empty());
            db::Query who(conn, u"select current_user as u"_s);
            who.open();
            QCOMPARE(who.field(u"u"_s).toText(), u"master"_s);
        });
        test::click(fx.forms().login().Button1);
        QCOMPARE(fx.prompter().execCount(), 1);
    }

    void olderBuildStopsAtStartAndUnreachableDatabaseSkipsTheCheck()
    {
        test::AppFixture::Setup newer;
        newer.build = { 20270101, 0 };
        test::AppFixture first(newer);
        // an older build started against the same database
        test::AppFixture::Setup older;
        older.start = false;
        test::AppFixture second(older);
        second.options().site.defaultDatabase = first.db().name();
        second.start();
        QCOMPARE(second.terminations(), 1);
        QCOMPARE(second.prompter().texts().size(), 1);

        test::AppFixture::Setup away;
        away.defaultDatabase = u"no_such_database"_s;
        test::AppFixture third(away);
        QCOMPARE(third.terminations(), 0);
        QCOMPARE(third.prompter().shown().size(), size_t(1));
        QVERIFY(third.prompter().shown()[0].generalError);
        QCOMPARE(third.forms().login().Label3->text(), QString()); // left unfilled
        QCOMPARE(third.forms().login().windowTitle(), u"Авторизация"_s);
    }
};

TABEL_TEST(AppTest)
#include "test_app.moc"
