// Fetching a large result into a Query through each driver against plain libpq, and the client-side
// filter and sort on 100,000 fetched rows.
#include "bench_support.h"
#include "db/query.h"

#include <QCoreApplication>
#include <cstdio>
#include <libpq-fe.h>

using namespace Qt::StringLiterals;
using namespace tabel;

namespace {

const QString database = u"tabel_bench_fetch"_s;
const QString statement = u"select * from bench_fetch order by id"_s;

void generate()
{
    db::Connection c;
    c.open(bench::settings(database));
    c.execute(uR"(
create table bench_fetch as
select g::bigint as id,
       (g % 1000 + 1)::int as w_id,
       (100000000000000 + g)::numeric(15,0) as id_doc,
       (g % 97) * 1.25::float8 as kol_vo,
       (g % 13)::smallint as brak,
       round((random() * 100)::numeric, 4)::float8 as cena,
       (array['Иванов','Петров','Сидоров','Кузнецов','Смирнова','Попова'])[g % 6 + 1]
         || ' ' || chr(1040 + g % 32) || '.' || chr(1040 + (g / 7) % 32) || '.' as fio,
       'Изделие-' || (g % 500) as marka,
       (array['Сборка','Покраска','Сварка','Резка'])[g % 4 + 1] as vid,
       date '2024-01-01' + (g % 730) as data,
       timestamp '2024-01-01 08:00' + (g % 100000) * interval '1 minute' as vvod,
       (array['no','ok','да'])[g % 3 + 1]::varchar(2) as ok
from generate_series(1, 200000) g)"_s);
    c.execute(u"analyze bench_fetch"_s);
}

double libpqFetch()
{
    PGconn* conn = bench::libpqConnect(database);
    const QByteArray sql = statement.toUtf8();
    int rows = 0;
    const double ms = bench::medianMs(5, [&] {
        PGresult* r = PQexec(conn, sql.constData());
        rows = PQntuples(r);
        PQclear(r);
    });
    PQfinish(conn);
    if (rows != 200000)
        std::exit(1);
    return ms;
}

double queryOpen(db::Driver driver, int runs)
{
    db::Connection c;
    c.open(bench::settings(database, driver));
    db::Query q(c, statement);
    const double ms = bench::medianMs(runs, [&] { q.open(); });
    if (q.recordCount() != 200000)
        std::exit(1);
    return ms;
}

// Every value of the fetched result read once as the grids and handlers read them.
double readAll(db::Query& q)
{
    size_t chars = 0;
    const double ms = bench::medianMs(3, [&] {
        for (int r = 0; r < q.recordCount(); ++r)
            for (int c = 0; c < q.fieldCount(); ++c)
                chars += static_cast<size_t>(q.value(r, c).toText().size());
    });
    if (chars == 0)
        std::exit(1);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        if (bench::ensureDatabase(database))
            generate();
        const double psql = queryOpen(db::Driver::Psql, 5);
        const double pq = libpqFetch();
        const double odbc = queryOpen(db::Driver::Odbc, 3);
        bench::print("fetch 200000x12 libpq PQexec", pq, "ms");
        bench::print("fetch 200000x12 Query QPSQL", psql, "ms");
        bench::print("fetch 200000x12 Query QODBC", odbc, "ms");
        bench::printRatio("Query QPSQL / libpq", psql / pq);
        bench::printRatio("Query QODBC / libpq", odbc / pq);

        db::Connection c;
        c.open(bench::settings(database));
        db::Query all(c, statement);
        all.open();
        bench::print("read 2400000 values as text (Value::toText)", readAll(all), "ms");
        all.close();
        db::Query q(c, u"select * from bench_fetch order by id limit 100000"_s);
        q.open();
        const double filter = bench::medianMs(5, [&] {
            q.setFiltered(false);
            q.setFilter(db::filterLike(u"fio"_s, u"Пет"_s) + u" and ok = 'ok'"_s);
            q.setFiltered(true);
        });
        const int shown = q.recordCount();
        q.setFiltered(false);
        const double sort = bench::medianMs(5, [&] {
            q.setSort(u""_s);
            q.setSort(u"marka ASC, kol_vo DESC"_s);
        });
        bench::print("filter 100000 rows (like and =)", filter, "ms");
        bench::print("sort 100000 rows (text ASC, number DESC)", sort, "ms");
        std::printf("filter kept: %d rows\n", shown);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_fetch: %s\n", e.what());
        return 1;
    }
    return 0;
}
