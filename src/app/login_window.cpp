#include "app/login_window.h"

#include "db/data_module.h"
#include "db/db_error.h"
#include "journal/journal_window.h"
#include "session/roles.h"
#include "session/session.h"
#include "session/version_guard.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tabel::app {
namespace {

} // namespace

TForm23::TForm23(ui::Prompter& prompter, db::TDataModule6& dataModule, Session& session, VersionGuard& versionGuard,
    TForm1& journal, std::function<void()> terminate)
    : ui::Form(prompter)
    , Label3(new QLabel(this))
    , Label1(new QLabel(u"Логин"_s, this))
    , Edit1(new QLineEdit(this))
    , Label2(new QLabel(u"Пароль"_s, this))
    , Edit2(new QLineEdit(this))
    , Button1(new QPushButton(u"Вход"_s, this))
    , Button2(new QPushButton(u"Отмена"_s, this))
    , dm_(dataModule)
    , session_(session)
    , versionGuard_(versionGuard)
    , journal_(journal)
    , terminate_(std::move(terminate))
{
    setWindowTitle(u"Авторизация"_s);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Edit2->setEchoMode(QLineEdit::Password);
    Button1->setDefault(true); // Enter logs in

    auto* grid = new QGridLayout;
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Edit2, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label3);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setFixedSize(336, 125);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button1);
    setTabOrder(Button1, Button2);
    Edit1->setFocus();

    Timer1.setInterval(5500);
    on(Button1, &QPushButton::clicked, &TForm23::Button1Click);
    on(Button2, &QPushButton::clicked, &TForm23::Button2Click);
    on(&Timer1, &QTimer::timeout, &TForm23::Timer1Timer);
    // Closing the main window ends the program (Escape, the close box, "Отмена", the journal's end).
    connect(this, &QDialog::finished, this, [this] { terminate_(); });
}

void TForm23::FormActivate()
{
    Edit1->setFocus();
    if (versionGuard_.check() == VersionGuard::Outcome::Failed)
        return; // the texts stay unfilled; the journal's timer tries again
    Label3->setText(u"Сервер: "_s + session_.server + u", БД: "_s + session_.database);
    setWindowTitle(u"Авторизация (build: "_s + session_.build.text() + u")"_s);
}

void TForm23::Button1Click()
{
    journal_.setCurrentShift(1);
    QString login = Edit1->text().trimmed();
    QString password = Edit2->text().trimmed();
    const SiteSettings& site = session_.site;
    if (!site.accessCode.isEmpty() && password == site.accessCode) {
        login = site.systemLogin;
        password = site.systemPassword;
    }
    const db::ConnectionSettings settings = session_.loginConnection(login, password);
    try {
        dm_.ADO_DB.close();
        dm_.ADO_DB.open(settings);
    } catch (const db::DbError&) {
        prompter().message(
            u"Подключение к БД отсутсвует (сервер: "_s + session_.server + u", БД: "_s + session_.database + u")"_s,
            u"Ошибка"_s, ui::ErrorOk);
        terminate_();
        return;
    }
    session_.login = login;
    session_.password = password;
    session_.connection = settings;
    session_.rights = rightsFor(login, session_.site);
    journal_.applyRights(session_.rights);
    for (int shift = 1; shift <= 4; ++shift)
        dm_.smenaQuery(shift).setParam(u"ok"_s, u"ta"_s);
    hide();
    if (!session_.rights.readOnly)
        journal_.setWindowTitle(u"Табель (Сервер: "_s + session_.server + u", БД: "_s + session_.database
            + u", пользователь: "_s + login + u")"_s);
    prompter().exec(journal_);
    done(QDialog::Rejected); // the journal closed: so does the main window, and the program ends
}

void TForm23::Button2Click()
{
    done(QDialog::Rejected);
}

void TForm23::Timer1Timer()
{
    Timer1.stop();
    terminate_();
}

} // namespace tabel::app
