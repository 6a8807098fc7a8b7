#include "domain/timesheet_rebuild.h"

#include "core/dates.h"
#include "db/data_module.h"

#include <QDate>
#include <array>
#include <map>

using namespace Qt::StringLiterals;

namespace tabel {

void rebuildMonth(db::TDataModule6& dm, int month, int year, const std::function<void(int day)>& progress)
{
    const QDate first(year, month, 1);
    const int days = first.daysInMonth();
    const QString m = QString::number(month);
    const QString y = QString::number(year);
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
        // The month's sums per day, shift and worker in one grouped query, read day by day; the
        // month's rows are then written at once, each row whole (no row rewritten once per day).
        std::map<std::pair<int, int>, std::array<qint64, 31>> rows; // (shift, worker) → days
        db::Query sums(c,
            u"select extract(day from data)::int as day, smena, w_id, sum(time) as tim from accounts_dep.smena where data between "_s
                + sqlDate(first) + u" and "_s + sqlDate(first.addDays(days - 1))
                + u" group by data, smena, w_id order by data"_s);
        sums.open();
        int day = 1;
        const auto reached = [&](int next) { // the days up to `next` are read
            for (; day < next; ++day)
                if (progress)
                    progress(day);
        };
        for (int r = 0; r < sums.recordCount(); ++r) {
            const int d = sums.value(r, 0).toInt();
            reached(d);
            auto [cell, fresh] = rows.try_emplace({ sums.value(r, 1).toInt(), sums.value(r, 2).toInt() });
            if (fresh)
                cell->second.fill(0);
            cell->second[d - 1] = sums.value(r, 3).toInt64();
        }
        reached(days + 1);
        sums.close();
        QString columns = u"smena, w_id, month, year"_s;
        for (int d = 1; d <= 31; ++d)
            columns += u", d"_s + QString::number(d);
        const QString head = u"insert into accounts_dep.h_tabel("_s + columns + u") values "_s;
        QStringList values;
        const auto flush = [&] {
            if (!values.isEmpty())
                c.execute(head + values.join(u", "_s));
            values.clear();
        };
        for (const auto& [key, hours] : rows) {
            QString row = u"("_s + QString::number(key.first) + u", "_s + QString::number(key.second) + u", "_s + m
                + u", "_s + y;
            for (const qint64 h : hours)
                row += u", "_s + QString::number(h);
            values << row + u")"_s;
            if (values.size() == 500)
                flush();
        }
        flush();
    });
}

} // namespace tabel
