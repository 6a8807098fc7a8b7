#pragma once
// Fast path of fetchAll for QPSQL: reads a buffered result straight from the driver's libpq handle
// (QSqlResult::handle()), converting each text value once, as Qt's driver would, into the cells.
#include <QMetaType>
#include <QStringList>
#include <QVariant>
#include <vector>

class QSqlQuery;

namespace tabel::db {

// Returns false (and touches nothing) when the query's handle is not a libpq result.
bool fetchPsqlResult(QSqlQuery& query, QStringList& names, std::vector<QMetaType>& types,
                     std::vector<QVariant>& cells);

} // namespace tabel::db
