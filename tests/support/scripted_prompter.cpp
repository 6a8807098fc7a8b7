#include "support/scripted_prompter.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace tabel::test {

ui::Answer ScriptedPrompter::message(const QString& text, const QString& caption, int flags)
{
    shown_.push_back({text, caption, flags, false});
    const bool question = flags == ui::QuestionYesNo || flags == ui::WarningYesNo;
    if (!question)
        return ui::Answer::Ok;
    if (answers_.empty())
        return ui::Answer::Yes;
    const ui::Answer a = answers_.front();
    answers_.pop_front();
    return a;
}

void ScriptedPrompter::generalError(const QString& text) { shown_.push_back({text, u"Ошибка"_s, ui::ErrorOk, true}); }

int ScriptedPrompter::exec(QDialog& dialog)
{
    ++execCount_;
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    QCoreApplication::processEvents();
    if (!actions_.empty()) {
        auto action = std::move(actions_.front());
        actions_.pop_front();
        action(dialog);
    }
    if (dialog.isVisible())
        dialog.done(QDialog::Rejected);
    return dialog.result();
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const Shown& s : shown_)
        out << s.text;
    return out;
}

} // namespace tabel::test
