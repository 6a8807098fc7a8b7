-- Stand-in for the enterprise's ERP: the schemas, domain types and helper function the program
-- reads and calls. At a site the real ERP provides all of this; here it carries just the columns
-- the program reads plus what the server functions (25_erp_interface.sql) need: requisition lines,
-- consignments with stock, and stock reserved for requisitions.

-- Domain types of the ERP, used by the program's statements in casts (id::t_id, s_code::t_integer).
create domain public.t_integer as integer;
create domain public.t_date as date;
create domain public.t_id as numeric(15, 0);
create domain public.t_float as double precision;
create domain public.t_code as varchar(50);

-- iif(condition, a, b): a when the condition holds, else b.
create function public.iif(condition boolean, when_true text, when_false text) returns text
language sql immutable as $$ select case when condition then when_true else when_false end $$;

-- Persons: employees and others. s_code is the personnel code, a number written as text.
create schema cmn_contractor;
create table cmn_contractor.person (
    id         t_id primary key,
    s_code     varchar(20),
    s_caption  varchar(254) not null,
    b_employee boolean not null default true
);

create schema hrms_staffpos;
create table hrms_staffpos.staffpos (
    id        t_id primary key,
    s_caption varchar(254) not null
);

-- Staff assignments over time; d_end null = still in force.
create schema hrms_movement;
create table hrms_movement.movement (
    id          t_id primary key,
    id_employee t_id not null references cmn_contractor.person (id),
    id_staffpos t_id not null references hrms_staffpos.staffpos (id),
    d_begin     date not null,
    d_end       date
);
create index movement_employee on hrms_movement.movement (id_employee);

-- Goods and services: products (their ids are the program's product ids), materials, and the
-- colours (1 = the primer, the others RAL colours numbered as the RAL code).
create schema cmn_gds_and_srv;
create table cmn_gds_and_srv.gds_and_srv (
    id        t_id primary key,
    s_caption varchar(254) not null,
    s_unit    varchar(20) not null default 'шт.'
);
-- Paint needed per unit of a product: the row's id is the product's goods id.
create table cmn_gds_and_srv.gds_attr (
    id          t_id primary key,
    i_id        t_id,
    f_color_qty double precision not null default 0
);
-- Consignments of goods on stock.
create table cmn_gds_and_srv.consignment (
    id        t_id primary key,
    id_gds    t_id not null references cmn_gds_and_srv.gds_and_srv (id),
    s_caption varchar(254) not null,
    s_stock   varchar(254) not null,
    f_qty     double precision not null default 0 check (f_qty >= 0)
);
create index consignment_gds on cmn_gds_and_srv.consignment (id_gds);

-- Manufacturing documents; requisitions ("Заявка") with their lines, and the stock reserved for them.
create schema mnf_doc;
create table mnf_doc.doc (
    id       t_id primary key,
    s_number varchar(30) not null,
    d_date   date not null,
    s_kind   varchar(30) not null default 'Заявка'
);
create table mnf_doc.doc_item (
    id           t_id primary key,
    id_doc       t_id not null references mnf_doc.doc (id),
    id_gds       t_id not null references cmn_gds_and_srv.gds_and_srv (id),
    id_gds_color t_id not null default 0,
    f_qty        numeric(18, 6) not null check (f_qty >= 0)
);
create index doc_item_doc on mnf_doc.doc_item (id_doc);
create index doc_item_gds on mnf_doc.doc_item (id_gds, id_gds_color);
create table mnf_doc.reserve (
    id     t_id primary key,
    id_doc t_id not null references mnf_doc.doc (id),
    id_gds t_id not null references cmn_gds_and_srv.gds_and_srv (id),
    f_qty  double precision not null check (f_qty >= 0)
);
create index reserve_doc_gds on mnf_doc.reserve (id_doc, id_gds);

-- Manufacturing operations: f_qty_from of goods id_gds_from go into one unit of id_gds_to.
create schema mnf_operation;
create table mnf_operation.operation (
    id          t_id primary key,
    id_gds_to   t_id not null references cmn_gds_and_srv.gds_and_srv (id),
    id_gds_from t_id not null references cmn_gds_and_srv.gds_and_srv (id),
    f_qty_from  numeric(18, 6) not null
);
create index operation_to on mnf_operation.operation (id_gds_to);

-- A quantity as captions show it: up to 3 decimals, a decimal comma, no trailing zeros.
create function public.fmt_qty(q numeric) returns text
language sql immutable as $$ select replace(rtrim(to_char(round(q, 3), 'FM999999999990.999'), '.'), '.', ',') $$;
