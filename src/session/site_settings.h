#pragma once
// The settings of one installation: chosen at build time (CMake cache variables, see README);
// the database port may also be given at run time by TABEL_DB_PORT.
#include <QString>
#include <QStringList>

namespace tabel::app {

struct SiteSettings {
    QString defaultServer; // server of the built-in connection
    QString defaultDatabase; // database of the built-in connection
    int port = 5432; // port of every connection
    QStringList restrictedLogins; // may only accept records
    QString extraRightsLogin; // like sys, may also accept records

    // The settings this build was made with, and TABEL_DB_PORT when set.
    static SiteSettings fromBuild();
};

} // namespace tabel::app
