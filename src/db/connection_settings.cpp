#include "db/connection_settings.h"

#include <QtGlobal>

using namespace Qt::StringLiterals;

namespace tabel::db {
namespace {

const QString blockA
    = u"ReadOnly=0;Protocol=7.4;FakeOidIndex=0;ShowOidColumn=0;RowVersioning=0;ShowSystemTables=0;Fetch=100;UnknownSizes=0;MaxVarcharSize=255;MaxLongVarcharSize=8190;"_s;
const QString blockB
    = u"Debug=0;CommLog=0;UseDeclareFetch=0;TextAsLongVarchar=1;UnknownsAsLongVarchar=0;BoolsAsChar=1;Parse=0;ExtraSysTablePrefixes=;LFConversion=1;UpdatableCursors=1;"_s;
const QString blockC
    = u"TrueIsMinus1=0;BI=0;ByteaAsLongVarBinary=1;UseServerSidePrepare=1;LowerCaseIdentifier=0;D6=-101;OptionalErrors=0;XaOpt=1"_s;

QString quoted(const QString& value)
{
    if (!value.contains(u';') && !value.contains(u'{') && !value.contains(u'}'))
        return value;
    QString escaped = value;
    escaped.replace(u"}"_s, u"}}"_s);
    return u'{' + escaped + u'}';
}

} // namespace

QString odbcConnectionString(const ConnectionSettings& s)
{
    return u"DRIVER={PostgreSQL UNICODE};DATABASE="_s + quoted(s.database) + u";SERVER="_s + quoted(s.server)
        + u";PORT="_s + QString::number(s.port) + u";UID="_s + quoted(s.login) + u";PWD="_s + quoted(s.password)
        + u";SSLmode=allow;"_s + blockA + blockB + blockC;
}

Driver driverFromEnvironment()
{
    return qEnvironmentVariable("TABEL_SQL_DRIVER").compare(u"QODBC"_s, Qt::CaseInsensitive) == 0 ? Driver::Odbc
                                                                                                  : Driver::Psql;
}

} // namespace tabel::db
