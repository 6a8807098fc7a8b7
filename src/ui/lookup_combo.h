#pragma once
// A lookup box (the LCB_* boxes): shows one column of a dataset, keys on another, and moves the
// dataset's current row with the choice. A choice by the popup, the keyboard or the wheel is
// reported by chosen() (the box's close-up).
#include "db/dataset.h"

#include <QComboBox>
#include <QPointer>

namespace tabel::ui {

class LookupCombo : public QComboBox {
    Q_OBJECT
public:
    explicit LookupCombo(QWidget* parent = nullptr);

    // Binds the box to a dataset; listField is shown, keyField is the key.
    void bind(db::DataSet* dataSet, const QString& listField, const QString& keyField);
    db::DataSet* dataSet() const { return dataSet_; }

    // The key of the shown entry; null when nothing is shown.
    db::Value keyValue() const;
    // Shows the entry with this key (and makes its row current); nothing when there is none.
    void setKeyValue(const QVariant& key);
    void clearChoice();
    // The text shown (empty when nothing is chosen).
    QString shownText() const { return currentIndex() < 0 ? QString() : currentText(); }

signals:
    void chosen();

private:
    void reload();
    void choose(int index);

    QPointer<db::DataSet> dataSet_;
    QString listField_;
    QString keyField_;
    QList<QVariant> keys_;
    bool loading_ = false;
};

} // namespace tabel::ui
