#include "domain/piece_price.h"
#include "support/test_registry.h"

#include <QTest>

using namespace tabel;

class PiecePriceTest : public QObject {
    Q_OBJECT
private slots:
    void rules_data()
    {
        QTest::addColumn<double>("lowest");
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<int>("shift");
        QTest::addColumn<double>("base");
        QTest::addColumn<double>("final");
        QTest::newRow("working day, shift 1") << 10.0 << false << 1 << 10.0 << 10.0;
        QTest::newRow("working day, shift 2") << 10.0 << false << 2 << 10.0 << 10.0;
        QTest::newRow("shift 3") << 10.0 << false << 3 << 10.0 << 12.0;
        QTest::newRow("overtime") << 10.0 << false << 4 << 10.0 << 15.0;
        QTest::newRow("day off, shift 1") << 10.0 << true << 1 << 10.0 << 20.0;
        QTest::newRow("day off, shift 3") << 10.0 << true << 3 << 10.0 << 24.0;
        QTest::newRow("day off, overtime, base rounded") << 10.123456 << true << 4 << 10.1235 << 30.3705;
        QTest::newRow("tie to even") << 1.00005 << false << 1 << 1.0 << 1.0;
    }
    void rules()
    {
        QFETCH(double, lowest);
        QFETCH(bool, dayOff);
        QFETCH(int, shift);
        QFETCH(double, base);
        QFETCH(double, final);
        const PiecePrice p = piecePrice(lowest, dayOff, shift);
        QCOMPARE(p.base, base);
        QCOMPARE(p.final, final); // fuzzy: the final price is not rounded again
    }
};

TABEL_TEST(PiecePriceTest)
#include "test_piece_price.moc"
