-- A small demo enterprise: a metal-furniture workshop with about forty workers, thirty products,
-- twelve operation types, open requisitions, materials with norms and stock, and production
-- records over the two previous months and the current month up to today, with the hours
-- timesheet that matches them. Everything is dated relative to the day the database is made.
select setseed(0.20221);

-- today, and the first day of the records: the first of the month two months back
create temporary table demo_clock as
select current_date as today, (date_trunc('month', current_date) - interval '2 months')::date as start,
       date_trunc('month', current_date)::date as this_month;

-- Staff positions and persons ----------------------------------------------------------------
insert into hrms_staffpos.staffpos (id, s_caption) values
  (1, 'Слесарь-сборщик'), (2, 'Маляр'), (3, 'Сварщик'), (4, 'Оператор листогиба'),
  (5, 'Резчик металла'), (6, 'Упаковщик'), (7, 'Мастер участка'), (8, 'Контролёр ОТК');

insert into cmn_contractor.person (id, s_code, s_caption, b_employee)
select 100000000000 + n, (1000 + n)::text, fio, true
from unnest(array[
  'Абрамов Сергей Петрович', 'Белова Ирина Викторовна', 'Васильев Андрей Николаевич', 'Григорьев Павел Олегович',
  'Дмитриева Ольга Сергеевна', 'Егоров Иван Алексеевич', 'Жуков Константин Юрьевич', 'Зайцева Наталья Ивановна',
  'Иванов Иван Иванович', 'Ковалёв Дмитрий Андреевич', 'Лебедева Светлана Петровна', 'Морозов Алексей Владимирович',
  'Николаев Виктор Степанович', 'Орлова Елена Михайловна', 'Павлов Роман Игоревич', 'Романова Татьяна Юрьевна',
  'Семёнов Артём Сергеевич', 'Тихонов Николай Павлович', 'Уварова Марина Олеговна', 'Фёдоров Евгений Викторович',
  'Харитонов Олег Дмитриевич', 'Цветкова Анна Алексеевна', 'Чернов Максим Андреевич', 'Шарова Юлия Николаевна',
  'Щукин Григорий Ильич', 'Яковлев Степан Михайлович', 'Александров Илья Романович', 'Борисова Галина Фёдоровна',
  'Власов Антон Евгеньевич', 'Гусева Людмила Павловна', 'Давыдов Кирилл Олегович', 'Ефимова Вера Николаевна',
  'Зиновьев Фёдор Ильич', 'Исаева Оксана Викторовна', 'Кузнецов Михаил Сергеевич', 'Лаптев Денис Андреевич',
  'Макарова Ксения Игоревна', 'Назаров Тимур Рашидович'
]) with ordinality as t(fio, n);
-- one person with two positions in force, one with none, one who is not an employee, and one
-- employee whose code is not a number (no code at all: a code the server cannot read as a number
-- would break every statement that joins persons by code)
insert into cmn_contractor.person (id, s_code, s_caption, b_employee) values
  (100000000039, '1039', 'Осипов Геннадий Борисович', true),
  (100000000040, '1040', 'Поляков Вадим Сергеевич', true),
  (100000000041, '9001', 'Рыбаков Леонид Аркадьевич (подрядчик)', false),
  (100000000042, null, 'Соболева Алла Викторовна', true);

insert into hrms_movement.movement (id, id_employee, id_staffpos, d_begin, d_end)
select 500 + n, 100000000000 + n, 1 + (n % 6), date '2018-01-01' + (n * 37), null
from generate_series(1, 39) n;
insert into hrms_movement.movement (id, id_employee, id_staffpos, d_begin, d_end) values
  (600, 100000000001, 7, date '2015-03-01', date '2017-12-31'),   -- a former position of Абрамов
  (601, 100000000039, 8, date '2021-05-01', null),                 -- Осипов holds two positions
  (602, 100000000042, 6, date '2022-02-01', null);
-- Поляков (1040) has no position in force

