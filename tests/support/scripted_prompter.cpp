#include "support/scripted_prompter.h"

#include <QCoreApplication>
#include <QTest>
#include <utility>

using namespace Qt::StringLiterals;

namespace tabel::test {

ui::Answer ScriptedPrompter::message(const QString& text, const QString& caption, int flags)
{
    shown_.push_back({ text, caption, flags, false });
    runWhileShown();
    const bool question = flags == ui::QuestionYesNo || flags == ui::WarningYesNo;
    if (!question)
        return ui::Answer::Ok;
    if (answers_.empty()) {
        QTest::qFail(qPrintable(u"a question nobody scripted: "_s + text), __FILE__, __LINE__);
        return ui::Answer::No;
    }
    const ui::Answer a = answers_.front();
    answers_.pop_front();
    return a;
}

QString ScriptedPrompter::saveFileName(const QString& caption, const QString&, const QString&)
{
    if (paths_.empty()) {
        QTest::qFail(qPrintable(u"a save question nobody scripted: "_s + caption), __FILE__, __LINE__);
        return {};
    }
    QString path = paths_.front();
    paths_.pop_front();
    return path;
}

void ScriptedPrompter::generalError(const QString& text)
{
    shown_.push_back({ text, u"Ошибка"_s, ui::ErrorOk, true });
    runWhileShown();
}

void ScriptedPrompter::runWhileShown()
{
    if (auto action = std::exchange(whileShown_, nullptr))
        action();
}

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

ScriptedPrompter::~ScriptedPrompter()
{
    verifyAllUsed();
}

void ScriptedPrompter::verifyAllUsed()
{
    if (!answers_.empty())
        QTest::qFail(
            qPrintable(QString::number(answers_.size()) + u" scripted answer(s) never used"_s), __FILE__, __LINE__);
    if (!actions_.empty())
        QTest::qFail(qPrintable(QString::number(actions_.size()) + u" scripted window action(s) never used"_s),
            __FILE__, __LINE__);
    if (whileShown_)
        QTest::qFail("a scripted action for an open box never ran", __FILE__, __LINE__);
    if (!paths_.empty())
        QTest::qFail("a scripted file name never asked for", __FILE__, __LINE__);
    paths_.clear();
    answers_.clear();
    actions_.clear();
    whileShown_ = nullptr;
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const Shown& s : shown_)
        out << s.text;
    return out;
}

} // namespace tabel::test
