#include "db/connection.h"
#include "db/db_error.h"
#include "db/query.h"
#include "support/test_db.h"
#include "support/test_registry.h"

#include <QCoreApplication>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tabel;
using namespace tabel::db;

class ConnectionTest : public QObject {
    Q_OBJECT
private slots:
    void connectionStringIsExact()
    {
        ConnectionSettings s;
        s.server = u"erp-srv"_s;
        s.database = u"erp"_s;
        s.login = u"master1"_s;
        s.password = u"secret"_s;
        QCOMPARE(odbcConnectionString(s),
            u"DRIVER={PostgreSQL UNICODE};DATABASE=erp;SERVER=erp-srv;PORT=5432;UID=master1;PWD=secret;SSLmode=allow;"
            "ReadOnly=0;Protocol=7.4;FakeOidIndex=0;ShowOidColumn=0;RowVersioning=0;ShowSystemTables=0;Fetch=100;"
            "UnknownSizes=0;MaxVarcharSize=255;MaxLongVarcharSize=8190;"
            "Debug=0;CommLog=0;UseDeclareFetch=0;TextAsLongVarchar=1;UnknownsAsLongVarchar=0;BoolsAsChar=1;Parse=0;"
            "ExtraSysTablePrefixes=;LFConversion=1;UpdatableCursors=1;"
            "TrueIsMinus1=0;BI=0;ByteaAsLongVarBinary=1;UseServerSidePrepare=1;LowerCaseIdentifier=0;D6=-101;OptionalErrors=0;XaOpt=1"_s);
    }

    void valuesThatCouldAddOptionsAreQuoted_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << u"tovmask"_s << u"PWD=tovmask;"_s;
        QTest::newRow("semicolon") << u"a;Protocol=6.4"_s << u"PWD={a;Protocol=6.4};"_s;
        QTest::newRow("brace") << u"x}y"_s << u"PWD={x}}y};"_s;
        QTest::newRow("open brace") << u"{x"_s << u"PWD={{x};"_s;
    }
    void valuesThatCouldAddOptionsAreQuoted()
    {
        QFETCH(QString, password);
        QFETCH(QString, written);
        ConnectionSettings s;
        s.login = u"u;v"_s;
        s.password = password;
        const QString text = odbcConnectionString(s);
        QVERIFY2(text.contains(u";UID={u;v};"_s + written), qPrintable(text));
    }

    void exactOdbcStringOpensAndQuotedPasswordLogsIn()
    {
        // A role whose password would break an unquoted connection string.
        const QString password = u"p;w}d{x"_s;
        const QString role = u"odbc_probe_"_s + QString::number(QCoreApplication::applicationPid());
        Connection admin;
        admin.open(test::serverSettings(u"postgres"_s));
        admin.execute(u"set client_min_messages = warning"_s);
        admin.execute(u"drop role if exists "_s + role);
        admin.execute(u"create role "_s + role + u" login password 'p;w}d{x'"_s);
        for (const QString& pwd : { u"tovmask"_s, password }) {
            ConnectionSettings s = test::serverSettings(u"postgres"_s);
            s.driver = Driver::Odbc;
            if (pwd != u"tovmask"_s)
                s.login = role;
            s.password = pwd;
            Connection c;
            c.open(s);
            Query q(
                c, u"select current_user as who, current_setting('client_encoding') as enc, 'Табель'::text as word"_s);
            q.open();
            QCOMPARE(q.field(u"who"_s).toText(), s.login);
            QCOMPARE(q.field(u"word"_s).toText(), u"Табель"_s);
        }
        admin.execute(u"drop role "_s + role);
    }

    void wrongPasswordIsAnError_data()
    {
        QTest::addColumn<int>("driver");
        QTest::newRow("QPSQL") << int(Driver::Psql);
        QTest::newRow("QODBC") << int(Driver::Odbc);
    }
    void wrongPasswordIsAnError()
    {
        QFETCH(int, driver);
        ConnectionSettings s = test::serverSettings(u"postgres"_s);
        s.driver = Driver(driver);
        s.password = u"wrong"_s;
        Connection c;
        try {
            c.open(s);
            QFAIL("opened");
        } catch (const DbError& e) {
            QVERIFY2(e.text().contains(u"password"_s), qPrintable(e.text()));
        }
        QVERIFY(!c.isOpen());
        QVERIFY_THROWS_EXCEPTION(DbError, c.execute(u"select 1"_s));
    }
};

TABEL_TEST(ConnectionTest)
#include "test_connection.moc"