-- Goods: colours, products (ids as in izdel), materials ------------------------------------
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_unit) values
  (1, 'Грунт ГФ-021', 'кг'),
  (9003, 'RAL 9003 Сигнальный белый', 'кг'), (9005, 'RAL 9005 Чёрный янтарь', 'кг'),
  (7035, 'RAL 7035 Светло-серый', 'кг'), (3020, 'RAL 3020 Транспортный красный', 'кг'),
  (5015, 'RAL 5015 Небесно-синий', 'кг'), (6005, 'RAL 6005 Зелёный мох', 'кг');

create temporary table demo_product (id int, marka text, nom text, massa double precision, painted boolean);
insert into demo_product values
  (1001, 'ШРМ-22', 'Шкафы металлические', 0.5, true), (1002, 'ШРМ-24', 'Шкафы металлические', 0.5, true),
  (1003, 'ШРМ-26', 'Шкафы металлические', 0.5, true), (1004, 'ШРМ-АС', 'Шкафы металлические', 0.25, true),
  (1005, 'ШАМ-11', 'Шкафы архивные', 0.5, true), (1006, 'ШАМ-12', 'Шкафы архивные', 0.5, true),
  (1007, 'ШХА-50', 'Шкафы архивные', 1, true), (1008, 'ШХА-100', 'Шкафы архивные', 1, true),
  (1009, 'СТ-1200', 'Стеллажи', 0.2, true), (1010, 'СТ-1500', 'Стеллажи', 0.2, true),
  (1011, 'СТ-2000', 'Стеллажи', 0.25, true), (1012, 'СТА-1', 'Стеллажи', 0.2, true),
  (1013, 'Сейф ASM-30', 'Сейфы', 1, true), (1014, 'Сейф ASM-63', 'Сейфы', 1, true),
  (1015, 'Сейф ASM-90', 'Сейфы', 1, true), (1016, 'Сейф ОШ-1', 'Сейфы', 0.5, true),
  (1017, 'Верстак ВС-1', 'Верстаки', 1, true), (1018, 'Верстак ВС-2', 'Верстаки', 1, true),
  (1019, 'Тумба ТИ-1', 'Верстаки', 0.5, true), (1020, 'Тумба ТИ-2', 'Верстаки', 0.5, true),
  (1021, 'Полка П-800', 'Заготовки стеллажей', 0.05, false), (1022, 'Полка П-1000', 'Заготовки стеллажей', 0.05, false),
  (1023, 'Стойка С-2000', 'Заготовки стеллажей', 0.04, false), (1024, 'Стойка С-1500', 'Заготовки стеллажей', 0.04, false),
  (1025, 'Дверь Д-ШРМ', 'Заготовки шкафов', 0.1, false), (1026, 'Корпус К-ШРМ', 'Заготовки шкафов', 0.2, false),
  (1027, 'Дверь Д-сейф', 'Заготовки сейфов', 0.1, false), (1028, 'Корпус К-сейф', 'Заготовки сейфов', 0.2, false),
  (1029, 'Ящик Я-400', 'Заготовки шкафов', 0.05, false), (1030, E'Кронштейн КР-1\t', 'Заготовки стеллажей', 0.01, false);

insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_unit)
select id, trim(E'\t' from marka) || ' (' || nom || ')', 'шт.' from demo_product;

insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_unit) values
  (5001, 'Лист стальной х/к 0,8 мм', 'кг'), (5002, 'Лист стальной х/к 1,5 мм', 'кг'),
  (5003, 'Труба профильная 20х20х1,5', 'м'), (5004, 'Уголок 25х25', 'м'),
  (5005, 'Замок ключевой', 'шт.'), (5006, 'Петля накладная', 'шт.'), (5007, 'Ручка-скоба', 'шт.'),
  (5008, 'Заклёпка 4х10', 'шт.'), (5009, 'Электроды МР-3 3 мм', 'кг'), (5010, 'Проволока сварочная 0,8 мм', 'кг'),
  (5011, 'Плёнка стрейч', 'м'), (5012, 'Картон гофрированный', 'м²');

