#include "core/dates.h"
#include "core/error.h"
#include "core/numbers.h"
#include "core/text.h"
#include "support/test_registry.h"

#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;
using namespace tabel;

class NumbersTest : public QObject {
    Q_OBJECT
private slots:
    void rounding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("places");
        QTest::addColumn<double>("expected");
        QTest::newRow("4 places up") << 10.123456 << 4 << 10.1235;
        QTest::newRow("tie to even down") << 12.5 << 0 << 12.0;
        QTest::newRow("tie to even up") << 13.5 << 0 << 14.0;
        QTest::newRow("half to zero") << 0.5 << 0 << 0.0;
        QTest::newRow("negative tie") << -2.5 << 0 << -2.0;
        QTest::newRow("decimal tie 2.675") << 2.675 << 2 << 2.68;
        QTest::newRow("decimal tie 1.00005") << 1.00005 << 4 << 1.0;
        QTest::newRow("decimal tie 1.00015") << 1.00015 << 4 << 1.0002;
        QTest::newRow("price x 1.2") << 10.12345 * 1.2 << 4 << 12.1481;
        QTest::newRow("below the places") << 0.00004 << 4 << 0.0;
        QTest::newRow("carry") << 9.99995 << 4 << 10.0;
        QTest::newRow("already exact") << 3.25 << 4 << 3.25;
        QTest::newRow("3 places") << 1.23456 << 3 << 1.235;
        QTest::newRow("large") << 123456789.125 << 2 << 123456789.12;
    }
    void rounding()
    {
        QFETCH(double, value);
        QFETCH(int, places);
        QFETCH(double, expected);
        QCOMPARE(roundHalfEven(value, places), expected);
    }

    void general_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("four decimals") << 30.3705 << u"30,3705"_s;
        QTest::newRow("0.1+0.2") << 0.1 + 0.2 << u"0,3"_s;
        QTest::newRow("tiny") << 1e-7 << u"1E-7"_s;
        QTest::newRow("tiny mantissa") << -1.5e-7 << u"-1,5E-7"_s;
        QTest::newRow("smallest fixed") << 0.00001 << u"0,00001"_s;
        QTest::newRow("18 digits") << 123456789012345678.0 << u"1,23456789012346E17"_s;
        QTest::newRow("15 digits") << 123456789012345.0 << u"123456789012345"_s;
        QTest::newRow("whole") << 250.0 << u"250"_s;
        QTest::newRow("zero") << 0.0 << u"0"_s;
        QTest::newRow("negative") << -12.5 << u"-12,5"_s;
        QTest::newRow("one third") << 1.0 / 3.0 << u"0,333333333333333"_s;
    }
    void general()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(formatGeneral(value), text);
        QCOMPARE(sqlNumber(value), QString(text).replace(u',', u'.'));
    }

    void masks_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("minPlaces");
        QTest::addColumn<int>("maxPlaces");
        QTest::addColumn<QString>("text");
        QTest::newRow("#0.00# whole") << 12.0 << 2 << 3 << u"12,00"_s;
        QTest::newRow("#0.00# one place") << 12.5 << 2 << 3 << u"12,50"_s;
        QTest::newRow("#0.00# three places") << 9.125 << 2 << 3 << u"9,125"_s;
        QTest::newRow("#0.00# tie to even") << 9.1245 << 2 << 3 << u"9,124"_s;
        QTest::newRow("#0.00") << 1234.567 << 2 << 2 << u"1234,57"_s;
        QTest::newRow("#0") << 2.5 << 0 << 0 << u"2"_s;
        QTest::newRow("#0.000 small negative") << -0.0001 << 3 << 3 << u"0,000"_s;
        QTest::newRow("negative") << -3.5 << 2 << 2 << u"-3,50"_s;
    }
    void masks()
    {
        QFETCH(double, value);
        QFETCH(int, minPlaces);
        QFETCH(int, maxPlaces);
        QFETCH(QString, text);
        QCOMPARE(formatDecimals(value, minPlaces, maxPlaces), text);
    }

    void parsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("value");
        QTest::newRow("comma") << u"12,5"_s << true << 12.5;
        QTest::newRow("point") << u"12.5"_s << true << 12.5;
        QTest::newRow("blanks") << u"  7 "_s << true << 7.0;
        QTest::newRow("sign") << u"-3,25"_s << true << -3.25;
        QTest::newRow("leading comma") << u",5"_s << true << 0.5;
        QTest::newRow("two commas") << u"1,2,3"_s << false << 0.0;
        QTest::newRow("letters") << u"12a"_s << false << 0.0;
        QTest::newRow("empty") << u""_s << false << 0.0;
        QTest::newRow("inner blank") << u"1 000"_s << false << 0.0;
        QTest::newRow("exponent") << u"1e5"_s << false << 0.0;
        QTest::newRow("sql") << u"1); drop table smena; --"_s << false << 0.0;
    }
    void parsing()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(double, value);
        QCOMPARE(isNumber(text), valid);
        if (valid) {
            QCOMPARE(parseNumber(text), value);
            return;
        }
        try {
            parseNumber(text);
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(e.text(), u"«"_s + text + u"» не является числом"_s);
        }
    }

    void numbersBeyondADouble_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        const QString huge = QString(400, u'9');
        const QString tiny = u"0,"_s + QString(400, u'0') + u"1"_s;
        QTest::newRow("400 digits") << huge << u"«"_s + huge.left(40) + u"…» — число вне допустимых пределов"_s;
        QTest::newRow("below the smallest") << tiny << u"«"_s + tiny.left(40) + u"…» — число вне допустимых пределов"_s;
        const QString pasted = QString(100000, u'x');
        QTest::newRow("pasted text") << pasted << u"«"_s + pasted.left(40) + u"…» не является числом"_s;
    }
    void numbersBeyondADouble()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        try {
            parseNumber(text);
            QFAIL("accepted");
        } catch (const ConversionError& e) {
            QCOMPARE(e.text(), message);
        }
        QCOMPARE(parseNumber(u"0,"_s + QString(300, u'0') + u"1"_s), 1e-301); // small but a number
        QCOMPARE(parseNumber(u"0,000"_s), 0.0);
    }

    void namesLoseHalfCharacters()
    {
        const QString lone = u"Ъ-"_s + QChar(0xD800) + u"тип\t2"_s;
        QCOMPARE(cleanName(lone), u"Ъ-тип 2"_s);
        const QString whole = u"знак "_s + QChar(0xD83D) + QChar(0xDE00);
        QCOMPARE(cleanName(whole), whole);
        QCOMPARE(cleanName(QString(QChar(0xDC00)) + u"x"_s), u"x"_s);
    }

    void wholeNumbers()
    {
        QCOMPARE(parseWhole(u" 42 "_s), 42);
        QCOMPARE(parseWhole(u"123456789012345"_s), Q_INT64_C(123456789012345));
        QVERIFY_THROWS_EXCEPTION(ConversionError, parseWhole(u"1,5"_s));
        QVERIFY_THROWS_EXCEPTION(ConversionError, parseWhole(u""_s));
        QVERIFY_THROWS_EXCEPTION(ConversionError, parseWhole(u"99999999999999999999"_s));
    }

    void dates()
    {
        const QDate d(2022, 3, 5);
        QCOMPARE(formatDate(d), u"05.03.2022"_s);
        QCOMPARE(sqlDate(d), u"to_date('05.03.2022', 'DD.MM.YYYY')"_s);
        QCOMPARE(parseDate(u" 05.03.2022 "_s), d);
        QVERIFY_THROWS_EXCEPTION(ConversionError, parseDate(u"31.02.2022"_s));
        QVERIFY_THROWS_EXCEPTION(ConversionError, parseDate(u"5.3.2022"_s));
        QVERIFY_THROWS_EXCEPTION(ConversionError, parseDate(u"2022-03-05"_s));
    }
};

TABEL_TEST(NumbersTest)
#include "test_numbers.moc"
