#pragma once
// Spreadsheet backends for tests: one that keeps the cells in memory and fails where the test
// says, and the program's real one writing into a test's folder, recording what it would open.
#include "excel/spreadsheet_backend.h"

#include <QStringList>
#include <map>
#include <memory>
#include <optional>
#include <utility>

namespace tabel::test {

class RecordingBackend final : public excel::SpreadsheetBackend {
public:
    struct Failures {
        bool attach = false;
        bool workbook = false;
        std::optional<std::pair<int, int>> cell; // (column, row) that cannot be written
        bool write = false; // the finished workbook cannot be written
        bool open = false; // no application opens it
    };

    Failures fail;
    std::map<std::pair<int, int>, excel::CellWrite> cells; // (row, column)
    int workbooks = 0;
    QStringList calls; // "attach", "add", "cell", "visible 0/1" in order

    bool attach() override;
    bool addWorkbook() override;
    bool openWorkbook(const QString& name) override;
    bool hasSheet(int sheet) const override { return workbooks > 0 && sheet == 1; }
    bool writeCell(const excel::CellWrite& cell) override;
    excel::Shown setVisible(bool visible) override;
};

// The program's .xlsx backend writing into `folder`; the files it would open are added to `opened`.
std::unique_ptr<excel::SpreadsheetBackend> xlsxInto(const QString& folder, QStringList& opened);

} // namespace tabel::test
