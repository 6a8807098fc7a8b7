#include "timesheet/timesheet_workbook.h"

#include "excel/excel_link.h"
#include "timesheet/printed_timesheet.h"

using namespace Qt::StringLiterals;

namespace tabel::timesheet {

bool writeTimesheetWorkbook(excel::ExcelLink& excel, TForm15& printed, int month, int year, const QString& monthName,
    const std::function<void(int written, int rows)>& progress)
{
    db::Query& totals = printed.H_Tabel;
    totals.close();
    totals.setParam(u"mnth"_s, month);
    totals.setParam(u"yea"_s, year);
    totals.open();
    struct Close {
        db::Query& q;
        ~Close() { q.close(); }
    } close { totals };
    if (excel.OpenWorkbook(QString()) == -1)
        return false;
    excel.SetVisible(false);
    const int rows = totals.recordCount();
    if (progress)
        progress(0, rows);
    excel.WriteCell(1, 1, 1, monthName + u" "_s + QString::number(year), true, true, true);
    excel.WriteCell(1, 1, 2, u"Фамилия И.О."_s, true, true, true);
    for (int n = 1; n <= 31; ++n)
        excel.WriteCell(1, n + 1, 2, QString::number(n), false, true, true);
    excel.WriteCell(1, 33, 2, u"Итого"_s, true, true, true);
    const int fio = totals.fieldIndex(u"fio"_s);
    for (int r = 0; r < rows; ++r) {
        const int row = r + 3;
        excel.WriteCell(1, 1, row, totals.value(r, fio).toText(), true, true, false);
        qint64 total = 0;
        for (int n = 1; n <= 31; ++n) {
            const qint64 hours = totals.value(r, totals.fieldIndex(u"sd"_s + QString::number(n))).toInt64();
            total += hours;
            excel.WriteCell(1, n + 1, row, QString::number(hours), false, true, false);
        }
        excel.WriteCell(1, 33, row, QString::number(total), false, true, false);
        if (progress)
            progress(r + 1, rows);
    }
    excel.SetVisible(true);
    return true;
}

} // namespace tabel::timesheet
