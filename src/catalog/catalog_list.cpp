#include "catalog/catalog_list.h"

#include "db/dataset.h"
#include "db/filter.h"
#include "ui/db_grid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tabel::catalog {
namespace {

// Keys that still reach the box when every other key is handled: typing, Backspace, moving the
// focus, the window's Enter and Escape, and the clipboard.
bool passesThrough(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    default:
        break;
    }
    const QKeySequence pressed(static_cast<int>(modifiers) | key);
    for (const auto standard : { QKeySequence::Paste, QKeySequence::Copy, QKeySequence::Cut, QKeySequence::SelectAll,
             QKeySequence::Undo, QKeySequence::Redo })
        if (QKeySequence::keyBindings(standard).contains(pressed))
            return true;
    const bool typesText = !text.isEmpty() && text.at(0).isPrint();
    return typesText && !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

CatalogList::CatalogList(ui::Prompter& prompter, db::DataSet& rows, QString filterColumn, Keys keys, QWidget* parent)
    : ui::Form(prompter, parent)
    , DBGrid1(new ui::DBGrid(this))
    , Edit1(new QLineEdit(this))
    , Button1(new QPushButton(u"Добавить"_s, this))
    , Button2(new QPushButton(u"Изменить"_s, this))
    , Button3(new QPushButton(u"Удалить"_s, this))
    , Button4(new QPushButton(u"Выход"_s, this))
    , rows_(rows)
    , buttonRow_(new QHBoxLayout)
    , filterColumn_(std::move(filterColumn))
    , keys_(keys)
{
    DBGrid1->setDataSet(&rows_);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    Edit1->installEventFilter(this);

    buttonRow_->addWidget(Edit1, 1);
    for (QPushButton* b : { Button1, Button2, Button3, Button4 })
        buttonRow_->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(buttonRow_);
    setTabOrder(Edit1, DBGrid1);

    on(Edit1, &QLineEdit::textChanged, &CatalogList::Edit1Change);
    on(DBGrid1, &ui::DBGrid::rowActivated, &CatalogList::DBGrid1DblClick);
    on(Button2, &QPushButton::clicked, &CatalogList::Button2Click);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
}

void CatalogList::FormActivate()
{
    if (Edit1->isVisible())
        Edit1->setFocus();
}

void CatalogList::enterEditMode()
{
    tag_ = 0;
    Button2->setText(u"Изменить"_s);
    Button1->show();
    Button3->show();
}

void CatalogList::enterChooseMode(bool showChooseButton)
{
    tag_ = 1;
    Button2->setText(u"Выбрать"_s);
    if (!Button2->isDefault()) { // not already choosing: remember the edit mode's default
        editDefault_ = nullptr;
        for (QPushButton* b : { Button1, Button3, Button4 })
            if (b->isDefault())
                editDefault_ = b;
    }
    Button2->setDefault(true);
    if (showChooseButton)
        Button2->show();
    Button1->hide();
    Button3->hide();
    Edit1->show();
    Edit1->clear();
}

void CatalogList::leaveChooseMode()
{
    Button2->setDefault(false);
    if (editDefault_)
        editDefault_->setDefault(true);
    // what was typed to choose does not filter the list's next showing
    const QSignalBlocker quiet(Edit1);
    Edit1->clear();
    rows_.setFiltered(false);
}

void CatalogList::Edit1Change()
{
    const QString typed = Edit1->text();
    setRowFilter(typed.isEmpty() ? QString() : db::filterLike(filterColumn_, typed));
}

void CatalogList::setRowFilter(const QString& expression)
{
    if (expression.isEmpty()) {
        rows_.setFiltered(false);
        return;
    }
    rows_.setFilter(expression);
    rows_.setFiltered(true);
}

bool CatalogList::Edit1KeyDown(int key, Qt::KeyboardModifiers modifiers, const QString& text)
{
    if (key == Qt::Key_Up) {
        rows_.prior();
        return true;
    }
    if (key == Qt::Key_Down) {
        if (rows_.recNo() < rows_.recordCount()) // the last row stays current
            rows_.next();
        return true;
    }
    return keys_ == Keys::AllHandled && !passesThrough(key, modifiers, text);
}

bool CatalogList::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        bool handled = false;
        ui::runGuarded(prompter(), [&] { handled = Edit1KeyDown(key->key(), key->modifiers(), key->text()); });
        return handled;
    }
    return ui::Form::eventFilter(watched, event);
}

bool CatalogList::confirmDelete(const QString& question)
{
    return prompter().message(question, u"Удаление"_s, ui::QuestionYesNo) == ui::Answer::Yes;
}

} // namespace tabel::catalog
