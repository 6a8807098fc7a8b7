-- A large enterprise for the benchmarks: 1,000 workers, 500 products, 2,000 operations, 2 million
-- production records over two years and the timesheet they give. Loaded into a copy of the
-- template database (schema and demo data), whose production data it replaces.
\timing on
select setseed(0.5);
-- a bulk load: none of the per-row rules, history or hours cells (the timesheet is filled whole
-- at the end)
set session_replication_role = replica;
truncate accounts_dep.smena, accounts_dep.h_tabel, accounts_dep.smena_gds_use, accounts_dep.person_temp,
         accounts_dep.norm, accounts_dep.oper, accounts_dep.izdel restart identity;

insert into cmn_contractor.person (id, s_code, s_caption, b_employee)
select 200000000000 + n, (20000 + n)::text,
       (array['Иванов','Петров','Сидоров','Кузнецов','Смирнов','Попов','Васильев','Соколов','Михайлов','Новиков'])[1 + n % 10]
         || ' ' || (array['Иван','Пётр','Сергей','Андрей','Олег','Николай','Дмитрий','Алексей'])[1 + (n / 10) % 8]
         || ' ' || (array['Иванович','Петрович','Сергеевич','Андреевич','Олегович'])[1 + (n / 80) % 5] || ' №' || n,
       true
from generate_series(1, 1000) n;
insert into hrms_movement.movement (id, id_employee, id_staffpos, d_begin, d_end)
select 10000 + n, 200000000000 + n, 1 + n % 8, date '2020-01-01', null from generate_series(1, 1000) n;

insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_unit)
select 30000 + n, 'Изделие ' || n, 'шт.' from generate_series(1, 500) n;
insert into accounts_dep.izdel (id, marka, nom, massa)
select 30000 + n, 'ИЗД-' || lpad(n::text, 4, '0'), 'Группа ' || (n % 25), round((0.05 + (n % 20) * 0.05)::numeric, 2)
from generate_series(1, 500) n;

-- what the products are made of: two materials of the demo each, and paint for every other one
insert into mnf_operation.operation (id, id_gds_to, id_gds_from, f_qty_from)
select 900000 + n * 2 + k, 30000 + n, 5001 + (n + k) % 5, 0.5 + k
from generate_series(1, 500) n, generate_series(0, 1) k;
insert into cmn_gds_and_srv.gds_attr (id, i_id, f_color_qty)
select 30000 + n, 30000 + n, 0.25 from generate_series(1, 500) n where n % 2 = 0;

insert into accounts_dep.oper (vid, naimen, i_id, cena)
select 1 + k % 12, (n % 2)::smallint, 30000 + n, 10 + k * 2
from generate_series(1, 500) n, generate_series(1, 4) k;
insert into accounts_dep.norm (o_id, norma, prize, price)
select o.id, k * 50, (k - 1) * 5, 10 + (o.id % 40) + k
from accounts_dep.oper o cross join generate_series(1, 1 + o.id % 3) k;

-- 200 requisitions of 10 lines, four lines per product; each line takes about 250 records per
-- operation of its product, so about half of the lines are still open
insert into mnf_doc.doc (id, s_number, d_date)
select 410000 + d, (5000 + d)::text, date '2025-01-01' + d * 3 from generate_series(0, 199) d;
insert into mnf_doc.doc_item (id, id_doc, id_gds, id_gds_color, f_qty)
select 420000000000 + l, 410000 + l / 10, 30001 + l / 4, 0, 3000 + (l % 4) * 1500 from generate_series(0, 1999) l;

insert into accounts_dep.smena (w_id, i_id, o_id, kol_vo, brak, data, smena, cena, color, time, vvod, ok, prize,
                                id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use)
select 20001 + g % 1000, o.i_id, o.id, 1 + g % 37, (g % 23 = 0)::int, date '2025-01-01' + (g / 2740) % 730,
       1 + (g / 1000) % 4, 10 + o.id % 40, case when g % 3 = 0 then 9003 else 0 end, 2 + g % 7,
       (date '2025-01-01' + (g / 2740) % 730)::timestamp + interval '18 hours',
       case when g % 10 = 0 then 'no' else 'ok' end, 0,
       410000 + ((o.i_id - 30001) * 4 + (g / 7) % 4) / 10, 420000000000 + (o.i_id - 30001) * 4 + (g / 7) % 4,
       0, o.i_id, 0
from generate_series(0, 1999999) g
join accounts_dep.oper o on o.id = 1 + (g * 7) % 2000;

select demo.fill_timesheet();
set session_replication_role = origin;
vacuum analyze;
select (select count(*) from cmn_contractor.person where b_employee) as workers,
       (select count(*) from accounts_dep.izdel) as products,
       (select count(*) from accounts_dep.oper) as operations,
       (select count(*) from accounts_dep.smena) as records,
       (select count(*) from accounts_dep.h_tabel) as timesheet_rows;
