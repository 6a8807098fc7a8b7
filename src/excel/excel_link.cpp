#include "excel/excel_link.h"

#include "ui/prompter.h"

using namespace Qt::StringLiterals;

namespace tabel::excel {

ExcelLink::ExcelLink(ui::Prompter& prompter, std::unique_ptr<SpreadsheetBackend> backend)
    : prompter_(prompter)
    , backend_(std::move(backend))
{
}

int ExcelLink::OpenWorkbook(const QString& name)
{
    attached_ = backend_->attach();
    if (!attached_)
        prompter_.message(u"Невозможно открыть Microsoft Excel."_s, u"Ошибка"_s, ui::ErrorOk);
    const bool opened = attached_ && (name.isEmpty() ? backend_->addWorkbook() : backend_->openWorkbook(name));
    if (!opened) {
        prompter_.message(u"Ошибка открытия файла Microsoft Excel."_s, u"Ошибка"_s, ui::ErrorOk);
        return -1;
    }
    return 1;
}

void ExcelLink::SetVisible(bool visible)
{
    if (!attached_)
        return;
    const Shown shown = backend_->setVisible(visible);
    switch (shown.outcome) {
    case Shown::Outcome::WriteFailed:
        prompter_.message(u"Не удалось записать книгу в файл "_s + shown.path + u": "_s + shown.error,
            u"Ошибка Microsoft Excel"_s, ui::ErrorOk);
        break;
    case Shown::Outcome::NotOpened:
        prompter_.message(u"Книга записана в файл "_s + shown.path
                + u".\nПриложение для электронных таблиц не открылось: откройте этот файл сами."_s,
            u"Microsoft Excel"_s, ui::InformationOk);
        break;
    case Shown::Outcome::Nothing:
    case Shown::Outcome::Opened:
        break;
    }
}

int ExcelLink::WriteCell(int sheet, int column, int row, const QString& text, bool asText, bool autoFit, bool bold)
{
    if (text.isEmpty())
        return 1;
    const QString where = u"Ошибка при записи: лист "_s + QString::number(sheet) + u", столбец "_s
        + QString::number(column) + u", строка "_s + QString::number(row);
    if (!attached_ || !backend_->hasSheet(sheet)) {
        prompter_.message(where, u"Ошибочный номер листа Microsoft Excel"_s, ui::ErrorOk);
        return -1;
    }
    if (!backend_->writeCell({ sheet, column, row, text, asText, autoFit, bold })) {
        prompter_.message(where, u"Ошибка Microsoft Excel"_s, ui::ErrorOk);
        return -1;
    }
    return 1;
}

} // namespace tabel::excel
