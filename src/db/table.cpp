#include "db/table.h"

#include "db/db_error.h"

#include <utility>

using namespace Qt::StringLiterals;

namespace tabel::db {

Table::Table(Connection& connection, QString tableName, QString orderBy, QObject* parent)
    : DataSet(parent)
    , connection_(connection)
    , table_(std::move(tableName))
    , orderBy_(std::move(orderBy))
{
}

void Table::open()
{
    if (isOpen())
        close();
    Statement s(connection_);
    s.setSql(u"select * from "_s + table_ + (orderBy_.isEmpty() ? QString() : u" order by "_s + orderBy_));
    setResult(s.fetch());
}

void Table::close()
{
    cancel();
    DataSet::close();
}

void Table::edit()
{
    if (state_ != State::Browse)
        return;
    const int row = physicalRow();
    if (row < 0)
        throw DbError(u"Нет текущей записи для изменения"_s);
    buffer_.clear();
    for (int c = 0; c < fieldCount(); ++c)
        buffer_.push_back(cell(row, c));
    changed_.assign(fieldCount(), false);
    editRow_ = row;
    state_ = State::Edit;
}

std::vector<QVariant> Table::storedRow(const Fetched& stored) const
{
    std::vector<QVariant> row;
    for (int c = 0; c < fieldCount(); ++c) {
        const int src = static_cast<int>(stored.names.indexOf(fieldName(c)));
        row.push_back(src >= 0 ? stored.store->at(0, src) : buffer_[c]);
    }
    return row;
}

void Table::append()
{
    if (!isOpen())
        throw DbError(u"Таблица "_s + table_ + u" не открыта"_s);
    post(); // a row being edited is written first, never dropped
    buffer_.assign(fieldCount(), QVariant());
    changed_.assign(fieldCount(), false);
    editRow_ = -1;
    state_ = State::Insert;
}

void Table::setField(const QString& name, const QVariant& value)
{
    const int c = fieldIndex(name);
    requireColumn(c, name);
    if (state_ == State::Browse)
        edit();
    buffer_[c] = value;
    changed_[c] = true;
}

Value Table::field(const QString& name) const
{
    if (state_ == State::Browse)
        return DataSet::field(name);
    const int c = fieldIndex(name);
    requireColumn(c, name);
    return Value(buffer_[c]);
}

void Table::cancel()
{
    state_ = State::Browse;
    buffer_.clear();
    changed_.clear();
    editRow_ = -1;
}

QString Table::whereKey(int physical, std::vector<QVariant>& binds) const
{
    const int id = fieldIndex(u"id"_s);
    if (id >= 0) {
        binds.push_back(cell(physical, id));
        return u" where id = :k"_s + QString::number(binds.size() - 1);
    }
    QStringList terms;
    for (int c = 0; c < fieldCount(); ++c) {
        binds.push_back(cell(physical, c));
        terms << fieldName(c) + u" is not distinct from :k"_s + QString::number(binds.size() - 1);
    }
    return u" where "_s + terms.join(u" and "_s);
}

void Table::post()
{
    if (state_ == State::Browse)
        return;
    Statement s(connection_);
    if (state_ == State::Edit) {
        QStringList sets;
        std::vector<QVariant> values;
        for (int c = 0; c < fieldCount(); ++c) {
            if (!changed_[c])
                continue;
            sets << fieldName(c) + u" = :v"_s + QString::number(values.size());
            values.push_back(buffer_[c]);
        }
        const int row = editRow_;
        std::vector<QVariant> stored = buffer_;
        if (!sets.isEmpty()) {
            std::vector<QVariant> keys;
            const QString where = whereKey(editRow_, keys);
            s.setSql(u"update "_s + table_ + u" set "_s + sets.join(u", "_s) + where + u" returning *"_s);
            for (size_t i = 0; i < values.size(); ++i)
                s.setParam(u"v"_s + QString::number(i), values[i]);
            for (size_t i = 0; i < keys.size(); ++i)
                s.setParam(u"k"_s + QString::number(i), keys[i]);
            const Fetched back = s.fetch();
            if (back.store->rows() == 0)
                throw DbError(u"Запись таблицы "_s + table_ + u" изменена или удалена другим пользователем"_s);
            stored = storedRow(back);
        }
        VariantStore& store = editableStore();
        beginRowChange();
        for (int c = 0; c < fieldCount(); ++c)
            store.set(row, c, stored[c]);
        cancel();
        rebuild(row);
        return;
    }
    // Insert: only the fields given, so the server fills the rest (ids, defaults).
    QStringList columns;
    QStringList placeholders;
    std::vector<QVariant> values;
    for (int c = 0; c < fieldCount(); ++c) {
        if (!changed_[c])
            continue;
        columns << fieldName(c);
        placeholders << u":v"_s + QString::number(values.size());
        values.push_back(buffer_[c]);
    }
    const QString target = columns.isEmpty()
        ? QString(u" default values"_s)
        : QString(u" ("_s + columns.join(u", "_s) + u") values ("_s + placeholders.join(u", "_s) + u")"_s);
    s.setSql(u"insert into "_s + table_ + target + u" returning *"_s);
    for (size_t i = 0; i < values.size(); ++i)
        s.setParam(u"v"_s + QString::number(i), values[i]);
    const Fetched stored = s.fetch();
    if (stored.store->rows() == 0)
        throw DbError(u"Сервер не вернул добавленную запись таблицы "_s + table_);
    std::vector<QVariant> row = storedRow(stored);
    VariantStore& store = editableStore();
    beginRowChange();
    store.appendRow(std::move(row));
    cancel();
    rebuild(storedRows() - 1);
}

void Table::remove()
{
    cancel();
    const int row = physicalRow();
    if (row < 0)
        throw DbError(u"Нет текущей записи для удаления"_s);
    Statement s(connection_);
    std::vector<QVariant> keys;
    const QString where = whereKey(row, keys);
    s.setSql(u"delete from "_s + table_ + where);
    for (size_t i = 0; i < keys.size(); ++i)
        s.setParam(u"k"_s + QString::number(i), keys[i]);
    s.execute();
    const int position = recNo();
    VariantStore& store = editableStore();
    beginRowChange();
    store.removeRow(row);
    rebuild(-1);
    setRecNo(position);
}

} // namespace tabel::db
