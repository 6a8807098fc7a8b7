#include "excel/excel_link.h"
#include "excel/xlsx_backend.h"
#include "support/scripted_prompter.h"
#include "support/spreadsheets.h"
#include "support/test_registry.h"
#include "support/xlsx_reader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace tabel;

// The spreadsheet link: its results and messages over a backend that fails where asked, and the
// real workbook read back from its file.
class ExcelTest : public QObject {
    Q_OBJECT

    struct Link {
        test::ScriptedPrompter prompter;
        test::RecordingBackend* backend;
        excel::ExcelLink link;
        Link()
            : backend(new test::RecordingBackend)
            , link(prompter, std::unique_ptr<excel::SpreadsheetBackend>(backend))
        {
        }
    };

private slots:
    void openingWorkbook_data()
    {
        QTest::addColumn<bool>("noApplication");
        QTest::addColumn<bool>("noWorkbook");
        QTest::addColumn<int>("result");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("opened") << false << false << 1 << QStringList {};
        QTest::newRow("no application") << true << false << -1
                                        << QStringList { u"Невозможно открыть Microsoft Excel."_s,
                                               u"Ошибка открытия файла Microsoft Excel."_s };
        QTest::newRow("no workbook") << false << true << -1
                                     << QStringList { u"Ошибка открытия файла Microsoft Excel."_s };
    }
    void openingWorkbook()
    {
        QFETCH(bool, noApplication);
        QFETCH(bool, noWorkbook);
        QFETCH(int, result);
        QFETCH(QStringList, messages);
        Link l;
        l.backend->fail.attach = noApplication;
        l.backend->fail.workbook = noWorkbook;
        QCOMPARE(l.link.OpenWorkbook(QString()), result);
        QCOMPARE(l.prompter.texts(), messages);
        for (const auto& shown : l.prompter.shown()) {
            QCOMPARE(shown.caption, u"Ошибка"_s);
            QCOMPARE(shown.flags, 16);
        }
        QVERIFY(!noApplication || !l.backend->calls.contains(u"add"_s)); // nothing to add a workbook to
        QCOMPARE(l.link.OpenWorkbook(u"book.xls"_s), -1); // no caller opens a named workbook
    }

    void writingCells()
    {
        Link l;
        QCOMPARE(l.link.WriteCell(1, 1, 1, u"x"_s, false, false, false), -1); // no workbook yet
        QCOMPARE(l.prompter.shown().back().caption, u"Ошибочный номер листа Microsoft Excel"_s);
        l.link.SetVisible(true); // before the application is reached: nothing
        QVERIFY(!l.backend->calls.contains(u"visible 1"_s));
        l.prompter.clear();

        QCOMPARE(l.link.OpenWorkbook(QString()), 1);
        l.backend->fail.cell = std::pair { 2, 7 };
        QCOMPARE(l.link.WriteCell(1, 1, 1, QString(), true, true, true), 1); // empty: untouched
        QVERIFY(!l.backend->calls.contains(u"cell"_s));
        QCOMPARE(l.link.WriteCell(1, 3, 4, u"12,5"_s, true, false, true), 1);
        QCOMPARE(l.backend->cells.at({ 4, 3 }).text, u"12,5"_s);
        QVERIFY(l.backend->cells.at({ 4, 3 }).asText && l.backend->cells.at({ 4, 3 }).bold);
        QCOMPARE(l.link.WriteCell(2, 3, 4, u"x"_s, false, false, false), -1);
        QCOMPARE(l.link.WriteCell(1, 2, 7, u"x"_s, false, false, false), -1);
        QCOMPARE(l.prompter.texts(),
            (QStringList { u"Ошибка при записи: лист 2, столбец 3, строка 4"_s,
                u"Ошибка при записи: лист 1, столбец 2, строка 7"_s }));
        QCOMPARE(l.prompter.shown()[0].caption, u"Ошибочный номер листа Microsoft Excel"_s);
        QCOMPARE(l.prompter.shown()[1].caption, u"Ошибка Microsoft Excel"_s);
        QCOMPARE(l.prompter.shown()[1].flags, 16);
    }

    void showingWorkbook()
    {
        Link l;
        QCOMPARE(l.link.OpenWorkbook(QString()), 1);
        l.link.SetVisible(false);
        l.link.SetVisible(true);
        QVERIFY(l.prompter.shown().empty());
        l.backend->fail.open = true;
        l.link.SetVisible(true);
        QCOMPARE(l.prompter.shown().size(), size_t(1));
        QVERIFY(l.prompter.shown()[0].text.contains(u"/tmp/recorded.xlsx"_s)); // where the file is
        QCOMPARE(l.prompter.shown()[0].flags, 64);
        l.backend->fail.write = true;
        l.link.SetVisible(true);
        QVERIFY(l.prompter.shown()[1].text.contains(u"No space left on device"_s));
        QCOMPARE(l.prompter.shown()[1].caption, u"Ошибка Microsoft Excel"_s);
        QCOMPARE(l.backend->calls,
            (QStringList { u"attach"_s, u"add"_s, u"visible 0"_s, u"visible 1"_s, u"visible 1"_s, u"visible 1"_s }));
    }

