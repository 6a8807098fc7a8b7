#pragma once
// The version guard: the newest build to start stamps accounts_dep.ver; a build older than the
// stamp must stop.
#include "db/connection.h"
#include "session/build_stamp.h"

namespace tabel::app {

enum class VersionVerdict { Current, NewerInDatabase };

// Stamps the table when it knows only older builds (an empty table gets its first row), then
// compares again. Throws DbError when the table cannot be read or written.
VersionVerdict checkVersion(db::Connection& connection, const BuildStamp& build);

} // namespace tabel::app
