#include "session/version_guard.h"

#include "core/error.h"
#include "session/version_check.h"
#include "ui/prompter.h"

using namespace Qt::StringLiterals;

namespace tabel::app {

VersionGuard::VersionGuard(ui::Prompter& prompter, db::Connection& connection, const Session& session,
    std::function<void()> stopping, std::function<void()> terminate)
    : prompter_(prompter)
    , connection_(connection)
    , session_(session)
    , stopping_(std::move(stopping))
    , terminate_(std::move(terminate))
{
}

VersionGuard::Outcome VersionGuard::check()
{
    if (running_)
        return Outcome::Busy;
    running_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset { running_ };
    try {
        if (!connection_.isOpen()) { // before login the built-in connection, afterwards the user's
            if (session_.connection.password.isEmpty() && session_.login.isEmpty())
                return Outcome::Current; // no system account here: the journal checks after login
            connection_.open(session_.connection);
        }
        if (checkVersion(connection_, session_.build) == VersionVerdict::Current)
            return Outcome::Current;
    } catch (const Error& e) {
        prompter_.generalError(e.text());
        return Outcome::Failed;
    }
    stopping_();
    prompter_.message(
        u"Версия программы не соответсвует БД! Запустите программу через 5 мин."_s, u"Ошибка"_s, ui::ErrorOk);
    terminate_();
    return Outcome::Stopping;
}

} // namespace tabel::app
