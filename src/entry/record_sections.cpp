// The record editor's sections below the record: the materials it consumed and its work team.
#include "catalog/worker_list.h"
#include "db/data_module.h"
#include "domain/production_records.h"
#include "domain/record_parts.h"
#include "entry/material_dialog.h"
#include "entry/record_editor.h"
#include "ui/db_grid.h"
#include "ui/lookup_combo.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace tabel::entry {
namespace {

// Re-reads a list and returns it to the row number it had, when it still has that many rows.
void rereadAt(db::Query& list, int row)
{
    list.close();
    list.open();
    if (!list.isEmpty() && row >= 1 && row <= list.recordCount())
        list.setRecNo(row);
}

const QString cannotSave = u"Невозможно сохранить данные в БД!"_s;

} // namespace

void TForm11::Button5Click()
{
    materials_.v_cmn_gds_in.close();
    materials_.v_cmn_gds_in.setParam(u"id_smena"_s, v_.record);
    materials_.v_cmn_gds_in.open();
    materials_.setRecord({ v_.record, v_.product, Edit3->text() });
    prompter().exec(materials_);
    materials_.LCB_id_gds_use->clearChoice();
    materials_.Edit7->setText(u"0"_s);
    for (db::Query* list : { &smena_gds_use, &fio_smena_gds }) {
        list->close();
        list->open();
    }
    if (Edit3->text().isEmpty())
        Edit3->setText(u"0"_s);
}

void TForm11::Button6Click()
{
    if (smena_gds_use.isEmpty())
        return;
    removeMaterial(dm_, v_.record, smena_gds_use.field(u"id"_s).toId());
    rereadAt(smena_gds_use, smena_gds_use.recNo());
}

void TForm11::Button7Click()
{
    const bool chosen = workers_.showToChoose();
    Edit1->clear();
    dm_.Workers.close();
    if (!chosen)
        return;
    fio_smena_gds.close();
    try {
        addTeamMember(dm_, v_.record, workers_.worker().personId);
    } catch (const StaleRecord& e) {
        prompter().message(e.text(), u"Ошибка"_s, ui::ErrorOk);
    } catch (const Error&) {
        prompter().message(cannotSave, u"Ошибка"_s, ui::ErrorOk);
    }
    fio_smena_gds.open();
}

void TForm11::Button8Click()
{
    if (!fio_smena_gds.isOpen() || fio_smena_gds.isEmpty())
        return;
    removeTeamMember(dm_, v_.record, fio_smena_gds.field(u"id"_s).toId());
    rereadAt(fio_smena_gds, fio_smena_gds.recNo());
}

void TForm11::Button9Click()
{
    try {
        divideRecord(dm_, v_.record);
    } catch (const StaleRecord& e) {
        prompter().message(e.text(), u"Ошибка"_s, ui::ErrorOk);
    } catch (const Error&) {
        prompter().message(cannotSave, u"Ошибка"_s, ui::ErrorOk);
    }
    accept();
}

} // namespace tabel::entry
