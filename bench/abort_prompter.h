#pragma once
// The message seam of the window benchmarks: no box may appear in a benchmark, a message ends it.
#include "ui/prompter.h"

#include <QDialog>
#include <cstdio>
#include <cstdlib>

namespace tabel::bench {

class AbortPrompter final : public ui::Prompter {
public:
    ui::Answer message(const QString& text, const QString&, int) override { fail(text); }
    void generalError(const QString& text) override { fail(text); }
    int exec(QDialog& dialog) override { return dialog.exec(); }
    QString saveFileName(const QString& caption, const QString&, const QString&) override { fail(caption); }

private:
    [[noreturn]] static void fail(const QString& text)
    {
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(text));
        std::exit(1);
    }
};

} // namespace tabel::bench
