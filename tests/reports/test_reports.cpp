#include "db/data_module.h"
#include "journal/journal_window.h"
#include "reports/period_reports.h"
#include "reports/report_selection.h"
#include "support/app_fixture.h"
#include "support/gui.h"
#include "support/test_registry.h"
#include "support/xlsx_reader.h"

#include <QAction>
#include <QDateEdit>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;
using namespace tabel;

// The period reports over records of February 2022 of their own: one worker, two products (the
// second made by an operation of kind blanks), primer and a RAL colour, a bonus.
class ReportsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::AppFixture> fx_;
    const QDate from { 2022, 2, 1 };
    const QDate to { 2022, 3, 1 };

    app::Forms& forms() { return fx_->forms(); }
    db::TDataModule6& dm() { return forms().dataModule(); }
    reports::TForm18& selection() { return forms().reportSelection(); }
    test::ScriptedPrompter& prompter() { return fx_->prompter(); }

    QStringList texts(int report, int kind = 0)
    {
        reports::PeriodReport& r = selection().form(report);
        r.QRLabel1 = reports::reportTitle(report, from, to);
        const std::vector<report::Page> pages = r.prepare(from, to, kind);
        r.query.close();
        QStringList out;
        for (const report::Page& p : pages)
            out += p.texts();
        return out;
    }
    // The texts from `first` on, in order, must include `expected` in that order.
    static bool inOrder(const QStringList& texts, const QStringList& expected)
    {
        qsizetype at = 0;
        for (const QString& e : expected) {
            at = texts.indexOf(e, at);
            if (at < 0)
                return false;
            ++at;
        }
        return true;
    }

