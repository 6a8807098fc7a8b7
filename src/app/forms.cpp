#include "app/forms.h"

#include "app/login_window.h"
#include "app/version_guard.h"
#include "db/data_module.h"
#include "journal/journal_window.h"
#include "ui/appearance.h"

#include <QCoreApplication>

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
    // The windows that follow the journal arrive with their own parts of the program.
}

Forms::~Forms() = default; // members go in reverse: login, journal, guard, data module, appearance

void Forms::terminate()
{
    terminated_ = true;
    if (options_.quit)
        options_.quit();
    else
        QCoreApplication::exit(0);
}

} // namespace tabel::app
