#include "ui/prompter.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tabel::ui {

Answer WidgetPrompter::message(const QString& text, const QString& caption, int flags)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(caption);
    box.setText(text);
    switch (flags) {
    case QuestionYesNo:
        box.setIcon(QMessageBox::Question);
        break;
    case WarningYesNo:
        box.setIcon(QMessageBox::Warning);
        break;
    case InformationOk:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    const bool yesNo = flags == QuestionYesNo || flags == WarningYesNo;
    if (!yesNo) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return Answer::Ok;
    }
    QPushButton* yes = box.addButton(u"Да"_s, QMessageBox::YesRole);
    box.addButton(u"Нет"_s, QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.exec();
    return box.clickedButton() == yes ? Answer::Yes : Answer::No;
}

void WidgetPrompter::generalError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, u"Ошибка"_s, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

int WidgetPrompter::exec(QDialog& dialog)
{
    return dialog.exec();
}

QString WidgetPrompter::saveFileName(const QString& caption, const QString& suggested, const QString& filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, suggested, filter);
}

} // namespace tabel::ui
