#include "domain/timesheet_rebuild.h"

#include "core/dates.h"
#include "db/data_module.h"

#include <QDate>

using namespace Qt::StringLiterals;

namespace tabel {

void rebuildMonth(db::TDataModule6& dm, int month, int year, const std::function<void(int day)>& progress)
{
    const QDate first(year, month, 1);
    const int days = first.daysInMonth();
    const QString m = QString::number(month);
    const QString y = QString::number(year);
    const QString monthKey = u" and h.month="_s + m + u" and h.year="_s + y;
    dm.H_Tabel_1.close();
    dm.H_Tabel_2.close();
    dm.H_Tabel_3.close();
    db::Connection& c = dm.ADO_DB;
    c.transaction([&] {
        // Writers of the timesheet (other rebuilds, the hours cell of a save) wait until this
        // one commits; readers go on.
        c.execute(u"lock table accounts_dep.h_tabel in share row exclusive mode"_s);
        dm.DelSmena.setSql(u"delete from accounts_dep.h_tabel where month="_s + m + u" and year="_s + y);
        dm.DelSmena.execute();
        // one row per worker and shift with records in the month, every day 0 …
        c.execute(u"insert into accounts_dep.h_tabel(smena, w_id, month, year) select distinct smena, w_id, "_s + m
            + u", "_s + y + u" from accounts_dep.smena where data between "_s + sqlDate(first) + u" and "_s
            + sqlDate(first.addDays(days - 1)));
        // … then each day's sums in one statement per day
        for (int day = 1; day <= days; ++day) {
            c.execute(u"update accounts_dep.h_tabel h set d"_s + QString::number(day)
                + u"=t.tim from (select smena, w_id, sum(time) as tim from accounts_dep.smena where data="_s
                + sqlDate(first.addDays(day - 1))
                + u" group by smena, w_id) t where h.w_id=t.w_id and h.smena=t.smena"_s + monthKey);
            if (progress)
                progress(day);
        }
    });
}

} // namespace tabel
