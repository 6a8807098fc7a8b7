#pragma once
// The settings of one installation, read at start from the site file (INI: /etc/tabel/site.conf,
// or the file TABEL_SITE_FILE names), with the values this build was made with as defaults. At
// run time TABEL_DB_PORT and TABEL_SQL_DRIVER still override the port and the driver.
#include "core/error.h"
#include "db/connection_settings.h"

#include <QString>
#include <QStringList>

namespace tabel::app {

struct SiteSettings {
    QString defaultServer; // server of the built-in connection
    QString defaultDatabase; // database of the built-in connection
    int port = 5432; // port of every connection
    db::Driver driver = db::Driver::Psql;
    QStringList restrictedLogins; // may only accept records
    QString extraRightsLogin; // like sys, may also accept records
    QString accessCode; // typed as the password, logs in as the system account; empty: off
    QString systemLogin; // the built-in connection's account
    QString systemPassword; // empty: the built-in connection uses the typed login and password
    QString file; // the site file in force; empty when none was read

    // The settings this build was made with, and TABEL_DB_PORT and TABEL_SQL_DRIVER when set.
    static SiteSettings fromBuild();
    // The build's settings overridden by the site file: TABEL_SITE_FILE when set (it must exist),
    // else /etc/tabel/site.conf when there is one. Throws SiteFileError for a file that cannot be
    // read or holds an unknown section or key or a bad value; never falls back to the defaults.
    static SiteSettings read();
    // The same from a given file.
    static SiteSettings readFile(const QString& path);
};

// What is wrong with a site file, naming the file, the line and the key.
class SiteFileError : public Error {
public:
    using Error::Error;
};

} // namespace tabel::app
