#pragma once
// Appearance styles: "Windows" (the platform's plain look) and the program's own palettes, applied
// to the whole application at once; names are matched without regard to letter case. The user's
// choice lives in t_style.txt in the user's application-data folder, one line with the name.
#include <QString>
#include <QStringList>

namespace tabel::ui {

class Prompter;

class Appearance {
public:
    // folder: where t_style.txt lives (created when missing).
    Appearance(Prompter& prompter, QString folder);

    // Every style name: "Windows" and the program's own, in alphabetical order.
    static QStringList styleNames();
    QString filePath() const;

    // Start-up: reads the file (creating or rewriting it with "Windows" when it is missing, empty
    // or its first line is empty) and applies the name it holds.
    void startUp();
    // Applies the style; a name no style has shows an error box and leaves the look as it is.
    bool apply(const QString& name);
    // Applies and stores the name (stored even when applying failed).
    void choose(const QString& name);
    // The display name of the style in force.
    const QString& current() const { return current_; }

private:
    void write(const QString& name) const;

    Prompter& prompter_;
    QString folder_;
    QString current_ = QStringLiteral("Windows");
};

} // namespace tabel::ui
