#pragma once
// A statement text with named parameters (":data", ":ID" …, names matched without regard to case),
// and the one place where statements are bound and run on either driver.
#include "db/cell_store.h"
#include "db/connection.h"

#include <QHash>
#include <QMetaType>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

namespace tabel::db {

// The text in the forms the drivers take: each ":name" outside quoted texts (also E'…' and
// $tag$…$tag$) and comments (-- and nested /* */) becomes "?"
// (ODBC) or "$n" (libpq), in order; "::type" casts are left alone.
struct ParsedStatement {
    QString odbcText;
    QString pgText;
    QStringList names; // lower case, one per placeholder in order
};
ParsedStatement parseStatement(const QString& sql);

// A whole result: column names, their types, and the rows.
struct Fetched {
    QStringList names;
    std::vector<QMetaType> types;
    std::unique_ptr<CellStore> store;
};

class Statement {
public:
    explicit Statement(Connection& connection)
        : connection_(&connection)
    {
    }

    void setSql(const QString& sql);
    const QString& sql() const { return sql_; }
    // Sets a parameter by name (without the colon, any case). Throws DbError for a name the
    // statement does not have.
    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const;

    // Runs the statement and returns its rows; throws DbError with the server's text.
    Fetched fetch();
    // Runs the statement; returns the number of rows it touched (-1 when the driver does not say).
    int execute();
    Connection& connection() const { return *connection_; }

private:
    std::vector<QVariant> values() const;
    QSqlQuery& runOdbc();

    Connection* connection_;
    QString sql_;
    ParsedStatement parsed_;
    QHash<QString, QVariant> values_;
    std::optional<QSqlQuery> odbcQuery_; // prepared once per connection session
    int preparedGeneration_ = -1;
};

} // namespace tabel::db
