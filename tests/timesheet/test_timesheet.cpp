#include "db/data_module.h"
#include "journal/journal_window.h"
#include "support/app_fixture.h"
#include "support/gui.h"
#include "support/test_registry.h"
#include "support/xlsx_reader.h"
#include "timesheet/printed_timesheet.h"
#include "timesheet/timesheet_window.h"
#include "ui/db_grid.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using namespace tabel;

// The timesheet window from the journal's menu, over records of March 2022 of its own: Saturday
// the 5th and Monday the 7th.
class TimesheetTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::AppFixture> fx_;

    app::Forms& forms() { return fx_->forms(); }
    db::TDataModule6& dm() { return forms().dataModule(); }
    app::TForm1& journal() { return forms().journal(); }
    timesheet::TForm19& window() { return forms().timesheet(); }
    test::ScriptedPrompter& prompter() { return fx_->prompter(); }

    void open(const QDate& day, const std::function<void(timesheet::TForm19&)>& fn)
    {
        test::chooseDay(journal().DateT, day);
        prompter().whileOpen([&](QDialog&) { fn(window()); });
        test::trigger(journal().N11);
    }
    static int rowOf(db::DataSet& rows, int worker)
    {
        for (int r = 0; r < rows.recordCount(); ++r)
            if (rows.value(r, rows.fieldIndex(u"w_id"_s)).toInt() == worker)
                return r;
        return -1;
    }
    QColor title(ui::DBGrid* grid, int column)
    {
        return grid->gridModel().headerData(column, Qt::Horizontal, Qt::ForegroundRole).value<QColor>();
    }

