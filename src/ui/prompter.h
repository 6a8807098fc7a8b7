#pragma once
// The only way the program shows a message box or runs a modal window. The real one uses
// QMessageBox and QDialog::exec; tests install a scripted one, so handler code runs unchanged.
#include <QString>

class QDialog;

namespace tabel::ui {

// Message flags of the program: the icon and buttons of a box.
enum MessageFlags : int {
    ErrorOk = 16, // error icon, OK
    QuestionYesNo = 36, // question icon, Yes/No
    WarningYesNo = 52, // warning icon, Yes/No
    InformationOk = 64, // information icon, OK
};

enum class Answer { Ok, Yes, No };

class Prompter {
public:
    virtual ~Prompter() = default;
    // Shows a box and returns the button pressed.
    virtual Answer message(const QString& text, const QString& caption, int flags) = 0;
    // The general error box for an error that ended a handler.
    virtual void generalError(const QString& text) = 0;
    // Runs the window modally and returns its result (QDialog::Accepted / Rejected).
    virtual int exec(QDialog& dialog) = 0;
    // Asks where to save a file; empty when the user cancelled.
    virtual QString saveFileName(const QString& caption, const QString& suggested, const QString& filter) = 0;
};

class WidgetPrompter final : public Prompter {
public:
    Answer message(const QString& text, const QString& caption, int flags) override;
    void generalError(const QString& text) override;
    int exec(QDialog& dialog) override;
    QString saveFileName(const QString& caption, const QString& suggested, const QString& filter) override;
};

} // namespace tabel::ui
