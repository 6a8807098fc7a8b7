#include "support/gui.h"

#include "ui/db_grid.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>

namespace tabel::test {
namespace {

void fail(const char* what, const QString& name)
{
    QTest::qFail(qPrintable(QString::fromUtf8(what) + u' ' + name), __FILE__, __LINE__);
}

QString nameOf(const QObject* o)
{
    if (const auto* b = qobject_cast<const QAbstractButton*>(o))
        return u'"' + b->text() + u'"';
    if (const auto* a = qobject_cast<const QAction*>(o))
        return u'"' + a->text() + u'"';
    return QString::fromLatin1(o->metaObject()->className());
}

bool require(const QWidget* widget)
{
    if (!widget->isVisible()) {
        fail("pressed a hidden control", nameOf(widget));
        return false;
    }
    if (!widget->isEnabled()) {
        fail("pressed a disabled control", nameOf(widget));
        return false;
    }
    return true;
}

} // namespace

bool reachable(const QWidget* widget)
{
    return widget->isVisible() && widget->isEnabled();
}

void click(QAbstractButton* button)
{
    if (!require(button))
        return;
    // a radio button or a check box takes clicks on its indicator and text, not on the empty
    // rest of a wide box: the user clicks the indicator
    if (qobject_cast<QRadioButton*>(button) || qobject_cast<QCheckBox*>(button))
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    else
        QTest::mouseClick(button, Qt::LeftButton);
}

void trigger(QAction* action)
{
    if (!action->isEnabled() || !action->isVisible()) {
        fail(action->isEnabled() ? "triggered a hidden menu item" : "triggered a disabled menu item", nameOf(action));
        return;
    }
    for (QObject* owner : action->associatedObjects()) {
        const auto* menu = qobject_cast<QMenu*>(owner);
        if (menu && !menu->menuAction()->isEnabled()) {
            fail("triggered an item of a disabled menu", nameOf(action));
            return;
        }
        if (const auto* bar = qobject_cast<QMenuBar*>(owner); bar && !reachable(bar)) {
            fail("triggered an item of a hidden or disabled menu bar", nameOf(action));
            return;
        }
    }
    action->trigger();
}

void clickTitle(ui::DBGrid* grid, int column)
{
    if (!require(grid))
        return;
    QHeaderView* header = grid->horizontalHeader();
    if (header->isSectionHidden(column)) {
        fail("clicked a hidden column title", QString::number(column));
        return;
    }
    grid->scrollTo(grid->model()->index(0, column));
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
}

void clickCell(ui::DBGrid* grid, int row, int column)
{
    if (!require(grid))
        return;
    const QModelIndex index = grid->model()->index(row, column);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
}

void doubleClickCell(ui::DBGrid* grid, int row, int column)
{
    if (!require(grid))
        return;
    const QModelIndex index = grid->model()->index(row, column);
    grid->scrollTo(index);
    const QPoint at = grid->visualRect(index).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

void typeCell(ui::DBGrid* grid, int row, int column, const QString& text, int leaveKey)
{
    clickCell(grid, row, column);
    QTest::keyClick(grid, Qt::Key_F2);
    QLineEdit* editor = nullptr;
    for (QLineEdit* e : grid->viewport()->findChildren<QLineEdit*>())
        if (e->isVisible())
            editor = e;
    if (!editor) {
        fail("the cell did not open for editing:", QString::number(row) + u',' + QString::number(column));
        return;
    }
    editor->selectAll();
    typeText(editor, text);
    QTest::keyClick(editor, static_cast<Qt::Key>(leaveKey));
    QCoreApplication::processEvents();
}

void chooseDay(QDateEdit* picker, const QDate& day)
{
    if (!require(picker))
        return;
    QCalendarWidget* calendar = picker->calendarWidget();
    calendar->setSelectedDate(day);
    QWidget* view = calendar->focusProxy() ? calendar->focusProxy() : calendar;
    QTest::keyClick(view, Qt::Key_Return);
}

void choose(QComboBox* box, const QString& text)
{
    if (!require(box))
        return;
    const int index = box->findText(text);
    if (index < 0) {
        fail("chose an item the list does not have:", text);
        return;
    }
    box->showPopup();
    QAbstractItemView* view = box->view();
    const QModelIndex item = view->model()->index(index, box->modelColumn(), box->rootModelIndex());
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
    if (box->currentIndex() != index)
        fail("the list did not take the item", text);
}

void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7f) {
            QTest::keyClick(widget, static_cast<char>(c.unicode()));
        } else { // a letter no key of QTest stands for: the key event that types it
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

void typeInto(QWidget* widget, const QString& text)
{
    if (!require(widget))
        return;
    widget->setFocus();
    typeText(widget, text);
}

} // namespace tabel::test
