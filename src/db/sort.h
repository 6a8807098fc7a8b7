#pragma once
// Sort texts of the datasets: "fio ASC", "id_doc DESC, fio ASC"; a term without a direction is ASC.
#include <QString>
#include <vector>

namespace tabel::db {

struct SortKey {
    QString field; // lower case
    bool descending = false;
};

// Throws DbError for a malformed text; the empty text gives no keys.
std::vector<SortKey> parseSort(const QString& text);

} // namespace tabel::db
