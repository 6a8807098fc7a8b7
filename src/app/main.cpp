// The program: builds the application and its windows, then runs the event loop.
#include "app/forms.h"
#include "batch/batch.h"
#include "core/error.h"
#include "db/connection_settings.h"
#include "ui/prompter.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    const bool batch = tabel::batch::isBatch(words);
    const bool version = words.value(0) == QStringLiteral("--version");
    if ((batch || version) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // no display needed for a file
    if ((batch || version) && qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // a private runtime folder, so that Qt has nothing to warn about on standard error
        const QByteArray dir = QDir::tempPath().toLocal8Bit() + "/tabel-runtime-" + QByteArray::number(getuid());
        if (::mkdir(dir.constData(), 0700) == 0 || errno == EEXIST)
            qputenv("XDG_RUNTIME_DIR", dir);
    }
    QApplication app(argc, argv);
    tabel::app::SiteSettings site;
    try {
        site = tabel::app::SiteSettings::read();
    } catch (const tabel::Error& e) { // a bad site file stops the program: never another server
        if (batch || version) {
            std::fprintf(stderr, "%s\n", e.text().toLocal8Bit().constData());
            return 1;
        }
        tabel::ui::WidgetPrompter().generalError(e.text());
        return 1;
    }
    if (version) {
        const QString text = QStringLiteral("tabel ") + QStringLiteral(TABEL_VERSION) + QStringLiteral(", build ")
            + tabel::app::currentBuild().text() + QStringLiteral("\nsite file: ")
            + (site.file.isEmpty() ? QStringLiteral("none (the built-in settings)") : site.file);
        std::printf("%s\n", text.toLocal8Bit().constData());
        return 0;
    }
    if (batch) {
        const tabel::batch::Outcome outcome
            = tabel::batch::run(words, site, site.driver, qEnvironmentVariable("TABEL_PASSWORD"));
        if (!outcome.message.isEmpty())
            std::fprintf(outcome.code == 0 ? stdout : stderr, "%s\n", outcome.message.toLocal8Bit().constData());
        return outcome.code;
    }
    QApplication::setApplicationName(QStringLiteral("Tabel"));
    QApplication::setQuitOnLastWindowClosed(false); // the login window's closing ends the program
    tabel::ui::WidgetPrompter prompter;
    tabel::app::StartOptions options;
    options.site = site;
    options.arguments = QApplication::arguments().mid(1);
    options.appDataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    options.build = tabel::app::currentBuild();
    options.driver = site.driver;
    try {
        tabel::app::Forms forms(prompter, options);
        if (forms.terminated())
            return 0;
        return QApplication::exec();
    } catch (const tabel::Error& e) { // an error during start-up ends the program
        prompter.generalError(e.text());
    } catch (const std::exception& e) {
        prompter.generalError(QString::fromUtf8(e.what()));
    }
    return 1;
}
