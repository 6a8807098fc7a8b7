#pragma once
// A worker's day cell of the monthly hours timesheet: the sum of the hours of the worker's records
// of that shift and date. The server keeps every cell equal to its records whoever writes them
// (sql/27_rules.sql): each recomputation runs under a lock on the worker's month row of the shift,
// so two copies of the program saving records of the same worker, shift and month at once leave
// the sum of all records and one row, never a stale sum or two rows.
namespace tabel::db {
class TDataModule6;
}

namespace tabel {

// After a record changed: the data module's timesheet queries are closed, so the timesheet
// window reads them afresh.
void timesheetChanged(db::TDataModule6& dm);

} // namespace tabel
