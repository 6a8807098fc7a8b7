#pragma once
// Forms: every window of the program and the data module, created once at start-up in the
// program's order, each reaching the others through it. Nothing here is global.
#include "app/build_stamp.h"
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
}

namespace tabel::app {

class TForm1;
class TForm23;

struct StartOptions {
    SiteSettings site;
    QStringList arguments;     // the command line without the program: server, database
    QString appDataFolder;     // where t_style.txt lives
    BuildStamp build;          // this build's stamp
    db::Driver driver = db::Driver::Psql;
    std::function<void()> quit; // ends the event loops; tests record the call instead
};

class Forms {
public:
    // Start-up: applies the stored appearance, creates the journal (whose creation creates the
    // data module and the login window, shown at once), then the other windows, hidden.
    Forms(ui::Prompter& prompter, StartOptions options);
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    ui::Prompter& prompter() const { return prompter_; }
    ui::Appearance& appearance() const { return *appearance_; }
    db::TDataModule6& dataModule() const { return *dataModule_; }
    TForm1& journal() const { return *journal_; }
    TForm23& login() const { return *login_; }

    const SiteSettings& site() const { return options_.site; }
    const BuildStamp& build() const { return options_.build; }
    // Command-line argument 1 (server) and 2 (database); empty when not given.
    QString server() const { return options_.arguments.value(0); }
    QString database() const { return options_.arguments.value(1); }
    // The built-in connection: the site's server and database as the system account.
    db::ConnectionSettings defaultConnection() const;
    // The connection of a login: the command line's server and database when both are given,
    // otherwise the built-in connection.
    db::ConnectionSettings loginConnection(const QString& login, const QString& password) const;

    // Ends the application: its event loops stop, and a loop not yet started does not run.
    void terminate();
    bool terminated() const { return terminated_; }

    // Called by the journal's creation handler.
    void createDataModule();
    void createLogin();

private:
    ui::Prompter& prompter_;
    StartOptions options_;
    bool terminated_ = false;
    std::unique_ptr<ui::Appearance> appearance_;
    std::unique_ptr<db::TDataModule6> dataModule_;
    std::unique_ptr<TForm1> journal_;
    std::unique_ptr<TForm23> login_;
};

} // namespace tabel::app
