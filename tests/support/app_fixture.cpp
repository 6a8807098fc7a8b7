#include "support/app_fixture.h"

#include "excel/spreadsheet_backend.h"
#include "support/spreadsheets.h"

using namespace Qt::StringLiterals;

namespace tabel::test {

AppFixture::AppFixture()
    : AppFixture(Setup {})
{
}

AppFixture::AppFixture(Setup setup)
    : db_(std::make_unique<FreshDatabase>())
{
    const db::ConnectionSettings server = serverSettings(db_->name());
    options_.site = app::SiteSettings::fromBuild();
    options_.site.defaultServer = server.server;
    options_.site.defaultDatabase = setup.defaultDatabase.isEmpty() ? db_->name() : setup.defaultDatabase;
    options_.site.port = server.port;
    options_.arguments = setup.arguments;
    options_.appDataFolder = dir_.path();
    options_.build = setup.build;
    options_.driver = server.driver;
    options_.quit = [this] { ++terminations_; };
    options_.spreadsheets = [this] { return xlsxInto(dir_.path(), opened_); };
    if (setup.start)
        start();
}

AppFixture::~AppFixture()
{
    forms_.reset();
    db_.reset();
}

void AppFixture::start()
{
    forms_ = std::make_unique<app::Forms>(prompter_, options_);
}

} // namespace tabel::test