private slots:
    void init()
    {
        fx_ = std::make_unique<test::AppFixture>();
        dm().ADO_DB.execute(uR"(
insert into cmn_contractor.person (id, s_code, s_caption, b_employee) values (990000000401, '99401', 'Ъ-Отчётов Иван', true);
update accounts_dep.oper set naimen = 1 where id = 25;
insert into mnf_doc.doc (id, s_number, d_date) values (9400, 'З-9400', date '2022-01-20');
insert into accounts_dep.smena (w_id, i_id, o_id, kol_vo, brak, data, smena, cena, color, time, ok, prize, id_doc) values
  (99401, 1001, 4, 10, 1, date '2022-02-10', 1, 100, 1, 8, 'no', 15, 9400),
  (99401, 1005, 25, 5, 0, date '2022-02-11', 1, 10, 9003, 8, 'no', 0, 9400),
  (99401, 1005, 25, 7.5, 0, date '2022-02-12', 2, 10, 9003, 8, 'no', 0, null),
  (99401, 1001, 4, 99, 0, date '2022-03-01', 1, 100, 1, 8, 'no', 0, 9400);
)"_s);
    }
    void cleanup() { fx_.reset(); }

    void byWorkersGroupsAndTotals()
    {
        const QStringList t = texts(0);
        QCOMPARE(t.value(0), u"   Отчет по рабочим за период с 01.02.2022 по 01.03.2022"_s);
        // worker header, product header, its line and footer; the next product; the worker's sum; "Итого:"
        QVERIFY2(inOrder(t,
                     { u"Ъ-Отчётов Иван"_s, u"Шкафы архивные"_s, u"Заготовки"_s, u"Резка"_s, u" (RAL: 9003)"_s,
                         u"12,5"_s, u"125,000"_s, u"12,5"_s, u"125,000"_s, u"Шкафы металлические"_s,
                         u"Готовая продукция"_s, u"Покраска"_s, u" (грунт)"_s, u"9"_s, u"900,000"_s, u"9"_s,
                         u"900,000"_s, u"1025,00"_s, u"Итого:"_s, u"1025,00"_s }),
            qPrintable(t.join(u" | "_s)));
        QVERIFY(!t.contains(u"99"_s)); // the end date is excluded
        QCOMPARE(t.last(), u"1"_s); // the page number
    }

    void productKindFilterAndTheOtherLayouts()
    {
        const QStringList blanks = texts(0, 2); // "Заготовки": totals over the filtered rows only
        QVERIFY(!blanks.contains(u"Шкафы металлические"_s));
        QVERIFY(inOrder(blanks, { u"Итого:"_s, u"125,00"_s }));
        const QStringList products = texts(1);
        QVERIFY(inOrder(products, { u"Коробки"_s, u"Количество"_s, u"Шкафы архивные"_s, u" (RAL: 9003)"_s }));
        QVERIFY(inOrder(products, { u"Шкафы металлические"_s, u" (грунт)"_s, u"4,5"_s, u"9"_s })); // boxes 0.5 × 9
        QVERIFY(inOrder(products, { u"Итого:"_s, u"11"_s, u"21,5"_s })); // boxes "#0": 10,75 → 11
        // detailed by workers: the bonus 15 % of 900 and the "Итог:" line
        const QStringList detailed = texts(2);
        QVERIFY2(inOrder(detailed,
                     { u"Ъ-Отчётов Иван"_s, u"1025,00"_s, u"135,00"_s, u"Итог:"_s, u"1160,00"_s, u"Итого:"_s }),
            qPrintable(detailed.join(u" | "_s)));
        const QStringList byProducts = texts(3);
        QVERIFY(inOrder(byProducts, { u"Брак"_s, u"Коробки"_s, u"Кол-во"_s, u"Сумма"_s, u"Шкафы архивные"_s }));
        // by requisitions: grouped by the number; records without a requisition left out
        const QStringList requisitions = texts(4);
        QVERIFY(inOrder(requisitions, { u"Номенкл."_s, u"З-9400"_s, u"Итого:"_s }));
        QVERIFY(requisitions.contains(u"950,00"_s)); // 900 + 50, the 7.5 without a requisition not counted
    }

    void presetsOfTheSelection_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        QTest::newRow("January") << QDate(2023, 1, 15) << QDate(2022, 12, 1) << QDate(2023, 1, 1);
        QTest::newRow("March") << QDate(2022, 3, 10) << QDate(2022, 2, 1) << QDate(2022, 3, 1);
    }
    void presetsOfTheSelection()
    {
        QFETCH(QDate, today);
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        prompter().whileOpen([&](QDialog&) {
            QCOMPARE(selection().DTPicker1->date(), first);
            QCOMPARE(selection().DTPicker2->date(), last);
        });
        selection().showForPreviousMonth(today);
        QCOMPARE(reports::reportTitle(2, first, last),
            u"   Детальный отчет по рабочим за период с "_s + first.toString(u"dd.MM.yyyy"_s) + u" по "_s
                + last.toString(u"dd.MM.yyyy"_s));
        QCOMPARE(reports::colourSuffix(db::Value(QVariant(0))), u" "_s); // blank for no colour
    }

    void aGroupNearThePageEndMovesToTheNextPage()
    {
        // groups of 3 rows, 44 mm each (header 12, details 9, footer 5): the 7th header would fit the
        // last 13 mm of the first page, but not with its first row
        db::Query rows(dm().ADO_DB, u"select n / 3 as g, n from generate_series(0, 69) n order by n"_s);
        rows.open();
        report::Definition d;
        report::Band header;
        header.kind = report::Band::Kind::GroupHeader;
        header.height = 12;
        header.breakOn = [](const report::Context& c) { return c.field(u"g"_s).variant(); };
        header.items.push_back(report::Item::computed(QRectF(0, 0, 50, 9),
            [](const report::Context& c) { return QVariant(u"группа "_s + c.field(u"g"_s).toText()); }));
        report::Band detail;
        detail.kind = report::Band::Kind::Detail;
        detail.height = 9;
        detail.items.push_back(report::Item::field(QRectF(0, 0, 50, 9), u"n"_s));
        report::Band footer;
        footer.kind = report::Band::Kind::GroupFooter;
        footer.height = 5;
        footer.items.push_back(report::Item::computed(
            QRectF(0, 0, 50, 9), [](const report::Context& c) { return QVariant(c.sum(u"n"_s)); }));
        d.bands = { header, detail, footer };
        d.sums = { { u"n"_s, [](const report::Context& c) { return QVariant(c.number(u"n"_s)); }, 0 } };
        const std::vector<report::Page> pages = report::layout(d, rows);
        QVERIFY(pages.size() >= 3);
        int groups = 0;
        for (const report::Page& p : pages) {
            const QStringList t = p.texts();
            QVERIFY(!t.isEmpty());
            QVERIFY2(!t.last().startsWith(u"группа"_s), qPrintable(t.join(u" "_s))); // never a header alone at the foot
            groups += static_cast<int>(
                std::count_if(t.begin(), t.end(), [](const QString& x) { return x.startsWith(u"группа"_s); }));
            for (const report::Placed& item : p.items)
                QVERIFY(item.rect.bottom() <= d.pageSize().height() - d.margins.bottom() + 1e-6);
        }
        QCOMPARE(groups, 24);
        QVERIFY(pages[1].texts().value(0) == u"группа 6"_s); // moved whole to the next page
        // the running sum restarts with every group: the last group holds 69 alone
        QCOMPARE(pages.back().texts().last(), u"69"_s);
    }

    void anOuterHeaderKeepsItsInnerHeaderAndFirstRow()
    {
        // A worker's header (10 mm) opens a product's header (10 mm) below it, then a row (5 mm);
        // a worker's group is 50 mm. 270 mm to a page: the sixth worker starts 20 mm above the
        // foot, room for its header and a row but not for the product's header too.
        db::Query rows(dm().ADO_DB, u"select n / 4 as w, n / 2 as p, n from generate_series(0, 39) n order by n"_s);
        rows.open();
        report::Definition d;
        d.margins = QMarginsF(10, 10, 10, 297 - 10 - 270);
        const auto header = [](const QString& field, const QString& word) {
            report::Band b;
            b.kind = report::Band::Kind::GroupHeader;
            b.height = 10;
            b.breakOn = [field](const report::Context& c) { return c.field(field).variant(); };
            b.items.push_back(report::Item::computed(QRectF(0, 0, 50, 7),
                [field, word](const report::Context& c) { return QVariant(word + c.field(field).toText()); }));
            return b;
        };
        report::Band detail;
        detail.kind = report::Band::Kind::Detail;
        detail.height = 5;
        detail.items.push_back(report::Item::field(QRectF(0, 0, 50, 5), u"n"_s));
        d.bands = { header(u"w"_s, u"работник "_s), header(u"p"_s, u"изделие "_s), detail };
        const std::vector<report::Page> pages = report::layout(d, rows);
        QCOMPARE(pages.size(), size_t(2));
        QCOMPARE(pages[0].texts().last(), u"19"_s); // five workers whole
        QCOMPARE(pages[1].texts().value(0), u"работник 5"_s);
        QCOMPARE(pages[1].texts().value(1), u"изделие 10"_s);
    }

    void everyReportPrintsWhenEmpty()
    {
        for (int r = 0; r < 5; ++r) {
            reports::PeriodReport& report = selection().form(r);
            const std::vector<report::Page> pages = report.prepare(from, from, 0);
            report.query.close();
            QCOMPARE(pages.size(), size_t(1));
            QVERIFY(pages[0].texts().contains(u"Итого:"_s));
        }
    }

    void thePrintFamilyIsInstalled()
    {
        // Without it fontconfig substitutes a wider family and every layout measures differently.
        const QFont f = report::fittedFont({}, u"Морозов"_s, 1000, 10);
        QVERIFY2(QFontInfo(f).family() == report::printFamily,
            qPrintable(u"printed output asks for «"_s + report::printFamily + u"» but gets «"_s + QFontInfo(f).family()
                + u"»: install fonts-liberation2 (scripts/setup)"_s));
    }

    void aLongTextShrinksToItsItem()
    {
        // 55 mm for a name, at the 300 dpi of the PDF
        const double perMm = 300 / 25.4, width = 54 * perMm;
        const report::Font font { report::printFamily, 10, false };
        const QFont full = report::fittedFont(font, u"Морозов А. В."_s, width, perMm);
        QCOMPARE(full.pixelSize(), qRound(10 * 0.3528 * perMm));
        const QString longName = u"Константинопольская Александра Владимировна"_s;
        QVERIFY(QFontMetricsF(full).horizontalAdvance(longName) > width);
        const QFont fitted = report::fittedFont(font, longName, width, perMm);
        QVERIFY(fitted.pixelSize() < full.pixelSize());
        QVERIFY(fitted.pixelSize() >= int(full.pixelSize() * 0.6));
        QVERIFY(QFontMetricsF(fitted).horizontalAdvance(longName) <= width);
    }

    void selectionWindowFromTheJournal()
    {
        forms().journal().show();
        const QDate today = QDate::currentDate();
        const QDate month(today.year(), today.month(), 1);
        prompter().whileOpen([&](QDialog&) {
            reports::TForm18& w = selection();
            QCOMPARE(w.DTPicker1->date(), month.addMonths(-1)); // the month before today's
            QCOMPARE(w.DTPicker2->date(), month);
            w.DTPicker1->setDate(from);
            w.DTPicker2->setDate(to);
            prompter().whileOpen([&](QDialog& preview) {
                QCOMPARE(preview.windowTitle(), u"Отчет по рабочим за период с 01.02.2022 по 01.03.2022"_s);
                QVERIFY(preview.windowState() & Qt::WindowMaximized);
                QStringList offered;
                for (const QAction* a : preview.findChildren<QAction*>())
                    if (a->isVisible() && !a->objectName().isEmpty())
                        offered << a->objectName() + (a->isChecked() ? u"+"_s : QString());
                for (const QString& paper : { u"portraitAction"_s, u"landscapeAction"_s, u"pageSetupAction"_s })
                    QVERIFY2(!offered.contains(paper), qPrintable(offered.join(u' ')));
                QVERIFY2(offered.contains(u"fitWidthAction+"_s), qPrintable(offered.join(u' '))); // as shown
                QVERIFY(offered.contains(u"fitPageAction"_s));
            });
            test::click(w.Button4);
            QVERIFY(!w.form(0).query.isOpen());
            test::click(w.RadioGroup1[2]); // blanks only
            test::click(w.Button6);
            QCOMPARE(w.Button6->text(), u"Excel (1 из 1)"_s);
            test::click(w.RadioGroup1[0]);
            QCOMPARE(w.productKind(), 0);
            test::click(w.Button6);
            QCOMPARE(w.Button6->text(), u"Excel (2 из 2)"_s);
        });
        test::trigger(forms().journal().N10);
        QCOMPARE(fx_->openedSpreadsheets().size(), 2);
        const test::XlsxSheet all = test::readXlsx(fx_->openedSpreadsheets()[1]);
        QVERIFY(all.ok);
        QCOMPARE(all.text(1, 1), u"Наименование"_s);
        QCOMPARE(all.text(1, 5), u"Кол-во"_s);
        QCOMPARE(all.text(2, 1), u"Шкафы архивные"_s);
        QCOMPARE(all.text(2, 2), u"Резка (цвет: 9003)"_s);
        QCOMPARE(all.text(2, 3), u"Заготовки"_s);
        QCOMPARE(all.text(2, 5).toInt(), 12); // 12.5 to the even neighbour
        QCOMPARE(all.text(3, 2), u"Покраска (грунт)"_s);
        QCOMPARE(all.text(3, 4).toDouble(), 4.5);
        QVERIFY(all.at(3, 4) && all.at(3, 4)->number);
    }
};

TABEL_TEST(ReportsTest)
#include "test_reports.moc"
