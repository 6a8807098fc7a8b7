#pragma once
// TForm23 "Авторизация": the login window and the program's main window. It runs the version
// check, connects with the typed login, gates the journal by the login and shows it modally;
// closing it ends the program.
#include <QDialog>
#include <QTimer>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tabel::app {

class Forms;

class TForm23 : public QDialog {
    Q_OBJECT
public:
    explicit TForm23(Forms& forms);

    QLabel* Label3;
    QLabel* Label1;
    QLineEdit* Edit1;
    QLabel* Label2;
    QLineEdit* Edit2;
    QPushButton* Button1;
    QPushButton* Button2;
    QTimer Timer1;

    void FormActivate();
    void Button1Click();
    void Button2Click();
    void Timer1Timer();
    // The version check, also run by the journal's timer. Ends the program when a newer build
    // has stamped the database; a database error propagates (the check is then skipped).
    void versionCheck();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Forms& forms_;
    bool checking_ = false;
};

} // namespace tabel::app
