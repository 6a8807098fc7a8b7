#include "app/forms.h"

#include "app/login_window.h"
#include "catalog/norms_editor.h"
#include "catalog/operation_dialog.h"
#include "catalog/operation_list.h"
#include "catalog/product_list.h"
#include "catalog/type_dialog.h"
#include "catalog/type_list.h"
#include "catalog/worker_list.h"
#include "db/data_module.h"
#include "entry/material_dialog.h"
#include "entry/record_editor.h"
#include "excel/excel_link.h"
#include "excel/xlsx_backend.h"
#include "journal/journal_window.h"
#include "reports/report_selection.h"
#include "session/version_guard.h"
#include "timesheet/printed_timesheet.h"
#include "timesheet/timesheet_window.h"
#include "ui/appearance.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>

namespace tabel::app {

Forms::Forms(ui::Prompter& prompter, StartOptions options)
    : prompter_(prompter)
    , options_(std::move(options))
{
    session_.site = options_.site;
    session_.server = options_.arguments.value(0);
    session_.database = options_.arguments.value(1);
    session_.driver = options_.driver;
    session_.build = options_.build;
    session_.connection = session_.defaultConnection();

    appearance_ = std::make_unique<ui::Appearance>(prompter_, options_.appDataFolder);
    appearance_->startUp();
    // The data module opens nothing when it is made, so making it just before the journal (whose
    // grid is bound to its queries) is the journal creation's own step, not a change of order.
    dataModule_ = std::make_unique<db::TDataModule6>();
    versionGuard_ = std::make_unique<VersionGuard>(
        prompter_, dataModule_->ADO_DB, session_, [this] { login_->Timer1.start(); }, [this] { terminate(); });
    journal_ = std::make_unique<TForm1>(prompter_, *dataModule_, session_, *appearance_, *versionGuard_);
    journal_->FormCreate();
    login_ = std::make_unique<TForm23>(
        prompter_, *dataModule_, session_, *versionGuard_, *journal_, [this] { terminate(); });
    login_->show(); // visible from its creation: its first activation runs the version check

    excel_ = std::make_unique<excel::ExcelLink>(prompter_, newSpreadsheet());
    QWidget* main = journal_.get(); // the windows centre on the journal
    products_ = std::make_unique<catalog::TForm3>(prompter_, *dataModule_, main);
    workers_ = std::make_unique<catalog::TForm5>(prompter_, *dataModule_, main);
    typeDialog_ = std::make_unique<catalog::TForm9>(prompter_, *dataModule_, main);
    types_ = std::make_unique<catalog::TForm8>(prompter_, *dataModule_, *typeDialog_, main);
    operationDialog_ = std::make_unique<catalog::TForm10>(prompter_, *dataModule_, *products_, *types_, main);
    norms_ = std::make_unique<catalog::TForm22>(prompter_, *dataModule_, main);
    operations_ = std::make_unique<catalog::TForm4>(
        prompter_, *dataModule_, *operationDialog_, *norms_, *excel_,
        [this] {
            return catalog::ShiftDay { journal_->CBox1->isChecked(), journal_->currentShift() };
        },
        main);
    journal_->attachCatalogs(*types_, *operations_);
    materials_ = std::make_unique<entry::TForm24>(prompter_, *dataModule_, main);
    editor_ = std::make_unique<entry::TForm11>(
        prompter_, *dataModule_, *journal_, *workers_, *operations_, *materials_, main);
    operations_->setRequisitionContext(editor_.get());
    journal_->attachEditor(*editor_);
    timesheetExcel_ = std::make_unique<excel::ExcelLink>(prompter_, newSpreadsheet());
    printedTimesheet_ = std::make_unique<timesheet::TForm15>(*dataModule_);
    timesheet_
        = std::make_unique<timesheet::TForm19>(prompter_, *dataModule_, *timesheetExcel_, *printedTimesheet_, main);
    journal_->attachTimesheet(*timesheet_);
    reportSelection_ = std::make_unique<reports::TForm18>(prompter_, *dataModule_, *excel_, main);
    journal_->attachReports(*reportSelection_);
}

std::unique_ptr<excel::SpreadsheetBackend> Forms::newSpreadsheet() const
{
    if (options_.spreadsheets)
        return options_.spreadsheets();
    return std::make_unique<excel::XlsxBackend>(QDir::tempPath());
}

// Members go in reverse: the catalogues, the spreadsheet link, login, journal, guard, data module,
// appearance.
Forms::~Forms() = default;

void Forms::terminate()
{
    terminated_ = true;
    if (options_.quit)
        options_.quit();
    else
        QCoreApplication::exit(0);
}

} // namespace tabel::app
