-- The ERP's views and functions in accounts_dep that the program calls (stand-in). They read the
-- program's own tables too, so they are created after them. Ids are taken as bigint: a numeric
-- parameter compared with a bigint column defeats its index.

-- Requisitions with at least one line still open.
create view accounts_dep.v_mnf_requisition_item as
select item.id::t_id as id,
       item.id_doc::t_id as id_doc,
       (gds.s_caption
         || case when item.id_gds_color > 0 then ' (' || coalesce(color.s_caption, item.id_gds_color::text) || ')' else '' end
         || ', ' || fmt_qty(item.f_qty) || ' ' || gds.s_unit)::varchar(254) as s_caption,
       item.id_gds::t_id as id_gds,
       greatest(item.f_qty::double precision - coalesce(made.qty, 0), 0)::t_float as f_qty,
       item.id_gds::text::t_code as s_gds_mc,
       item.id_gds_color::t_id as id_gds_color
from mnf_doc.doc_item item
join cmn_gds_and_srv.gds_and_srv gds on gds.id = item.id_gds
left join cmn_gds_and_srv.gds_and_srv color on color.id = item.id_gds_color
-- What the line's product has been through so far. A product passes every operation of its route
-- (cutting, bending, welding, painting …): the line stays open while any of them still has pieces
-- to make, so what counts is the operation furthest behind. A product without operations counts
-- all its records. Per line through the index, never the whole table: the ERP's ids are cast to
-- the program's column types, since a cast on the program's side would leave its index unused.
left join lateral (
    select coalesce(min(coalesce(by_oper.qty, 0)),
                    (select sum(s.kol_vo) from accounts_dep.smena s where s.id_doc_item = item.id::bigint)) as qty
    from accounts_dep.oper o
    left join lateral (select sum(s.kol_vo) as qty from accounts_dep.smena s
                       where s.id_doc_item = item.id::bigint and s.o_id = o.id) by_oper on true
    where o.i_id = item.id_gds::bigint
) made on true;

-- How many pieces an operation may still take on a requisition line: the line's quantity less
-- what the operation's records made on it, the record p_except left out (the one being changed).
create function accounts_dep.line_open_qty(p_doc_item bigint, p_o_id bigint, p_except bigint)
returns double precision
language sql stable as $$
    select greatest(item.f_qty::double precision
                    - coalesce((select sum(s.kol_vo) from accounts_dep.smena s
                                where s.id_doc_item = p_doc_item and s.o_id = p_o_id and s.id <> p_except), 0), 0)
    from mnf_doc.doc_item item
    where item.id = p_doc_item
$$;

create view accounts_dep.v_mnf_requisition as
select doc.id::t_id as id,
       format('Заявка № %s от %s', doc.s_number, to_char(doc.d_date, 'dd.mm.yyyy'))::varchar(254) as s_caption,
       doc.d_date
from mnf_doc.doc doc
where doc.s_kind = 'Заявка'
  and exists (select 1 from accounts_dep.v_mnf_requisition_item item where item.id_doc = doc.id and item.f_qty > 0);

-- One row per goods and colour that open requisition lines need.
create view accounts_dep.v_mnf_req_gds as
select item.id_gds,
       (gds.s_caption
         || case when item.id_gds_color > 0 then ' (' || coalesce(color.s_caption, item.id_gds_color::text) || ')' else '' end
       )::varchar(254) as s_caption,
       item.id_gds_color::t_id as id_gds_color
from (select distinct id_gds, id_gds_color from accounts_dep.v_mnf_requisition_item where f_qty > 0) item
join cmn_gds_and_srv.gds_and_srv gds on gds.id = item.id_gds
left join cmn_gds_and_srv.gds_and_srv color on color.id = item.id_gds_color;

-- Goods that arrive on stock (consignments), for lookups.
create view accounts_dep.v_cmn_gds_in as
select distinct gds.id, gds.s_caption
from cmn_gds_and_srv.gds_and_srv gds
join cmn_gds_and_srv.consignment cons on cons.id_gds = gds.id;

