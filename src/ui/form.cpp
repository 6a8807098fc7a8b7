#include "ui/form.h"

#include <QFocusEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace tabel::ui {

Form::Form(Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , prompter_(prompter)
{
}

void Form::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (event->spontaneous() || displayed_) // the window system's show: a restore, not a display
        return;
    displayed_ = true;
    keepButtonsFromDefault();
    centre();
    runGuarded(prompter_, [this] { FormActivate(); });
}

void Form::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous()) // minimising hides the window spontaneously; the display goes on
        displayed_ = false;
}

void Form::centre()
{
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner && owner->isVisible()) {
        move(owner->frameGeometry().center() - rect().center());
        return;
    }
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void Form::keepButtonsFromDefault()
{
    for (QPushButton* b : findChildren<QPushButton*>())
        if (!b->isDefault())
            b->setAutoDefault(false);
}

bool leavesForAnotherControl(const QEvent* event)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace tabel::ui
