// Loading the busiest date of the large enterprise into the journal (the four shift queries, as
// the journal loads a date) against plain libpq running the same four statements, and the ERP
// functions the record editor, the materials window and acceptance call, median ms per call.
#include "bench_support.h"
#include "db/data_module.h"
#include "db/db_error.h"
#include "db/query.h"
#include "db/statement.h"
#include "db/statements.h"

#include <QCoreApplication>
#include <QDate>
#include <cstdio>
#include <libpq-fe.h>

using namespace Qt::StringLiterals;
using namespace tabel;

namespace {

double libpqJournal(const QDate& day)
{
    PGconn* conn = bench::libpqConnect(bench::largeDatabase);
    std::vector<QByteArray> texts;
    for (int shift = 1; shift <= 4; ++shift)
        texts.push_back(db::parseStatement(db::statements::smena(shift).join(u'\n')).pgText.toUtf8());
    const QByteArray date = day.toString(Qt::ISODate).toLatin1();
    const char* params[2] = { date.constData(), "ta" };
    const double ms = bench::medianMs(9, [&] {
        for (const QByteArray& sql : texts) {
            PGresult* r = PQexecParams(conn, sql.constData(), 2, nullptr, params, nullptr, nullptr, 0);
            if (PQresultStatus(r) != PGRES_TUPLES_OK) {
                std::fprintf(stderr, "libpq: %s\n", PQresultErrorMessage(r));
                std::exit(1);
            }
            PQclear(r);
        }
    });
    PQfinish(conn);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    db::TDataModule6 dm;
    dm.ADO_DB.open(bench::settings(bench::largeDatabase));
    const QDate day = bench::scalar(
        dm.ADO_DB, u"select data from accounts_dep.smena group by data order by count(*) desc limit 1"_s)
                          .toDate();
    int rows = 0;
    const double ours = bench::medianMs(9, [&] {
        for (int shift = 1; shift <= 4; ++shift)
            dm.smenaQuery(shift).close();
        rows = 0;
        for (int shift = 1; shift <= 4; ++shift) {
            db::Query& q = dm.smenaQuery(shift);
            q.setParam(u"data"_s, day);
            q.setParam(u"ok"_s, u"ta"_s);
            q.open();
            rows += q.recordCount();
        }
    });
    const double plain = libpqJournal(day);
    bench::print("journal busy date rows", rows, "rows");
    bench::print("journal load (4 shift queries)", ours, "ms");
    bench::print("journal load libpq", plain, "ms");
    bench::printRatio("journal load", ours / plain);

    // a record of the large enterprise with a requisition line, and its product
    db::Connection& c = dm.ADO_DB;
    const QString id = bench::scalar(c, u"select max(id) from accounts_dep.smena where ok = 'no'"_s).toText();
    const QString gds = bench::scalar(c, u"select i_id from accounts_dep.smena where id = "_s + id).toText();
    const QString material
        = bench::scalar(c, u"select coalesce(min(id_gds_from), 5001) from mnf_operation.operation"_s).toText();
    const struct {
        const char* name;
        QString sql;
    } calls[] = {
        { "get_doc_item_caption_by_smena",
            u"select * from accounts_dep.get_doc_item_caption_by_smena("_s + id + u")"_s },
        { "get_gds_from_by_smena", u"select * from accounts_dep.get_gds_from_by_smena("_s + id + u")"_s },
        { "get_reminder_qty_by_smena free",
            u"select * from accounts_dep.get_reminder_qty_by_smena("_s + id + u", "_s + material + u", 'free')"_s },
        { "get_reminder_qty_by_smena reserved",
            u"select * from accounts_dep.get_reminder_qty_by_smena("_s + id + u", "_s + material + u", 'reserved')"_s },
        { "show_consignment", u"select * from accounts_dep.show_consignment("_s + material + u")"_s },
        { "get_doc_item_by_gds", u"select * from accounts_dep.get_doc_item_by_gds("_s + gds + u", 9003)"_s },
        { "v_mnf_requisition_item", u"select * from accounts_dep.v_mnf_requisition_item where f_qty>0"_s },
        { "v_mnf_requisition", u"select * from accounts_dep.v_mnf_requisition"_s },
        { "v_mnf_req_gds", u"select * from accounts_dep.v_mnf_req_gds"_s },
    };
    // acceptance, rolled back each time so that every call accepts the same record
    c.execute(u"insert into accounts_dep.smena_gds_use (id_smena, id_gds_use, f_qty_use) values ("_s + id + u", "_s
        + material + u", 0.001)"_s);
    const double accept = bench::medianMs(21, [&] {
        try {
            c.transaction([&] {
                c.execute(u"select accounts_dep.smena__accept_row_hwo("_s + id + u")"_s);
                throw db::DbError(u"roll back"_s);
            });
        } catch (const db::DbError&) {
        }
    });
    bench::print("smena__accept_row_hwo", accept, "ms");
    for (const auto& call : calls) {
        db::Query q(c, call.sql);
        bench::print(call.name, bench::medianMs(5, [&] { q.open(); }), "ms");
    }
    return 0;
}