-- Open requisition lines that need the goods in the colour; (0, 0) gives none.
create function accounts_dep.get_doc_item_by_gds(p_id_gds bigint, p_id_gds_color bigint)
returns table (id t_id, id_doc t_id, s_caption varchar(254), f_qty_need numeric(18, 6))
language sql stable as $$
    select item.id, item.id_doc,
           (format('Заявка № %s от %s', doc.s_number, to_char(doc.d_date, 'dd.mm.yyyy')) || ': ' || item.s_caption)::varchar(254),
           round(item.f_qty::numeric, 6)::numeric(18, 6)
    from accounts_dep.v_mnf_requisition_item item
    join mnf_doc.doc doc on doc.id = item.id_doc
    where item.id_gds = p_id_gds and item.id_gds_color = p_id_gds_color and item.f_qty > 0
    order by doc.d_date, doc.s_number, item.id
$$;

-- The requisition line of a production record.
create function accounts_dep.get_doc_item_caption_by_smena(p_id_smena bigint)
returns table (id t_id, s_caption varchar(254))
language sql stable as $$
    select item.id, item.s_caption
    from accounts_dep.smena smena
    join accounts_dep.v_mnf_requisition_item item on item.id = smena.id_doc_item
    where smena.id = p_id_smena
$$;

-- Materials a record may consume: what the manufacturing operations put into its product, and
-- the paint of a painted product (b_is_color '1'): the record's colour, or the colour of its
-- requisition line when the record has none (a record entered by requisition).
create function accounts_dep.get_gds_from_by_smena(p_id_smena bigint)
returns table (id t_id, s_caption varchar(254), b_is_color varchar(5))
language sql stable as $$
    select gds.id, gds.s_caption, '0'::varchar(5)
    from accounts_dep.smena smena
    join mnf_operation.operation op on op.id_gds_to = smena.i_id
    join cmn_gds_and_srv.gds_and_srv gds on gds.id = op.id_gds_from
    where smena.id = p_id_smena
    union
    select gds.id, gds.s_caption, '1'::varchar(5)
    from accounts_dep.smena smena
    join cmn_gds_and_srv.gds_attr attr on attr.id = smena.i_id and attr.f_color_qty > 0
    left join mnf_doc.doc_item item on item.id = smena.id_doc_item
    join cmn_gds_and_srv.gds_and_srv gds on gds.id = coalesce(nullif(smena.color, 0), nullif(item.id_gds_color, 0))
    where smena.id = p_id_smena
    order by 3, 2
$$;

-- How much of a material is where, for the remainders and acceptance. Stock is the consignments;
-- part of it is reserved for requisitions. What records not yet accepted have recorded is drawn
-- from their own requisition's reservation first and from free stock for the rest, so nothing is
-- counted twice: per requisition, the reservation not yet used; and the free stock, less what the
-- pending records took beyond their reservations.
create function accounts_dep.material_balance(p_id_gds bigint, p_id_doc bigint,
    out stock double precision, out reserved_left double precision, out free_left double precision)
language sql stable as $$
    with res as (
        select r.id_doc, sum(r.f_qty) as qty from mnf_doc.reserve r where r.id_gds = p_id_gds group by r.id_doc
    ), pending as (
        select coalesce(s.id_doc, 0) as id_doc, sum(u.f_qty_use) as qty
        from accounts_dep.smena_gds_use u
        join accounts_dep.smena s on s.id = u.id_smena
        where u.id_gds_use = p_id_gds and s.ok is distinct from 'ok'
        group by coalesce(s.id_doc, 0)
    ), per_doc as (
        select coalesce(res.id_doc, pending.id_doc) as id_doc,
               coalesce(res.qty, 0) as reserved,
               coalesce(pending.qty, 0) as pending
        from res full join pending on pending.id_doc = res.id_doc
    )
    select st.qty,
           greatest(least(coalesce((select reserved - pending from per_doc where id_doc = p_id_doc), 0), st.qty), 0),
           greatest(st.qty - coalesce((select sum(reserved) from per_doc), 0)
                    - coalesce((select sum(greatest(pending - reserved, 0)) from per_doc), 0), 0)
    from (select coalesce(sum(c.f_qty), 0)::double precision as qty
          from cmn_gds_and_srv.consignment c where c.id_gds = p_id_gds) st
$$;

-- What is left of goods for a record: 'free' = stock not reserved for any requisition and not
-- taken by pending records; 'reserved' = reserved for the record's requisition and not yet used.
-- One row for a known record and goods, never negative.
create function accounts_dep.get_reminder_qty_by_smena(p_id_smena bigint, p_id_gds bigint, p_kind text)
returns table (s_full_caption text, f_qty double precision)
language plpgsql stable as $$
declare
    v_doc bigint;
    v_gds record;
    v_balance record;
    v_qty double precision;
    v_stocks text;