    void realWorkbookReadBack()
    {
        QTemporaryDir dir;
        QStringList opened;
        test::ScriptedPrompter prompter;
        excel::ExcelLink link(prompter, test::xlsxInto(dir.path(), opened));
        QCOMPARE(link.OpenWorkbook(QString()), 1);
        const QString longName = u"Кронштейн усиленный с покрытием"_s;
        const struct {
            int column;
            int row;
            QString text;
            bool asText;
            bool autoFit;
            bool bold;
        } writes[] = {
            { 1, 1, u"Марка"_s, false, false, true },
            { 1, 2, longName, false, true, false },
            { 2, 2, u"12,5"_s, false, false, false },
            { 3, 2, u"-3"_s, false, false, false },
            { 4, 2, u"007"_s, false, false, false },
            { 5, 2, u"1234567890123456"_s, false, false, false },
            { 6, 2, u"12,5"_s, true, false, false },
            { 7, 2, u"1.5"_s, false, false, false }, // a point is not the program's format
            { 8, 2, u"O'Brien; 100% \"x\"\t\\"_s, false, false, false },
            { 9, 2, u"1,5E-7"_s, false, false, false },
        };
        for (const auto& w : writes)
            QCOMPARE(link.WriteCell(1, w.column, w.row, w.text, w.asText, w.autoFit, w.bold), 1);
        QCOMPARE(link.WriteCell(1, 1, 3, QString(40000, u'x'), false, false, false), -1); // beyond a cell's length
        QCOMPARE(prompter.shown().back().caption, u"Ошибка Microsoft Excel"_s);
        link.SetVisible(true);
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened[0].startsWith(dir.path()) && opened[0].endsWith(u".xlsx"_s));

        const test::XlsxSheet sheet = test::readXlsx(opened[0]);
        QVERIFY(sheet.ok);
        QCOMPARE(sheet.rows(), 2);
        QCOMPARE(sheet.at(1, 1)->text, u"Марка"_s);
        QVERIFY(sheet.at(1, 1)->bold && !sheet.at(1, 1)->number);
        QCOMPARE(sheet.at(2, 1)->text, longName);
        QVERIFY(!sheet.at(2, 1)->bold);
        QVERIFY(sheet.at(2, 2)->number);
        QCOMPARE(sheet.at(2, 2)->text.toDouble(), 12.5);
        QVERIFY(sheet.at(2, 3)->number);
        QCOMPARE(sheet.at(2, 3)->text.toDouble(), -3.0);
        for (int column : { 4, 5, 7, 8 })
            QVERIFY2(!sheet.at(2, column)->number, qPrintable(sheet.at(2, column)->text));
        QCOMPARE(sheet.at(2, 4)->text, u"007"_s);
        QCOMPARE(sheet.at(2, 5)->text, u"1234567890123456"_s);
        QVERIFY(!sheet.at(2, 6)->number && sheet.at(2, 6)->textFormat);
        QCOMPARE(sheet.at(2, 6)->text, u"12,5"_s);
        QCOMPARE(sheet.at(2, 8)->text, writes[8].text);
        QVERIFY(sheet.at(2, 9)->number);
        QCOMPARE(sheet.at(2, 9)->text.toDouble(), 1.5e-7);
        QVERIFY(sheet.widths.at(1) >= longName.size()); // fitted to its longest text
        QVERIFY(!sheet.widths.count(2)); // not asked to fit
    }

    void workbookFileFailures()
    {
        test::ScriptedPrompter prompter;
        QStringList opened;
        excel::ExcelLink nowhere(prompter, test::xlsxInto(u"/nonexistent/folder"_s, opened));
        QCOMPARE(nowhere.OpenWorkbook(QString()), -1);
        QCOMPARE(prompter.texts(), QStringList { u"Ошибка открытия файла Microsoft Excel."_s });

        // A workbook never shown is dropped with its file when the next one is opened.
        QTemporaryDir dir;
        excel::ExcelLink link(prompter, test::xlsxInto(dir.path(), opened));
        QCOMPARE(link.OpenWorkbook(QString()), 1);
        QCOMPARE(link.WriteCell(1, 1, 1, u"a"_s, false, false, false), 1);
        QCOMPARE(link.OpenWorkbook(QString()), 1);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
        link.SetVisible(true);
        QCOMPARE(opened.size(), 1);
        QVERIFY(test::readXlsx(opened[0]).cells.empty());
    }
};

TABEL_TEST(ExcelTest)
#include "test_excel.moc"
