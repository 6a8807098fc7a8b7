#pragma once
// The program run with a command word writes a report, a summary or a timesheet to a file without
// a display, for offices that send them on a schedule:
//   tabel report KIND --from DD.MM.YYYY --to DD.MM.YYYY [--products …] --pdf FILE --login L
//   tabel summary --from … --to … [--products …] --xlsx FILE --login L
//   tabel timesheet --month M --year Y (--pdf FILE | --xlsx FILE) --login L [connection options]
// Connection options: --server S --database D (default: the site's built-in connection),
// --port P (default TABEL_DB_PORT, else 5432). The password comes only from TABEL_PASSWORD. The
// login's role decides what it may write, as in the windows.
#include "db/connection_settings.h"
#include "session/site_settings.h"

#include <QStringList>

namespace tabel::batch {

// Whether the command line asks for a batch run (a command word or --help).
bool isBatch(const QStringList& arguments);

struct Outcome {
    int code = 0; // 0 done, 1 failed, 2 a wrong command line
    QString message; // one line for standard error (or the help text for standard output)
};

// Runs the command (`arguments` without the program's name); `password` is TABEL_PASSWORD.
Outcome run(const QStringList& arguments, const app::SiteSettings& site, db::Driver driver, const QString& password);

// The usage text of --help.
QString usage();

} // namespace tabel::batch
