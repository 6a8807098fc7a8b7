// Reports on the large enterprise: the busiest month's detailed report by workers (query, layout
// and PDF separately), laying out and painting a report of about 1,000 pages, and the product
// summary of a year written to an .xlsx.
#include "abort_prompter.h"
#include "bench_support.h"
#include "db/data_module.h"
#include "db/query.h"
#include "db/statements.h"
#include "excel/excel_link.h"
#include "excel/xlsx_backend.h"
#include "report_engine/report.h"
#include "reports/period_reports.h"
#include "reports/report_selection.h"

#include <QApplication>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace tabel;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    db::TDataModule6 dm;
    dm.ADO_DB.open(bench::settings(bench::largeDatabase));
    QTemporaryDir folder;

    db::Query busiest(dm.ADO_DB,
        u"select date_trunc('month', data)::date from accounts_dep.smena group by 1 order by count(*) desc limit 1"_s);
    busiest.open();
    const QDate from = busiest.value(0, 0).toDate();
    const QDate to = from.addMonths(1);
    reports::TForm20 detailed(dm);
    detailed.QRLabel1 = reports::reportTitle(2, from, to);
    detailed.query.setParam(u"data1"_s, from);
    detailed.query.setParam(u"data2"_s, to);
    const double query = bench::medianMs(3, [&] {
        detailed.query.close();
        detailed.query.open();
    });
    std::vector<report::Page> pages;
    const double layout = bench::medianMs(3, [&] { pages = report::layout(detailed.definition(), detailed.query); });
    const double pdf
        = bench::medianMs(3, [&] { report::savePdf(detailed.definition(), pages, folder.filePath(u"d.pdf"_s)); });
    bench::print("detailed report by workers, rows", detailed.query.recordCount(), "rows");
    bench::print("detailed report by workers, pages", static_cast<double>(pages.size()), "pages");
    bench::print("detailed report by workers: query", query, "ms");
    bench::print("detailed report by workers: layout", layout, "ms");
    bench::print("detailed report by workers: PDF", pdf, "ms");

    // about 1,000 pages: 55,000 lines of the detailed report's layout
    db::Query lines(dm.ADO_DB,
        u"select 'Работник ' || (n / 40) as fio, 'ИЗД-' || (n % 500) as marka, 'Сварка' as vid, (n % 2)::smallint as "
        u"naimen, "
        "1 + n % 9 as kolvo, n % 3 as brk, (n % 97) * 1.5 as summa, n % 5 as color, (n % 13) * 0.1 as s_prize "
        "from generate_series(1, 55000) n order by n"_s);
    lines.open();
    std::vector<report::Page> many;
    const double big = bench::onceMs([&] { many = report::layout(detailed.definition(), lines); });
    const double paint
        = bench::onceMs([&] { report::savePdf(detailed.definition(), many, folder.filePath(u"big.pdf"_s)); });
    bench::print("large report pages", static_cast<double>(many.size()), "pages");
    bench::print("large report: layout", big, "ms");
    bench::print("large report: painting to PDF", paint, "ms");

    bench::AbortPrompter prompter;
    excel::ExcelLink link(
        prompter, std::make_unique<excel::XlsxBackend>(folder.path(), [](const QString&) { return true; }));
    db::Query summary(dm.ADO_DB);
    summary.setSql(db::statements::productSummary());
    int rows = 0;
    const QDate yearStart(from.year(), 1, 1);
    const double sheet = bench::medianMs(3, [&] {
        reports::writeProductSummary(link, summary, yearStart, yearStart.addYears(1), 0, [&](int, int n) { rows = n; });
    });
    bench::print("product summary of a year, rows", rows, "rows");
    bench::print("product summary of a year to .xlsx", sheet, "ms");
    return 0;
}
