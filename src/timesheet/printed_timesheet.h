#pragma once
// TForm15: the printed timesheet of a month, A4 landscape: the month's day sums per worker's name
// over every shift (overtime included), the month caption and day titles repeated on every page.
#include "db/query.h"
#include "report_engine/report.h"

namespace tabel::db {
class TDataModule6;
}

namespace tabel::timesheet {

class TForm15 {
public:
    explicit TForm15(db::TDataModule6& dm);

    db::Query H_Tabel; // parameters mnth, yea
    QString QRLabel33 = QStringLiteral("Данные за:");

    // Reads the month and lays it out (the query is left open).
    std::vector<report::Page> prepare(int month, int year);
    const report::Definition& definition() const { return definition_; }

private:
    report::Definition definition_;
};

} // namespace tabel::timesheet
