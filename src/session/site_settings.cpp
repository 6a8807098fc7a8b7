#include "session/site_settings.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSettings>
#include <QtGlobal>

using namespace Qt::StringLiterals;

namespace tabel::app {
namespace {

const QString systemFile = u"/etc/tabel/site.conf"_s;

// Every key a site file may hold, by section.
const QHash<QString, QStringList>& knownKeys()
{
    static const QHash<QString, QStringList> keys = {
        { u"database"_s, { u"server"_s, u"database"_s, u"port"_s, u"driver"_s } },
        { u"roles"_s, { u"restricted_logins"_s, u"extra_rights_login"_s } },
        { u"login"_s, { u"access_code"_s, u"system_login"_s, u"system_password"_s } },
    };
    return keys;
}

void applyEnvironment(SiteSettings& s)
{
    bool ok = false;
    const int port = qEnvironmentVariable("TABEL_DB_PORT").toInt(&ok);
    if (ok && port > 0 && port <= 65535)
        s.port = port;
    if (qEnvironmentVariableIsSet("TABEL_SQL_DRIVER"))
        s.driver = db::driverFromEnvironment();
}

[[noreturn]] void fault(const QString& path, int line, const QString& key, const QString& what)
{
    throw SiteFileError(u"Файл настроек "_s + path + (line > 0 ? u", строка "_s + QString::number(line) : QString())
        + (key.isEmpty() ? QString() : u", параметр «"_s + key + u"»"_s) + u": "_s + what);
}

QStringList logins(const QString& list)
{
    QStringList out;
    for (const QString& login : list.split(u',', Qt::SkipEmptyParts))
        if (!login.trimmed().isEmpty())
            out << login.trimmed();
    return out;
}

} // namespace

SiteSettings SiteSettings::fromBuild()
{
    SiteSettings s;
    s.defaultServer = QString::fromUtf8(TABEL_DEFAULT_SERVER);
    s.defaultDatabase = QString::fromUtf8(TABEL_DEFAULT_DATABASE);
    s.restrictedLogins = logins(QString::fromUtf8(TABEL_RESTRICTED_LOGINS));
    s.extraRightsLogin = QString::fromUtf8(TABEL_EXTRA_RIGHTS_LOGIN).trimmed();
    s.accessCode = QString::fromUtf8(TABEL_ACCESS_CODE);
    s.systemLogin = QString::fromUtf8(TABEL_SYSTEM_LOGIN);
    s.systemPassword = QString::fromUtf8(TABEL_SYSTEM_PASSWORD);
    applyEnvironment(s);
    return s;
}

SiteSettings SiteSettings::read()
{
    const QString named = qEnvironmentVariable("TABEL_SITE_FILE");
    if (!named.isEmpty())
        return readFile(named);
    if (QFileInfo::exists(systemFile))
        return readFile(systemFile);
    return fromBuild();
}

SiteSettings SiteSettings::readFile(const QString& path)
{
    // Checked line by line first, so that a mistake is told with its line; QSettings then reads
    // the values (quotes, escapes) as it always does.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fault(path, 0, {}, u"не удаётся прочитать ("_s + file.errorString() + u")"_s);
    static const QRegularExpression sectionLine(uR"(^\[([^\]]*)\]$)"_s);
    static const QRegularExpression keyLine(uR"(^([^=]+?)\s*=.*$)"_s);
    QHash<QString, int> lineOf; // "section/key" → its line
    QString section;
    int number = 0;
    while (!file.atEnd()) {
        ++number;
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (const auto m = sectionLine.match(line); m.hasMatch()) {
            section = m.captured(1).trimmed();
            if (!knownKeys().contains(section))
                fault(path, number, {}, u"неизвестный раздел ["_s + section + u"]"_s);
            continue;
        }
        const auto m = keyLine.match(line);
        if (!m.hasMatch())
            fault(path, number, {}, u"строка не вида «параметр = значение»"_s);
        const QString key = m.captured(1).trimmed();
        if (section.isEmpty() || !knownKeys().value(section).contains(key))
            fault(path, number, key,
                u"неизвестный параметр"_s + (section.isEmpty() ? QString() : u" раздела ["_s + section + u"]"_s));
        lineOf[section + u'/' + key] = number;
    }

    const QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        fault(path, 0, {}, u"файл не в формате INI"_s);
    SiteSettings s = fromBuild();
    const auto text = [&](const QString& key, QString& into) {
        if (ini.contains(key))
            into = ini.value(key).toString().trimmed();
    };
    text(u"database/server"_s, s.defaultServer);
    text(u"database/database"_s, s.defaultDatabase);
    if (ini.contains(u"database/port"_s)) {
        bool ok = false;
        const int port = ini.value(u"database/port"_s).toString().trimmed().toInt(&ok);
        if (!ok || port < 1 || port > 65535)
            fault(path, lineOf.value(u"database/port"_s), u"port"_s, u"ожидается число от 1 до 65535"_s);
        s.port = port;
    }
    if (ini.contains(u"database/driver"_s)) {
        const QString driver = ini.value(u"database/driver"_s).toString().trimmed().toUpper();
        if (driver != u"QPSQL"_s && driver != u"QODBC"_s)
            fault(path, lineOf.value(u"database/driver"_s), u"driver"_s, u"ожидается QPSQL или QODBC"_s);
        s.driver = driver == u"QODBC"_s ? db::Driver::Odbc : db::Driver::Psql;
    }
    if (ini.contains(u"roles/restricted_logins"_s)) {
        // a comma list that QSettings may have read as a list already
        const QVariant v = ini.value(u"roles/restricted_logins"_s);
        s.restrictedLogins = logins(v.typeId() == QMetaType::QStringList ? v.toStringList().join(u',') : v.toString());
    }
    text(u"roles/extra_rights_login"_s, s.extraRightsLogin);
    text(u"login/access_code"_s, s.accessCode);
    text(u"login/system_login"_s, s.systemLogin);
    if (ini.contains(u"login/system_password"_s))
        s.systemPassword = ini.value(u"login/system_password"_s).toString();
    for (const QString& key : { u"database/server"_s, u"database/database"_s, u"login/system_login"_s })
        if (ini.contains(key) && ini.value(key).toString().trimmed().isEmpty())
            fault(path, lineOf.value(key), key.section(u'/', 1), u"пустое значение"_s);
    s.file = QFileInfo(path).absoluteFilePath();
    applyEnvironment(s);
    return s;
}

} // namespace tabel::app