insert into cmn_gds_and_srv.gds_attr (id, i_id, f_color_qty)
select id, id, case when massa >= 1 then 0.5 else 0.25 end from demo_product where painted;

-- what goes into one unit of each product
insert into mnf_operation.operation (id, id_gds_to, id_gds_from, f_qty_from)
select row_number() over (), p.id, m.id_from, m.qty
from demo_product p
cross join lateral (values
  (case when p.nom like 'Сейф%' or p.nom like '%сейф%' then 5002 else 5001 end, round((p.massa * 18)::numeric, 3)),
  (case when p.nom like '%Стеллаж%' or p.nom like '%стеллаж%' then 5004 else 5003 end, 2.5),
  (case when p.painted then 5005 else 5008 end, case when p.painted then 1 else 8 end),
  (case when p.nom like 'Сейф%' or p.nom like 'Верстак%' then 5009 else 5010 end, 0.15),
  (case when p.painted then 5011 else null end, 3.0)
) m(id_from, qty)
where m.id_from is not null;

-- two consignments of every paint and material (not of the products)
insert into cmn_gds_and_srv.consignment (id, id_gds, s_caption, s_stock, f_qty)
select 7000 + row_number() over (order by g.id, k), g.id,
       'Партия № ' || (200 + (g.id % 97) + k * 3) || ' от ' || to_char((select start from demo_clock) - 30 + (k * 20), 'dd.mm.yyyy'),
       case when g.id between 5001 and 5012 then 'Склад металла' else 'Склад ЛКМ' end,
       round((200 + random() * 800)::numeric, 3)::float8
from cmn_gds_and_srv.gds_and_srv g, generate_series(1, 2) k
where g.id not in (select id from demo_product);

-- Operation types, products and operations --------------------------------------------------
insert into accounts_dep.vid_oper (id, vid) values
  (1, 'Резка'), (2, 'Гибка'), (3, 'Сварка'), (4, 'Зачистка швов'), (5, 'Покраска'), (6, 'Сборка'),
  (7, 'Упаковка'), (8, 'Вырубка'), (9, 'Сверловка'), (10, 'Клёпка'), (11, 'Установка фурнитуры'), (12, 'Контроль ОТК');
select setval('accounts_dep.vid_oper_id_seq', 12);

insert into accounts_dep.izdel (id, marka, nom, massa) select id, marka, nom, massa from demo_product;
select setval('accounts_dep.izdel_id_seq', 1030);

-- finished goods: cutting, bending, welding, painting, assembly, packing; blanks: cutting,
-- punching, bending, drilling
insert into accounts_dep.oper (id, vid, naimen, i_id, i_id_old, cena)
select row_number() over (order by p.id, v.vid), v.vid, case when p.painted then 0 else 1 end, p.id,
       case when p.id in (1002, 1010) then p.id - 1 end,
       round((15 + (p.id % 7) * 4 + v.vid * 3.5)::numeric, 2)
from demo_product p
join (values (1), (2), (3), (5), (6), (7), (8), (9)) v(vid)
  on (p.painted and v.vid in (1, 2, 3, 5, 6, 7)) or (not p.painted and v.vid in (1, 8, 2, 9));
select setval('accounts_dep.oper_id_seq', (select max(id) from accounts_dep.oper));

insert into accounts_dep.norm (o_id, norma, prize, price)
select o.id, k * 50, (k - 1) * 5, round((o.cena * (1 + (k - 1) * 0.1))::numeric, 2)::float8
from accounts_dep.oper o
cross join generate_series(1, 1 + (o.id % 3)) k;
-- one operation without norm rows: it is not offered in the operation list
delete from accounts_dep.norm where o_id = (select max(id) from accounts_dep.oper);

-- Requisitions ---------------------------------------------------------------------------------
-- eight requisitions, from two weeks before the first records to a few days ago
insert into mnf_doc.doc (id, s_number, d_date)
select 300000000150 + k, (150 + k)::text,
       (select start from demo_clock) - 14 + ((select today - start + 10 from demo_clock) * (k - 1) / 8)
