#include "session/session.h"

using namespace Qt::StringLiterals;

namespace tabel::app {

db::ConnectionSettings Session::defaultConnection() const
{
    db::ConnectionSettings s;
    s.server = site.defaultServer;
    s.database = site.defaultDatabase;
    s.port = site.port;
    s.login = u"sys"_s;
    s.password = u"tovmask"_s;
    s.driver = driver;
    return s;
}

db::ConnectionSettings Session::loginConnection(const QString& typedLogin, const QString& typedPassword) const
{
    db::ConnectionSettings s = defaultConnection();
    if (server.isEmpty() || database.isEmpty())
        return s;
    s.server = server;
    s.database = database;
    s.login = typedLogin;
    s.password = typedPassword;
    return s;
}

} // namespace tabel::app
