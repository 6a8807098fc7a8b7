#include "batch/batch.h"

#include "app/roles.h"
#include "core/error.h"
#include "db/data_module.h"
#include "excel/excel_link.h"
#include "excel/xlsx_backend.h"
#include "report_engine/report.h"
#include "timesheet/printed_timesheet.h"
#include "timesheet/timesheet_workbook.h"
#include "ui/prompter.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>

using namespace Qt::StringLiterals;

namespace tabel::batch {
namespace {

const QStringList words = { u"report"_s, u"summary"_s, u"timesheet"_s };

class Failure : public Error {
public:
    Failure(int code, QString text)
        : Error(std::move(text))
        , code_(code)
    {
    }
    int code() const { return code_; }

private:
    int code_;
};

[[noreturn]] void wrong(const QString& text)
{
    throw Failure(2, text);
}

// No window is shown: a message of the spreadsheet link or of a handler ends the run.
class LinePrompter final : public ui::Prompter {
public:
    ui::Answer message(const QString& text, const QString&, int flags) override
    {
        if (flags != ui::InformationOk)
            throw Failure(1, QString(text).replace(u'\n', u' '));
        return ui::Answer::Ok;
    }
    void generalError(const QString& text) override { throw Failure(1, QString(text).replace(u'\n', u' ')); }
    int exec(QDialog&) override { return QDialog::Rejected; }
    QString saveFileName(const QString&, const QString&, const QString&) override { return {}; }
};

// --name value pairs; a name not in `known`, or without its value, is a wrong command line.
std::map<QString, QString> options(const QStringList& args, const QStringList& known)
{
    std::map<QString, QString> out;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& name = args[i];
        if (!name.startsWith(u"--"_s) || !known.contains(name.mid(2)))
            wrong(u"неизвестный параметр «"_s + name + u"» (tabel --help)"_s);
        if (i + 1 >= args.size())
            wrong(u"у параметра "_s + name + u" нет значения"_s);
        out[name.mid(2)] = args[++i];
    }
    return out;
}

int wholeOption(const std::map<QString, QString>& opts, const QString& name, int lowest, int highest)
{
    const auto found = opts.find(name);
    if (found == opts.end())
        wrong(u"не задан параметр --"_s + name);
    bool ok = false;
    const int v = found->second.toInt(&ok);
    if (!ok || v < lowest || v > highest)
        wrong(u"--"_s + name + u": «"_s + found->second + u"» — ожидается целое число от "_s + QString::number(lowest)
            + u" до "_s + QString::number(highest));
    return v;
}

db::ConnectionSettings connection(
    const std::map<QString, QString>& opts, const app::SiteSettings& site, db::Driver driver, const QString& password)
{
    db::ConnectionSettings s;
    s.server = opts.count(u"server"_s) ? opts.at(u"server"_s) : site.defaultServer;
    s.database = opts.count(u"database"_s) ? opts.at(u"database"_s) : site.defaultDatabase;
    s.port = opts.count(u"port"_s) ? wholeOption(opts, u"port"_s, 1, 65535) : site.port;
    if (!opts.count(u"login"_s) || opts.at(u"login"_s).trimmed().isEmpty())
        wrong(u"не задан параметр --login"_s);
    s.login = opts.at(u"login"_s).trimmed();
    s.password = password;
    s.driver = driver;
    return s;
}

const QStringList connectionOptions = { u"server"_s, u"database"_s, u"port"_s, u"login"_s };

void timesheet(const QStringList& args, const app::SiteSettings& site, db::Driver driver, const QString& password)
{
    const auto opts = options(args, connectionOptions + QStringList { u"month"_s, u"year"_s, u"pdf"_s, u"xlsx"_s });
    const int month = wholeOption(opts, u"month"_s, 1, 12);
    const int year = wholeOption(opts, u"year"_s, 1900, 9999);
    if (opts.count(u"pdf"_s) == opts.count(u"xlsx"_s))
        wrong(u"задайте ровно один из параметров --pdf и --xlsx"_s);
    const db::ConnectionSettings settings = connection(opts, site, driver, password);
    const app::JournalRights rights = app::rightsFor(settings.login, site);
    if (rights.acceptOnly || rights.readOnly)
        throw Failure(1, u"пользователю "_s + settings.login + u" табель недоступен"_s);

    db::TDataModule6 dm;
    dm.ADO_DB.open(settings);
    timesheet::TForm15 printed(dm);
    static const QStringList months = { u"Январь"_s, u"Февраль"_s, u"Март"_s, u"Апрель"_s, u"Май"_s, u"Июнь"_s,
        u"Июль"_s, u"Август"_s, u"Сентябрь"_s, u"Октябрь"_s, u"Ноябрь"_s, u"Декабрь"_s };
    if (opts.count(u"pdf"_s)) {
        const QString path = opts.at(u"pdf"_s);
        printed.QRLabel33 = months[month - 1] + u" "_s + QString::number(year) + u" г."_s;
        const std::vector<report::Page> pages = printed.prepare(month, year);
        printed.H_Tabel.close();
        if (!report::savePdf(printed.definition(), pages, path))
            throw Failure(1, u"не удалось записать файл "_s + path);
        return;
    }
    const QString path = opts.at(u"xlsx"_s);
    QTemporaryDir work;
    QString written;
    LinePrompter prompter;
    excel::ExcelLink link(prompter, std::make_unique<excel::XlsxBackend>(work.path(), [&](const QString& file) {
        written = file;
        return true;
    }));
    timesheet::writeTimesheetWorkbook(link, printed, month, year, months[month - 1]);
    QFile::remove(path);
    if (written.isEmpty() || !QFile::copy(written, path))
        throw Failure(1, u"не удалось записать файл "_s + path);
}

} // namespace

bool isBatch(const QStringList& arguments)
{
    return !arguments.isEmpty() && (words.contains(arguments.first()) || arguments.first() == u"--help"_s);
}

QString usage()
{
    return u"tabel timesheet --month M --year Y (--pdf FILE | --xlsx FILE) --login L\n"
           "        [--server S] [--database D] [--port P]\n"
           "  the month's timesheet as stored: the printed timesheet (PDF) or its spreadsheet (xlsx).\n"
           "  The password is read from the environment variable TABEL_PASSWORD."_s;
}

Outcome run(const QStringList& arguments, const app::SiteSettings& site, db::Driver driver, const QString& password)
{
    if (arguments.value(0) == u"--help"_s)
        return { 0, usage() };
    try {
        const QString word = arguments.value(0);
        const QStringList rest = arguments.mid(1);
        if (word == u"timesheet"_s)
            timesheet(rest, site, driver, password);
        else
            return { 2, u"команда «"_s + word + u"» ещё не поддерживается (tabel --help)"_s };
        return {};
    } catch (const Failure& f) {
        return { f.code(), f.text() };
    } catch (const Error& e) {
        return { 1, QString(e.text()).replace(u'\n', u' ') };
    }
}

} // namespace tabel::batch
