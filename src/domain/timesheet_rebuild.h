#pragma once
// The month's hours timesheet recomputed from the production records: every row of the month (all
// shifts, overtime included) made anew, one row per worker, shift and month that has records,
// each day the sum of that day's hours. One transaction under a lock on the timesheet table: a
// failure, or the program killed, leaves the month as it was; a second rebuild or a record saved
// meanwhile waits its turn, so the table always ends equal to the records.
#include <functional>

namespace tabel::db {
class TDataModule6;
}

namespace tabel {

// progress(day) runs after each day of the month is written; an exception from it (or from any
// statement) undoes the whole rebuild.
void rebuildMonth(db::TDataModule6& dm, int month, int year, const std::function<void(int day)>& progress = {});

} // namespace tabel
