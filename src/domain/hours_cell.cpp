#include "domain/hours_cell.h"

#include "core/dates.h"
#include "db/data_module.h"

using namespace Qt::StringLiterals;

namespace tabel {
namespace {

QString n(qint64 v)
{
    return QString::number(v);
}

QString rowKey(int worker, int shift, int month, int year)
{
    return u" where w_id="_s + n(worker) + u" and smena="_s + n(shift) + u" and month="_s + n(month) + u" and year="_s
        + n(year);
}

int dayHours(db::TDataModule6& dm, int worker, int shift, const QDate& date)
{
    db::Query& control = dm.Control;
    control.close();
    control.setSql(u"select sum(time) as tim from accounts_dep.smena where w_id="_s + n(worker) + u" and smena="_s
        + n(shift) + u" and data=to_date('"_s + formatDate(date) + u"', 'DD.MM.YYYY') group by w_id, smena, data"_s);
    control.open();
    const int hours = control.isEmpty() ? 0 : control.field(u"tim"_s).toInt();
    control.close();
    return hours;
}

void writeCell(db::TDataModule6& dm, int worker, int shift, const QDate& date, bool createRow)
{
    const int month = date.month();
    const int year = date.year();
    lockHoursRow(dm, worker, shift, month, year);
    const qint64 rows
        = dm.count(u"select count(w_id) as cnt from accounts_dep.h_tabel"_s + rowKey(worker, shift, month, year));
    const int hours = dayHours(dm, worker, shift, date);
    const QString day = n(date.day());
    if (rows != 0) {
        dm.H_Tabel_ins.setSql(
            u"update accounts_dep.h_tabel set d"_s + day + u"="_s + n(hours) + rowKey(worker, shift, month, year));
    } else if (createRow) {
        dm.H_Tabel_ins.setSql(u"insert into accounts_dep.h_tabel(smena, w_id, month, year, d"_s + day + u") "_s
            + u"values("_s + n(shift) + u", "_s + n(worker) + u", "_s + n(month) + u", "_s + n(year) + u", "_s
            + n(hours) + u")"_s);
    } else {
        return;
    }
    dm.H_Tabel_ins.execute();
}

} // namespace

void lockHoursRow(db::TDataModule6& dm, int worker, int shift, int month, int year)
{
    // A rebuild of the month holds the table against writers: wait for it before looking at the row.
    dm.ADO_DB.execute(u"lock table accounts_dep.h_tabel in row exclusive mode"_s);
    // One lock per worker, shift and month (the timesheet row), held to the end of the transaction.
    dm.ADO_DB.execute(
        u"select pg_advisory_xact_lock("_s + n(worker) + u", "_s + n(shift * 1000000 + year * 100 + month) + u")"_s);
}

void SyncHoursCell(db::TDataModule6& dm, int worker, int shift, const QDate& date)
{
    dm.H_Tabel_1.close();
    dm.H_Tabel_2.close();
    dm.H_Tabel_3.close();
    dm.ADO_DB.transaction([&] { writeCell(dm, worker, shift, date, true); });
}

void refreshHoursCell(db::TDataModule6& dm, int worker, int shift, const QDate& date)
{
    writeCell(dm, worker, shift, date, false);
}

} // namespace tabel