from generate_series(1, 8) k;
insert into mnf_doc.doc (id, s_number, d_date, s_kind)
select 300000000901, 'П-12', (select this_month - 1 from demo_clock), 'Приход';

insert into mnf_doc.doc_item (id, id_doc, id_gds, id_gds_color, f_qty)
select 400000000000 + row_number() over (order by d.id, p.id), d.id, p.id,
       case when p.painted then (array[9003, 7035, 3020, 5015, 9005, 6005, 1])[1 + ((p.id + d.id) % 7)::int] else 0 end,
       (case when p.painted then 60 else 400 end) + ((p.id * 7 + d.id) % 5) * 20
from mnf_doc.doc d
join demo_product p on ((p.id + d.id) % 4) = 0
where d.s_kind = 'Заявка';

insert into mnf_doc.reserve (id, id_doc, id_gds, f_qty)
select 8000 + row_number() over (order by d.id, g.id), d.id, g.id, round((20 + random() * 60)::numeric, 3)::float8
from mnf_doc.doc d
join cmn_gds_and_srv.gds_and_srv g on g.id in (9003, 7035, 5001, 5003, 5005)
where d.s_kind = 'Заявка' and d.id % 2 = 0;

-- Two months of production records ------------------------------------------------------------
-- Each working day every worker of the day's shifts works one to three operations for lines of
-- requisitions dated before that day.
create temporary table demo_worker as
select (1000 + n) as code, n from generate_series(1, 40) n;

insert into accounts_dep.smena (w_id, i_id, o_id, kol_vo, brak, data, smena, cena, color, time, vvod, ok, prize,
                                id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use)
select w.code, item.id_gds, o.id,
       q.kol_vo, case when random() < 0.15 then 1 else 0 end,
       day::date, sh.smena,
       round((mn.price * case when extract(isodow from day) >= 6 then 2 else 1 end
                       * case sh.smena when 3 then 1.2 when 4 then 1.5 else 1 end)::numeric, 4)::float8,
       item.id_gds_color,
       case when sh.smena = 4 then 1 + (w.n + k) % 3 else 2 + (w.n * 5 + k * 3 + extract(day from day)::int) % 7 end,
       day::timestamp + interval '17 hours',
       'no', 0, item.id_doc, item.id, 0, item.id_gds, 0
from demo_clock clock
cross join generate_series(clock.start, clock.today, interval '1 day') day
cross join demo_worker w
cross join lateral (select case when w.n % 5 = 0 then 2 when w.n % 11 = 0 then 3 else 1 end as smena
                    union all select 4 where w.n % 9 = 0 and extract(isodow from day) = 5) sh
cross join lateral generate_series(1, 1 + (w.n + extract(day from day)::int) % 2) k
cross join lateral (select item.* from mnf_doc.doc_item item
                    join mnf_doc.doc doc on doc.id = item.id_doc
                    where doc.d_date < day::date
                    order by (item.id * 31 + w.n * 7 + k * 13 + extract(doy from day)::int) % 101
                    limit 1) item
cross join lateral (select o.* from accounts_dep.oper o
                    where o.i_id = item.id_gds
                      and exists (select 1 from accounts_dep.norm n where n.o_id = o.id)
                    order by (o.id * 17 + w.n + k) % 13
                    limit 1) o
cross join lateral (select min(price) as price from accounts_dep.norm n where n.o_id = o.id) mn
cross join lateral (select (2 + (w.n * 3 + k + extract(day from day)::int) % 9)::float8 as kol_vo) q
where (extract(isodow from day) < 6 or (w.n % 4 = 0 and extract(isodow from day) = 6))
  and not (w.n = 40 and day > clock.today - 25);   -- Поляков left the shop floor

