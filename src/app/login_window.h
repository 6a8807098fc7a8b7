#pragma once
// TForm23 "Авторизация": the login window and the program's main window. It runs the version
// check, connects with the typed login, fills the session, gates the journal by the login and
// shows it modally; closing it ends the program.
#include "ui/form.h"

#include <QTimer>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tabel::db {
class TDataModule6;
}

namespace tabel::app {

struct Session;
class TForm1;
class VersionGuard;

class TForm23 : public ui::Form {
    Q_OBJECT
public:
    TForm23(ui::Prompter& prompter, db::TDataModule6& dataModule, Session& session, VersionGuard& versionGuard,
        TForm1& journal, std::function<void()> terminate);

    QLabel* Label3;
    QLabel* Label1;
    QLineEdit* Edit1;
    QLabel* Label2;
    QLineEdit* Edit2;
    QPushButton* Button1;
    QPushButton* Button2;
    QTimer Timer1;

    void FormActivate() override;
    void Button1Click();
    void Button2Click();
    void Timer1Timer();

private:
    db::TDataModule6& dm_;
    Session& session_;
    VersionGuard& versionGuard_;
    TForm1& journal_;
    std::function<void()> terminate_;
};

} // namespace tabel::app
