#pragma once
// Reads back the first sheet of an .xlsx file that the program wrote: its cells (text or number),
// which are bold or in the text format, and the column widths. Uses the unzip tool.
#include <QString>
#include <map>
#include <utility>

namespace tabel::test {

struct XlsxCell {
    QString text; // a number cell as the file stores it ("12.5")
    bool number = false;
    bool bold = false;
    bool textFormat = false; // number format "@"
};

struct XlsxSheet {
    bool ok = false; // the file could be read
    std::map<std::pair<int, int>, XlsxCell> cells; // (row, column), 1-based
    std::map<int, double> widths; // column (1-based) → width

    const XlsxCell* at(int row, int column) const;
    // A cell's text; empty when the cell was not written.
    QString text(int row, int column) const { return at(row, column) ? at(row, column)->text : QString(); }
    int rows() const; // the highest row with a cell
};

XlsxSheet readXlsx(const QString& path);

} // namespace tabel::test
