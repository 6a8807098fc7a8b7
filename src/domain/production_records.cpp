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
const QString notAccepted = u" and coalesce(ok, '') not in ('ok', 'да')"_s;

} // namespace

StaleRecord::StaleRecord(Change change)
    : Error(change == Change::Save
            ? u"Запись уже принята или удалена другим пользователем: изменения не сохранены. Обновите список."_s
            : u"Запись уже принята или удалена другим пользователем: удалить её нельзя. Список обновлён."_s)
{
}

BeyondLine::BeyondLine()
    : Error(u"Количество изделий не может быть больше требуемого!"_s)
{
}

namespace {

// Refuses a quantity beyond what the operation may still make on the line, under a lock on the
// line that the transaction keeps until it ends.
void checkLine(db::TDataModule6& dm, Id line, Id operation, Id except, double quantity)
{
    dm.ADO_DB.execute(u"select pg_advisory_xact_lock("_s + n(line) + u")"_s);
    if (roundHalfEven(quantity - openQuantity(dm, line, operation, except), 6) > 0)
        throw BeyondLine();
}

// What a change is checked against: the record as stored, its row locked until the transaction
// ends; StaleRecord when it is accepted or gone.
struct Stored {
    double quantity = 0;
    Id operation = 0;
    Id line = 0;
};

Stored lockStored(db::TDataModule6& dm, Id id)
{
    db::Query q(dm.ADO_DB,
        u"select kol_vo, o_id, coalesce(id_doc_item, 0) as line, ok from accounts_dep.smena where id="_s + n(id)
            + u" for update"_s);
    q.open();
    if (q.isEmpty() || isAcceptedMark(q.field(u"ok"_s).toText()))
        throw StaleRecord();
    return { q.field(u"kol_vo"_s).toDouble(), q.field(u"o_id"_s).toId(), q.field(u"line"_s).toId() };
}

} // namespace

bool isAcceptedMark(const QString& ok)
{
    return ok == u"ok"_s || ok == u"да"_s;
}

Id insertRecord(db::TDataModule6& dm, const ProductionRecord& r, const QDate& today)
{
    Id id = 0;
    dm.ADO_DB.transaction([&] {
        if (r.line != 0)
            checkLine(dm, r.line, r.operation, 0, r.quantity);
        db::Command insert(dm.ADO_DB,
            u"insert into accounts_dep.SMENA(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, vvod,ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) values("_s
                + n(r.worker) + u", "_s + n(r.product) + u", "_s + n(r.operation) + u", "_s + priceText(r.price)
                + u","_s + sqlNumber(r.quantity) + u", "_s + n(r.defects) + u", to_date('"_s + formatDate(r.date)
                + u"', 'DD.MM.YYYY HH24:MI:SS'), "_s + n(r.shift) + u", "_s + n(r.colour) + u", "_s + n(r.hours)
                + u", '"_s + formatDate(today) + u"', '"_s + u"no"_s + u"', 0, "_s + n(r.requisition) + u", "_s
                + n(r.line) + u", "_s + u"0"_s + u", "_s + n(r.goods) + u", "_s + u"0"_s + u") returning id"_s);
        id = insert.executeReturning().toId(); // the server brings its hours cell up to date
    });
    timesheetChanged(dm);
    return id;
}

void updateRecord(db::TDataModule6& dm, Id id, const ProductionRecord& r, const QDate& today)
{
    dm.ADO_DB.transaction([&] {
        const Stored stored = lockStored(dm, id);
        const bool raises = roundHalfEven(r.quantity - stored.quantity, 6) > 0 || r.operation != stored.operation
            || r.line != stored.line;
        if (r.line != 0 && raises)
            checkLine(dm, r.line, r.operation, id, r.quantity);
        db::Command update(dm.ADO_DB,
            u"update accounts_dep.SMENA set w_id="_s + n(r.worker) + u", i_id="_s + n(r.product) + u", o_id="_s
                + n(r.operation) + u", cena="_s + priceText(r.price) + u", kol_vo="_s + sqlNumber(r.quantity)
                + u", brak="_s + n(r.defects) + u", data=to_date('"_s + formatDate(r.date)
                + u"', 'DD.MM.YYYY'), smena="_s + n(r.shift) + u", color="_s + n(r.colour) + u", time="_s + n(r.hours)
                + u", vvod='"_s + formatDate(today) + u"', prize=0, f_gds_qty_use="_s + u"0"_s + u", id_gds_use="_s
                + n(r.goods) + u", id_cons_use="_s + u"0"_s + u" where id="_s + n(id) + notAccepted);
        // the server recomputes the cells the record left and entered, their rows locked in one order
        if (update.execute() == 0)
            throw StaleRecord();
    });
    timesheetChanged(dm);
}

void deleteRecord(db::TDataModule6& dm, Id id)
{
    // the server brings the cell the record was counted in up to date, from the row it deletes
    dm.DelSmena.setSql(u"delete from accounts_dep.smena where id="_s + n(id) + notAccepted);
    if (dm.DelSmena.execute() == 0)
        throw StaleRecord(StaleRecord::Change::Delete);
    timesheetChanged(dm);
}

void lockOpenRecord(db::TDataModule6& dm, Id id)
{
    lockStored(dm, id);
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
