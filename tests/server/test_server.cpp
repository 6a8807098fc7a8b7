#include "core/dates.h"
#include "db/db_error.h"
#include "db/query.h"
#include "db/statements.h"
#include "db/table.h"
#include "support/test_db.h"
#include "support/test_registry.h"

#include <QRegularExpression>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using namespace tabel;
using namespace tabel::db;

// The server side (ERP stand-in, schema, demo data) answers the program's statements as written.
class ServerTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::FreshDatabase> shared_; // read-only cases
    std::unique_ptr<test::FreshDatabase> db_; // a fresh copy for each case that writes

    Connection& conn() { return db_ ? db_->connection() : shared_->connection(); }

    db::Value scalar(const QString& sql) { return test::scalar(conn(), sql); }

    // Opens the statement and checks that it returns rows carrying the columns.
    void expectRows(Query& q, const QStringList& columns, bool rows = true)
    {
        try {
            q.open();
        } catch (const DbError& e) {
            QFAIL(qPrintable(e.text() + u"\n"_s + q.sql()));
        }
        for (const QString& c : columns)
            QVERIFY2(q.fieldIndex(c) >= 0, qPrintable(c + u" missing in: "_s + q.sql()));
        if (rows)
            QVERIFY2(q.recordCount() > 0, qPrintable(u"no rows: "_s + q.sql()));
    }

    // A record that is not accepted and has materials.
    qint64 openRecordWithMaterials()
    {
        return scalar(u"select s.id from accounts_dep.smena s where s.ok = 'no' and exists "
                      "(select 1 from accounts_dep.smena_gds_use u where u.id_smena = s.id) order by s.id limit 1"_s)
            .toInt64();
    }

