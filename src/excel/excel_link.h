#pragma once
// ExcelLink: the program's one way to make a spreadsheet. A caller opens a new workbook, writes
// its cells as texts and shows it; each call gives the results and messages every export relies
// on (1 done, -1 failed and already told the user).
#include "excel/spreadsheet_backend.h"

#include <memory>

namespace tabel::ui {
class Prompter;
}

namespace tabel::excel {

class ExcelLink {
public:
    ExcelLink(ui::Prompter& prompter, std::unique_ptr<SpreadsheetBackend> backend);

    // An empty name adds a new workbook; 1 or -1.
    int OpenWorkbook(const QString& name);
    // Nothing before the application has been reached.
    void SetVisible(bool visible);
    // Empty text: 1, the cell untouched. Otherwise 1, or -1 after the message.
    int WriteCell(int sheet, int column, int row, const QString& text, bool asText, bool autoFit, bool bold);

    SpreadsheetBackend& backend() const { return *backend_; }

private:
    ui::Prompter& prompter_;
    std::unique_ptr<SpreadsheetBackend> backend_;
    bool attached_ = false;
};

} // namespace tabel::excel
