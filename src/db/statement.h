#pragma once
// A statement text with named parameters (":data", ":ID" …, names matched without regard to case),
// and the one place where statements are prepared, bound and run.
#include "db/connection.h"

#include <QHash>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <vector>

namespace tabel::db {

// The text split into the form the drivers take: each ":name" outside quotes and comments becomes
// "?", in order; "::type" casts are left alone.
struct ParsedStatement {
    QString text;
    QStringList names; // lower case, one per "?" in order
};
ParsedStatement parseStatement(const QString& sql);

// Statement text and parameter values, run on a connection. A statement with parameters is
// prepared once per connection session and re-executed with new values.
class Statement {
public:
    explicit Statement(Connection& connection) : connection_(&connection) {}

    void setSql(const QString& sql);
    const QString& sql() const { return sql_; }
    // Sets a parameter by name (without the colon, any case). Throws DbError for a name the
    // statement does not have.
    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const;
    bool hasParam(const QString& name) const;

    // Runs the statement; the returned query is positioned before its first row. QPSQL buffers
    // the whole result in one libpq result (read by fetchAll without Qt's per-value conversion);
    // QODBC reads forward only.
    QSqlQuery& run();
    Connection& connection() const { return *connection_; }

private:
    QVariant bindable(const QVariant& v) const;

    Connection* connection_;
    QString sql_;
    ParsedStatement parsed_;
    QHash<QString, QVariant> values_;
    std::optional<QSqlQuery> query_;
    int preparedGeneration_ = -1;
};

// Reads the whole result of a run statement, forward only, straight into row-major cells.
void fetchAll(QSqlQuery& query, Driver driver, QStringList& names, std::vector<QMetaType>& types,
              std::vector<QVariant>& cells);

} // namespace tabel::db
