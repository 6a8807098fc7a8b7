#include "batch/batch.h"

#include "core/dates.h"
#include "core/error.h"
#include "db/data_module.h"
#include "db/statements.h"
#include "excel/excel_link.h"
#include "excel/xlsx_backend.h"
#include "journal/record_history.h"
#include "report_engine/report.h"
#include "reports/period_reports.h"
#include "reports/report_selection.h"
#include "session/roles.h"
#include "timesheet/printed_timesheet.h"
#include "timesheet/timesheet_workbook.h"
#include "ui/prompter.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace tabel::batch {
namespace {

const QStringList words = { u"report"_s, u"summary"_s, u"timesheet"_s, u"history"_s };

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
    s.server = opts.contains(u"server"_s) ? opts.at(u"server"_s) : site.defaultServer;
    s.database = opts.contains(u"database"_s) ? opts.at(u"database"_s) : site.defaultDatabase;
    s.port = opts.contains(u"port"_s) ? wholeOption(opts, u"port"_s, 1, 65535) : site.port;
    if (!opts.contains(u"login"_s) || opts.at(u"login"_s).trimmed().isEmpty())
        wrong(u"не задан параметр --login"_s);
    s.login = opts.at(u"login"_s).trimmed();
    s.password = password;
    s.driver = driver;
    return s;
}

const QStringList connectionOptions = { u"server"_s, u"database"_s, u"port"_s, u"login"_s };

QDate dateOption(const std::map<QString, QString>& opts, const QString& name)
{
    const auto found = opts.find(name);
    if (found == opts.end())
        wrong(u"не задан параметр --"_s + name);
    try {
        return parseDate(found->second);
    } catch (const Error&) {
        wrong(u"--"_s + name + u": «"_s + found->second + u"» — ожидается дата ДД.ММ.ГГГГ"_s);
    }
}

int productsOption(const std::map<QString, QString>& opts)
{
    const QString v = opts.contains(u"products"_s) ? opts.at(u"products"_s) : u"all"_s;
    const QStringList kinds = { u"all"_s, u"finished"_s, u"blanks"_s };
    if (!kinds.contains(v))
        wrong(u"--products: «"_s + v + u"» — ожидается all, finished или blanks"_s);
    return static_cast<int>(kinds.indexOf(v));
}

// Reports are for every login but the restricted ones, as the menu "Отчеты".
db::ConnectionSettings reportConnection(
    const std::map<QString, QString>& opts, const app::SiteSettings& site, db::Driver driver, const QString& password)
{
    db::ConnectionSettings settings = connection(opts, site, driver, password);
    if (app::rightsFor(settings.login, site).acceptOnly)
        throw Failure(1, u"пользователю "_s + settings.login + u" отчеты недоступны"_s);
    return settings;
}

void periodReport(const QStringList& args, const app::SiteSettings& site, db::Driver driver, const QString& password)
{
    const QStringList kinds
        = { u"workers"_s, u"products"_s, u"workers-detailed"_s, u"products-detailed"_s, u"requisitions"_s };
    const int index = static_cast<int>(kinds.indexOf(args.value(0)));
    if (index < 0)
        wrong(u"вид отчета «"_s + args.value(0) + u"» — ожидается один из: "_s + kinds.join(u", "_s));
    const auto opts
        = options(args.mid(1), connectionOptions + QStringList { u"from"_s, u"to"_s, u"products"_s, u"pdf"_s });
    const QDate from = dateOption(opts, u"from"_s);
    const QDate to = dateOption(opts, u"to"_s);
    const int kind = productsOption(opts);
    if (!opts.contains(u"pdf"_s))
        wrong(u"не задан параметр --pdf"_s);
    const db::ConnectionSettings settings = reportConnection(opts, site, driver, password);
    db::TDataModule6 dm;
    dm.ADO_DB.open(settings);
    const std::unique_ptr<reports::PeriodReport> report = reports::makeReport(index, dm);
    report->QRLabel1 = reports::reportTitle(index, from, to);
    const std::vector<report::Page> pages = report->prepare(from, to, kind);
    report->query.close();
    if (!report::savePdf(report->definition(), pages, opts.at(u"pdf"_s), report->QRLabel1))
        throw Failure(1, u"не удалось записать файл "_s + opts.at(u"pdf"_s));
}

