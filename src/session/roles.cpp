#include "session/roles.h"

using namespace Qt::StringLiterals;

namespace tabel::app {

JournalRights rightsFor(const QString& login, const SiteSettings& site)
{
    JournalRights r;
    if (site.restrictedLogins.contains(login)) {
        r.accept = true;
        r.acceptOnly = true;
    } else if (login == u"sys"_s || (!site.extraRightsLogin.isEmpty() && login == site.extraRightsLogin)) {
        r.enter = r.accept = r.menus = true;
    } else {
        r.enter = r.menus = true;
        r.readOnly = login == u"econom"_s;
    }
    return r;
}

} // namespace tabel::app