private slots:
    void initTestCase() { shared_ = std::make_unique<test::FreshDatabase>(); }
    void cleanupTestCase() { shared_.reset(); }
    void cleanup() { db_.reset(); }

    void dataModuleQueries()
    {
        Query workers(conn());
        workers.setSql(statements::workers());
        expectRows(workers, { u"id"_s, u"fio"_s, u"p_id"_s, u"s_staffpos_hl"_s });
        QVERIFY(workers.locate(u"fio"_s, u"Осипов Геннадий Борисович"_s)); // two positions: two rows
        QCOMPARE(
            scalar(u"select count(*) from (" + statements::workers().join(u'\n') + u") w where fio like 'Осипов%'"_s)
                .toInt(),
            2);
        QVERIFY(workers.locate(u"fio"_s, u"Поляков Вадим Сергеевич"_s));
        QVERIFY(workers.field(u"s_staffpos_hl"_s).isNull());
        QVERIFY(!workers.locate(u"fio"_s, u"Рыбаков Леонид Аркадьевич (подрядчик)"_s)); // not an employee

        Query izdel(conn());
        izdel.setSql(statements::izdel());
        expectRows(izdel, { u"marka"_s, u"id"_s, u"nom"_s, u"massa"_s });
        QVERIFY(izdel.locate(u"marka"_s, u"Кронштейн КР-1"_s)); // stored with a trailing tab

        Query oper(conn());
        oper.setSql(statements::oper());
        expectRows(oper,
            { u"marka"_s, u"vid"_s, u"naimen"_s, u"nmn"_s, u"norma"_s, u"cena"_s, u"id"_s, u"i_id"_s, u"oper_vid"_s,
                u"i_id_old"_s });
        const int withoutNorms = scalar(u"select max(id) from accounts_dep.oper"_s).toInt();
        QVERIFY(!oper.locate(u"id"_s, withoutNorms));

        db::Table vid(conn(), u"accounts_dep.VID_OPER"_s, u"vid"_s);
        vid.open();
        QVERIFY(vid.fieldIndex(u"id"_s) >= 0 && vid.fieldIndex(u"vid"_s) >= 0);
        QCOMPARE(vid.recordCount(), 12);
        vid.setFilter(u"vid like '%краска%'"_s);
        vid.setFiltered(true);
        QCOMPARE(vid.recordCount(), 1);
    }

    void journalQueriesOfEveryShift()
    {
        for (int shift = 1; shift <= 4; ++shift) {
            const QDate day
                = scalar(u"select max(data) from accounts_dep.smena where smena = "_s + QString::number(shift))
                      .toDate();
            QVERIFY2(day.isValid(), "no records in the shift");
            Query q(conn());
            q.setSql(statements::smena(shift));
            q.setParam(u"data"_s, day);
            q.setParam(u"ok"_s, u"ta"_s);
            expectRows(q,
                { u"id"_s, u"data"_s, u"smena"_s, u"i_id"_s, u"o_id"_s, u"w_id"_s, u"cena"_s, u"fio"_s, u"marka"_s,
                    u"vid"_s, u"nmn"_s, u"naimen"_s, u"kol_vo"_s, u"brak"_s, u"summa"_s, u"prize"_s,
                    u"s_caption_color"_s, u"time"_s, u"ok"_s, u"vvod"_s, u"id_doc"_s, u"id_doc_item"_s,
                    u"f_gds_qty_use"_s, u"id_gds_use"_s, u"id_cons_use"_s });
            for (q.first(); !q.eof(); q.next()) {
                QCOMPARE(q.field(u"smena"_s).toInt(), shift);
                QVERIFY(q.field(u"ok"_s).toText() != u"ta"_s);
            }
        }
        // the hidden marks exist but never show
        const QDate hidden = scalar(u"select data from accounts_dep.smena where ok = 'ta' limit 1"_s).toDate();
        Query q(conn());
        q.setSql(statements::smena(1));
        q.setParam(u"data"_s, hidden);
        q.setParam(u"ok"_s, u"ta"_s);
        q.open();
        const int shown = q.recordCount();
        QCOMPARE(shown,
            scalar(u"select count(*) from accounts_dep.smena where smena = 1 and ok <> 'ta' and data = '"_s
                + hidden.toString(Qt::ISODate) + u"'"_s)
                .toInt());
    }

    void requisitionLinkLists()
    {
        Query req(conn(), u"select id, s_caption from accounts_dep.v_mnf_requisition order by s_caption"_s);
        expectRows(req, { u"id"_s, u"s_caption"_s });
        static const QRegularExpression caption(uR"(^Заявка № \S+ от \d\d\.\d\d\.\d{4}$)"_s);
        QVERIFY2(caption.match(req.field(u"s_caption"_s).toText()).hasMatch(),
            qPrintable(req.field(u"s_caption"_s).toText()));

        Query items(conn(),
            u"select id, id_doc, s_caption, id_gds, f_qty, s_gds_mc from accounts_dep.v_mnf_requisition_item where f_qty>0"_s);
        expectRows(items, { u"id"_s, u"id_doc"_s, u"s_caption"_s, u"id_gds"_s, u"f_qty"_s, u"s_gds_mc"_s });
        QCOMPARE(items.field(u"s_gds_mc"_s).toText(), QString::number(items.field(u"id_gds"_s).toInt64()));
        items.setFilter(u"id_doc="_s + QString::number(req.field(u"id"_s).toInt64()));
        items.setFiltered(true);
        QVERIFY(items.recordCount() > 0);

        Query gds(conn(), u"select id_gds as id, *\nfrom accounts_dep.v_mnf_req_gds req_gds"_s);
        expectRows(gds, { u"id"_s, u"s_caption"_s, u"id_gds_color"_s });
        Query lines(conn(), u"select * from accounts_dep.get_doc_item_by_gds(:id_gds, :id_gds_color);"_s);
        lines.setParam(u"id_gds"_s, gds.field(u"id"_s).toInt64());
        lines.setParam(u"id_gds_color"_s, gds.field(u"id_gds_color"_s).toInt64());
        expectRows(lines, { u"id"_s, u"s_caption"_s, u"f_qty_need"_s, u"id_doc"_s });
        QVERIFY(lines.field(u"f_qty_need"_s).toDouble() > 0);
        lines.setParam(u"id_gds"_s, 0);
        lines.setParam(u"id_gds_color"_s, 0);
        lines.open();
        QCOMPARE(lines.recordCount(), 0);

        // the change-mode statements of a stored record
        const QString id = QString::number(openRecordWithMaterials());
        Query own(conn(),
            u"select format('Заявка № %s от %s', doc.s_number, to_char(doc.d_date, 'dd.mm.yyyy')) as s_caption, doc.id as id from accounts_dep.smena smena inner join mnf_doc.doc doc on doc.id = smena.id_doc where smena.id = "_s
                + id);
        expectRows(own, { u"s_caption"_s, u"id"_s });
        Query ownLine(conn(),
            u"select id::t_id, s_caption, 0::t_id as id_doc, 0::t_id as id_gds, 0::t_float as f_qty, 0::t_code as s_gds_mc from accounts_dep.get_doc_item_caption_by_smena("_s
                + id + u")"_s);
        expectRows(ownLine, { u"id"_s, u"s_caption"_s, u"id_doc"_s });
        QCOMPARE(ownLine.recordCount(), 1);
        QCOMPARE(ownLine.field(u"id"_s).toInt64(),
            scalar(u"select id_doc_item from accounts_dep.smena where id = "_s + id).toInt64());
        ownLine.setFilter(u"id_doc=0"_s);
        ownLine.setFiltered(true);
        QCOMPARE(ownLine.recordCount(), 1);
    }

    void materialDialogQueries()
    {
        const qint64 record
            = scalar(u"select s.id from accounts_dep.smena s join cmn_gds_and_srv.gds_attr a on a.id = s.i_id "
                     "where s.ok = 'no' and s.color > 0 and a.f_color_qty > 0 order by s.id limit 1"_s)
                  .toInt64();
        QVERIFY(record > 0);
        Query materials(conn(), u"select * from accounts_dep.get_gds_from_by_smena(:id_smena)"_s);
        materials.setParam(u"id_smena"_s, record);
        expectRows(materials, { u"id"_s, u"s_caption"_s, u"b_is_color"_s });
        QVERIFY(materials.locate(u"b_is_color"_s, u"1"_s));
        QCOMPARE(materials.field(u"id"_s).toInt64(),
            scalar(u"select color from accounts_dep.smena where id = "_s + QString::number(record)).toInt64());
        QCOMPARE(materials.field(u"b_is_color"_s).toInt(), 1);
        materials.first();
        const qint64 material = materials.field(u"id"_s).toInt64();

        for (const QString& kind : { u"free"_s, u"reserved"_s }) {
            Query rest(conn(),
                QStringList { u"select res_qty.s_full_caption"_s, u"      ,res_qty.f_qty as f_qty_free"_s,
                    u"from accounts_dep.get_reminder_qty_by_smena(:id_smena, :id_gds, '"_s + kind + u"') res_qty;"_s }
                    .join(u'\n'));
            rest.setParam(u"id_smena"_s, record);
            rest.setParam(u"id_gds"_s, material);
            expectRows(rest, { u"s_full_caption"_s, u"f_qty_free"_s });
            QCOMPARE(rest.recordCount(), 1);
            QVERIFY(rest.field(u"f_qty_free"_s).toDouble() >= 0);
            QVERIFY(!rest.field(u"s_full_caption"_s).toText().isEmpty());
            rest.setParam(u"id_smena"_s, -1); // the dialog's blank state
            rest.open();
            QCOMPARE(rest.recordCount(), 0);
        }

        const QString product = QString::number(
            scalar(u"select i_id from accounts_dep.smena where id = "_s + QString::number(record)).toInt64());
        Query norm(conn(),
            u"select gds_attr.f_color_qty as f_qty_from from cmn_gds_and_srv.gds_attr gds_attr where gds_attr.id = "_s
                + product);
        expectRows(norm, { u"f_qty_from"_s });
        Query op(conn(),
            u"select f_qty_from from mnf_operation.operation where id_gds_to = "_s + product + u" and id_gds_from = "_s
                + QString::number(scalar(
                    u"select id_gds_from from mnf_operation.operation where id_gds_to = "_s + product + u" limit 1"_s)
                                      .toInt64()));
        expectRows(op, { u"f_qty_from"_s });

        Query used(conn(),
            u"select sum(f_qty_use) as sum_qty_use from accounts_dep.smena_gds_use sgu where sgu.id_smena =:id_smena and id_gds_use=:id_gds_use"_s);
        used.setParam(u"id_smena"_s, record);
        used.setParam(u"id_gds_use"_s, material);
        expectRows(used, { u"sum_qty_use"_s });

        Query list(conn(),
            QStringList { u"select sgu.id as id"_s, u"      ,vcgi.s_caption"_s, u"      ,cons_use.stock_s_caption"_s,
                u"      ,cons_use.s_caption as s_cons_use_hl"_s, u"      ,sgu.f_qty_use"_s,
                u"from accounts_dep.smena_gds_use sgu"_s,
                u"inner join cmn_gds_and_srv.gds_and_srv vcgi on vcgi.id = sgu.id_gds_use"_s,
                u"left join accounts_dep.show_consignment(sgu.id_gds_use) cons_use on cons_use.id = sgu.id_cons_use"_s,
                u"where sgu.id_smena = :id_smena"_s }
                .join(u'\n'));
        list.setParam(u"id_smena"_s, record);
        expectRows(list, { u"id"_s, u"s_caption"_s, u"stock_s_caption"_s, u"s_cons_use_hl"_s, u"f_qty_use"_s });
        Query cons(conn(), u"select * from accounts_dep.show_consignment(:g)"_s);
        cons.setParam(u"g"_s, material);
        expectRows(cons, { u"id"_s, u"s_caption"_s, u"stock_s_caption"_s });

        Query count(
            conn(), u"select count(id) as id_cnt from accounts_dep.smena_gds_use sgu where sgu.id_smena = :id_smena"_s);
        count.setParam(u"id_smena"_s, record);
        expectRows(count, { u"id_cnt"_s });
        QVERIFY(count.field(u"id_cnt"_s).toInt() > 0);
    }

    void timesheetAndReportQueries()
    {
        // the demo enterprise has records over the two months before this one
        const QDate today = QDate::currentDate();
        const QDate lastMonth = QDate(today.year(), today.month(), 1).addMonths(-1);
        for (int shift = 1; shift <= 3; ++shift) {
            Query q(conn());
            q.setSql(statements::hTabel(shift));
            q.setParam(u"mnth"_s, lastMonth.month());
            q.setParam(u"yea"_s, lastMonth.year());
            expectRows(
                q, { u"fio"_s, u"w_id"_s, u"month"_s, u"year"_s, u"smena"_s, u"id"_s, u"d1"_s, u"d31"_s, u"summ"_s });
        }
        Query dt(conn(),
            u" select smena, w_id, sum(time) as tim from accounts_dep.smena where data=:data group by smena,w_id;"_s);
        QDate workday = lastMonth.addDays(14);
        while (workday.dayOfWeek() != 3) // a Wednesday: everybody works
            workday = workday.addDays(1);
        dt.setParam(u"data"_s, workday);
        expectRows(dt, { u"smena"_s, u"w_id"_s, u"tim"_s });

        QStringList totals = { u"select person.s_caption fio"_s };
        for (int d = 1; d <= 31; ++d)
            totals.last() += u",sum(d"_s + QString::number(d) + u") as sd"_s + QString::number(d);
        Query month(conn(),
            totals.first()
                + u" from accounts_dep.h_tabel, cmn_contractor.person person where\n"
                  "h_tabel.w_id=person.s_code::t_integer and month=:mnth and\nyear=:yea group by fio order by fio"_s);
        month.setParam(u"mnth"_s, lastMonth.month());
        month.setParam(u"yea"_s, lastMonth.year());
        expectRows(month, { u"fio"_s, u"sd1"_s, u"sd31"_s });

        // the timesheet matches the records
        QCOMPARE(
            scalar(
                u"select sum(d1+d2+d3+d4+d5+d6+d7+d8+d9+d10+d11+d12+d13+d14+d15+d16+d17+d18+d19+d20+d21+d22+d23+d24+d25+d26+d27+d28+d29+d30+d31) from accounts_dep.h_tabel"_s)
                .toInt64(),
            scalar(u"select sum(time) from accounts_dep.smena"_s).toInt64());

        const QStringList reports = {
            u"select person.s_caption fio, sum(smena.kol_vo-smena.brak) as kolvo, \nsum((kol_vo-brak)*smena.cena) as summa,vid_oper.vid,\nizdel.nom, oper.naimen, color from cmn_contractor.person person,accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper,\naccounts_dep.oper where w_id=s_code::integer and izdel.id=smena.i_id and vid_oper.id=oper.vid\nand oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1 \ngroup by fio, izdel.nom, oper.naimen, vid_oper.vid, color order by fio, izdel.nom"_s,
            u"select sum(smena.kol_vo-smena.brak) as kolvo, vid_oper.vid,\nizdel.nom, oper.naimen, color,  round((izdel.massa*sum(smena.kol_vo-smena.brak))::numeric,2) as mass\nfrom accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper where izdel.id=smena.i_id and vid_oper.id=oper.vid\nand oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1 \ngroup by izdel.nom,color, oper.naimen, vid_oper.vid, izdel.massa order by izdel.nom"_s,
            u"select s_caption fio, izdel.marka, vid_oper.vid, oper.naimen, \nsum(smena.kol_vo) as kolvo, sum(smena.brak) as brk, sum((kol_vo-brak)*\nsmena.cena) as summa, color, sum(prize*(kol_vo-brak)*smena.cena/100) as s_prize \nfrom cmn_contractor.person person,accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper where \nsmena.o_id=oper.id and smena.w_id=s_code::integer and smena.i_id=izdel.id \nand smena.o_id=oper.id and w_id=s_code::integer and oper.vid=vid_oper.id \nand smena.data<:data2 and smena.data>=:data1 group by fio, marka, \nvid_oper.vid, oper.naimen, color order by fio, marka, vid_oper.vid, oper.naimen"_s,
            u"select izdel.marka, vid_oper.vid vid, oper.naimen, izdel.nom,\nsum(smena.kol_vo) as kolvo, sum(smena.brak) as brk, \nsum((kol_vo-brak)*smena.cena) as summa, color, round((izdel.massa*sum(smena.kol_vo))::numeric,2) as mass \nfrom accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper where smena.o_id=oper.id and smena.i_id=izdel.id \nand smena.o_id=oper.id and oper.vid=vid_oper.id and smena.data<:data2 and \nsmena.data>=:data1 group by izdel.nom, marka, vid_oper.vid, oper.naimen, color,massa \norder by izdel.nom,marka, vid_oper.vid, oper.naimen"_s,
            u"select izdel.marka, vid_oper.vid vid, oper.naimen, izdel.nom, sum(smena.kol_vo) as kolvo, sum(smena.brak) as brk, \nsum((kol_vo-brak)*smena.cena) as summa, color, round((izdel.massa*sum(smena.kol_vo))::numeric,2) as mass, doc_in.s_number  \nfrom accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper, mnf_doc.doc doc_in where smena.o_id=oper.id and smena.i_id=izdel.id \nand smena.o_id=oper.id and oper.vid=vid_oper.id and smena.data<:data2 and \nsmena.data>=:data1 and doc_in.id = smena.id_doc group by  s_number, izdel.nom, marka, vid_oper.vid, oper.naimen, color,massa \norder by s_number, izdel.nom,marka, vid_oper.vid, oper.naimen"_s,
            u"select sum(smena.kol_vo-smena.brak) as kolvo, vid_oper.vid,\nizdel.nom, oper.naimen, color,izdel.massa*sum(smena.kol_vo-smena.brak) as mass \nfrom accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper where izdel.id=smena.i_id and vid_oper.id=oper.vid\nand oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1 \ngroup by izdel.nom,color, oper.naimen, vid_oper.vid, izdel.massa order by izdel.nom"_s,
        };
        // (the detailed report by workers names smena.cena: a bare "cena" is ambiguous beside oper.cena)
        for (const QString& sql : reports) {
            Query r(conn(), sql);
            r.setParam(u"data1"_s, lastMonth);
            r.setParam(u"data2"_s, lastMonth.addMonths(1));
            expectRows(r, { u"kolvo"_s, u"naimen"_s, u"color"_s });
            r.setFilter(u"naimen=1"_s);
            r.setFiltered(true);
            QVERIFY(r.recordCount() > 0);
        }

        // the operations export names the tables without a schema and uses iif
        Query xls(conn(),
            u"select izdel.MARKA, vid_oper.VID, oper.NAIMEN, iif(naimen=0,'Готовая продукция','Заготовки') as nmn, "
            u"oper.CENA, oper.id, oper.i_id,\n"
            " oper.VID as oper_vid from OPER,IZDEL,VID_OPER where OPER.i_id=IZDEL.id \n"
            "and oper.vid=vid_oper.id order by izdel.marka, vid_oper.vid, oper.naimen"_s);
        expectRows(xls, { u"marka"_s, u"vid"_s, u"naimen"_s, u"nmn"_s, u"cena"_s, u"id"_s, u"i_id"_s, u"oper_vid"_s });
        QCOMPARE(xls.recordCount(), scalar(u"select count(*) from accounts_dep.oper"_s).toInt());
        QVERIFY(xls.locate(u"naimen"_s, 1));
        QCOMPARE(xls.field(u"nmn"_s).toText(), u"Заготовки"_s);
    }

    void acceptanceMarksOkAndLowersTheStock()
    {
        db_ = std::make_unique<test::FreshDatabase>();
        const qint64 id = openRecordWithMaterials();
        const QString stockSql = u"select sum(c.f_qty) from cmn_gds_and_srv.consignment c where c.id_gds in "
                                 "(select id_gds_use from accounts_dep.smena_gds_use where id_smena = "_s
            + QString::number(id) + u")"_s;
        const double before = scalar(stockSql).toDouble();
        const double used
            = scalar(u"select sum(f_qty_use) from accounts_dep.smena_gds_use where id_smena = "_s + QString::number(id))
                  .toDouble();
        QVERIFY(used > 0);
        Command accept(conn(), u"select accounts_dep.smena__accept_row_hwo(:id)\n"_s);
        accept.setParam(u"id"_s, id);
        accept.execute();
        QCOMPARE(scalar(u"select ok from accounts_dep.smena where id = "_s + QString::number(id)).toText(), u"ok"_s);
        QVERIFY(qAbs(before - used - scalar(stockSql).toDouble()) < 1e-6);
        QVERIFY_THROWS_EXCEPTION(DbError, accept.execute()); // not twice
        accept.setParam(u"id"_s, 999999999);
        QVERIFY_THROWS_EXCEPTION(DbError, accept.execute());
    }

    void divisionPreservesTheTotalAndGivesEachMemberARecord()
    {
        db_ = std::make_unique<test::FreshDatabase>();
        const qint64 id = scalar(u"select id from accounts_dep.smena where ok = 'no' order by id limit 1"_s).toInt64();
        const QString sid = QString::number(id);
        conn().execute(u"update accounts_dep.smena set kol_vo = 10, brak = 2, time = 6 where id = "_s + sid);
        const int ownWorker = scalar(u"select w_id from accounts_dep.smena where id = "_s + sid).toInt();
        const qint64 ownPerson
            = scalar(u"select id from cmn_contractor.person where s_code = '"_s + QString::number(ownWorker) + u"'"_s)
                  .toInt64();
        Query others(conn(),
            u"select id, s_code::int as code from cmn_contractor.person where b_employee and s_code is not null "
            "and s_code <> '"_s
                + QString::number(ownWorker) + u"' order by s_code limit 2"_s);
        others.open();
        const QList<qint64> members { others.value(0, 0).toInt64(), others.value(1, 0).toInt64() };
        const int first = others.value(0, 1).toInt();
        const int second = others.value(1, 1).toInt();
        Command add(conn(), u"insert into accounts_dep.person_temp(id_smena, id_person) values(:s_id,:p_id)"_s);
        for (const qint64 p : { members[0], members[1], members[0], ownPerson }) { // a repeat and the own worker
            add.setParam(u"s_id"_s, id);
            add.setParam(u"p_id"_s, QString::number(p));
            add.execute();
        }
        const QString lineSql
            = u"from accounts_dep.smena where id_doc_item = (select id_doc_item from accounts_dep.smena where id = "_s
            + sid + u") and data = (select data from accounts_dep.smena where id = "_s + sid + u")"_s;
        const double totalBefore = scalar(u"select sum(kol_vo::numeric) "_s + lineSql).toDouble();
        const int brakBefore = scalar(u"select sum(brak) "_s + lineSql).toInt();
        const qint64 lastBefore = scalar(u"select max(id) from accounts_dep.smena"_s).toInt64();
        Command divide(conn(), u"select accounts_dep.divide_between_person(:s_id)"_s);
        divide.setParam(u"s_id"_s, id);
        divide.execute();
        QCOMPARE(scalar(u"select sum(kol_vo::numeric) "_s + lineSql).toDouble(), totalBefore);
        QCOMPARE(scalar(u"select sum(brak) "_s + lineSql).toInt(), brakBefore);
        QCOMPARE(scalar(u"select kol_vo from accounts_dep.smena where id = "_s + sid).toDouble(), 3.333);
        QCOMPARE(scalar(u"select brak from accounts_dep.smena where id = "_s + sid).toInt(), 0);
        Query shares(conn(),
            u"select w_id, kol_vo, brak, time, o_id, cena, ok from accounts_dep.smena where id > "_s
                + QString::number(lastBefore) + u" order by id"_s);
        shares.open();
        QCOMPARE(shares.recordCount(), 2);
        QCOMPARE(shares.field(u"w_id"_s).toInt(), first);
        QCOMPARE(shares.field(u"kol_vo"_s).toDouble(), 3.333);
        QCOMPARE(shares.field(u"time"_s).toInt(), 6);
        QCOMPARE(shares.field(u"ok"_s).toText(), u"no"_s);
        shares.next();
        QCOMPARE(shares.field(u"w_id"_s).toInt(), second);
        QCOMPARE(shares.field(u"kol_vo"_s).toDouble(), 3.334);
        QCOMPARE(shares.field(u"brak"_s).toInt(), 2);
        QCOMPARE(scalar(u"select count(*) from accounts_dep.person_temp where id_smena = "_s + sid).toInt(), 0);
        // the members' hours cells follow their new records
        const QDate day = scalar(u"select data from accounts_dep.smena where id = "_s + sid).toDate();
        const QString cell = u"select d"_s + QString::number(day.day()) + u" from accounts_dep.h_tabel where w_id = "_s
            + QString::number(second) + u" and month = "_s + QString::number(day.month()) + u" and year = "_s
            + QString::number(day.year()) + u" and smena = (select smena from accounts_dep.smena where id = "_s + sid
            + u")"_s;
        QCOMPARE(scalar(cell).toInt(),
            scalar(u"select sum(time) from accounts_dep.smena where w_id = "_s + QString::number(second)
                + u" and data = '"_s + day.toString(Qt::ISODate)
                + u"' and smena = (select smena from accounts_dep.smena where id = "_s + sid + u")"_s)
                .toInt());
        // without members nothing changes
        divide.execute();
        QCOMPARE(scalar(u"select kol_vo from accounts_dep.smena where id = "_s + sid).toDouble(), 3.333);
    }

    void openQuantityFallsAndRemaindersStayPositive()
    {
        db_ = std::make_unique<test::FreshDatabase>();
        Query items(conn(),
            u"select id, id_doc, s_caption, id_gds, f_qty, s_gds_mc from accounts_dep.v_mnf_requisition_item where f_qty>0"_s);
        items.open();
        items.setSort(u"f_qty DESC"_s);
        items.first();
        const qint64 line = items.field(u"id"_s).toInt64();
        const double open = items.field(u"f_qty"_s).toDouble();
        const qint64 doc = items.field(u"id_doc"_s).toInt64();
        const qint64 product = items.field(u"id_gds"_s).toInt64();
        const int oper
            = scalar(u"select id from accounts_dep.oper where i_id = "_s + QString::number(product) + u" limit 1"_s)
                  .toInt();
        auto record = [&](int operation, const QString& qty) {
            Command ins(conn(),
                u"insert into accounts_dep.SMENA(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, vvod,ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) values("_s
                u"1001, "_s
                    + QString::number(product) + u", "_s + QString::number(operation) + u", 12.5,"_s + qty
                    + u", 0, to_date('10.12.2026', 'DD.MM.YYYY HH24:MI:SS'), 1, 0, 4, '10.12.2026', 'no', 0, "_s
                    + QString::number(doc) + u", "_s + QString::number(line) + u", 0, "_s + QString::number(product)
                    + u", 0) returning id"_s);
            return ins.executeReturning().toInt64();
        };
        const QString lineQty
            = u"select f_qty from accounts_dep.v_mnf_requisition_item where id = "_s + QString::number(line);
        const auto operationOpen = [&](int operation) {
            return scalar(u"select accounts_dep.line_open_qty("_s + QString::number(line) + u", "_s
                + QString::number(operation) + u", 0)"_s)
                .toDouble();
        };
        const double lineQuantity
            = scalar(u"select f_qty from mnf_doc.doc_item where id = "_s + QString::number(line)).toDouble();
        // The line stays open while any operation of the product's route has pieces to make.
        const double before = operationOpen(oper);
        const qint64 id = record(oper, u"5.5"_s);
        QVERIFY(id > 0);
        QCOMPARE(operationOpen(oper), before - 5.5);
        record(oper, QString::number(lineQuantity * 2));
        QCOMPARE(operationOpen(oper), 0.0);
        Query route(conn(),
            u"select id from accounts_dep.oper where i_id = "_s + QString::number(product) + u" and id <> "_s
                + QString::number(oper));
        route.open();
        QVERIFY(route.recordCount() > 0);
        QVERIFY(scalar(lineQty).toDouble() > 0); // one operation done: the others still have pieces to make
        QVERIFY(open > 0);
        for (int r = 0; r < route.recordCount(); ++r) {
            QVERIFY(scalar(lineQty).toDouble() > 0);
            record(route.value(r, 0).toInt(), QString::number(lineQuantity));
        }
        QCOMPARE(scalar(lineQty).toDouble(), 0.0); // every operation made the whole line: closed

        // recorded far beyond the stock: the free remainder is 0, not negative
        const qint64 material = scalar(u"select id_gds_from from mnf_operation.operation where id_gds_to = "_s
            + QString::number(product) + u" limit 1"_s)
                                    .toInt64();
        conn().execute(u"insert into accounts_dep.smena_gds_use (id_smena, id_gds_use, f_qty_use) values ("_s
            + QString::number(id) + u", "_s + QString::number(material) + u", 1e9)"_s);
        for (const QString& kind : { u"free"_s, u"reserved"_s }) {
            Query rest(conn(),
                u"select res_qty.f_qty as f_qty_free from accounts_dep.get_reminder_qty_by_smena(:id_smena, :id_gds, '"_s
                    + kind + u"') res_qty;"_s);
            rest.setParam(u"id_smena"_s, id);
            rest.setParam(u"id_gds"_s, material);
            rest.open();
            QVERIFY(rest.field(u"f_qty_free"_s).toDouble() >= 0);
            if (kind == u"free"_s)
                QCOMPARE(rest.field(u"f_qty_free"_s).toDouble(), 0.0);
        }
    }

    void openLinesReachRecordsThroughTheirIndex()
    {
        // A line's records are found through the record index: the line is an index condition in
        // every plan, never a filter over scanned records (as when the ERP's numeric ids were
        // compared with the program's bigint column on the program's side).
        conn().execute(u"set enable_seqscan = off"_s);
        for (const QString& view : { u"v_mnf_requisition_item"_s, u"v_mnf_requisition"_s, u"v_mnf_req_gds"_s }) {
            Query plan(conn(), u"explain select * from accounts_dep."_s + view);
            plan.open();
            QStringList lines;
            for (int r = 0; r < plan.recordCount(); ++r)
                lines << plan.value(r, 0).toText();
            const QString text = lines.join(u'\n');
            QVERIFY2(text.contains(u"Cond: ((id_doc_item = "_s), qPrintable(text));
            for (const QString& l : lines)
                if (l.contains(u"id_doc_item"_s))
                    QVERIFY2(
                        l.contains(u"Index Cond:"_s) || l.contains(u"Recheck Cond:"_s), qPrintable(view + u": "_s + l));
        }
        conn().execute(u"reset enable_seqscan"_s);
    }

    void newOperationShowsWithItsFirstPrice()
    {
        db_ = std::make_unique<test::FreshDatabase>();
        Command ins(conn(),
            u"insert into accounts_dep.oper(vid, naimen, i_id, cena_new) \nvalues (:oper_vid, :naimen, :i_id, :cena_new)\n"_s);
        ins.setParam(u"oper_vid"_s, 12);
        ins.setParam(u"naimen"_s, 1);
        ins.setParam(u"i_id"_s, 1030);
        ins.setParam(u"cena_new"_s, 17.25);
        ins.execute();
        Query oper(conn());
        oper.setSql(statements::oper());
        oper.open();
        oper.setFilter(u"i_id=1030 and oper_vid=12"_s);
        oper.setFiltered(true);
        QCOMPARE(oper.recordCount(), 1);
        QCOMPARE(oper.field(u"cena"_s).toDouble(), 17.25);
        QCOMPARE(oper.field(u"norma"_s).toInt(), 1);
        QCOMPARE(oper.field(u"nmn"_s).toText(), u"Заготовки"_s);
    }
};

TABEL_TEST(ServerTest)
#include "test_server.moc"