private slots:
    void init()
    {
        fx_ = std::make_unique<test::AppFixture>();
        // two persons of one name (99101, 99102); hours in shift 2 on the Saturday and the Monday,
        // overtime on the Monday
        dm().ADO_DB.execute(uR"(
insert into cmn_contractor.person (id, s_code, s_caption, b_employee) values
  (990000000101, '99101', 'Ъ-Двойник Иван', true), (990000000102, '99102', 'Ъ-Двойник Иван', true),
  (990000000103, '99103', 'Ъ-Третий Пётр', true);
insert into accounts_dep.smena (w_id, i_id, o_id, kol_vo, data, smena, cena, time, ok)
select w, 1001, (select min(id) from accounts_dep.oper), 1, d, s, 10, t, 'no'
from (values (99101, date '2022-03-05', 2, 8), (99102, date '2022-03-05', 2, 10), (99101, date '2022-03-07', 2, 0),
             (99103, date '2022-03-07', 2, 3), (99103, date '2022-03-07', 4, 5), (99101, date '2024-02-29', 1, 7)) v(w, d, s, t);
)"_s);
        journal().show();
    }
    void cleanup()
    {
        journal().hide();
        fx_.reset();
    }

    void opensOnTheJournalsMonth()
    {
        open(QDate(2024, 2, 10), [&](timesheet::TForm19& w) {
            QCOMPARE(w.ComboBox1->currentText(), u"Февраль"_s);
            QCOMPARE(w.ComboBox2->currentText(), u"2024"_s);
            QCOMPARE(w.ComboBox2->itemText(w.ComboBox2->count() - 1), QString::number(QDate::currentDate().year() + 1));
            QCOMPARE(w.ComboBox2->itemText(0), u"2007"_s);
            QCOMPARE(title(w.DBGrid1, 29), QColor()); // the 29th of a leap February is a day
            QCOMPARE(title(w.DBGrid1, 30), QColor(192, 192, 192));
            QCOMPARE(title(w.DBGrid1, 3), QColor(255, 0, 0)); // Saturday the 3rd
            QCOMPARE(title(w.DBGrid1, 5), QColor());
            test::click(w.Button1); // rebuild February: the 29th is counted
            QVERIFY(!w.PB->isVisible());
            const int row = rowOf(dm().H_Tabel_1, 99101);
            QVERIFY(row >= 0);
            QCOMPARE(w.DBGrid1->cellText(row, 29), u"7"_s);
        });
        QVERIFY(!dm().H_Tabel_1.isOpen()); // closed after the window
    }

    void rebuiltGridsAndTheirStyling()
    {
        open(QDate(2022, 3, 20), [&](timesheet::TForm19& w) {
            test::click(w.Button1);
            db::Query& shift2 = dm().H_Tabel_2;
            const int eight = rowOf(shift2, 99101);
            const int ten = rowOf(shift2, 99102);
            const int three = rowOf(shift2, 99103);
            QVERIFY(eight >= 0 && ten >= 0 && three >= 0);
            QCOMPARE(rowOf(dm().H_Tabel_1, 99103), -1); // overtime has no tab
            w.DBGrid2->selectionModel()->clearSelection();
            const auto style = [&](int row, int day) { return w.DBGrid2->cellStyle(row, day); };
            QCOMPARE(w.DBGrid2->cellText(eight, 5), u"8"_s);
            QCOMPARE(style(eight, 5).text, QColor(255, 0, 0)); // Saturday: red, 8 bold
            QVERIFY(style(eight, 5).font.bold());
            QVERIFY(style(ten, 5).font.bold()); // above 8: bold on green
            QCOMPARE(style(ten, 5).background, QColor(192, 220, 192));
            QCOMPARE(style(eight, 7).text, QColor(192, 192, 192)); // a weekday zero: silver
            QCOMPARE(style(eight, 6).text, QColor(255, 0, 0)); // a Sunday zero stays red
            QVERIFY(!style(three, 7).font.bold());
            QCOMPARE(w.DBGrid2->cellText(three, 32), u"3"_s); // "Итого"
            QVERIFY(style(three, 32).font.bold());
            QCOMPARE(style(three, 32).background, QColor(225, 228, 255));
        });
    }

    void aFailedRebuildShowsTheMonthAsItStays()
    {
        // February 2022 has a stored row with an 8 on the 30th, and the rebuild fails on the way
        dm().ADO_DB.execute(uR"(
insert into accounts_dep.smena (w_id, i_id, o_id, kol_vo, data, smena, cena, time, ok)
select 99103, 1001, min(id), 1, date '2022-02-01', 1, 10, 4, 'no' from accounts_dep.oper;
update accounts_dep.h_tabel set d30 = 8 where w_id = 99103 and smena = 1 and month = 2 and year = 2022;
create function pg_temp.refuse() returns trigger language plpgsql as $$
begin raise exception 'Ъ-сбой перестроения'; end $$;
create trigger refuse before insert on accounts_dep.h_tabel for each row execute function pg_temp.refuse();
)"_s);
        open(QDate(2022, 2, 10), [&](timesheet::TForm19& w) {
            const int row = rowOf(dm().H_Tabel_1, 99103);
            QVERIFY(row >= 0);
            w.DBGrid1->selectionModel()->clearSelection();
            // past the month's end an 8 is drawn in the window-text colour, as a day's 8 is
            QCOMPARE(w.DBGrid1->cellStyle(row, 30).text, w.DBGrid1->palette().color(QPalette::Text));
            test::click(w.Button1);
            QVERIFY(!fx_->prompter().texts().isEmpty());
            QVERIFY2(fx_->prompter().texts().back().contains(u"Ъ-сбой перестроения"_s),
                qPrintable(fx_->prompter().texts().back()));
            fx_->prompter().clear();
            QVERIFY(dm().H_Tabel_1.isOpen());
            QCOMPARE(w.DBGrid1->cellText(rowOf(dm().H_Tabel_1, 99103), 1), u"4"_s); // rolled back, shown
        });
    }

    void spreadsheetOfTheMonth()
    {
        open(QDate(2022, 3, 20), [&](timesheet::TForm19& w) {
            test::click(w.Button1);
            test::click(w.Button2);
            const QRegularExpression counted(uR"(^Excel \((\d+) из \1\)$)"_s); // every row counted
            QVERIFY2(counted.match(w.Button2->text()).hasMatch(), qPrintable(w.Button2->text()));
        });
        QCOMPARE(fx_->openedSpreadsheets().size(), 1);
        const test::XlsxSheet sheet = test::readXlsx(fx_->openedSpreadsheets()[0]);
        QVERIFY(sheet.ok);
        QCOMPARE(sheet.at(1, 1)->text, u"Март 2022"_s);
        QVERIFY(sheet.at(1, 1)->bold && sheet.at(1, 1)->textFormat);
        QCOMPARE(sheet.at(2, 1)->text, u"Фамилия И.О."_s);
        QCOMPARE(sheet.at(2, 2)->text, u"1"_s);
        QCOMPARE(sheet.at(2, 33)->text, u"Итого"_s);
        int twins = -1;
        int third = -1;
        for (int r = 3; r <= sheet.rows(); ++r) {
            if (sheet.at(r, 1)->text == u"Ъ-Двойник Иван"_s)
                twins = r;
            if (sheet.at(r, 1)->text == u"Ъ-Третий Пётр"_s)
                third = r;
        }
        QVERIFY(twins > 0 && third > 0);
        QCOMPARE(sheet.at(twins, 6)->text.toInt(), 18); // one name: both workers' hours
        QVERIFY(sheet.at(twins, 6)->number);
        QCOMPARE(sheet.at(twins, 33)->text.toInt(), 18);
        QCOMPARE(sheet.at(third, 8)->text.toInt(), 8); // shift 2 and overtime
        QCOMPARE(sheet.at(third, 33)->text.toInt(), 8);
        QCOMPARE(sheet.at(third, 32)->text, u"0"_s); // all 31 days written
    }
    void printedTimesheet()
    {
        // 40 names in the month: two landscape pages, the caption and the day titles on both
        dm().ADO_DB.execute(uR"(
insert into cmn_contractor.person (id, s_code, s_caption, b_employee)
select 990000000200 + n, (99200 + n)::text, 'Ъ-Работник ' || lpad(n::text, 2, '0'), true from generate_series(1, 40) n;
insert into accounts_dep.h_tabel (w_id, smena, month, year, d1, d31)
select 99200 + n, 1, 3, 2022, n % 9, 4 from generate_series(1, 40) n;
insert into accounts_dep.h_tabel (w_id, smena, month, year, d1) values (99201, 4, 3, 2022, 5);
)"_s);
        const QString pdf = fx_->appData() + u"/timesheet.pdf"_s;
        open(QDate(2022, 3, 20), [&](timesheet::TForm19& w) {
            prompter().whileOpen([&](QDialog& preview) {
                QVERIFY(preview.windowState() & Qt::WindowMaximized);
                QAction* save = nullptr;
                for (QAction* a : preview.findChildren<QAction*>())
                    if (a->text() == u"Сохранить в PDF…"_s)
                        save = a;
                QVERIFY(save);
                prompter().saveAs(pdf);
                save->trigger();
            });
            test::click(w.Button6);
        });
        timesheet::TForm15& printed = forms().printedTimesheet();
        QCOMPARE(printed.definition().orientation, QPageLayout::Landscape);
        QVERIFY(!printed.H_Tabel.isOpen());
        const std::vector<report::Page> pages = printed.prepare(3, 2022);
        QVERIFY(pages.size() >= 2);
        for (size_t p = 0; p < pages.size(); ++p) {
            const QStringList texts = pages[p].texts();
            QCOMPARE(texts.value(0), u"Март 2022 г."_s); // repeated on every page
            QVERIFY(texts.contains(u"31"_s) && texts.contains(u"Итого"_s));
            QCOMPARE(texts.last(), QString::number(p + 1)); // the page number
        }
        // Ъ-Работник 01: 1 hour in shift 1 and 5 of overtime on the 1st, 4 on the 31st: 10
        const QStringList first = pages[0].texts();
        const qsizetype at = first.indexOf(u"Ъ-Работник 01"_s);
        QVERIFY(at > 0);
        QCOMPARE(first.value(at + 1), u"6"_s);
        QCOMPARE(first.value(at + 32), u"10"_s);
        QVERIFY(QFile::exists(pdf));
        QProcess text;
        text.start(u"pdftotext"_s, { pdf, u"-"_s });
        QVERIFY(text.waitForFinished(30000));
        const QString written = QString::fromUtf8(text.readAllStandardOutput());
        QCOMPARE(written.count(u"Март 2022 г."_s), int(pages.size()));
        // an empty month still prints its page
        const std::vector<report::Page> empty = printed.prepare(3, 2007);
        QCOMPARE(empty.size(), size_t(1));
        QVERIFY(empty[0].texts().contains(u"Итого"_s));
    }
};

TABEL_TEST(TimesheetTest)
#include "test_timesheet.moc"
