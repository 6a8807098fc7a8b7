#pragma once
// Forms: the composition root. It runs the start-up sequence in the program's order and holds
// the session, the data module and every window, each created once; a window receives only what
// it uses. Nothing here is global.
#include "app/build_stamp.h"
#include "app/session.h"
#include "app/site_settings.h"
#include "db/connection_settings.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace tabel::db {
class TDataModule6;
}
namespace tabel::ui {
class Appearance;
class Prompter;
} // namespace tabel::ui

namespace tabel::app {

class TForm1;
class TForm23;
class VersionGuard;

struct StartOptions {
    SiteSettings site;
    QStringList arguments; // the command line without the program: server, database
    QString appDataFolder; // where t_style.txt lives
    BuildStamp build; // this build's stamp
    db::Driver driver = db::Driver::Psql;
    std::function<void()> quit; // ends the event loops; tests record the call instead
};

class Forms {
public:
    // Start-up: applies the stored appearance; creates the journal and fills its style list,
    // the data module, and the login window, which is shown at once (its activation runs the
    // version check); then the other windows, hidden.
    Forms(ui::Prompter& prompter, StartOptions options);
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    ui::Prompter& prompter() const { return prompter_; }
    ui::Appearance& appearance() const { return *appearance_; }
    db::TDataModule6& dataModule() const { return *dataModule_; }
    const Session& session() const { return session_; }
    VersionGuard& versionGuard() const { return *versionGuard_; }
    TForm1& journal() const { return *journal_; }
    TForm23& login() const { return *login_; }

    // Ends the application: its event loops stop, and a loop not yet started does not run.
    void terminate();
    bool terminated() const { return terminated_; }

private:
    ui::Prompter& prompter_;
    StartOptions options_;
    Session session_;
    bool terminated_ = false;
    std::unique_ptr<ui::Appearance> appearance_;
    std::unique_ptr<db::TDataModule6> dataModule_;
    std::unique_ptr<VersionGuard> versionGuard_;
    std::unique_ptr<TForm1> journal_;
    std::unique_ptr<TForm23> login_;
};

} // namespace tabel::app
