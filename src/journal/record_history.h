#pragma once
// The history of a record as the server keeps it: when, which login, what it did and what
// changed. Read-only, opened from the journal's grid; the same rows go to the pay office's
// spreadsheet (`tabel history`).
#include "core/ids.h"
#include "db/query.h"
#include "ui/form.h"

class QLabel;
class QPushButton;

namespace tabel::db {
class TDataModule6;
}
namespace tabel::excel {
class ExcelLink;
}
namespace tabel::ui {
class DBGrid;
}

namespace tabel::app {

class RecordHistory : public ui::Form {
    Q_OBJECT
public:
    RecordHistory(ui::Prompter& prompter, db::TDataModule6& dm, QWidget* parent = nullptr);

    // Shows the record's history until the user closes it.
    void showFor(Id record);

    QLabel* Label1;
    ui::DBGrid* DBGrid1;
    QPushButton* Button1; // "Закрыть"
    db::Query history;
};

// Writes the rows of an open history query as a workbook and shows it; false when the workbook
// cannot be made.
bool writeHistoryWorkbook(excel::ExcelLink& excel, db::Query& history);

} // namespace tabel::app
