#include "app/login_window.h"

#include "app/forms.h"
#include "app/roles.h"
#include "app/version_check.h"
#include "db/data_module.h"
#include "db/db_error.h"
#include "journal/journal_window.h"
#include "ui/guard.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tabel::app {
namespace {

const QString accessCode = u"4162"_s;

} // namespace

TForm23::TForm23(Forms& forms)
    : Label3(new QLabel(this)), Label1(new QLabel(u"Логин"_s, this)), Edit1(new QLineEdit(this)),
      Label2(new QLabel(u"Пароль"_s, this)), Edit2(new QLineEdit(this)), Button1(new QPushButton(u"Вход"_s, this)),
      Button2(new QPushButton(u"Отмена"_s, this)), forms_(forms)
{
    setWindowTitle(u"Авторизация"_s);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Edit2->setEchoMode(QLineEdit::Password);
    Button1->setDefault(true);

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

    Timer1.setInterval(5500);
    Timer1.setSingleShot(false);

    ui::Prompter& p = forms.prompter();
    connect(Button1, &QPushButton::clicked, this, ui::guard(p, [this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, ui::guard(p, [this] { Button2Click(); }));
    connect(&Timer1, &QTimer::timeout, this, ui::guard(p, [this] { Timer1Timer(); }));
    // Closing the main window ends the program (Escape, the close box, "Отмена", the journal's end).
    connect(this, &QDialog::finished, this, [this] { forms_.terminate(); });
}

void TForm23::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    Edit1->setFocus();
    ui::runGuarded(forms_.prompter(), [this] { FormActivate(); });
}

void TForm23::versionCheck()
{
    if (checking_) // a message of the previous check is still open
        return;
    checking_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{checking_};
    TForm1& journal = forms_.journal();
    journal.buildDate = forms_.build().date;
    journal.buildTime = forms_.build().time;
    db::Connection& conn = forms_.dataModule().ADO_DB;
    if (!conn.isOpen()) // before login: the built-in connection
        conn.open(forms_.defaultConnection());
    if (checkVersion(conn, forms_.build()) == VersionVerdict::NewerInDatabase) {
        Timer1.start();
        forms_.prompter().message(u"Версия программы не соответсвует БД! Запустите программу через 5 мин."_s, u"Ошибка"_s,
                                  ui::ErrorOk);
        forms_.terminate();
    }
}

void TForm23::FormActivate()
{
    versionCheck();
    Label3->setText(u"Сервер: "_s + forms_.server() + u", БД: "_s + forms_.database());
    setWindowTitle(u"Авторизация (build: "_s + forms_.build().text() + u")"_s);
}

void TForm23::Button1Click()
{
    TForm1& journal = forms_.journal();
    journal.currentShift = 1;
    journal.currentLogin = Edit1->text().trimmed();
    journal.currentPassword = Edit2->text().trimmed();
    if (Edit2->text().trimmed() == accessCode) {
        journal.currentLogin = u"sys"_s;
        journal.currentPassword = u"tovmask"_s;
    }
    db::TDataModule6& dm = forms_.dataModule();
    try {
        dm.ADO_DB.close();
        dm.ADO_DB.open(forms_.loginConnection(journal.currentLogin, journal.currentPassword));
    } catch (const db::DbError&) {
        forms_.prompter().message(u"Подключение к БД отсутсвует (сервер: "_s + forms_.server() + u", БД: "_s
                                      + forms_.database() + u")"_s,
                                  u"Ошибка"_s, ui::ErrorOk);
        forms_.terminate();
        return;
    }
    const JournalRights rights = rightsFor(journal.currentLogin, forms_.site());
    journal.applyRights(rights);
    for (int shift = 1; shift <= 4; ++shift)
        dm.smenaQuery(shift).setParam(u"ok"_s, u"ta"_s);
    hide();
    if (!rights.readOnly)
        journal.setWindowTitle(u"Табель (Сервер: "_s + forms_.server() + u", БД: "_s + forms_.database()
                               + u", пользователь: "_s + journal.currentLogin + u")"_s);
    forms_.prompter().exec(journal);
    done(QDialog::Rejected); // the journal closed: so does the main window, and the program ends
}

void TForm23::Button2Click() { done(QDialog::Rejected); }

void TForm23::Timer1Timer()
{
    Timer1.stop();
    forms_.terminate();
}

} // namespace tabel::app
