#pragma once
// The five period reports: each owns its query (parameters data1 included, data2 excluded) and
// its banded layout on A4 portrait. The selection window sets the period, the product-kind filter
// and the title; prepare() lays the fetched rows out.
#include "db/query.h"
#include "report_engine/report.h"

#include <memory>

namespace tabel::db {
class TDataModule6;
}

namespace tabel::reports {

class PeriodReport {
public:
    virtual ~PeriodReport() = default;
    db::Query query;
    QString QRLabel1; // the title

    // Binds the period, filters the rows by product kind (0 all, 1 finished, 2 blanks), reads them
    // and lays them out; the query stays open for the caller to close.
    std::vector<report::Page> prepare(const QDate& from, const QDate& to, int kind);
    const report::Definition& definition() const { return definition_; }

protected:
    explicit PeriodReport(db::TDataModule6& dm);
    report::Definition definition_;
};

// Report by workers.
class TForm16 : public PeriodReport {
public:
    explicit TForm16(db::TDataModule6& dm);
};
// Report by products.
class TForm17 : public PeriodReport {
public:
    explicit TForm17(db::TDataModule6& dm);
};
// Detailed report by workers.
class TForm20 : public PeriodReport {
public:
    explicit TForm20(db::TDataModule6& dm);
};
// Detailed report by products (and, with `byRequisition`, the layout of TForm25).
class TForm21 : public PeriodReport {
public:
    explicit TForm21(db::TDataModule6& dm, bool byRequisition = false);
};
// Detailed report by requisitions, grouped by the requisition number.
class TForm25 : public TForm21 {
public:
    explicit TForm25(db::TDataModule6& dm);
};

// A report form by its index: by workers, by products, detailed by workers, by products, by
// requisitions.
std::unique_ptr<PeriodReport> makeReport(int index, db::TDataModule6& dm);

// The texts the layouts print for a row.
QString kindText(const db::Value& naimen);
QString colourSuffix(const db::Value& color);

} // namespace tabel::reports
