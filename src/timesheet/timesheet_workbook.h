#pragma once
// The month's timesheet as a spreadsheet, written through a spreadsheet link: the caption, the
// day titles, one row per worker's name with its 31 day sums and the total. Used by the
// timesheet window and by the batch export.
#include <functional>

class QString;

namespace tabel::excel {
class ExcelLink;
}

namespace tabel::timesheet {

class TForm15;

// progress(written, rows) runs after each row. False when no workbook could be opened.
bool writeTimesheetWorkbook(excel::ExcelLink& excel, TForm15& printed, int month, int year, const QString& monthName,
    const std::function<void(int written, int rows)>& progress = {});

} // namespace tabel::timesheet