begin
    select s.id_doc into v_doc from accounts_dep.smena s where s.id = p_id_smena;
    if not found then
        return;
    end if;
    select g.id, g.s_caption, g.s_unit into v_gds from cmn_gds_and_srv.gds_and_srv g where g.id = p_id_gds;
    if not found then
        return;
    end if;
    select coalesce(string_agg(distinct c.s_stock, ', '), 'нет на складе') into v_stocks
      from cmn_gds_and_srv.consignment c where c.id_gds = p_id_gds;
    select * into v_balance from accounts_dep.material_balance(p_id_gds, coalesce(v_doc, 0));
    if p_kind = 'reserved' then
        v_qty := v_balance.reserved_left;
        s_full_caption := format('%s — резерв по заявке: %s %s (%s)', v_gds.s_caption, fmt_qty(v_qty::numeric),
                                 v_gds.s_unit, v_stocks);
    else
        v_qty := v_balance.free_left;
        s_full_caption := format('%s — свободно: %s %s (%s)', v_gds.s_caption, fmt_qty(v_qty::numeric),
                                 v_gds.s_unit, v_stocks);
    end if;
    f_qty := v_qty;
    return next;
end
$$;

-- Consignments of the goods with their stock.
create function accounts_dep.show_consignment(p_id_gds bigint)
returns table (id t_id, s_caption varchar(254), stock_s_caption varchar(254))
language sql stable as $$
    select c.id, c.s_caption, c.s_stock from cmn_gds_and_srv.consignment c where c.id_gds = p_id_gds order by c.id
$$;

-- Accepts a record: marks it "ok" and writes its materials off: from what is reserved for its
-- requisition first, then from free stock (never from what is reserved for other requisitions).
-- When a material is not there the record is refused with a message and nothing changes.
create function accounts_dep.smena__accept_row_hwo(p_id bigint) returns integer
language plpgsql as $$
declare
    v_rec accounts_dep.smena%rowtype;
    v_use record;
    v_cons record;
    v_left double precision;
    v_take double precision;
    v_res record;
    v_reserved double precision;
    v_reserved_all double precision;
    v_stock double precision;
    v_caption text;
begin
    if not pg_has_role(session_user, 'tabel_accept', 'member') then
        raise exception 'Пользователь % не может принимать записи.', session_user using errcode = 'TB002';
    end if;
    select * into v_rec from accounts_dep.smena where id = p_id for update;
    if not found then
        raise exception 'Запись % не найдена: её удалили.', p_id using errcode = 'TB001';
    end if;
    if v_rec.ok in ('ok', 'да') then
        raise exception 'Запись % уже принята.', p_id using errcode = 'TB001';
    end if;
    for v_use in select u.id_gds_use, sum(u.f_qty_use) as qty from accounts_dep.smena_gds_use u
                 where u.id_smena = p_id group by u.id_gds_use order by u.id_gds_use loop
        -- the material's stock and reservations are locked first: two acceptances of one
        -- material take turns, and the second sees what the first left
        perform 1 from cmn_gds_and_srv.consignment where id_gds = v_use.id_gds_use order by id for update;
        perform 1 from mnf_doc.reserve where id_gds = v_use.id_gds_use order by id for update;
        select coalesce(sum(f_qty), 0) into v_stock from cmn_gds_and_srv.consignment where id_gds = v_use.id_gds_use;
        select coalesce(sum(f_qty), 0) into v_reserved_all from mnf_doc.reserve where id_gds = v_use.id_gds_use;
        select coalesce(sum(f_qty), 0) into v_reserved from mnf_doc.reserve
         where id_gds = v_use.id_gds_use and id_doc = v_rec.id_doc;
        if v_use.qty > least(v_reserved, v_stock) + greatest(v_stock - v_reserved_all, 0) + 1e-9 then
            select s_caption into v_caption from cmn_gds_and_srv.gds_and_srv where id = v_use.id_gds_use;
            raise exception 'Недостаточно ТМЦ «%» для записи %: нужно %, в резерве по заявке %, свободно %.',
                coalesce(v_caption, v_use.id_gds_use::text), p_id, fmt_qty(v_use.qty::numeric),
                fmt_qty(least(v_reserved, v_stock)::numeric), fmt_qty(greatest(v_stock - v_reserved_all, 0)::numeric) using errcode = 'TB005';
        end if;
        v_left := v_use.qty;
        for v_cons in select * from cmn_gds_and_srv.consignment where id_gds = v_use.id_gds_use order by id loop
            exit when v_left <= 1e-12;
            v_take := least(v_cons.f_qty, v_left);
            update cmn_gds_and_srv.consignment set f_qty = greatest(f_qty - v_take, 0) where id = v_cons.id;
            v_left := v_left - v_take;
        end loop;
        v_left := v_use.qty;
        for v_res in select * from mnf_doc.reserve
                     where id_doc = v_rec.id_doc and id_gds = v_use.id_gds_use order by id loop
            exit when v_left <= 1e-12;
            v_take := least(v_res.f_qty, v_left);
            update mnf_doc.reserve set f_qty = greatest(f_qty - v_take, 0) where id = v_res.id;
            v_left := v_left - v_take;
        end loop;
    end loop;
    update accounts_dep.smena set ok = 'ok' where id = p_id;
    return 1;
