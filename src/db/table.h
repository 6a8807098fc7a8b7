#pragma once
// A whole table held in memory and written row by row (ver, norm, vid_oper): browse it like a
// query, change the current row with edit()/setField()/post(), add one with append(), delete the
// current one with remove(). Rows are found for update and delete by their "id" column, or, in a
// table without one, by all their fetched values.
#include "db/dataset.h"
#include "db/statement.h"

#include <vector>

namespace tabel::db {

class Table : public DataSet {
    Q_OBJECT
public:
    enum class State { Browse, Edit, Insert };

    // orderBy: the server's order of the rows ("vid"); empty for the table's own.
    Table(Connection& connection, QString tableName, QString orderBy = {}, QObject* parent = nullptr);

    const QString& tableName() const { return table_; }
    // Reads the whole table ("select * from" it, in the order given); throws DbError.
    void open();
    void close() override;
    State state() const { return state_; }

    void edit(); // starts changing the current row (throws DbError when there is none)
    // Starts a new row, added by post(). A row being edited or appended is posted first.
    void append();
    // Sets a field of the row being edited or appended (edit() is started if browsing).
    void setField(const QString& name, const QVariant& value);
    // Writes the row: an update of the changed fields or an insert, and reads back the row the
    // server stored (ids, defaults, what triggers did, numbers as numbers). Throws DbError and
    // stays in its state on failure.
    void post();
    void cancel();
    void remove(); // deletes the current row

    // While editing or appending, the row being edited.
    Value field(const QString& name) const override;

private:
    Connection& connection_;
    QString table_;
    QString orderBy_;
    State state_ = State::Browse;
    std::vector<QVariant> buffer_;
    std::vector<bool> changed_;
    int editRow_ = -1;
    QString whereKey(int physical, std::vector<QVariant>& binds) const;
    std::vector<QVariant> storedRow(const Fetched& stored) const;
};

} // namespace tabel::db
