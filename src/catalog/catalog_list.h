#pragma once
// The catalogue lists (workers, products, operation types, operations) work one way:
//  - a read-only grid on a shared query of the data module, which the caller opens and closes;
//  - the filter box under the grid narrows the fetched rows to those whose column begins with the
//    typed text (quotes, % and _ in it match themselves), switched off when the box is empty;
//  - Up and Down in the box move the list; in every list but the products every other key that
//    would move the text cursor or delete is swallowed too (typing and Backspace still edit);
//  - the mode is the tag, set by the caller: 0 edit, anything else choose;
//  - a double click does what the change button does;
//  - deleting asks the list's question first.
#include "ui/form.h"

class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace tabel::db {
class DataSet;
}
namespace tabel::ui {
class DBGrid;
}

namespace tabel::catalog {

class CatalogList : public ui::Form {
    Q_OBJECT
public:
    enum class Keys {
        AllHandled, // every key reaching the key-down handler is marked handled
        ArrowsOnly, // only Up and Down are
    };

    CatalogList(ui::Prompter& prompter, db::DataSet& rows, QString filterColumn, Keys keys, QWidget* parent);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    bool chooseMode() const { return tag_ != 0; }

    // What the callers do around a showing: edit mode (tag 0, "Изменить", add and delete
    // offered), choose mode (tag 1, "Выбрать" as the default button, add and delete hidden, the
    // filter box shown and cleared), and after choosing (the default and the unfiltered rows
    // given back, so the next edit-mode showing is as it was).
    void enterEditMode();
    void enterChooseMode(bool showChooseButton);
    void leaveChooseMode();

    ui::DBGrid* DBGrid1;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;

    virtual void Edit1Change();
    // Returns whether the key was handled (the box then does nothing with it).
    bool Edit1KeyDown(int key, Qt::KeyboardModifiers modifiers, const QString& text);
    virtual void Button2Click() = 0;
    // A double click (or Enter) on a row: the change button's work unless the list says otherwise.
    virtual void DBGrid1DblClick() { Button2Click(); }
    // The filter box takes the focus when it is shown.
    void FormActivate() override;

protected:
    // The filter in force on the rows: empty switches it off.
    void setRowFilter(const QString& expression);
    // The list's delete question; true when the user said Yes.
    bool confirmDelete(const QString& question);
    db::DataSet& rows() const { return rows_; }
    // The row under the grid: the filter box and the buttons.
    QHBoxLayout* buttonRow() const { return buttonRow_; }
    const QString& filterColumn() const { return filterColumn_; }

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    db::DataSet& rows_;
    QHBoxLayout* buttonRow_;
    QString filterColumn_;
    Keys keys_;
    int tag_ = 0;
    QPushButton* editDefault_ = nullptr; // the default button before choose mode took it
};

} // namespace tabel::catalog
