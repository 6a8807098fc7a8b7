#include "session/site_settings.h"

#include <QtGlobal>

using namespace Qt::StringLiterals;

namespace tabel::app {

SiteSettings SiteSettings::fromBuild()
{
    SiteSettings s;
    s.defaultServer = QString::fromUtf8(TABEL_DEFAULT_SERVER);
    s.defaultDatabase = QString::fromUtf8(TABEL_DEFAULT_DATABASE);
    for (const QString& login : QString::fromUtf8(TABEL_RESTRICTED_LOGINS).split(u',', Qt::SkipEmptyParts))
        s.restrictedLogins << login.trimmed();
    s.extraRightsLogin = QString::fromUtf8(TABEL_EXTRA_RIGHTS_LOGIN).trimmed();
    bool ok = false;
    const int port = qEnvironmentVariable("TABEL_DB_PORT").toInt(&ok);
    if (ok && port > 0)
        s.port = port;
    return s;
}

} // namespace tabel::app
