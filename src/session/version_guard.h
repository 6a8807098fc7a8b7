#pragma once
// The version guard both timers run (the login window at its activation, the journal every 30
// seconds): the newest build stamps the database; an older one tells its user and stops. One
// check at a time: while its message or error box is open, a second check does nothing, so no
// boxes stack up while the database stays unreachable.
#include "db/connection.h"
#include "session/session.h"

#include <functional>

namespace tabel::ui {
class Prompter;
}

namespace tabel::app {

class VersionGuard {
public:
    enum class Outcome { Current, Stopping, Failed, Busy };

    // stopping: runs before the message of a newer build (starts the login window's 5.5 s timer);
    // terminate: ends the application after it.
    VersionGuard(ui::Prompter& prompter, db::Connection& connection, const Session& session,
        std::function<void()> stopping, std::function<void()> terminate);

    // Checks; a database error is shown in the general error box and gives Failed. A lost
    // connection is opened again with the session's settings first.
    Outcome check();

private:
    ui::Prompter& prompter_;
    db::Connection& connection_;
    const Session& session_;
    std::function<void()> stopping_;
    std::function<void()> terminate_;
    bool running_ = false;
};

} // namespace tabel::app
