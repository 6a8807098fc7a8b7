#include "db/statements.h"

using namespace Qt::StringLiterals;

namespace tabel::db::statements {
namespace {

const QString kindCase = u"(SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' ELSE 'Заготовки' END))"_s;

} // namespace

QStringList workers()
{
    return {
        u"select person.s_code id, person .s_caption fio, person.id p_id"_s,
        u"      ,staffpos.s_caption as s_staffpos_hl"_s,
        u"from cmn_contractor.person person"_s,
        u"left join hrms_movement.movement pers_move on pers_move.id_employee = person.id"_s,
        u"                                          and now()::t_date between pers_move.d_begin"_s,
        u"                                                                and coalesce(pers_move.d_end, now()::t_date)"_s,
        u"left join hrms_staffpos.staffpos staffpos on staffpos.id = pers_move.id_staffpos"_s,
        u"where person.b_employee = true order by fio"_s,
    };
}

QStringList izdel()
{
    return {
        u"select trim(both '\t' from marka) as marka, id, nom, round(massa::numeric, 5) massa  from accounts_dep.IZDEL order by marka"_s
    };
}

QStringList oper()
{
    return {
        u"select izdel.MARKA, vid_oper.VID, oper.NAIMEN, "_s + kindCase + u" as nmn,"_s,
        u"count(o_id) norma, min(price)::numeric cena,"_s,
        u"oper.id, oper.i_id, oper.VID as oper_vid, oper.i_id_old from accounts_dep.norm,accounts_dep.OPER,accounts_dep.IZDEL,accounts_dep.VID_OPER where OPER.i_id=IZDEL.id and norm.o_id=oper.id"_s,
        u"and oper.vid=vid_oper.id group by izdel.MARKA, vid_oper.VID, oper.NAIMEN, oper.id, oper.i_id, oper.VID order by izdel.marka, vid_oper.vid, oper.naimen"_s,
    };
}

QStringList operIns()
{
    return {
        u"insert into accounts_dep.oper(vid, naimen, i_id, cena_new) "_s,
        u"values (:oper_vid, :naimen, :i_id, :cena_new)"_s,
        QString(),
    };
}

QStringList operEd()
{
    return { u"update accounts_dep.oper set vid=:oper_vid, naimen=:naimen,  i_id=:i_id where id=:id"_s };
}

QStringList operDel()
{
    return { u"delete from accounts_dep.oper where id=:id"_s };
}

QStringList xlsRep()
{
    return {
        u"select izdel.MARKA, vid_oper.VID, oper.NAIMEN, iif(naimen=0,'Готовая продукция','Заготовки') as nmn, oper.CENA, oper.id, oper.i_id,"_s,
        u" oper.VID as oper_vid from OPER,IZDEL,VID_OPER where OPER.i_id=IZDEL.id "_s,
        u"and oper.vid=vid_oper.id order by izdel.marka, vid_oper.vid, oper.naimen"_s,
    };
}

QStringList requisitions()
{
    return { u"select id, s_caption from accounts_dep.v_mnf_requisition order by s_caption"_s };
}

QStringList requisitionItems()
{
    return {
        u"select id, id_doc, s_caption, id_gds, f_qty, s_gds_mc from accounts_dep.v_mnf_requisition_item where f_qty>0"_s
    };
}

QStringList requisitionGoods()
{
    return { u"select id_gds as id, *"_s, u"from accounts_dep.v_mnf_req_gds req_gds"_s };
}

QStringList linesByGoods()
{
    return { u"select * from accounts_dep.get_doc_item_by_gds(:id_gds, :id_gds_color);"_s };
}

QStringList recordRequisition(qint64 recordId)
{
    return {
        u"select format('Заявка № %s от %s', doc.s_number, to_char(doc.d_date, 'dd.mm.yyyy')) as s_caption, doc.id as id from accounts_dep.smena smena inner join mnf_doc.doc doc on doc.id = smena.id_doc where smena.id = "_s
        + QString::number(recordId)
    };
}

QStringList recordRequisitionItem(qint64 recordId)
{
    return {
        u"select id::t_id, s_caption, 0::t_id as id_doc, 0::t_id as id_gds, 0::t_float as f_qty, 0::t_code as s_gds_mc from accounts_dep.get_doc_item_caption_by_smena("_s
        + QString::number(recordId) + u")"_s
    };
}

QStringList recordMaterials()
{
    return {
        u"select sgu.id as id"_s,
        u"      ,vcgi.s_caption"_s,
        u"      ,cons_use.stock_s_caption"_s,
        u"      ,cons_use.s_caption as s_cons_use_hl"_s,
        u"      ,sgu.f_qty_use"_s,
        u"from accounts_dep.smena_gds_use sgu"_s,
        u"inner join cmn_gds_and_srv.gds_and_srv vcgi on vcgi.id = sgu.id_gds_use"_s,
        u"left join accounts_dep.show_consignment(sgu.id_gds_use) cons_use on cons_use.id = sgu.id_cons_use"_s,
        u"where sgu.id_smena = :id_smena"_s,
    };
}

QStringList recordTeam()
{
    return {
        u"select person_temp.id"_s,
        u"      ,person.s_caption as s_caption"_s,
        u"from accounts_dep.person_temp person_temp"_s,
        u"inner join cmn_contractor.person person on person.id = person_temp.id_person"_s,
        u"where person_temp.id_smena = :s_id"_s,
    };
}

QStringList smena(int shift)
{
    const QString from
        = u"from cmn_contractor.person person,accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper "_s;
    const QString tail
        = u"(select s_caption from cmn_gds_and_srv.gds_and_srv gas where id=color) as s_caption_color,time,smena.ok,date(vvod) as vvod, smena.id_doc, smena.id_doc_item, smena.f_gds_qty_use, smena.id_gds_use, smena.id_cons_use"_s;
    switch (shift) {
    case 2:
    case 3:
    case 4: {
        const QString n = QString::number(shift);
        QStringList lines = {
            u"select smena.data, smena.smena, smena.i_id, smena.o_id, smena.w_id, "_s,
            u"smena.cena, s_caption fio, izdel.marka, vid_oper.vid, "_s + kindCase
                + u" as nmn, oper.naimen, smena.kol_vo, smena.brak, "_s,
            u"round((kol_vo::numeric-brak::numeric)*smena.cena::numeric, 2) as summa, smena.prize, smena.id, "_s,
            tail + u"  "_s,
            from,
            u"where smena.i_id=izdel.id and smena.o_id=oper.id and w_id=s_code::t_integer and "_s,
            u"oper.vid=vid_oper.id and smena.smena="_s + n + u" and smena.data=:data and ok<>:ok order by fio"_s,
        };
        if (shift == 3) {
            lines[1] = u"smena.cena,s_caption fio, izdel.marka, vid_oper.vid, "_s + kindCase
                + u" as nmn,  oper.naimen, smena.kol_vo, smena.brak, "_s;
            lines[3] = tail;
        } else if (shift == 4) {
            lines[1] = u"smena.cena,person.s_caption fio, izdel.marka, vid_oper.vid, "_s + kindCase
                + u" as nmn,  oper.naimen, smena.kol_vo, smena.brak, "_s;
            lines[2]
                = u"round((kol_vo::numeric-brak::numeric)*smena.cena::numeric, 2) as summa, smena.prize, smena.id , "_s;
            lines[3] = tail + u" "_s;
            lines[4]
                = u"from cmn_contractor.person person, accounts_dep.izdel, accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper "_s;
        }
        return lines;
    }
    default:
        return {
            u"select smena.id, smena.data, smena.smena, smena.i_id, smena.o_id, smena.w_id, "_s,
            u"smena.cena,person.s_caption fio, izdel.marka, vid_oper.vid, "_s + kindCase
                + u" as nmn, oper.naimen, smena.kol_vo, smena.brak, "_s,
            u"round((kol_vo::numeric-brak::numeric)*smena.cena::numeric, 2) as summa, smena.prize,(select s_caption from cmn_gds_and_srv.gds_and_srv gas where id=color) as s_caption_color,time, smena.ok, date(vvod) as vvod, smena.id_doc, smena.id_doc_item, smena.f_gds_qty_use, smena.id_gds_use, smena.id_cons_use"_s,
            from,
            u"where smena.i_id=izdel.id and smena.o_id=oper.id and w_id=person.s_code::t_integer and "_s,
            u"oper.vid=vid_oper.id and smena.smena=1 and smena.data=:data and ok!=:ok order by "_s,
            u"fio, izdel.marka, vid_oper.vid, oper.naimen, s_caption_color"_s,
        };
    }
}

QStringList reportByWorkers()
{
    return {
        u"select person.s_caption fio, sum(smena.kol_vo-smena.brak) as kolvo, "_s,
        u"sum((kol_vo-brak)*smena.cena) as summa,vid_oper.vid,"_s,
        u"izdel.nom, oper.naimen, color from cmn_contractor.person person,accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper,"_s,
        u"accounts_dep.oper where w_id=s_code::integer and izdel.id=smena.i_id and vid_oper.id=oper.vid"_s,
        u"and oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1 "_s,
        u"group by fio, izdel.nom, oper.naimen, vid_oper.vid, color order by fio, izdel.nom"_s,
    };
}

QStringList reportByProducts()
{
    return {
        u"select sum(smena.kol_vo-smena.brak) as kolvo, vid_oper.vid,"_s,
        u"izdel.nom, oper.naimen, color,  round((izdel.massa*sum(smena.kol_vo-smena.brak))::numeric,2) as mass"_s,
        u"from accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper where izdel.id=smena.i_id and vid_oper.id=oper.vid"_s,
        u"and oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1 "_s,
        u"group by izdel.nom,color, oper.naimen, vid_oper.vid, izdel.massa order by izdel.nom"_s,
    };
}

QStringList detailedByWorkers()
{
    // smena.cena in the bonus sum: a bare cena is ambiguous beside oper.cena and refused
    return {
        u"select s_caption fio, izdel.marka, vid_oper.vid, oper.naimen, "_s,
        u"sum(smena.kol_vo) as kolvo, sum(smena.brak) as brk, sum((kol_vo-brak)*"_s,
        u"smena.cena) as summa, color, sum(prize*(kol_vo-brak)*smena.cena/100) as s_prize "_s,
        u"from cmn_contractor.person person,accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper where "_s,
        u"smena.o_id=oper.id and smena.w_id=s_code::integer and smena.i_id=izdel.id "_s,
        u"and smena.o_id=oper.id and w_id=s_code::integer and oper.vid=vid_oper.id "_s,
        u"and smena.data<:data2 and smena.data>=:data1 group by fio, marka, "_s,
        u"vid_oper.vid, oper.naimen, color order by fio, marka, vid_oper.vid, oper.naimen"_s,
    };
}

QStringList detailedByProducts()
{
    return {
        u"select izdel.marka, vid_oper.vid vid, oper.naimen, izdel.nom,"_s,
        u"sum(smena.kol_vo) as kolvo, sum(smena.brak) as brk, "_s,
        u"sum((kol_vo-brak)*smena.cena) as summa, color, round((izdel.massa*sum(smena.kol_vo))::numeric,2) as mass "_s,
        u"from accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper where smena.o_id=oper.id and smena.i_id=izdel.id "_s,
        u"and smena.o_id=oper.id and oper.vid=vid_oper.id and smena.data<:data2 and "_s,
        u"smena.data>=:data1 group by izdel.nom, marka, vid_oper.vid, oper.naimen, color,massa "_s,
        u"order by izdel.nom,marka, vid_oper.vid, oper.naimen"_s,
    };
}

QStringList detailedByRequisitions()
{
    return {
        u"select izdel.marka, vid_oper.vid vid, oper.naimen, izdel.nom, sum(smena.kol_vo) as kolvo, sum(smena.brak) as brk, "_s,
        u"sum((kol_vo-brak)*smena.cena) as summa, color, round((izdel.massa*sum(smena.kol_vo))::numeric,2) as mass, doc_in.s_number  "_s,
        u"from accounts_dep.izdel,accounts_dep.oper,accounts_dep.smena,accounts_dep.vid_oper, mnf_doc.doc doc_in where smena.o_id=oper.id and smena.i_id=izdel.id "_s,
        u"and smena.o_id=oper.id and oper.vid=vid_oper.id and smena.data<:data2 and "_s,
        u"smena.data>=:data1 and doc_in.id = smena.id_doc group by  s_number, izdel.nom, marka, vid_oper.vid, oper.naimen, color,massa "_s,
        u"order by s_number, izdel.nom,marka, vid_oper.vid, oper.naimen"_s,
    };
}

QStringList productSummary()
{
    return {
        u"select sum(smena.kol_vo-smena.brak) as kolvo, vid_oper.vid,"_s,
        u"izdel.nom, oper.naimen, color,izdel.massa*sum(smena.kol_vo-smena.brak) as mass "_s,
        u"from accounts_dep.smena,accounts_dep.izdel,accounts_dep.vid_oper, accounts_dep.oper where izdel.id=smena.i_id and vid_oper.id=oper.vid"_s,
        u"and oper.id=smena.o_id and smena.data<:data2 and smena.data>=:data1 "_s,
        u"group by izdel.nom,color, oper.naimen, vid_oper.vid, izdel.massa order by izdel.nom"_s,
    };
}

namespace {
const QString historyColumns
    = u"select id, to_char(at, 'DD.MM.YYYY HH24:MI:SS') as at_text, login, action, id_smena, changes from accounts_dep.v_smena_history"_s;
}

QStringList recordHistory()
{
    return { historyColumns, u"where id_smena = :id order by id"_s };
}

QStringList periodHistory()
{
    return { historyColumns, u"where at >= :data1::date and at < :data2::date order by id"_s };
}

QStringList monthTotals()
{
    return {
        u"select person.s_caption fio,sum(d1) as sd1,sum(d2) as sd2,sum(d3) as sd3,sum(d4) as sd4,"_s,
        u"sum(d5) as sd5,sum(d6) as sd6,sum(d7) as sd7,sum(d8) as sd8,sum(d9) as sd9,"_s,
        u"sum(d10) as sd10,sum(d11) as sd11,sum(d12) as sd12,sum(d13) as sd13,"_s,
        u"sum(d14) as sd14,sum(d15) as sd15,sum(d16) as sd16,sum(d17) as sd17,"_s,
        u"sum(d18) as sd18,sum(d19) as sd19,sum(d20) as sd20,sum(d21) as sd21,"_s,
        u"sum(d22) as sd22,sum(d23) as sd23,sum(d24) as sd24,sum(d25) as sd25,"_s,
        u"sum(d26) as sd26,sum(d27) as sd27,sum(d28) as sd28,sum(d29) as sd29,"_s,
        u"sum(d30) as sd30,sum(d31) as sd31 from accounts_dep.h_tabel, cmn_contractor.person person where"_s,
        u"h_tabel.w_id=person.s_code::t_integer and month=:mnth and"_s,
        u"year=:yea group by fio order by fio"_s,
    };
}

QStringList hTabel(int shift)
{
    return {
        u"select person.s_caption fio, h_tabel.*,(d1+d2+d3+d4+d5+d6+d7+d8+d9+d10+d11"_s,
        u"+d12+d13+d14+d15+d16+d17+d18+d19+d20+d21+d22+d23+d24+d25"_s,
        u"+d26+d27+d28+d29+d30+d31) as summ from accounts_dep.h_tabel, cmn_contractor.person where "_s,
        u"h_tabel.w_id=person.s_code::integer and h_tabel.smena="_s + QString::number(shift)
            + u" and month=:mnth and "_s,
        u"year=:yea order by fio"_s,
    };
}

} // namespace tabel::db::statements