-- the materials of every record older than today: paint when painted, then the first material
insert into accounts_dep.smena_gds_use (id_smena, id_gds_use, f_qty_use, id_cons_use)
select s.id, s.color, round((s.kol_vo * a.f_color_qty)::numeric, 4)::float8, null
from accounts_dep.smena s
join cmn_gds_and_srv.gds_attr a on a.id = s.i_id
where s.color > 0 and s.data < (select today from demo_clock);
insert into accounts_dep.smena_gds_use (id_smena, id_gds_use, f_qty_use, id_cons_use)
select s.id, op.id_gds_from, round((s.kol_vo * op.f_qty_from)::numeric, 4)::float8, null
from accounts_dep.smena s
join lateral (select * from mnf_operation.operation op where op.id_gds_to = s.i_id order by op.id limit 1) op on true
where s.data < (select today from demo_clock);

update accounts_dep.smena set prize = 10 where id % 17 = 0;

-- records before this month are accepted; a few of this month's carry the other marks
update accounts_dep.smena set ok = 'ok' where data < (select this_month from demo_clock);
create temporary table demo_marked as
select coalesce((select min(data) from accounts_dep.smena where data >= (select this_month from demo_clock)),
                (select max(data) from accounts_dep.smena)) as day;
update accounts_dep.smena set ok = 'да'
 where id in (select id from accounts_dep.smena where data = (select day from demo_marked) order by id limit 3);
update accounts_dep.smena set ok = 'ta'
 where id in (select id from accounts_dep.smena where data = (select day from demo_marked) order by id offset 3 limit 2);

-- no requisition line is made beyond its quantity: each line asks for what its records made and,
-- on most lines, more that is still open
update mnf_doc.doc_item item
   set f_qty = coalesce(made.qty, 0) + case when item.id % 4 = 0 then 0 else 20 + (item.id % 5) * 10 end
  from (select i.id, (select sum(s.kol_vo) from accounts_dep.smena s where s.id_doc_item = i.id) as qty
          from mnf_doc.doc_item i) made
 where made.id = item.id;

-- stock enough to accept every record not yet accepted, in date order, with some to spare
update cmn_gds_and_srv.consignment c
   set f_qty = round((c.f_qty + coalesce(pending.qty, 0) * 0.6)::numeric, 3)::float8
  from (select u.id_gds_use as id_gds, sum(u.f_qty_use) as qty
          from accounts_dep.smena_gds_use u join accounts_dep.smena s on s.id = u.id_smena
         where s.ok is distinct from 'ok' group by u.id_gds_use) pending
 where pending.id_gds = c.id_gds;

-- the timesheet the records give (also used by the benchmark generator)
create schema demo;
create function demo.fill_timesheet() returns void
language plpgsql as $$
declare
    v_cols text;
    v_sums text;
begin
    select string_agg('d' || d, ', ' order by d),
           string_agg(format('coalesce(sum(time) filter (where extract(day from data) = %s), 0)', d), ', ' order by d)
      into v_cols, v_sums
      from generate_series(1, 31) d;
    delete from accounts_dep.h_tabel;
    execute format('insert into accounts_dep.h_tabel (w_id, smena, month, year, %s) '
                   'select w_id, smena, extract(month from data)::int, extract(year from data)::int, %s '
                   'from (select w_id, smena, data, sum(time)::int as time from accounts_dep.smena group by w_id, smena, data) d '
                   'group by w_id, smena, extract(month from data), extract(year from data)', v_cols, v_sums);
end
$$;
select demo.fill_timesheet();

-- Demo logins -------------------------------------------------------------------------------------
-- kontrol1 accepts only, glavmaster may also accept, econom only views, master enters records.
do $$
declare
    v_login text;
begin
    foreach v_login in array array['kontrol1', 'glavmaster', 'econom', 'master'] loop
        if not exists (select from pg_roles where rolname = v_login) then
            execute format('create role %I login password %L', v_login, v_login);
        end if;
        execute format('alter role %I set search_path = "$user", public, accounts_dep', v_login);
        execute format('alter role %I set datestyle = %L', v_login, 'ISO, DMY');
    end loop;
end
$$;
-- Each login has the rights of its kind through the group roles (sql/27_rules.sql).
grant tabel_accept to kontrol1, glavmaster, sys;
grant tabel_enter to master;
grant tabel_read to econom;
