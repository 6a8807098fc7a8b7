#include "catalog/check_duplicate.h"

#include "db/data_module.h"
#include "ui/prompter.h"

using namespace Qt::StringLiterals;

namespace tabel::catalog {

bool CheckDuplicate(ui::Prompter& prompter, db::TDataModule6& dm, const QString& sql,
    const std::vector<std::pair<QString, QVariant>>& params, const QString& message)
{
    if (dm.count(sql, params) <= 0)
        return false;
    prompter.message(message, u"Ошибка"_s, ui::ErrorOk);
    return true;
}

} // namespace tabel::catalog
