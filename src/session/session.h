#pragma once
// Session: what the program knows of the run and of the user logged in. Forms holds the one
// value; the login window fills it and the windows read it.
#include "db/connection_settings.h"
#include "session/build_stamp.h"
#include "session/roles.h"
#include "session/site_settings.h"

#include <QString>

namespace tabel::app {

struct Session {
    SiteSettings site;
    QString server; // command-line argument 1; empty when not given
    QString database; // command-line argument 2
    db::Driver driver = db::Driver::Psql;
    BuildStamp build;

    // Set by the login: the trimmed login (or "sys" for the access code), its password, its
    // rights, and the settings the connection was opened with. Before login the connection is
    // the built-in one.
    QString login;
    QString password;
    JournalRights rights;
    db::ConnectionSettings connection;

    // The built-in connection: the site's server and database as the system account.
    db::ConnectionSettings defaultConnection() const;
    // The connection of a login: the command line's server and database when both are given,
    // otherwise the built-in connection (which logs in as "sys" whatever was typed).
    db::ConnectionSettings loginConnection(const QString& login, const QString& password) const;
};

} // namespace tabel::app
