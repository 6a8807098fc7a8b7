#include "db/sort.h"

#include "db/db_error.h"

#include <QRegularExpression>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace tabel::db {

std::vector<SortKey> parseSort(const QString& text)
{
    std::vector<SortKey> keys;
    if (text.trimmed().isEmpty())
        return keys;
    static const QRegularExpression term(
        uR"(^\s*([\p{L}_][\p{L}\p{N}_.]*)(?:\s+(ASC|DESC))?\s*$)"_s, QRegularExpression::CaseInsensitiveOption);
    for (const QString& part : text.split(u',')) {
        const auto m = term.match(part);
        if (!m.hasMatch())
            throw DbError(u"Неверный порядок сортировки «"_s + text + u"»"_s);
        keys.push_back({ m.captured(1).toLower(), m.captured(2).compare(u"DESC"_s, Qt::CaseInsensitive) == 0 });
    }
    return keys;
}

} // namespace tabel::db
