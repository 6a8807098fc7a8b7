// The record editor on the large enterprise, the windows offscreen: setting the editor up in
// change mode from the journal's row, saving a new record as the editor does (insert, hours cell,
// journal re-read and positioned on it), accepting one, the material dialog's lists and a
// material chosen, and a division among 5 members; median ms each.
#include "abort_prompter.h"
#include "app/forms.h"
#include "bench_support.h"
#include "core/dates.h"
#include "db/data_module.h"
#include "db/db_error.h"
#include "domain/production_records.h"
#include "entry/material_dialog.h"
#include "entry/record_editor.h"
#include "ui/lookup_combo.h"

#include <QApplication>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cstdio>

using namespace Qt::StringLiterals;
using namespace tabel;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::AbortPrompter prompter;
    QTemporaryDir appData;
    const db::ConnectionSettings server = bench::settings(bench::largeDatabase);
    app::StartOptions options;
    options.site = app::SiteSettings::fromBuild();
    options.site.defaultServer = server.server;
    options.site.defaultDatabase = bench::largeDatabase;
    options.site.port = server.port;
    options.appDataFolder = appData.path();
    options.build = { 20260101, 3600 }; // older than any real build: the version row is left alone
    options.quit = [] {};
    app::Forms forms(prompter, options);
    db::TDataModule6& dm = forms.dataModule();
    db::Connection& c = dm.ADO_DB;
    if (!c.isOpen()) {
        std::fprintf(stderr, "not connected\n");
        return 1;
    }

    const QDate day = bench::scalar(
        c, u"select data from accounts_dep.smena where smena = 1 group by data order by count(*) desc limit 1"_s)
                          .toDate();
    db::Query& journal = dm.Smena1;
    journal.setParam(u"data"_s, day);
    journal.setParam(u"ok"_s, u"ta"_s);
    journal.open();
    journal.locate(u"ok"_s, u"no"_s);
    bench::print("journal rows on the busiest date", journal.recordCount(), "rows");
    entry::TForm11& editor = forms.editor();
    bench::print("editor set up in change mode", bench::medianMs(21, [&] { editor.setUpChange(journal); }), "ms");
    // add mode switched to requisitions: the requisitions with an open line and all the lines
    editor.setUpAdd(day);
    const double byRequisition = bench::medianMs(5, [&] {
        editor.RG1Goods->setChecked(true);
        editor.RG1Click();
        editor.RG1Requisition->setChecked(true);
        editor.RG1Click();
    });
    bench::print("editor switched to goods and back to requisitions (lists of open lines)", byRequisition, "ms");
    bench::print("requisitions with an open line", editor.v_mnf_requisition.recordCount(), "rows");

    ProductionRecord r;
    r.worker = journal.field(u"w_id"_s).toInt();
    r.product = journal.field(u"i_id"_s).toId();
    r.operation = journal.field(u"o_id"_s).toId();
    r.price = 12.5;
    r.quantity = 1;
    r.date = day;
    r.shift = 1;
    r.hours = 1;
    // on a line its operation still has room on, as the editor allows a save (checked under the
    // line's lock)
    db::Query roomy(c,
        u"select item.id, item.id_doc, o.id as o_id, o.i_id from mnf_doc.doc_item item "
        "join accounts_dep.oper o on o.i_id = item.id_gds "
        "where accounts_dep.line_open_qty(item.id::bigint, o.id, 0) >= 50 order by item.id limit 1"_s);
    roomy.open();
    if (!roomy.isEmpty()) {
        r.line = roomy.field(u"id"_s).toId();
        r.requisition = roomy.field(u"id_doc"_s).toId();
        r.operation = roomy.field(u"o_id"_s).toId();
        r.product = roomy.field(u"i_id"_s).toId();
    }
    std::vector<Id> saved;
    const auto saveOnce = [&] {
        const Id id = insertRecord(dm, r, QDate::currentDate());
        const QString sort = journal.sort();
        journal.close();
        journal.open();
        if (!sort.isEmpty())
            journal.setSort(sort);
        journal.locate(u"id"_s, id);
        saved.push_back(id);
    };
    // The baseline, as before the server kept the rules: its per-row rules, history and hours
    // cells off (a superuser's replica session), and the hours cell written by the program's own
    // statements (lock, count, sum, update) in the save's place.
    const auto withoutServerRules = [&](const std::function<void()>& fn) {
        c.execute(u"set session_replication_role = replica"_s);
        fn();
        c.execute(u"set session_replication_role = origin"_s);
    };
    const QString key = u" where w_id="_s + QString::number(r.worker) + u" and smena=1 and month="_s
        + QString::number(day.month()) + u" and year="_s + QString::number(day.year());
    const auto saveAsBefore = [&] {
        c.transaction([&] {
            saveOnce();
            c.execute(u"lock table accounts_dep.h_tabel in row exclusive mode"_s);
            c.execute(u"select pg_advisory_xact_lock("_s + QString::number(r.worker) + u", "_s
                + QString::number(1000000 + day.year() * 100 + day.month()) + u")"_s);
            db::Query count(c, u"select count(w_id) as cnt from accounts_dep.h_tabel"_s + key);
            count.open();
            db::Query hours(c,
                u"select sum(time) as tim from accounts_dep.smena where w_id="_s + QString::number(r.worker)
                    + u" and smena=1 and data="_s + sqlDate(day) + u" group by w_id, smena, data"_s);
            hours.open();
            c.execute(u"update accounts_dep.h_tabel set d"_s + QString::number(day.day()) + u"="_s
                + QString::number(hours.field(u"tim"_s).toInt()) + key);
        });
    };
    double bare = 0;
    withoutServerRules([&] { bare = bench::medianMs(21, saveAsBefore); });
    const double save = bench::medianMs(21, saveOnce);
    bench::print("save a new record (insert, hours cell, journal re-read)", save, "ms");
    bench::print("save a new record without the server's rules and history", bare, "ms");
    bench::printRatio("save with the server's rules", save / bare);

    const Id id = saved.front();
    c.execute(u"insert into accounts_dep.smena_gds_use (id_smena, id_gds_use, f_qty_use) select "_s
        + QString::number(id) + u", coalesce(min(id_gds_from), 5001), 0.001 from mnf_operation.operation"_s);
    const auto acceptOnce = [&] {
        try {
            c.transaction([&] {
                acceptRecord(dm, id);
                throw db::DbError(u"roll back"_s); // every run accepts the same record
            });
        } catch (const db::DbError&) {
        }
    };
    double bareAccept = 0;
    withoutServerRules([&] { bareAccept = bench::medianMs(21, acceptOnce); });
    const double accept = bench::medianMs(21, acceptOnce);
    bench::print("accept a record", accept, "ms");
    bench::print("accept a record without the server's rules and history", bareAccept, "ms");
    bench::printRatio("accept with the server's rules", accept / bareAccept);

    // the material dialog: the materials offered, then one chosen (its norm and both remainders)
    entry::TForm24& materials = forms.materials();
    materials.setRecord({ id, r.product, u"10"_s });
    const double open = bench::medianMs(21, [&] {
        materials.v_cmn_gds_in.close();
        materials.v_cmn_gds_in.setParam(u"id_smena"_s, id);
        materials.v_cmn_gds_in.open();
    });
    bench::print("material dialog: materials offered", open, "ms");
    if (materials.v_cmn_gds_in.isEmpty()) {
        std::fprintf(stderr, "no material offered\n");
        return 1;
    }
    const double choose = bench::medianMs(21, [&] {
        materials.LCB_id_gds_use->setCurrentIndex(0);
        materials.v_cmn_gds_in.first();
        materials.LCB_id_gds_useCloseUp();
    });
    bench::print("material dialog: a material chosen (norm, remainders)", choose, "ms");

    // a record divided among a team of 5, rolled back each time
    const QString members = u"insert into accounts_dep.person_temp (id_smena, id_person) select "_s
        + QString::number(id) + u", id from cmn_contractor.person where b_employee order by id limit 5"_s;
    const double divide = bench::medianMs(21, [&] {
        try {
            c.transaction([&] {
                c.execute(members);
                c.execute(u"select accounts_dep.divide_between_person("_s + QString::number(id) + u")"_s);
                throw db::DbError(u"roll back"_s);
            });
        } catch (const db::DbError&) {
        }
    });
    bench::print("division among 5 members", divide, "ms");
    for (const Id s : saved)
        deleteRecord(dm, s);
    return 0;
}
