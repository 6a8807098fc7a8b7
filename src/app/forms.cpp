#include "app/forms.h"

#include "app/login_window.h"
#include "db/data_module.h"
#include "journal/journal_window.h"
#include "ui/appearance.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace tabel::app {

Forms::Forms(ui::Prompter& prompter, StartOptions options) : prompter_(prompter), options_(std::move(options))
{
    appearance_ = std::make_unique<ui::Appearance>(prompter_, options_.appDataFolder);
    appearance_->startUp();
    journal_ = std::make_unique<TForm1>(*this);
    journal_->FormCreate();
    // The windows that follow the journal arrive with their own parts of the program.
}

Forms::~Forms() = default; // members go in reverse: login, journal, data module, appearance

void Forms::createDataModule() { dataModule_ = std::make_unique<db::TDataModule6>(); }

void Forms::createLogin()
{
    login_ = std::make_unique<TForm23>(*this);
    login_->show(); // visible from its creation: its first activation runs the version check
}

db::ConnectionSettings Forms::defaultConnection() const
{
    db::ConnectionSettings s;
    s.server = options_.site.defaultServer;
    s.database = options_.site.defaultDatabase;
    s.port = options_.site.port;
    s.login = u"sys"_s;
    s.password = u"tovmask"_s;
    s.driver = options_.driver;
    return s;
}

db::ConnectionSettings Forms::loginConnection(const QString& login, const QString& password) const
{
    if (server().isEmpty() || database().isEmpty())
        return defaultConnection();
    db::ConnectionSettings s = defaultConnection();
    s.server = server();
    s.database = database();
    s.login = login;
    s.password = password;
    return s;
}

void Forms::terminate()
{
    terminated_ = true;
    if (options_.quit)
        options_.quit();
    else
        QCoreApplication::exit(0);
}

} // namespace tabel::app
