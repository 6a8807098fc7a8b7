#pragma once
// A worker's day cell of the monthly hours timesheet: the sum of the hours of the worker's records
// of that shift and date. Each recomputation runs in one transaction under a lock on the worker's
// month row of the shift, so two copies of the program saving records of the same worker, shift
// and month at once leave the sum of all records and one row, never a stale sum or two rows.
#include <QDate>

namespace tabel::db {
class TDataModule6;
}

namespace tabel {

// Recomputes the cell, creating the worker's month row when there is none. The data module's
// timesheet queries are closed first, so the timesheet window reads them afresh.
void SyncHoursCell(db::TDataModule6& dm, int worker, int shift, const QDate& date);

// The same inside a transaction the caller runs, without creating a row: a worker with no row
// for that shift and month keeps none (the journal's delete).
void refreshHoursCell(db::TDataModule6& dm, int worker, int shift, const QDate& date);

// Takes the lock of a worker's month row of a shift until the transaction ends.
void lockHoursRow(db::TDataModule6& dm, int worker, int shift, int month, int year);

} // namespace tabel
