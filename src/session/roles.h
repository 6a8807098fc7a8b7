#pragma once
// What the journal lets a login do. The login is compared exactly (letter case included), after
// its surrounding blanks were removed.
#include "session/site_settings.h"

namespace tabel::app {

struct JournalRights {
    bool enter = false; // "Добавить", "Изменить", "Удалить"
    bool accept = false; // "Принять" (and, for accept-only logins, the double click)
    bool menus = false; // "Справочники", "Табель по времени", "Отчеты"
    bool acceptOnly = false; // a restricted login: the double click accepts
    bool readOnly = false; // "econom": the view with the reports and the exit only
};

JournalRights rightsFor(const QString& login, const SiteSettings& site);

} // namespace tabel::app
