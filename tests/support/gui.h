#pragma once
// Pressing controls as a user does. Each helper fails the running test when the control is
// disabled or hidden, instead of reaching its handler the way no user could.
#include <QDate>
#include <QString>

class QAbstractButton;
class QAction;
class QComboBox;
class QDateEdit;
class QWidget;

namespace tabel::ui {
class DBGrid;
}

namespace tabel::test {

// Whether a user can reach the control: enabled, and shown with its window.
bool reachable(const QWidget* widget);

void click(QAbstractButton* button);
// A menu item; its menus (up to the menu bar) must be enabled too.
void trigger(QAction* action);
void clickTitle(ui::DBGrid* grid, int column);
void clickCell(ui::DBGrid* grid, int row, int column);
void doubleClickCell(ui::DBGrid* grid, int row, int column);
// Chooses a day in a date picker's calendar and closes it with Enter, as a user does.
void chooseDay(QDateEdit* picker, const QDate& day);
// Picks an item of a drop-down list from its open list, as a user does with the mouse.
void choose(QComboBox* box, const QString& text);
// Edits a grid cell in place as a user does: clicks it, opens its editor (F2), replaces the text
// by typing, and leaves the cell with the key (Tab moves on; Enter also presses the default button).
void typeCell(ui::DBGrid* grid, int row, int column, const QString& text, int leaveKey = Qt::Key_Tab);
// Types text as keystrokes into the widget, any letters (QTest's own typing knows only ASCII).
void typeText(QWidget* widget, const QString& text);
// Types text into the focused-by-click control followed by the keys, as keystrokes.
void typeInto(QWidget* widget, const QString& text);

} // namespace tabel::test
