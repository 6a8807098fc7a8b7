#pragma once
// The test Prompter: records every message and error box, answers questions from a script, and
// runs a test's function while a "modal" window is open.
#include "ui/prompter.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

namespace tabel::test {

class ScriptedPrompter final : public ui::Prompter {
public:
    struct Shown {
        QString text;
        QString caption;
        int flags = 0;
        bool generalError = false;
    };

    // The next question is answered so; without a scripted answer a question gets Yes.
    void answer(ui::Answer a) { answers_.push_back(a); }
    // The next modal window runs this while open; it closes the window with accept()/reject() or
    // leaves it open (it is then rejected). Without one the window is rejected at once.
    void whileOpen(std::function<void(QDialog&)> action) { actions_.push_back(std::move(action)); }

    ui::Answer message(const QString& text, const QString& caption, int flags) override;
    void generalError(const QString& text) override;
    int exec(QDialog& dialog) override;

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList texts() const;
    int execCount() const { return execCount_; }
    void clear() { shown_.clear(); }

private:
    std::vector<Shown> shown_;
    std::deque<ui::Answer> answers_;
    std::deque<std::function<void(QDialog&)>> actions_;
    int execCount_ = 0;
};

} // namespace tabel::test
