#pragma once
// The duplicate check every catalogue dialog runs before it writes: a count statement on the data
// module's scratch query, the typed name bound as a parameter, never spliced into the text. When
// it counts any row the message is shown ("Ошибка", error icon) and the answer is true.
#include <QString>
#include <QVariant>
#include <utility>
#include <vector>

namespace tabel::db {
class TDataModule6;
}
namespace tabel::ui {
class Prompter;
}

namespace tabel::catalog {

bool CheckDuplicate(ui::Prompter& prompter, db::TDataModule6& dm, const QString& sql,
    const std::vector<std::pair<QString, QVariant>>& params, const QString& message);

} // namespace tabel::catalog
