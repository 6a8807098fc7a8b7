#pragma once
// The spreadsheet backend of the program: each new workbook is an .xlsx file of its own in a
// folder (the temporary folder), filled with libxlsxwriter and written when it is shown; then the
// desktop's spreadsheet application opens it. Nothing is saved anywhere else.
//
// A text that reads as a number in the program's format ("12,5", "-3", "1,5E-7") becomes a number
// cell unless the text format is asked, so sums work in the spreadsheet; numbers with a leading
// zero or more than 15 digits stay text, since a number cell would lose their digits.
#include "excel/spreadsheet_backend.h"

#include <QString>
#include <functional>
#include <map>
#include <set>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace tabel::excel {

class XlsxBackend final : public SpreadsheetBackend {
public:
    // Opens a written file with the desktop's application; false when none opened it.
    using Opener = std::function<bool(const QString& path)>;
    static bool openWithDesktop(const QString& path);

    explicit XlsxBackend(QString folder, Opener opener = &XlsxBackend::openWithDesktop);
    ~XlsxBackend() override;
    XlsxBackend(const XlsxBackend&) = delete;
    XlsxBackend& operator=(const XlsxBackend&) = delete;

    bool attach() override { return true; }
    bool addWorkbook() override;
    bool openWorkbook(const QString& name) override;
    bool hasSheet(int sheet) const override;
    bool writeCell(const CellWrite& cell) override;
    Shown setVisible(bool visible) override;

    // Whether a cell of this text becomes a number cell (without the text format).
    static bool readsAsNumber(const QString& text);

private:
    void discard(); // drops a workbook that was never shown, with its file
    lxw_format* format(bool asText, bool bold);

    QString folder_;
    Opener opener_;
    QString path_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    std::map<int, lxw_format*> formats_; // by (asText, bold)
    std::map<int, int> longest_; // the longest text of each column (0-based), in characters
    std::set<int> fitted_; // the columns asked to fit their texts
};

} // namespace tabel::excel
