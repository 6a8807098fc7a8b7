#pragma once
// The QPSQL path of the dataset layer: statements run on the libpq connection under Qt's QPSQL
// driver (QSqlDriver::handle()), with parameters sent as text, and results kept as the libpq
// result they arrived as (PgResultStore), each value converted when it is read, as Qt's driver
// would convert it.
#include "db/cell_store.h"

#include <QByteArray>
#include <QMetaType>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

struct pg_conn;
struct pg_result;

namespace tabel::db {

class PgResultStore final : public CellStore {
public:
    explicit PgResultStore(std::shared_ptr<pg_result> result);
    int rows() const override { return rows_; }
    int columns() const override { return columns_; }
    QVariant at(int row, int column) const override;

    QStringList names() const;
    std::vector<QMetaType> types() const;

private:
    std::shared_ptr<pg_result> result_;
    int rows_ = 0;
    int columns_ = 0;
    std::vector<unsigned> oids_;
};

struct PgOutcome {
    std::shared_ptr<pg_result> result; // set when the statement returned rows
    int affected = -1;
    QString error; // non-empty when the statement failed
    QString sqlState; // the server's SQLSTATE of the failure
    QString primary; // the server's message alone, without "ERROR:" or detail
};

// Runs one statement ("$1" … placeholders when params are given; several statements allowed
// without them). Never throws: the outcome carries the server's error text.
PgOutcome pgExec(pg_conn* conn, const QString& sql, const std::vector<QVariant>& params);

// The libpq connection of an open QPSQL database handle, or nullptr.
pg_conn* pgConnection(const QVariant& driverHandle);

} // namespace tabel::db
