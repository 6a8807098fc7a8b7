-- The rules that make a record payable, held by the server for every client: group roles with the
-- least rights each kind of login needs, triggers that refuse acceptance by a login outside the
-- accepting role and any change of an accepted record, its materials or its team, the hours cells
-- kept equal to the records, and a history of every change that no program login can alter.
--
-- The trigger functions run with their owner's rights (they write the history no program login may
-- write) and name every object with its schema; they set no search_path of their own, which would
-- cost every row a configuration change (the system catalog is searched first in any case, and no
-- program login may create objects in these schemas).
--
-- Refusals carry their own SQLSTATE so that the program can say them in its own words:
--   TB001  the record is accepted (or gone): nothing of it may change
--   TB002  the login may not accept records
--   TB003  history rows are never changed

-- Roles -------------------------------------------------------------------------------------------
-- tabel_read: every program login (econom only this); tabel_enter: masters; tabel_accept: those
-- who also accept (sys, the extra-rights login, the restricted logins). Roles belong to the whole
-- server, so they are made once and the grants below are given in every database.
do $$
begin
    if not exists (select from pg_roles where rolname = 'tabel_read') then
        create role tabel_read nologin;
    end if;
    if not exists (select from pg_roles where rolname = 'tabel_enter') then
        create role tabel_enter nologin in role tabel_read;
    end if;
    if not exists (select from pg_roles where rolname = 'tabel_accept') then
        create role tabel_accept nologin in role tabel_enter;
    end if;
end
$$;

do $$
declare
    v_schema text;
begin
    foreach v_schema in array array['accounts_dep', 'cmn_contractor', 'hrms_movement', 'hrms_staffpos',
                                    'cmn_gds_and_srv', 'mnf_doc', 'mnf_operation'] loop
        execute format('grant usage on schema %I to tabel_read', v_schema);
        execute format('grant select on all tables in schema %I to tabel_read', v_schema);
    end loop;
end
$$;
-- The version check stamps the build that ran last: every program login writes that one row.
grant insert, update, delete on accounts_dep.ver to tabel_read;
-- Records, their materials and team, hours cells and the catalogues; never the ERP's stock,
-- reservations or requisitions.
grant insert, update, delete on accounts_dep.smena, accounts_dep.smena_gds_use, accounts_dep.person_temp,
    accounts_dep.h_tabel, accounts_dep.izdel, accounts_dep.vid_oper, accounts_dep.oper, accounts_dep.norm
    to tabel_enter;
grant usage on all sequences in schema accounts_dep to tabel_enter;

create function accounts_dep.is_accepted(p_ok text) returns boolean
language sql immutable as $$ select coalesce(p_ok in ('ok', 'да'), false) $$;

create function accounts_dep.may_accept() returns boolean
language sql stable as $$ select pg_has_role(session_user, 'tabel_accept', 'member') $$;

-- Acceptance writes stock off, which no program login may write itself: it runs with the rights of
-- its owner and refuses, in words, a login outside the accepting role.
alter function accounts_dep.smena__accept_row_hwo(bigint) security definer set search_path = public, accounts_dep;
revoke execute on function accounts_dep.smena__accept_row_hwo(bigint) from public;
grant execute on function accounts_dep.smena__accept_row_hwo(bigint) to tabel_read;

