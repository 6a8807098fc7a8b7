#include "db/data_module.h"
#include "db/query.h"
#include "journal/journal_window.h"
#include "support/app_fixture.h"
#include "support/test_registry.h"
#include "ui/db_grid.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QRadioButton>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using namespace tabel;

// The journal over records of its own on two dates of its own: Monday 1 and Saturday 6 March 2027.
class JournalTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::AppFixture> fx_;

    app::TForm1& journal() { return fx_->forms().journal(); }
    db::TDataModule6& dm() { return fx_->forms().dataModule(); }

    QStringList column(int shift, const QString& field)
    {
        QStringList out;
        db::Query& q = dm().smenaQuery(shift);
        for (int r = 0; r < q.recordCount(); ++r)
            out << q.value(r, q.fieldIndex(field)).toText();
        return out;
    }

    void showDate(const QDate& day)
    {
        journal().DateT->setDate(day);
        journal().DateTChange();
    }

private slots:
    void init()
    {
        fx_ = std::make_unique<test::AppFixture>();
        db::Connection& c = dm().ADO_DB;
        // worker, product, operation, quantity, defects, shift, mark, price, colour
        c.execute(uR"(
insert into accounts_dep.smena (w_id, i_id, o_id, kol_vo, brak, data, smena, cena, color, time, vvod, ok, prize, id_doc, id_doc_item)
select w, p, (select min(id) from accounts_dep.oper where i_id = p), q, b, date '2027-03-01', s, c, col, 8,
       timestamp '2027-03-01 17:00', ok, 0, d, 400000000001
from (values
  (1001, 1001, 10, 1, 1, 'no', 12.5, 9003, 300000000152),
  (1002, 1005, 5, 0, 1, 'ok', 20.0, 0, 300000000151),
  (1003, 1009, 7, 0, 1, 'да', 3.3333, 1, 300000000154),
  (1004, 1001, 1, 0, 1, 'ta', 1.0, 0, 300000000151),
  (1005, 1001, 1, 0, 1, null, 1.0, 0, 300000000151),
  (1012, 1002, 4, 0, 1, 'no', 9.0, 0, 300000000155),
  (1006, 1003, 2, 0, 2, 'no', 15.0, 0, 300000000152),
  (1007, 1004, 3, 0, 2, 'ok', 15.0, 0, 300000000152),
  (1008, 1013, 6, 0, 3, 'no', 18.0, 0, 300000000152),
  (1009, 1014, 1, 0, 4, 'no', 30.0, 0, 300000000152)
) v(w, p, q, b, s, ok, c, col, d);
insert into accounts_dep.smena (w_id, i_id, o_id, kol_vo, brak, data, smena, cena, color, time, vvod, ok, prize, id_doc, id_doc_item)
select 1010, 1001, (select min(id) from accounts_dep.oper where i_id = 1001), 2, 0, date '2027-03-06', 1, 25.0, 0, 8,
       timestamp '2027-03-06 12:00', 'no', 0, 300000000152, 400000000001;
)"_s);
        for (int shift = 1; shift <= 4; ++shift)
            dm().smenaQuery(shift).setParam(u"ok"_s, u"ta"_s);
        journal().show();
        showDate(QDate(2027, 3, 1));
    }
    void cleanup()
    {
        journal().hide();
        fx_.reset();
    }

    void eachShiftInItsQueryHiddenMarksLeftOut()
    {
        QCOMPARE(column(1, u"fio"_s).size(), 4); // "ta" and the null mark are left out
        QVERIFY(!column(1, u"ok"_s).contains(u"ta"_s));
        QCOMPARE(column(1, u"w_id"_s), (QStringList{u"1001"_s, u"1002"_s, u"1003"_s, u"1012"_s})); // by name
        QCOMPARE(column(2, u"w_id"_s), (QStringList{u"1006"_s, u"1007"_s}));
        QCOMPARE(column(3, u"w_id"_s), QStringList{u"1008"_s});
        QCOMPARE(column(4, u"w_id"_s), QStringList{u"1009"_s});
        QCOMPARE(journal().DBGrid2->dataSet(), &dm().Smena1);
        QCOMPARE(journal().DBGrid2->cellText(0, 8), u"112,5"_s); // (10 - 1) × 12,5
        QCOMPARE(journal().DBGrid2->cellText(0, 4), u"RAL 9003 Сигнальный белый"_s);
        QCOMPARE(journal().DBGrid2->cellText(0, 11), u"01.03.2027"_s);
        QVERIFY(journal().DBGrid2->isColumnHidden(9));
        QCOMPARE(journal().DBGrid2->columnWidth(0), 250);
        QCOMPARE(journal().DBGrid2->gridModel().headerData(12, Qt::Horizontal, Qt::DisplayRole).toString(), u"№ ЗВП"_s);
        showDate(QDate(2027, 3, 2)); // a date without records
        QCOMPARE(journal().DBGrid2->gridModel().rowCount(), 0);
        journal().DBGrid2TitleClick(0);
        QCOMPARE(journal().DBGrid2->gridModel().rowCount(), 0);
    }

    void acceptanceMarksInColour()
    {
        const QStringList marks = column(1, u"ok"_s);
        for (int r = 0; r < marks.size(); ++r) {
            const ui::CellStyle style = journal().DBGrid2->cellStyle(r, 10);
            const bool accepted = marks[r] == u"ok"_s || marks[r] == u"да"_s;
            QCOMPARE(style.text, accepted ? QColor(0, 128, 0) : QColor(255, 0, 0));
            QVERIFY(style.font.bold());
            QVERIFY(!journal().DBGrid2->cellStyle(r, 0).text.isValid()); // other columns as they are
        }
        QVERIFY(marks.contains(u"да"_s) && marks.contains(u"no"_s) && marks.contains(u"ok"_s));
    }

    void titleClicksSort()
    {
        db::Query& q = dm().Smena1;
        const struct {
            int column;
            const char16_t* sort;
        } steps[] = {
            {0, u"fio ASC"}, {0, u"fio DESC"}, {1, u"marka ASC"}, {1, u"marka DESC"}, {5, u"marka DESC"},
            {12, u"id_doc ASC, fio ASC"}, {12, u"id_doc DESC, fio ASC"}, {2, u"vid DESC"}, {3, u"naimen ASC"},
            {7, u"naimen ASC"}, {6, u"kol_vo DESC"}, {8, u"summa ASC"}, {10, u"ok DESC"}, {11, u"vvod ASC"},
            {4, u"vvod ASC"}, {9, u"vvod ASC"},
        };
        for (const auto& step : steps) {
            journal().DBGrid2TitleClick(step.column);
            QCOMPARE(q.sort(), QString::fromUtf16(step.sort));
        }
        journal().DBGrid2TitleClick(0); // "vvod ASC" holds ASC: the other way
        QCOMPARE(q.sort(), u"fio DESC"_s);
        QCOMPARE(column(1, u"w_id"_s), (QStringList{u"1012"_s, u"1003"_s, u"1002"_s, u"1001"_s}));
        journal().DBGrid2TitleClick(12);
        QCOMPARE(q.sort(), u"id_doc ASC, fio ASC"_s);
        QCOMPARE(column(1, u"id_doc"_s).first(), u"300000000151"_s);
        journal().DBGrid2TitleClick(6);
        QCOMPARE(column(1, u"kol_vo"_s), (QStringList{u"10"_s, u"7"_s, u"5"_s, u"4"_s}));
    }

    void refreshRestoresTheQuerysOwnOrder()
    {
        journal().DBGrid2TitleClick(8);
        journal().DBGrid2TitleClick(8);
        QCOMPARE(dm().Smena1.sort(), u"summa DESC"_s);
        dm().Smena1.setRecNo(3);
        journal().Button8Click();
        QCOMPARE(dm().Smena1.sort(), QString());
        QCOMPARE(dm().Smena1.recNo(), 1);
        QCOMPARE(column(1, u"w_id"_s), (QStringList{u"1001"_s, u"1002"_s, u"1003"_s, u"1012"_s}));
        QCOMPARE(column(1, u"fio"_s), [&] { QStringList f = column(1, u"fio"_s); std::sort(f.begin(), f.end()); return f; }());
    }

    void shiftsKeepTheirOwnSortAndColours()
    {
        journal().DBGrid2TitleClick(0); // shift 1: fio ASC
        journal().RadioButton2->setChecked(true);
        journal().RadioButton2Click();
        QCOMPARE(journal().currentShift, 2);
        QCOMPARE(journal().DBGrid2->dataSet(), &dm().Smena2);
        QCOMPARE(journal().RadioButton2->palette().color(QPalette::Window), QColor(0, 128, 0));
        QVERIFY(journal().RadioButton2->font().bold());
        QVERIFY(!journal().RadioButton1->font().bold());
        QVERIFY(journal().RadioButton1->palette().color(QPalette::Window) != QColor(0, 128, 0));
        journal().DBGrid2TitleClick(6);
        QCOMPARE(dm().Smena2.sort(), u"kol_vo ASC"_s);
        QCOMPARE(dm().Smena1.sort(), u"fio ASC"_s);
        journal().RadioButton4->setChecked(true);
        journal().RadioButton4Click();
        QCOMPARE(journal().currentShift, 4);
        QCOMPARE(journal().DBGrid2->gridModel().rowCount(), 1);
        journal().RadioButton3Click(); // not checked: nothing happens
        QCOMPARE(journal().currentShift, 4);
        journal().RadioButton1->setChecked(true);
        journal().RadioButton1Click();
        QCOMPARE(dm().Smena1.sort(), u"fio ASC"_s);
        QCOMPARE(dm().Smena2.sort(), u"kol_vo ASC"_s);
    }

    void weekendTicksTheDayOff()
    {
        QVERIFY(!journal().CBox1->isChecked());
        showDate(QDate(2027, 3, 6));
        QVERIFY(journal().CBox1->isChecked());
        QCOMPARE(journal().CBox1->palette().color(QPalette::Window), QColor(255, 0, 0));
        QVERIFY(journal().CBox1->font().bold());
        QCOMPARE(column(1, u"w_id"_s), QStringList{u"1010"_s});
        showDate(QDate(2027, 3, 1));
        QVERIFY(!journal().CBox1->isChecked());
        QVERIFY(!journal().CBox1->font().bold());

        // a day chosen in the calendar reloads the records
        emit journal().DateT->calendarWidget()->clicked(QDate(2027, 3, 6));
        QCOMPARE(column(1, u"w_id"_s), QStringList{u"1010"_s});
        QVERIFY(journal().CBox1->isChecked());
        showDate(QDate(2027, 3, 1));

        // typing a date reloads only with Enter
        journal().DateT->setDate(QDate(2027, 3, 6));
        QCOMPARE(column(1, u"w_id"_s).size(), 4);
        QTest::keyClick(journal().DateT, Qt::Key_Return);
        QCOMPARE(column(1, u"w_id"_s), QStringList{u"1010"_s});
    }

    void exitClosesTheJournal()
    {
        QVERIFY(journal().isVisible());
        journal().N5Click();
        QVERIFY(!journal().isVisible());
        QCOMPARE(journal().result(), int(QDialog::Rejected));
    }
};

TABEL_TEST(JournalTest)
#include "test_journal.moc"
