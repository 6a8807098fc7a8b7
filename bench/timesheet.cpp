// The month's timesheet of the large enterprise (1,000 workers): the rebuild against the
// statement-per-row plan (one grouped query per day, then one count and one write per worker and
// shift), the printed timesheet's layout and the spreadsheet of the month.
#include "abort_prompter.h"
#include "bench_support.h"
#include "db/data_module.h"
#include "db/query.h"
#include "domain/timesheet_rebuild.h"
#include "excel/excel_link.h"
#include "excel/xlsx_backend.h"
#include "timesheet/printed_timesheet.h"
#include "timesheet/timesheet_workbook.h"

#include <QApplication>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace tabel;

namespace {

void planPerRow(db::Connection& c, int month, int year)
{
    const QString m = QString::number(month);
    const QString y = QString::number(year);
    c.execute(u"delete from accounts_dep.h_tabel where month="_s + m + u" and year="_s + y);
    db::Query dt(
        c, u" select smena, w_id, sum(time) as tim from accounts_dep.smena where data=:data group by smena,w_id;"_s);
    db::Query count(c);
    for (int i = 1; i <= QDate(year, month, 1).daysInMonth(); ++i) {
        dt.close();
        dt.setParam(u"data"_s, QDate(year, month, i));
        dt.open();
        for (int r = 0; r < dt.recordCount(); ++r) {
            const QString s = dt.value(r, 0).toText(), w = dt.value(r, 1).toText(), tim = dt.value(r, 2).toText();
            const QString key
                = u" where w_id="_s + w + u" and smena="_s + s + u" and month="_s + m + u" and year="_s + y;
            count.close();
            count.setSql(u"select count(w_id) as cnt from accounts_dep.h_tabel h_tabel"_s + key);
            count.open();
            if (count.value(0, 0).toInt() != 0)
                c.execute(u"update accounts_dep.h_tabel set d"_s + QString::number(i) + u"='"_s + tim + u"'"_s + key);
            else
                c.execute(u"insert into accounts_dep.h_tabel(smena, w_id, month, year, d"_s + QString::number(i)
                    + u") values("_s + s + u", "_s + w + u", "_s + m + u", "_s + y + u", "_s + tim + u")"_s);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    db::TDataModule6 dm;
    dm.ADO_DB.open(bench::settings(bench::largeDatabase));
    db::Query busiest(dm.ADO_DB,
        u"select extract(month from data)::int, extract(year from data)::int from accounts_dep.smena "
        "group by 1, 2 order by count(*) desc limit 1"_s);
    busiest.open();
    const int month = busiest.value(0, 0).toInt();
    const int year = busiest.value(0, 1).toInt();
    db::Query records(dm.ADO_DB,
        u"select count(*) from accounts_dep.smena where extract(month from data) = "_s + QString::number(month)
            + u" and extract(year from data) = "_s + QString::number(year));
    records.open();
    bench::print("records in the month", records.value(0, 0).toDouble(), "records");

    const double plan = bench::onceMs([&] { planPerRow(dm.ADO_DB, month, year); });
    const double ours = bench::medianMs(3, [&] { rebuildMonth(dm, month, year); });
    bench::print("rebuild, statement-per-row plan", plan, "ms");
    bench::print("rebuild, set-based in one transaction", ours, "ms");
    bench::printRatio("rebuild speed-up (plan / ours)", plan / ours);

    timesheet::TForm15 printed(dm);
    std::vector<report::Page> pages;
    const double layout = bench::medianMs(5, [&] { pages = printed.prepare(month, year); });
    bench::print("printed timesheet rows", printed.H_Tabel.recordCount(), "rows");
    bench::print("printed timesheet pages", static_cast<double>(pages.size()), "pages");
    bench::print("printed timesheet (query and layout)", layout, "ms");

    bench::AbortPrompter prompter;
    QTemporaryDir folder;
    excel::ExcelLink link(
        prompter, std::make_unique<excel::XlsxBackend>(folder.path(), [](const QString&) { return true; }));
    const double sheet
        = bench::medianMs(3, [&] { timesheet::writeTimesheetWorkbook(link, printed, month, year, u"Месяц"_s); });
    bench::print("timesheet spreadsheet of the month", sheet, "ms");
    return 0;
}
