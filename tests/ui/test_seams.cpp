#include "core/error.h"
#include "core/numbers.h"
#include "db/db_error.h"
#include "db/query.h"
#include "support/scripted_prompter.h"
#include "support/test_db.h"
#include "support/test_registry.h"
#include "ui/date_box.h"
#include "ui/db_grid.h"
#include "ui/guard.h"
#include "ui/lookup_combo.h"
#include "ui/number_box.h"

#include <QAbstractItemModelTester>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using namespace tabel;
using namespace tabel::db;

class SeamsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::FreshDatabase> db_;

    void openList(Query& q)
    {
        q.setSql(u"select * from (values (1, 'Иванов', 'ok'), (2, 'Петров', 'no'), (3, 'Сидоров', 'да'))"
                 " t(id, fio, ok) order by id"_s);
        q.open();
    }

private slots:
    void initTestCase() { db_ = std::make_unique<test::FreshDatabase>(); }
    void cleanupTestCase() { db_.reset(); }

    void guardShowsTheErrorAndTheNextHandlerRuns()
    {
        test::ScriptedPrompter prompter;
        QPushButton button;
        int after = 0;
        bool reachedEnd = false;
        QObject::connect(&button, &QPushButton::clicked, &button, ui::guard(prompter, [&] {
            parseNumber(u"1,2,3"_s);
            reachedEnd = true;
        }));
        QObject::connect(&button, &QPushButton::clicked, &button,
            ui::guard(prompter, [&] { throw db::DbError(u"ERROR: relation \"smena\" does not exist"_s); }));
        QObject::connect(&button, &QPushButton::clicked, &button, ui::guard(prompter, [&](bool checked) {
            Q_UNUSED(checked)
            ++after;
        }));
        button.click();
        QVERIFY(!reachedEnd);
        QCOMPARE(after, 1);
        QCOMPARE(prompter.texts(),
            (QStringList { u"«1,2,3» не является числом"_s, u"ERROR: relation \"smena\" does not exist"_s }));
        QVERIFY(prompter.shown()[0].generalError);
        button.click(); // the program goes on
        QCOMPARE(after, 2);
    }

    void scriptedPrompterAnswersAndRunsModalWindows()
    {
        test::ScriptedPrompter prompter;
        prompter.answer(ui::Answer::No);
        prompter.answer(ui::Answer::Yes);
        QCOMPARE(prompter.message(u"Удалить?"_s, u"Удаление"_s, ui::QuestionYesNo), ui::Answer::No);
        QCOMPARE(prompter.message(u"Удалить?"_s, u"Удаление"_s, ui::QuestionYesNo), ui::Answer::Yes);
        QCOMPARE(prompter.message(u"Нет"_s, u"Ошибка"_s, ui::ErrorOk), ui::Answer::Ok);
        QCOMPARE(prompter.shown().size(), size_t(3));
        QCOMPARE(prompter.shown()[1].caption, u"Удаление"_s);
        QCOMPARE(prompter.shown()[2].flags, 16);

        QDialog dialog;
        bool wasVisible = false;
        prompter.whileOpen([&](QDialog& d) {
            wasVisible = d.isVisible();
            d.accept();
        });
        QCOMPARE(prompter.exec(dialog), int(QDialog::Accepted));
        QVERIFY(wasVisible);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(prompter.exec(dialog), int(QDialog::Rejected)); // nothing scripted: closed at once
        QCOMPARE(prompter.execCount(), 2);
    }

    void unscriptedQuestionAndUnusedAnswerFailTheTest()
    {
        test::ScriptedPrompter prompter;
        QEXPECT_FAIL("", "a question nobody scripted fails the test", Continue);
        QCOMPARE(prompter.message(u"Удалить?"_s, u"Удаление"_s, ui::WarningYesNo), ui::Answer::No);
        prompter.answer(ui::Answer::Yes);
        QEXPECT_FAIL("", "an answer nobody used fails the test", Continue);
        prompter.verifyAllUsed();
    }

    void gridFollowsTheDataSet()
    {
        Query q(db_->connection());
        openList(q);
        ui::DBGrid grid;
        QAbstractItemModelTester tester(&grid.gridModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        grid.setColumns(
            { { u"fio"_s, u"Фамилия И.О."_s, 250 }, { u"id"_s, u"Код"_s, 40, Qt::AlignRight | Qt::AlignVCenter, false },
                { u"ok"_s, u"OK"_s, 37, Qt::AlignCenter } });
        grid.setDataSet(&q);
        grid.resize(600, 300);
        grid.show();
        QCOMPARE(grid.gridModel().rowCount(), 3);
        QCOMPARE(grid.columnWidth(0), 250);
        QVERIFY(grid.isColumnHidden(1));
        QCOMPARE(grid.gridModel().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), u"Фамилия И.О."_s);
        QCOMPARE(grid.cellText(1, 0), u"Петров"_s);

        // the dataset moves the selection, the selection moves the dataset
        q.setRecNo(3);
        QCOMPARE(grid.currentIndex().row(), 2);
        grid.selectRow(1);
        QCOMPARE(q.field(u"id"_s).toInt(), 2);
        q.setSort(u"fio DESC"_s);
        QCOMPARE(grid.cellText(0, 0), u"Сидоров"_s);
        QCOMPARE(grid.currentIndex().row(), 1); // still Петров
        q.setFilter(u"ok='no'"_s);
        q.setFiltered(true);
        QCOMPARE(grid.gridModel().rowCount(), 1);
        q.close();
        QCOMPARE(grid.gridModel().rowCount(), 0);
        openList(q);
        QCOMPARE(grid.gridModel().rowCount(), 1); // the filter stays on

        QSignalSpy titles(&grid, &ui::DBGrid::titleClicked);
        QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {},
            QPoint(grid.horizontalHeader()->sectionViewportPosition(2) + 5, 5));
        QCOMPARE(titles.count(), 1);
        QCOMPARE(titles.at(0).at(0).toInt(), 2);
    }

    void cellHookRestylesCells()
    {
        Query q(db_->connection());
        openList(q);
        ui::DBGrid grid;
        grid.setColumns({ { u"fio"_s, u"Ф"_s }, { u"ok"_s, u"OK"_s } });
        grid.setDataSet(&q);
        grid.setCellHook([&](int row, int column, ui::CellStyle& style) {
            if (column != 1)
                return;
            const QString ok = grid.gridModel().cellValue(row, column).toText();
            style.font.setBold(true);
            style.text = (ok == u"ok"_s || ok == u"да"_s) ? QColor(0, 128, 0) : QColor(255, 0, 0);
        });
        QCOMPARE(grid.cellStyle(0, 1).text, QColor(0, 128, 0));
        QCOMPARE(grid.cellStyle(1, 1).text, QColor(255, 0, 0));
        QCOMPARE(grid.cellStyle(2, 1).text, QColor(0, 128, 0));
        QVERIFY(grid.cellStyle(1, 1).font.bold());
        QVERIFY(!grid.cellStyle(1, 0).text.isValid());
        grid.resize(300, 200);
        grid.show();
        QVERIFY(!grid.grab().isNull()); // the delegate paints with the hook
    }

    void lookupComboChoosesRows()
    {
        Query q(db_->connection());
        openList(q);
        ui::LookupCombo box;
        box.bind(&q, u"fio"_s, u"id"_s);
        QCOMPARE(box.count(), 3);
        QVERIFY(box.keyValue().isNull());
        QCOMPARE(box.shownText(), QString());
        QSignalSpy chosen(&box, &ui::LookupCombo::chosen);
        box.setKeyValue(Q_INT64_C(2));
        QCOMPARE(box.shownText(), u"Петров"_s);
        QCOMPARE(q.field(u"id"_s).toInt(), 2);
        QCOMPARE(chosen.count(), 0); // setting by the program is not a choice
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_Down); // a keyboard move is a choice
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(box.keyValue().toInt(), 3);
        QCOMPARE(q.field(u"fio"_s).toText(), u"Сидоров"_s);
        q.setFilter(u"id=1"_s);
        q.setFiltered(true); // the box follows the rows; the chosen key is gone
        QCOMPARE(box.count(), 1);
        QVERIFY(box.keyValue().isNull());
    }

    void numberBoxFiltersKeysAndValidatesText()
    {
        QLineEdit box;
        ui::NumberKeyFilter::install(&box);
        box.show();
        QTest::keyClicks(&box, u"1a2.5-x,"_s);
        QCOMPARE(box.text(), u"12,5,"_s);
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.text(), u"12,5"_s);
        QCOMPARE(ui::readNumber(&box), 12.5);
        box.setText(u"12,5,5"_s); // pasted text is checked when read
        QVERIFY_THROWS_EXCEPTION(ConversionError, ui::readNumber(&box));
        box.setText(u"7"_s);
        QCOMPARE(ui::readWhole(&box), 7);
    }

    void dateBoxesTakeTypedDates()
    {
        QDateEdit box;
        ui::makeDateBox(&box);
        box.setDate(QDate(2025, 1, 11));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        auto* text = box.findChild<QLineEdit*>();
        QVERIFY(text);
        // a click where the user sees the character at `position`
        const auto clickAt = [&](int position) {
            text->setCursorPosition(position);
            const QPoint at = text->inputMethodQuery(Qt::ImCursorRectangle).toRect().center() + QPoint(2, 0);
            text->setCursorPosition(text->text().size());
            QTest::mouseClick(text, Qt::LeftButton, Qt::NoModifier, at);
        };
        clickAt(1); // into the day: typing replaces it
        QTest::keyClicks(&box, u"05"_s);
        QCOMPARE(box.date(), QDate(2025, 1, 5));
        clickAt(3); // into the month
        QTest::keyClicks(&box, u"12"_s);
        QCOMPARE(box.date(), QDate(2025, 12, 5));
        QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier); // the whole date, typed anew
        QTest::keyClicks(&box, u"01.02.2024"_s);
        QCOMPARE(box.date(), QDate(2024, 2, 1));
        for (const QString& typed : { u"5.3.2023"_s, u"05032023"_s }) { // short sections, no separators
            box.setDate(QDate(2025, 12, 11));
            QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(&box, typed);
            QCOMPARE(box.date(), QDate(2023, 3, 5));
        }
    }
};

TABEL_TEST(SeamsTest)
#include "test_seams.moc"
