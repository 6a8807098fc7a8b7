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

    ~ScriptedPrompter() override;

    // The next question is answered so. A question nobody scripted fails the test (and gets
    // No); answers or window actions left unused fail it at the end.
    void answer(ui::Answer a) { answers_.push_back(a); }
    // The next modal window runs this while open; it closes the window with accept()/reject() or
    // leaves it open (it is then rejected). Without one the window is rejected at once.
    void whileOpen(std::function<void(QDialog&)> action) { actions_.push_back(std::move(action)); }
    // Runs while the next message or error box is open (a timer firing meanwhile, say).
    void whileShown(std::function<void()> action) { whileShown_ = std::move(action); }

    // The next save question is answered with this path (an unscripted one fails the test).
    void saveAs(const QString& path) { paths_.push_back(path); }

    ui::Answer message(const QString& text, const QString& caption, int flags) override;
    QString saveFileName(const QString& caption, const QString& suggested, const QString& filter) override;
    void generalError(const QString& text) override;
    int exec(QDialog& dialog) override;

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList texts() const;
    int execCount() const { return execCount_; }
    void clear() { shown_.clear(); }
    // Fails the test for scripted answers or window actions nobody used, and forgets them.
    void verifyAllUsed();

private:
    void runWhileShown();

public:
private:
    std::vector<Shown> shown_;
    std::deque<ui::Answer> answers_;
    std::deque<QString> paths_;
    std::deque<std::function<void(QDialog&)>> actions_;
    std::function<void()> whileShown_;
    int execCount_ = 0;
};

} // namespace tabel::test
