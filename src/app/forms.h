#pragma once
// Forms: the composition root. It runs the start-up sequence in the program's order and holds
// the session, the data module and every window, each created once; a window receives only what
// it uses. Nothing here is global.
#include "db/connection_settings.h"
#include "session/build_stamp.h"
#include "session/session.h"
#include "session/site_settings.h"

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
namespace tabel::catalog {
class TForm3;
class TForm4;
class TForm5;
class TForm8;
class TForm9;
class TForm10;
class TForm22;
} // namespace tabel::catalog
namespace tabel::entry {
class TForm11;
class TForm24;
} // namespace tabel::entry
namespace tabel::timesheet {
class TForm15;
class TForm19;
} // namespace tabel::timesheet
namespace tabel::reports {
class TForm18;
}
namespace tabel::excel {
class ExcelLink;
class SpreadsheetBackend;
} // namespace tabel::excel

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
    // Makes the backend of a spreadsheet link; empty: .xlsx files in the temporary folder, opened
    // with the desktop's application.
    std::function<std::unique_ptr<excel::SpreadsheetBackend>()> spreadsheets;
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
    catalog::TForm3& products() const { return *products_; }
    catalog::TForm4& operations() const { return *operations_; }
    catalog::TForm5& workers() const { return *workers_; }
    catalog::TForm8& types() const { return *types_; }
    catalog::TForm9& typeDialog() const { return *typeDialog_; }
    catalog::TForm10& operationDialog() const { return *operationDialog_; }
    catalog::TForm22& norms() const { return *norms_; }
    entry::TForm11& editor() const { return *editor_; }
    entry::TForm24& materials() const { return *materials_; }
    timesheet::TForm19& timesheet() const { return *timesheet_; }
    timesheet::TForm15& printedTimesheet() const { return *printedTimesheet_; }
    reports::TForm18& reportSelection() const { return *reportSelection_; }
    // The spreadsheet link of the operation list and the reports.
    excel::ExcelLink& excel() const { return *excel_; }

    // Ends the application: its event loops stop, and a loop not yet started does not run.
    void terminate();
    bool terminated() const { return terminated_; }

private:
    std::unique_ptr<excel::SpreadsheetBackend> newSpreadsheet() const;

    ui::Prompter& prompter_;
    StartOptions options_;
    Session session_;
    bool terminated_ = false;
    std::unique_ptr<ui::Appearance> appearance_;
    std::unique_ptr<db::TDataModule6> dataModule_;
    std::unique_ptr<VersionGuard> versionGuard_;
    std::unique_ptr<TForm1> journal_;
    std::unique_ptr<TForm23> login_;
    std::unique_ptr<excel::ExcelLink> excel_;
    std::unique_ptr<catalog::TForm3> products_;
    std::unique_ptr<catalog::TForm5> workers_;
    std::unique_ptr<catalog::TForm9> typeDialog_;
    std::unique_ptr<catalog::TForm8> types_;
    std::unique_ptr<catalog::TForm10> operationDialog_;
    std::unique_ptr<catalog::TForm22> norms_;
    std::unique_ptr<catalog::TForm4> operations_;
    std::unique_ptr<entry::TForm24> materials_;
    std::unique_ptr<entry::TForm11> editor_;
    std::unique_ptr<excel::ExcelLink> timesheetExcel_; // the timesheet's own link
    std::unique_ptr<timesheet::TForm15> printedTimesheet_;
    std::unique_ptr<timesheet::TForm19> timesheet_;
    std::unique_ptr<reports::TForm18> reportSelection_;
};

} // namespace tabel::app
