#include "session/session.h"

using namespace Qt::StringLiterals;

namespace tabel::app {

db::ConnectionSettings Session::defaultConnection() const
{
    db::ConnectionSettings s;
    s.server = site.defaultServer;
    s.database = site.defaultDatabase;
    s.port = site.port;
    s.login = site.systemLogin;
    s.password = site.systemPassword;
    s.driver = driver;
    // the version check before login runs on the window's thread every 30 s: an unreachable
    // built-in server may hold the window only a moment
    s.connectTimeout = 2;
    return s;
}

db::ConnectionSettings Session::loginConnection(const QString& typedLogin, const QString& typedPassword) const
{
    db::ConnectionSettings s = defaultConnection();
    s.connectTimeout = db::ConnectionSettings {}.connectTimeout; // the user waits for a login
    if (site.systemPassword.isEmpty()) { // no system account at this site: the user's own login
        s.login = typedLogin;
        s.password = typedPassword;
    }
    if (server.isEmpty() || database.isEmpty())
        return s;
    s.server = server;
    s.database = database;
    s.login = typedLogin;
    s.password = typedPassword;
    return s;
}

} // namespace tabel::app
