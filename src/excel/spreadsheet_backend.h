#pragma once
// What stands in for the spreadsheet application behind ExcelLink: it is reached, gives a new
// workbook, writes cells and shows the finished workbook. The real one fills an .xlsx file; tests
// can put one of their own in its place.
#include <QString>

namespace tabel::excel {

struct CellWrite {
    int sheet = 1; // 1-based, as every caller counts
    int column = 1;
    int row = 1;
    QString text;
    bool asText = false; // the text format "@": the text stays text even when it reads as a number
    bool autoFit = false; // the column is fitted to its longest text
    bool bold = false;
};

// What showing the workbook came to.
struct Shown {
    enum class Outcome { Nothing, Opened, NotOpened, WriteFailed };
    Outcome outcome = Outcome::Nothing;
    QString path; // the file written
    QString error; // why it could not be written
};

class SpreadsheetBackend {
public:
    virtual ~SpreadsheetBackend() = default;
    // Reaches the application; false when there is none to reach.
    virtual bool attach() = 0;
    // A new empty workbook, or an existing one by name; false when it cannot be had.
    virtual bool addWorkbook() = 0;
    virtual bool openWorkbook(const QString& name) = 0;
    // Whether the current workbook has this worksheet.
    virtual bool hasSheet(int sheet) const = 0;
    // Writes one cell of an existing sheet; false when the cell cannot be written.
    virtual bool writeCell(const CellWrite& cell) = 0;
    // Shows the workbook (true) or keeps it out of sight while it is filled (false).
    virtual Shown setVisible(bool visible) = 0;
};

} // namespace tabel::excel
