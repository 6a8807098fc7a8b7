#include "domain/hours_cell.h"

#include "db/data_module.h"

using namespace Qt::StringLiterals;

namespace tabel {

void lockHoursRow(db::TDataModule6& dm, int worker, int shift, int month, int year)
{
    // A rebuild of the month holds the table against writers: wait for it before looking at the row.
    dm.ADO_DB.execute(u"lock table accounts_dep.h_tabel in row exclusive mode"_s);
    // One lock per worker, shift and month (the timesheet row), held to the end of the transaction.
    dm.ADO_DB.execute(u"select pg_advisory_xact_lock("_s + QString::number(worker) + u", "_s
        + QString::number(shift * 1000000 + year * 100 + month) + u")"_s);
}

void timesheetChanged(db::TDataModule6& dm)
{
    dm.H_Tabel_1.close();
    dm.H_Tabel_2.close();
    dm.H_Tabel_3.close();
}

} // namespace tabel
