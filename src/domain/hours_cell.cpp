#include "domain/hours_cell.h"

#include "db/data_module.h"

namespace tabel {

void timesheetChanged(db::TDataModule6& dm)
{
    dm.H_Tabel_1.close();
    dm.H_Tabel_2.close();
    dm.H_Tabel_3.close();
}

} // namespace tabel
