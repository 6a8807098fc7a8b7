#include "db/data_module.h"
#include "db/query.h"
#include "journal/journal_window.h"
#include "journal/record_history.h"
#include "support/app_fixture.h"
#include "support/gui.h"
#include "support/test_registry.h"
#include "ui/appearance.h"
#include "ui/db_grid.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>
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

    void showDate(const QDate& day) { test::chooseDay(journal().DateT, day); }
    void clickTitle(int column) { test::clickTitle(journal().DBGrid2, column); }

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
        QCOMPARE(column(1, u"w_id"_s), (QStringList { u"1001"_s, u"1002"_s, u"1003"_s, u"1012"_s })); // by name
        QCOMPARE(column(2, u"w_id"_s), (QStringList { u"1006"_s, u"1007"_s }));
        QCOMPARE(column(3, u"w_id"_s), QStringList { u"1008"_s });
        QCOMPARE(column(4, u"w_id"_s), QStringList { u"1009"_s });
        QCOMPARE(journal().DBGrid2->dataSet(), &dm().Smena1);
        QCOMPARE(journal().DBGrid2->cellText(0, 8), u"112,5"_s); // (10 - 1) × 12,5
        QCOMPARE(journal().DBGrid2->cellText(0, 4), u"RAL 9003 Сигнальный белый"_s);
        QCOMPARE(journal().DBGrid2->cellText(0, 11), u"01.03.2027"_s);
        QVERIFY(journal().DBGrid2->isColumnHidden(9));
        QCOMPARE(journal().DBGrid2->columnWidth(0), 250);
        QCOMPARE(journal().DBGrid2->gridModel().headerData(12, Qt::Horizontal, Qt::DisplayRole).toString(), u"№ ЗВП"_s);
        showDate(QDate(2027, 3, 2)); // a date without records
        QCOMPARE(journal().DBGrid2->gridModel().rowCount(), 0);
        clickTitle(0);
        QCOMPARE(journal().DBGrid2->gridModel().rowCount(), 0);
    }

    void recordHistoryFromTheGridsMenu()
    {
        const Id id = dm().Smena1.value(0, dm().Smena1.fieldIndex(u"id"_s)).toId();
        dm().ADO_DB.execute(u"update accounts_dep.smena set kol_vo = 11 where id = "_s + QString::number(id));
        test::clickCell(journal().DBGrid2, 0, 0);
        QVERIFY(journal().DBGrid2->actions().contains(journal().NHistory));
        QCOMPARE(journal().DBGrid2->contextMenuPolicy(), Qt::ActionsContextMenu);
        QStringList seen;
        fx_->prompter().whileOpen([&](QDialog& d) {
            auto& h = dynamic_cast<app::RecordHistory&>(d);
            QCOMPARE(h.Label1->text(), u"Запись № "_s + QString::number(id) + u": изменений — 2"_s);
            for (int r = 0; r < h.DBGrid1->gridModel().rowCount(); ++r)
                seen << h.DBGrid1->cellText(r, 1) + u" "_s + h.DBGrid1->cellText(r, 2) + u" "_s
                        + h.DBGrid1->cellText(r, 3).section(u';', 0, 0);
            test::click(h.Button1);
        });
        journal().NHistory->trigger();
        QCOMPARE(seen, (QStringList { u"sys добавление brak: 1"_s, u"sys изменение kol_vo: 10 → 11"_s }));
        QCOMPARE(dm().Smena1.recordCount(), 4); // the journal as it was
    }

    void changeReReadsOntoTheFirstRow()
    {
        clickTitle(6); // "Кол-во"
        const QString sort = dm().Smena1.sort();
        QVERIFY(!sort.isEmpty());
        const QStringList marks = column(1, u"ok"_s);
        const int accepted = int(marks.indexOf(u"ok"_s)); // "Изменить" on it only re-reads
        QVERIFY(accepted > 0);
        test::clickCell(journal().DBGrid2, accepted, 0);
        test::click(journal().Button2);
        QCOMPARE(dm().Smena1.sort(), sort);
        QCOMPARE(dm().Smena1.recNo(), 1);
        QCOMPARE(journal().DBGrid2->currentIndex().row(), 0);
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
            { 0, u"fio ASC" },
            { 0, u"fio DESC" },
            { 1, u"marka ASC" },
            { 1, u"marka DESC" },
            { 5, u"marka DESC" },
            { 12, u"id_doc ASC, fio ASC" },
            { 12, u"id_doc DESC, fio ASC" },
            { 2, u"vid DESC" },
            { 3, u"naimen ASC" },
            { 7, u"naimen ASC" },
            { 6, u"kol_vo DESC" },
            { 8, u"summa ASC" },
            { 10, u"ok DESC" },
            { 11, u"vvod ASC" },
            { 4, u"vvod ASC" },
        };
        for (const auto& step : steps) {
            clickTitle(step.column);
            QCOMPARE(q.sort(), QString::fromUtf16(step.sort));
        }
        clickTitle(0); // "vvod ASC" holds ASC: the other way
        QCOMPARE(q.sort(), u"fio DESC"_s);
        QCOMPARE(column(1, u"w_id"_s), (QStringList { u"1012"_s, u"1003"_s, u"1002"_s, u"1001"_s }));
        clickTitle(12);
        QCOMPARE(q.sort(), u"id_doc ASC, fio ASC"_s);
        QCOMPARE(column(1, u"id_doc"_s).first(), u"300000000151"_s);
        clickTitle(6);
        QCOMPARE(column(1, u"kol_vo"_s), (QStringList { u"10"_s, u"7"_s, u"5"_s, u"4"_s }));
    }

    void refreshRestoresTheQuerysOwnOrder()
    {
        clickTitle(8);
        clickTitle(8);
        QCOMPARE(dm().Smena1.sort(), u"summa DESC"_s);
        dm().Smena1.setRecNo(3);
        test::click(journal().Button8);
        QCOMPARE(dm().Smena1.sort(), QString());
        QCOMPARE(dm().Smena1.recNo(), 1);
        QCOMPARE(column(1, u"w_id"_s), (QStringList { u"1001"_s, u"1002"_s, u"1003"_s, u"1012"_s }));
        QCOMPARE(column(1, u"fio"_s), [&] {
            QStringList f = column(1, u"fio"_s);
            std::sort(f.begin(), f.end());
            return f;
        }());
    }

    void shiftsKeepTheirOwnSortAndColours()
    {
        clickTitle(0); // shift 1: fio ASC
        test::click(journal().RadioButton2);
        QCOMPARE(journal().currentShift(), 2);
        QCOMPARE(journal().DBGrid2->dataSet(), &dm().Smena2);
        QCOMPARE(journal().RadioButton2->palette().color(QPalette::Window), QColor(0, 128, 0));
        QVERIFY(journal().RadioButton2->font().bold());
        QVERIFY(!journal().RadioButton1->font().bold());
        QVERIFY(journal().RadioButton1->palette().color(QPalette::Window) != QColor(0, 128, 0));
        clickTitle(6);
        QCOMPARE(dm().Smena2.sort(), u"kol_vo ASC"_s);
        QCOMPARE(dm().Smena1.sort(), u"fio ASC"_s);
        test::click(journal().RadioButton4);
        QCOMPARE(journal().currentShift(), 4);
        QCOMPARE(journal().DBGrid2->gridModel().rowCount(), 1);
        journal().RadioButton3Click(); // not checked: nothing happens
        QCOMPARE(journal().currentShift(), 4);
        test::click(journal().RadioButton1);
        QCOMPARE(dm().Smena1.sort(), u"fio ASC"_s);
        QCOMPARE(dm().Smena2.sort(), u"kol_vo ASC"_s);
    }

    void gridKeepsDraggedWidthsAndFitsTheWindow()
    {
        QHeaderView* header = journal().DBGrid2->horizontalHeader();
        QCoreApplication::processEvents();
        int total = 0;
        for (int c = 0; c < header->count(); ++c)
            total += header->isSectionHidden(c) ? 0 : header->sectionSize(c);
        QVERIFY2(total <= journal().DBGrid2->viewport()->width(), qPrintable(QString::number(total)));
        QVERIFY(!journal().DBGrid2->horizontalScrollBar()->isVisible());
        QVERIFY(journal().DBGrid2->columnWidth(5) > 0); // "Часы" has a width of its own
        header->resizeSection(1, 200); // the user drags "Марка изделия" narrower
        test::click(journal().RadioButton2);
        QCOMPARE(journal().DBGrid2->columnWidth(1), 200);
        QCOMPARE(journal().DBGrid2->columnWidth(0), 250);
        test::click(journal().RadioButton1);
        QCOMPARE(journal().DBGrid2->columnWidth(1), 200);
    }

    void restoringFromMinimisedKeepsTheUsersView()
    {
        showDate(QDate(2027, 3, 6));
        showDate(QDate(2027, 3, 1));
        clickTitle(6);
        test::clickCell(journal().DBGrid2, 2, 0);
        const int row = dm().Smena1.recNo();
        QCOMPARE(row, 3);
        // the window system hides the minimised window and shows it again on restore
        QHideEvent hide;
        QSpontaneKeyEvent::setSpontaneous(&hide);
        QApplication::instance()->notify(&journal(), &hide); // notify keeps the event spontaneous
        QShowEvent show;
        QSpontaneKeyEvent::setSpontaneous(&show);
        QApplication::instance()->notify(&journal(), &show);
        QCOMPARE(journal().DateT->date(), QDate(2027, 3, 1));
        QCOMPARE(dm().Smena1.sort(), u"kol_vo ASC"_s);
        QCOMPARE(dm().Smena1.recNo(), row);
        // a new display (hidden and shown by the program) activates the window again
        journal().hide();
        journal().show();
        QCOMPARE(journal().DateT->date(), QDate::currentDate());
    }

    void enterPressesNoButton()
    {
        QSignalSpy added(journal().Button1, &QPushButton::clicked);
        for (QPushButton* b : { journal().Button1, journal().Button2, journal().Button3, journal().Button5,
                 journal().Button8, journal().Button4 })
            QVERIFY(!b->autoDefault() && !b->isDefault());
        journal().Button1->setFocus();
        QTest::keyClick(journal().DBGrid2, Qt::Key_Return);
        QTest::keyClick(&journal(), Qt::Key_Return);
        QCOMPARE(added.count(), 0);
        QVERIFY(journal().isVisible());
    }

    void themeChangeRepaintsTheColouredControls()
    {
        test::click(journal().RadioButton2);
        showDate(QDate(2027, 3, 6)); // "Выходной" ticked, red
        test::choose(journal().ComboBox1, u"Carbon"_s);
        QCoreApplication::processEvents();
        const QPalette theme = QApplication::palette();
        QVERIFY(theme.color(QPalette::Window).lightness() < 128); // a dark theme
        QCOMPARE(journal().RadioButton1->palette().color(QPalette::Window), theme.color(QPalette::Window));
        QCOMPARE(journal().RadioButton1->palette().color(QPalette::WindowText), theme.color(QPalette::WindowText));
        QCOMPARE(journal().RadioButton2->palette().color(QPalette::Window), QColor(0, 128, 0));
        QCOMPARE(journal().RadioButton2->palette().color(QPalette::WindowText), theme.color(QPalette::WindowText));
        QCOMPARE(journal().CBox1->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(journal().CBox1->palette().color(QPalette::WindowText), theme.color(QPalette::WindowText));
        fx_->forms().appearance().apply(u"Windows"_s);
    }

    void weekendTicksTheDayOff()
    {
        QVERIFY(!journal().CBox1->isChecked());
        showDate(QDate(2027, 3, 6));
        QVERIFY(journal().CBox1->isChecked());
        QCOMPARE(journal().CBox1->palette().color(QPalette::Window), QColor(255, 0, 0));
        QVERIFY(journal().CBox1->font().bold());
        QCOMPARE(column(1, u"w_id"_s), QStringList { u"1010"_s });
        showDate(QDate(2027, 3, 1));
        QVERIFY(!journal().CBox1->isChecked());
        QVERIFY(!journal().CBox1->font().bold());

        // a day chosen in the calendar reloads the records
        showDate(QDate(2027, 3, 6));
        QCOMPARE(column(1, u"w_id"_s), QStringList { u"1010"_s });
        QVERIFY(journal().CBox1->isChecked());
        showDate(QDate(2027, 3, 1));

        // a date typed in reloads with Enter
        journal().DateT->setFocus();
        journal().DateT->setSelectedSection(QDateTimeEdit::DaySection);
        QTest::keyClicks(journal().DateT, u"06"_s);
        QCOMPARE(journal().DateT->date(), QDate(2027, 3, 6));
        QTest::keyClick(journal().DateT, Qt::Key_Return);
        QCOMPARE(column(1, u"w_id"_s), QStringList { u"1010"_s });
        QCOMPARE(journal().loadedDate(), QDate(2027, 3, 6));
    }

    void dateChangedByKeyboardIsLoadedOnceCommitted()
    {
        journal().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&journal()));
        journal().DateT->setFocus();
        journal().DateT->setSelectedSection(QDateTimeEdit::DaySection);
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(journal().DateT, Qt::Key_Up); // 1 → 6 March, one day per key
        QCOMPARE(journal().DateT->date(), QDate(2027, 3, 6));
        QCOMPARE(journal().loadedDate(), QDate(2027, 3, 1)); // not yet: the user is still choosing
        QTRY_COMPARE(journal().loadedDate(), QDate(2027, 3, 6));
        QCOMPARE(column(1, u"w_id"_s), QStringList { u"1010"_s });
        QVERIFY(journal().CBox1->isChecked());
        // leaving the picker commits at once
        QVERIFY(journal().DBGrid2->hasFocus()); // the load moved the focus to the grid
        journal().DateT->setFocus();
        QTest::keyClick(journal().DateT, Qt::Key_Down);
        QCOMPARE(journal().DateT->date(), QDate(2027, 3, 5));
        test::clickCell(journal().DBGrid2, 0, 0); // the user clicks into the grid
        QVERIFY(!journal().DateT->hasFocus());
        QCOMPARE(journal().loadedDate(), QDate(2027, 3, 5));
    }

    void exitClosesTheJournal()
    {
        QVERIFY(journal().isVisible());
        test::trigger(journal().N5);
        QVERIFY(!journal().isVisible());
        QCOMPARE(journal().result(), int(QDialog::Rejected));
    }
};

TABEL_TEST(JournalTest)
#include "test_journal.moc"
