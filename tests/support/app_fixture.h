#pragma once
// The whole program for a window test: a fresh database, the scripted Prompter, a temporary
// application-data folder and Forms started on them (offscreen). Termination is recorded.
#include "app/forms.h"
#include "support/scripted_prompter.h"
#include "support/test_db.h"

#include <QTemporaryDir>
#include <memory>

namespace tabel::test {

class AppFixture {
public:
    struct Setup {
        QStringList arguments; // the command line: server, database
        app::BuildStamp build { 20260101, 3600 };
        QString defaultDatabase; // empty: the fresh database
        bool start = true; // create Forms at once
    };

    AppFixture();
    explicit AppFixture(Setup setup);
    ~AppFixture();

    void start();
    app::Forms& forms() { return *forms_; }
    FreshDatabase& db() { return *db_; }
    ScriptedPrompter& prompter() { return prompter_; }
    app::StartOptions& options() { return options_; }
    QString appData() const { return dir_.path(); }
    int terminations() const { return terminations_; }
    // The spreadsheets the program wrote and would have opened with the desktop's application.
    const QStringList& openedSpreadsheets() const { return opened_; }

private:
    ScriptedPrompter prompter_;
    std::unique_ptr<FreshDatabase> db_;
    QTemporaryDir dir_;
    app::StartOptions options_;
    int terminations_ = 0;
    QStringList opened_;
    std::unique_ptr<app::Forms> forms_;
};

} // namespace tabel::test