// The workbook a link wrote, copied to the file asked for.
class WorkbookTo {
public:
    explicit WorkbookTo(QString path)
        : path_(std::move(path))
        , link_(prompter_, std::make_unique<excel::XlsxBackend>(work_.path(), [this](const QString& file) {
            written_ = file;
            return true;
        }))
    {
    }
    excel::ExcelLink& link() { return link_; }
    void finish()
    {
        QFile::remove(path_);
        if (written_.isEmpty() || !QFile::copy(written_, path_))
            throw Failure(1, u"не удалось записать файл "_s + path_);
        // the copy keeps the private mode of the temporary workbook: the file follows the umask,
        // as the PDFs do
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(QFile::encodeName(path_).constData(), 0666 & ~mask);
    }

private:
    QString path_;
    QTemporaryDir work_;
    QString written_;
    LinePrompter prompter_;
    excel::ExcelLink link_;
};

void summary(const QStringList& args, const app::SiteSettings& site, db::Driver driver, const QString& password)
{
    const auto opts = options(args, connectionOptions + QStringList { u"from"_s, u"to"_s, u"products"_s, u"xlsx"_s });
    const QDate from = dateOption(opts, u"from"_s);
    const QDate to = dateOption(opts, u"to"_s);
    const int kind = productsOption(opts);
    if (!opts.contains(u"xlsx"_s))
        wrong(u"не задан параметр --xlsx"_s);
    const db::ConnectionSettings settings = reportConnection(opts, site, driver, password);
    db::TDataModule6 dm;
    dm.ADO_DB.open(settings);
    db::Query rows(dm.ADO_DB);
    rows.setSql(db::statements::productSummary());
    WorkbookTo out(opts.at(u"xlsx"_s));
    reports::writeProductSummary(out.link(), rows, from, to, kind);
    out.finish();
}

// The history of the period's record changes for the pay office, as reports are given.
void history(const QStringList& args, const app::SiteSettings& site, db::Driver driver, const QString& password)
{
    const auto opts = options(args, connectionOptions + QStringList { u"from"_s, u"to"_s, u"xlsx"_s });
    const QDate from = dateOption(opts, u"from"_s);
    const QDate to = dateOption(opts, u"to"_s);
    if (!opts.contains(u"xlsx"_s))
        wrong(u"не задан параметр --xlsx"_s);
    const db::ConnectionSettings settings = reportConnection(opts, site, driver, password);
    db::TDataModule6 dm;
    dm.ADO_DB.open(settings);
    db::Query rows(dm.ADO_DB);
    rows.setSql(db::statements::periodHistory());
    rows.setParam(u"data1"_s, from);
    rows.setParam(u"data2"_s, to);
    rows.open();
    WorkbookTo out(opts.at(u"xlsx"_s));
    app::writeHistoryWorkbook(out.link(), rows);
    out.finish();
}

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
    if (opts.contains(u"pdf"_s)) {
        const QString path = opts.at(u"pdf"_s);
        printed.QRLabel33 = months[month - 1] + u" "_s + QString::number(year) + u" г."_s;
        const std::vector<report::Page> pages = printed.prepare(month, year);
        printed.H_Tabel.close();
        if (!report::savePdf(printed.definition(), pages, path, u"Табель "_s + printed.QRLabel33))
            throw Failure(1, u"не удалось записать файл "_s + path);
        return;
    }
    WorkbookTo out(opts.at(u"xlsx"_s));
    timesheet::writeTimesheetWorkbook(out.link(), printed, month, year, months[month - 1]);
    out.finish();
}

} // namespace

bool isBatch(const QStringList& arguments)
{
    return !arguments.isEmpty() && (words.contains(arguments.first()) || arguments.first() == u"--help"_s);
}

QString usage()
{
    return u"tabel report KIND --from DD.MM.YYYY --to DD.MM.YYYY [--products all|finished|blanks] --pdf FILE --login "
           u"L\n"
           "  KIND: workers, products, workers-detailed, products-detailed, requisitions; the end date is excluded.\n"
           "tabel summary --from DD.MM.YYYY --to DD.MM.YYYY [--products all|finished|blanks] --xlsx FILE --login L\n"
           "  the product summary of the period as a spreadsheet.\n"
           "tabel timesheet --month M --year Y (--pdf FILE | --xlsx FILE) --login L\n"
           "  the month's timesheet as stored: the printed timesheet (PDF) or its spreadsheet (xlsx).\n"
           "tabel history --from DD.MM.YYYY --to DD.MM.YYYY --xlsx FILE --login L\n"
           "  every change of a record and of its materials and team in the period (the end date excluded).\n"
           "Every command also takes [--server S] [--database D] [--port P]; the password is read from the\n"
           "environment variable TABEL_PASSWORD."_s;
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
        else if (word == u"report"_s)
            periodReport(rest, site, driver, password);
        else if (word == u"history"_s)
            history(rest, site, driver, password);
        else
            summary(rest, site, driver, password);
        return {};
    } catch (const Failure& f) {
        return { f.code(), f.text() };
    } catch (const Error& e) {
        return { 1, QString(e.text()).replace(u'\n', u' ') };
    }
}

} // namespace tabel::batch