-- History -----------------------------------------------------------------------------------------
-- One row per change of a record, of its materials or of its team: when, which login, what, and
-- the row before and after. Written only by the triggers below (with their owner's rights).
create table accounts_dep.smena_history (
    id       bigserial primary key,
    at       timestamptz not null default clock_timestamp(),
    login    name not null default session_user,
    action   varchar(30) not null,
    id_smena bigint not null,
    before   jsonb,
    after    jsonb
);
create index smena_history_smena on accounts_dep.smena_history (id_smena, id);
create index smena_history_at on accounts_dep.smena_history (at);

create function accounts_dep.history_is_kept() returns trigger
language plpgsql as $$
begin
    raise exception 'История записей не изменяется и не удаляется.' using errcode = 'TB003';
end
$$;
create trigger smena_history_kept before update or delete on accounts_dep.smena_history
for each row execute function accounts_dep.history_is_kept();
create trigger smena_history_kept_truncate before truncate on accounts_dep.smena_history
for each statement execute function accounts_dep.history_is_kept();

-- What a history row changed, in words: "field: before → after" for a change, the fields of the
-- row for an insert or a delete.
create function accounts_dep.history_text(p_before jsonb, p_after jsonb) returns text
language sql immutable as $$
    select string_agg(case
                          when p_before is null then k || ': ' || coalesce(p_after ->> k, '—')
                          when p_after is null then k || ': ' || coalesce(p_before ->> k, '—')
                          else k || ': ' || coalesce(p_before ->> k, '—') || ' → ' || coalesce(p_after ->> k, '—')
                      end, '; ' order by k)
    from (select jsonb_object_keys(coalesce(p_after, p_before)) as k) keys
    where k not in ('id', 'id_smena')
      and (p_before is null or p_after is null or p_before -> k is distinct from p_after -> k)
$$;

create view accounts_dep.v_smena_history as
select h.id, h.at, h.login, h.action, h.id_smena, accounts_dep.history_text(h.before, h.after) as changes
from accounts_dep.smena_history h;

-- Records ------------------------------------------------------------------------------------------
-- One trigger both refuses and writes the history row: a refused write leaves none, and a write
-- that fails later takes its history row with it (the same statement).
create function accounts_dep.smena_rules() returns trigger
language plpgsql security definer as $$
declare
    v_dividing boolean;
begin
    if tg_op <> 'INSERT' and accounts_dep.is_accepted(old.ok) then
        raise exception 'Запись % уже принята: изменить или удалить её нельзя.', old.id using errcode = 'TB001';
    end if;
    if tg_op <> 'DELETE' and accounts_dep.is_accepted(new.ok) and not accounts_dep.may_accept() then
        raise exception 'Пользователь % не может принимать записи.', session_user using errcode = 'TB002';
    end if;
    v_dividing := current_setting('tabel.dividing', true) = 'on';
    if tg_op = 'INSERT' then
        insert into accounts_dep.smena_history (action, id_smena, after)
        values (case when v_dividing then 'деление' else 'добавление' end, new.id, to_jsonb(new));
        return new;
    elsif tg_op = 'DELETE' then
        insert into accounts_dep.smena_history (action, id_smena, before) values ('удаление', old.id, to_jsonb(old));
        return old;
    end if;
    if old is distinct from new then
        insert into accounts_dep.smena_history (action, id_smena, before, after)
        values (case when accounts_dep.is_accepted(new.ok) then 'приёмка'
                     when v_dividing then 'деление' else 'изменение' end,
                new.id, to_jsonb(old), to_jsonb(new));
    end if;
    return new;
end
$$;
create trigger smena_rules before insert or update or delete on accounts_dep.smena
for each row execute function accounts_dep.smena_rules();

-- Hours cells: whoever writes a record, its cells (before and after) equal the hours of their
-- records. The rows are locked in the one order before any is written.
create function accounts_dep.smena_hours() returns trigger
language plpgsql security definer as $$
declare
    v_key record;
begin
    if tg_op = 'UPDATE' and (old.w_id, old.smena, old.data, old.time) = (new.w_id, new.smena, new.data, new.time) then
        return null;
    end if;
    for v_key in select distinct k.w_id, k.smena, extract(year from k.data) as y, extract(month from k.data) as m
                   from (select old.w_id, old.smena, old.data where tg_op <> 'INSERT'
                         union all select new.w_id, new.smena, new.data where tg_op <> 'DELETE') k
                  order by 1, 2, 3, 4 loop
        perform accounts_dep.lock_hours_row(v_key.w_id, v_key.smena, make_date(v_key.y::int, v_key.m::int, 1));
    end loop;
    if tg_op <> 'INSERT' then
        perform accounts_dep.write_hours_cell(old.w_id, old.smena, old.data, false);
    end if;
    if tg_op <> 'DELETE' then
        perform accounts_dep.write_hours_cell(new.w_id, new.smena, new.data, true);
    end if;
    return null;
end
$$;
create trigger smena_hours after insert or delete or update of w_id, smena, data, time on accounts_dep.smena
for each row execute function accounts_dep.smena_hours();

-- Materials and team -------------------------------------------------------------------------------
-- Rows of a record that is accepted (or gone) are never added, changed or removed. The record is
-- locked while its row is written, so an acceptance waits for the write or the write for it. The
-- change goes into the record's history.
create function accounts_dep.record_part_rules() returns trigger
language plpgsql security definer as $$
declare
    v_id bigint;
    v_ok text;
    v_what text := case tg_table_name when 'smena_gds_use' then 'материал' else 'бригада' end;
begin
    for v_id in select distinct x from unnest(array[(to_jsonb(old) ->> 'id_smena')::bigint,
                                                    (to_jsonb(new) ->> 'id_smena')::bigint]) x
                where x is not null order by x loop
        select s.ok into v_ok from accounts_dep.smena s where s.id = v_id for share;
        if not found then
            -- a record's leftover rows may go once the record is gone; nothing is added to it
            if tg_op = 'DELETE' then
                continue;
            end if;
            raise exception 'Запись % удалена: изменить её нельзя.', v_id using errcode = 'TB001';
        end if;
        if accounts_dep.is_accepted(v_ok) then
            raise exception 'Запись % уже принята: изменить её нельзя.', v_id using errcode = 'TB001';
        end if;
    end loop;
    if tg_op = 'INSERT' then
        insert into accounts_dep.smena_history (action, id_smena, after)
        values (v_what || ': добавление', new.id_smena, to_jsonb(new));
    elsif tg_op = 'DELETE' then
        insert into accounts_dep.smena_history (action, id_smena, before)
        values (v_what || ': удаление', old.id_smena, to_jsonb(old));
    elsif old is distinct from new then
        insert into accounts_dep.smena_history (action, id_smena, before, after)
        values (v_what || ': изменение', new.id_smena, to_jsonb(old), to_jsonb(new));
    end if;
    return coalesce(new, old);
end
$$;
create trigger smena_gds_use_rules before insert or update or delete on accounts_dep.smena_gds_use
for each row execute function accounts_dep.record_part_rules();
create trigger person_temp_rules before insert or update or delete on accounts_dep.person_temp
for each row execute function accounts_dep.record_part_rules();

revoke all on accounts_dep.smena_history from public;
grant select on accounts_dep.smena_history, accounts_dep.v_smena_history to tabel_read;
