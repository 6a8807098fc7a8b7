#include "excel/xlsx_backend.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QUrl>
#include <xlsxwriter.h>

using namespace Qt::StringLiterals;

namespace tabel::excel {
namespace {

constexpr int maxWidth = 255; // the widest column a spreadsheet keeps

} // namespace

bool XlsxBackend::openWithDesktop(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

XlsxBackend::XlsxBackend(QString folder, Opener opener)
    : folder_(std::move(folder))
    , opener_(std::move(opener))
{
}

XlsxBackend::~XlsxBackend()
{
    discard();
}

void XlsxBackend::discard()
{
    if (!workbook_)
        return;
    workbook_close(workbook_); // the only way to free it; the file it wrote goes too
    workbook_ = nullptr;
    sheet_ = nullptr;
    formats_.clear();
    QFile::remove(path_);
}

bool XlsxBackend::addWorkbook()
{
    discard();
    longest_.clear();
    fitted_.clear();
    // A name of its own in the folder, reserved by creating the file.
    QTemporaryFile file(QDir(folder_).filePath(u"tabel-XXXXXX.xlsx"_s));
    file.setAutoRemove(false);
    if (!file.open())
        return false;
    path_ = file.fileName();
    file.close();
    workbook_ = workbook_new(QFile::encodeName(path_).constData());
    if (!workbook_) {
        QFile::remove(path_);
        return false;
    }
    sheet_ = workbook_add_worksheet(workbook_, nullptr);
    return sheet_ != nullptr;
}

bool XlsxBackend::openWorkbook(const QString&)
{
    return false; // every export starts a new workbook; existing files are not opened
}

bool XlsxBackend::hasSheet(int sheet) const
{
    return sheet_ && sheet == 1;
}

lxw_format* XlsxBackend::format(bool asText, bool bold)
{
    if (!asText && !bold)
        return nullptr;
    const int key = (asText ? 1 : 0) | (bold ? 2 : 0);
    auto found = formats_.find(key);
    if (found != formats_.end())
        return found->second;
    lxw_format* f = workbook_add_format(workbook_);
    if (asText)
        format_set_num_format_index(f, 49); // the built-in text format "@"
    if (bold)
        format_set_bold(f);
    formats_[key] = f;
    return f;
}

bool XlsxBackend::readsAsNumber(const QString& text)
{
    static const QRegularExpression number(u"^-?(0|[1-9][0-9]*)(,[0-9]+)?(E[-+]?[0-9]+)?$"_s);
    if (!number.match(text).hasMatch())
        return false;
    const QString mantissa = text.section(u'E', 0, 0);
    qsizetype digits = 0;
    for (const QChar c : mantissa)
        digits += c.isDigit() ? 1 : 0;
    return digits <= 15;
}

bool XlsxBackend::writeCell(const CellWrite& cell)
{
    if (!hasSheet(cell.sheet) || cell.row < 1 || cell.column < 1 || cell.row > LXW_ROW_MAX || cell.column > LXW_COL_MAX)
        return false;
    const auto row = static_cast<lxw_row_t>(cell.row - 1);
    const auto col = static_cast<lxw_col_t>(cell.column - 1);
    lxw_format* f = format(cell.asText, cell.bold);
    lxw_error result;
    if (!cell.asText && readsAsNumber(cell.text))
        result = worksheet_write_number(sheet_, row, col, QString(cell.text).replace(u',', u'.').toDouble(), f);
    else
        result = worksheet_write_string(sheet_, row, col, cell.text.toUtf8().constData(), f);
    if (result != LXW_NO_ERROR)
        return false;
    int& longest = longest_[cell.column - 1];
    longest = std::max(longest, static_cast<int>(cell.text.size()));
    if (cell.autoFit)
        fitted_.insert(cell.column - 1);
    return true;
}

Shown XlsxBackend::setVisible(bool visible)
{
    if (!visible || !workbook_)
        return {};
    for (const int col : fitted_) {
        const double width = std::min(maxWidth, longest_[col] + 2);
        worksheet_set_column(sheet_, static_cast<lxw_col_t>(col), static_cast<lxw_col_t>(col), width, nullptr);
    }
    const lxw_error result = workbook_close(workbook_);
    workbook_ = nullptr;
    sheet_ = nullptr;
    formats_.clear();
    Shown shown;
    shown.path = path_;
    if (result != LXW_NO_ERROR) {
        QFile::remove(path_);
        shown.outcome = Shown::Outcome::WriteFailed;
        shown.error = QString::fromUtf8(lxw_strerror(result));
        return shown;
    }
    shown.outcome = opener_(path_) ? Shown::Outcome::Opened : Shown::Outcome::NotOpened;
    return shown;
}

} // namespace tabel::excel
