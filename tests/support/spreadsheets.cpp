#include "support/spreadsheets.h"

#include "excel/xlsx_backend.h"

using namespace Qt::StringLiterals;

namespace tabel::test {

bool RecordingBackend::attach()
{
    calls << u"attach"_s;
    return !fail.attach;
}

bool RecordingBackend::addWorkbook()
{
    calls << u"add"_s;
    if (fail.workbook)
        return false;
    ++workbooks;
    cells.clear();
    return true;
}

bool RecordingBackend::openWorkbook(const QString&)
{
    calls << u"open"_s;
    return false;
}

bool RecordingBackend::writeCell(const excel::CellWrite& cell)
{
    calls << u"cell"_s;
    if (fail.cell && *fail.cell == std::pair { cell.column, cell.row })
        return false;
    cells[{ cell.row, cell.column }] = cell;
    return true;
}

excel::Shown RecordingBackend::setVisible(bool visible)
{
    calls << (visible ? u"visible 1"_s : u"visible 0"_s);
    excel::Shown shown;
    if (!visible)
        return shown;
    shown.path = u"/tmp/recorded.xlsx"_s;
    if (fail.write) {
        shown.outcome = excel::Shown::Outcome::WriteFailed;
        shown.error = u"No space left on device"_s;
    } else {
        shown.outcome = fail.open ? excel::Shown::Outcome::NotOpened : excel::Shown::Outcome::Opened;
    }
    return shown;
}

std::unique_ptr<excel::SpreadsheetBackend> xlsxInto(const QString& folder, QStringList& opened)
{
    return std::make_unique<excel::XlsxBackend>(folder, [&opened](const QString& path) {
        opened << path;
        return true;
    });
}

} // namespace tabel::test
