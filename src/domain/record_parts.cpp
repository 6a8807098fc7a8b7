#include "domain/record_parts.h"

#include "db/data_module.h"
#include "db/db_error.h"
#include "domain/production_records.h"

using namespace Qt::StringLiterals;

namespace tabel {
namespace {

// Runs a write of one of the record's parts while the record is locked and open.
void onOpenRecord(db::TDataModule6& dm, Id record, db::Command& write)
{
    try {
        dm.ADO_DB.transaction([&] {
            lockOpenRecord(dm, record);
            write.execute();
        });
    } catch (const db::DbError& e) {
        if (e.isRecordClosed())
            throw StaleRecord();
        throw;
    }
}

} // namespace

void addMaterial(db::TDataModule6& dm, Id record, Id goods, double quantity)
{
    db::Command insert(dm.ADO_DB,
        u"insert into accounts_dep.smena_gds_use (id_smena, id_gds_use, f_qty_use) values (:id_smena, :id_gds_use, :f_qty_use)"_s);
    insert.setParam(u"id_smena"_s, record);
    insert.setParam(u"id_gds_use"_s, goods);
    insert.setParam(u"f_qty_use"_s, quantity);
    onOpenRecord(dm, record, insert);
}

void removeMaterial(db::TDataModule6& dm, Id record, Id row)
{
    db::Command remove(dm.ADO_DB, u"delete from accounts_dep.smena_gds_use where id="_s + QString::number(row));
    onOpenRecord(dm, record, remove);
}

void addTeamMember(db::TDataModule6& dm, Id record, Id person)
{
    db::Command insert(dm.ADO_DB, u"insert into accounts_dep.person_temp(id_smena, id_person) values(:s_id,:p_id)"_s);
    insert.setParam(u"p_id"_s, QString::number(person));
    insert.setParam(u"s_id"_s, record);
    onOpenRecord(dm, record, insert);
}

void removeTeamMember(db::TDataModule6& dm, Id record, Id row)
{
    db::Command remove(dm.ADO_DB, u"delete from accounts_dep.person_temp where id=:id"_s);
    remove.setParam(u"id"_s, row);
    onOpenRecord(dm, record, remove);
}

void divideRecord(db::TDataModule6& dm, Id record)
{
    db::Command divide(dm.ADO_DB, u"select accounts_dep.divide_between_person(:s_id)"_s);
    divide.setParam(u"s_id"_s, record);
    onOpenRecord(dm, record, divide);
}

} // namespace tabel
