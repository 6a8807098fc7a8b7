#include "domain/production_records.h"

#include "core/dates.h"
#include "core/numbers.h"
#include "db/data_module.h"
#include "domain/hours_cell.h"

using namespace Qt::StringLiterals;

namespace tabel {
namespace {

QString n(qint64 v)
{
    return QString::number(v);
}

QString priceText(double price)
{
    return sqlNumber(roundHalfEven(price, 4));
}

// A record another copy may have accepted or deleted: changed only while it is neither.
const QString notAccepted = u" and coalesce(ok, '')<>'ok'"_s;

} // namespace

StaleRecord::StaleRecord()
    : Error(u"Запись уже принята или удалена другим пользователем: изменения не сохранены. Обновите список."_s)
{
}

Id insertRecord(db::TDataModule6& dm, const ProductionRecord& r, const QDate& today)
{
    Id id = 0;
    dm.ADO_DB.transaction([&] {
        db::Command insert(dm.ADO_DB,
            u"insert into accounts_dep.SMENA(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, vvod,ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) values("_s
                + n(r.worker) + u", "_s + n(r.product) + u", "_s + n(r.operation) + u", "_s + priceText(r.price)
                + u","_s + sqlNumber(r.quantity) + u", "_s + n(r.defects) + u", to_date('"_s + formatDate(r.date)
                + u"', 'DD.MM.YYYY HH24:MI:SS'), "_s + n(r.shift) + u", "_s + n(r.colour) + u", "_s + n(r.hours)
                + u", '"_s + formatDate(today) + u"', '"_s + u"no"_s + u"', 0, "_s + n(r.requisition) + u", "_s
                + n(r.line) + u", "_s + u"0"_s + u", "_s + n(r.goods) + u", "_s + u"0"_s + u") returning id"_s);
        id = insert.executeReturning().toId();
        SyncHoursCell(dm, r.worker, r.shift, r.date);
    });
    return id;
}

void updateRecord(db::TDataModule6& dm, Id id, const ProductionRecord& r, const HoursKey& former, const QDate& today)
{
    dm.ADO_DB.transaction([&] {
        db::Command update(dm.ADO_DB,
            u"update accounts_dep.SMENA set w_id="_s + n(r.worker) + u", i_id="_s + n(r.product) + u", o_id="_s
                + n(r.operation) + u", cena="_s + priceText(r.price) + u", kol_vo="_s + sqlNumber(r.quantity)
                + u", brak="_s + n(r.defects) + u", data=to_date('"_s + formatDate(r.date)
                + u"', 'DD.MM.YYYY'), smena="_s + n(r.shift) + u", color="_s + n(r.colour) + u", time="_s + n(r.hours)
                + u", vvod='"_s + formatDate(today) + u"', prize=0, f_gds_qty_use="_s + u"0"_s + u", id_gds_use="_s
                + n(r.goods) + u", id_cons_use="_s + u"0"_s + u" where id="_s + n(id) + notAccepted);
        if (update.execute() == 0)
            throw StaleRecord();
        SyncHoursCell(dm, r.worker, r.shift, r.date);
        const bool moved = former.worker != r.worker || former.shift != r.shift || former.date != r.date;
        if (moved && former.date.isValid())
            SyncHoursCell(dm, former.worker, former.shift, former.date);
    });
}

void deleteRecord(db::TDataModule6& dm, Id id, const HoursKey& key)
{
    dm.ADO_DB.transaction([&] {
        dm.DelSmena.setSql(u"delete from accounts_dep.smena where id="_s + n(id) + notAccepted);
        if (dm.DelSmena.execute() == 0)
            throw StaleRecord();
        refreshHoursCell(dm, key.worker, key.shift, key.date);
    });
}

qint64 materialCount(db::TDataModule6& dm, Id id)
{
    db::Query count(
        dm.ADO_DB, u"select count(id) as id_cnt from accounts_dep.smena_gds_use sgu where sgu.id_smena = :id_smena"_s);
    count.setParam(u"id_smena"_s, id);
    count.open();
    return count.field(u"id_cnt"_s).toInt64();
}

void acceptRecord(db::TDataModule6& dm, Id id)
{
    db::Command accept(dm.ADO_DB, u"select accounts_dep.smena__accept_row_hwo(:id)\n"_s);
    accept.setParam(u"id"_s, id);
    accept.execute();
}

double openQuantity(db::TDataModule6& dm, Id line, Id operation, Id except)
{
    db::Query open(dm.ADO_DB, u"select accounts_dep.line_open_qty(:line, :oper, :except) as qty"_s);
    open.setParam(u"line"_s, line);
    open.setParam(u"oper"_s, operation);
    open.setParam(u"except"_s, except);
    open.open();
    return open.field(u"qty"_s).toDouble(); // a line that is gone: nothing may be taken
}

} // namespace tabel
