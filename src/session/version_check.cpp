#include "session/version_check.h"

#include "db/table.h"

using namespace Qt::StringLiterals;

namespace tabel::app {

VersionVerdict checkVersion(db::Connection& connection, const BuildStamp& build)
{
    db::Table ver(connection, u"accounts_dep.ver"_s);
    ver.open();
    ver.first();
    const auto read = [&ver] {
        return ver.isEmpty() ? BuildStamp {} : BuildStamp { ver.field(u"d"_s).toInt(), ver.field(u"t"_s).toInt() };
    };
    const BuildStamp known = read();
    if (known.date < build.date || (known.date == build.date && known.time < build.time)) {
        if (ver.isEmpty())
            ver.append();
        else
            ver.edit();
        ver.setField(u"d"_s, build.date);
        ver.setField(u"t"_s, build.time);
        ver.post();
    }
    const BuildStamp now = read();
    ver.close();
    if (now.date > build.date || (now.date == build.date && now.time > build.time))
        return VersionVerdict::NewerInDatabase;
    return VersionVerdict::Current;
}

} // namespace tabel::app