end
$$;

-- The lock of a worker's month row of a shift: one recomputation of a row at a time, so no sum is
-- stale and no row doubled. A rebuild of the month holds the table against writers; this waits
-- for it first. Whoever needs several rows locks them in the order (worker, shift, year, month),
-- so two writers never wait for each other in a circle.
create function accounts_dep.lock_hours_row(p_w_id integer, p_smena integer, p_data date) returns void
language plpgsql as $$
begin
    lock table accounts_dep.h_tabel in row exclusive mode;
    perform pg_advisory_xact_lock(p_w_id, p_smena * 1000000 + extract(year from p_data)::int * 100
                                          + extract(month from p_data)::int);
end
$$;

-- Sets a worker's hours cell of one date and shift to the hours of the records, under the lock
-- above, which the caller (the records' trigger in sql/27_rules.sql) holds. A worker's month row
-- is made when there is none and p_create is set or the day has hours. A day's hours beyond what
-- a cell holds are refused in words.
create function accounts_dep.write_hours_cell(p_w_id integer, p_smena integer, p_data date, p_create boolean)
returns void
language plpgsql as $$
declare
    v_hours bigint;
    v_rows bigint;
    v_col text := 'd' || extract(day from p_data)::int;
begin
    select coalesce(sum(time), 0) into v_hours from accounts_dep.smena
     where w_id = p_w_id and smena = p_smena and data = p_data;
    if v_hours > 32767 then
        raise exception 'Часы работника % за % (смена %) — %: больше, чем вмещает день табеля.',
            p_w_id, to_char(p_data, 'dd.mm.yyyy'), p_smena, v_hours using errcode = 'TB004';
    end if;
    execute format('update accounts_dep.h_tabel set %I = $1 where w_id = $2 and smena = $3 and month = $4 and year = $5', v_col)
      using v_hours, p_w_id, p_smena, extract(month from p_data)::int, extract(year from p_data)::int;
    get diagnostics v_rows = row_count; -- EXECUTE leaves FOUND as it was
    if v_rows = 0 and (p_create or v_hours <> 0) then
        execute format('insert into accounts_dep.h_tabel (w_id, smena, month, year, %I) values ($1, $2, $3, $4, $5)', v_col)
          using p_w_id, p_smena, extract(month from p_data)::int, extract(year from p_data)::int, v_hours;
    end if;
end
$$;

-- Divides a team record among its team: the record's own worker plus the distinct persons listed
-- in person_temp for it. Quantity (to 3 decimals) and defects (whole) are shared equally, the
-- remainders going to the last member; every member but the record's own worker gets a record
-- of its own (same product, operation, price, date, shift, colour, line and hours); the record
-- keeps the own worker's share and its materials. The list is emptied; the hours cells of the new
-- records follow them as the server writes them (sql/27_rules.sql). With no members nothing
-- changes.
create function accounts_dep.divide_between_person(p_id bigint) returns integer
language plpgsql as $$
declare
    v_rec accounts_dep.smena%rowtype;
    v_members bigint[];
    v_codes integer[];
    v_n integer;
    v_qty_share numeric;
    v_brak_share integer;
    v_total numeric;
    v_code integer;
    i integer;
begin
    select * into v_rec from accounts_dep.smena where id = p_id for update;
    if not found then
        raise exception 'Запись % не найдена: её удалили.', p_id using errcode = 'TB001';
    end if;
    -- members in the order they were listed, the record's own worker left out
    select array_agg(m.id_person order by m.first_id), array_agg(m.code order by m.first_id)
      into v_members, v_codes
      from (select pt.id_person, min(pt.id) as first_id,
                   case when p.s_code ~ '^\s*[+-]?\d+\s*$' then p.s_code::integer end as code
              from accounts_dep.person_temp pt
              join cmn_contractor.person p on p.id = pt.id_person
             where pt.id_smena = p_id
             group by pt.id_person, p.s_code) m
     where m.code is distinct from v_rec.w_id;
    delete from accounts_dep.person_temp where id_smena = p_id;
    if v_members is null then
        return 0;
    end if;
    if array_position(v_codes, null) is not null then
        raise exception 'У члена бригады нет табельного номера' using errcode = 'TB006';
    end if;
    -- every hours row the division touches is locked before any is written, in the one order
    perform accounts_dep.lock_hours_row(c, v_rec.smena, v_rec.data)
       from (select distinct c from unnest(v_codes || v_rec.w_id) c order by c) codes;
    perform set_config('tabel.dividing', 'on', true);
    v_n := array_length(v_members, 1) + 1;
    v_total := v_rec.kol_vo::numeric;
    v_qty_share := trunc(v_total / v_n, 3);
    v_brak_share := v_rec.brak / v_n;
    update accounts_dep.smena set kol_vo = v_qty_share, brak = v_brak_share where id = p_id;
    for i in 1 .. v_n - 1 loop
        v_code := v_codes[i];
        insert into accounts_dep.smena (w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, vvod, ok,
                                        prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use)
        values (v_code, v_rec.i_id, v_rec.o_id, v_rec.cena,
                case when i = v_n - 1 then v_total - v_qty_share * (v_n - 1) else v_qty_share end,
                case when i = v_n - 1 then v_rec.brak - v_brak_share * (v_n - 1) else v_brak_share end,
                v_rec.data, v_rec.smena, v_rec.color, v_rec.time, now()::timestamp(0), 'no',
                v_rec.prize, v_rec.id_doc, v_rec.id_doc_item, 0, v_rec.id_gds_use, 0);
    end loop;
    perform set_config('tabel.dividing', '', true);
    return v_n;
end
$$;

-- A new operation created with a price gets its first norm row (norm 1, that price, no bonus).
create function accounts_dep.oper_first_norm() returns trigger
language plpgsql as $$
begin
    if new.cena_new is not null then
        insert into accounts_dep.norm (o_id, norma, prize, price) values (new.id, 1, 0, new.cena_new);
    end if;
    return new;
end
$$;
create trigger oper_first_norm after insert on accounts_dep.oper
for each row execute function accounts_dep.oper_first_norm();

-- A type that operations use, or an operation that records use, cannot be deleted (the foreign
-- keys refuse it too); these say so in words the user reads, before the keys are checked.
create function accounts_dep.vid_oper_in_use() returns trigger
language plpgsql as $$
declare
    v_count bigint;
begin
    select count(*) into v_count from accounts_dep.oper where vid = old.id;
    if v_count > 0 then
        raise exception 'Вид операции «%» используется в операциях (%): удалить его нельзя.', old.vid, v_count
            using errcode = 'foreign_key_violation';
    end if;
    return old;
end
$$;
create trigger vid_oper_in_use before delete on accounts_dep.vid_oper
for each row execute function accounts_dep.vid_oper_in_use();

create function accounts_dep.oper_in_use() returns trigger
language plpgsql as $$
declare
    v_count bigint;
begin
    select count(*) into v_count from accounts_dep.smena where o_id = old.id;
    if v_count > 0 then
        raise exception 'Операция используется в записях выработки (%): удалить её нельзя.', v_count
            using errcode = 'foreign_key_violation';
    end if;
    return old;
end
$$;
create trigger oper_in_use before delete on accounts_dep.oper
for each row execute function accounts_dep.oper_in_use();

-- The program's statements name its tables and the ERP's domain types without a schema.
do $$
begin
    execute format('alter database %I set search_path = "$user", public, accounts_dep', current_database());
end
$$;
alter role sys set search_path = "$user", public, accounts_dep;
-- The program's statements carry day-first date texts ('13.12.2026'); the program pins this on
-- every session itself, and psql sessions of the same roles read them the same way.
alter role sys set datestyle = 'ISO, DMY';
