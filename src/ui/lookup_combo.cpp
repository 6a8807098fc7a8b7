#include "ui/lookup_combo.h"

namespace tabel::ui {

LookupCombo::LookupCombo(QWidget* parent)
    : QComboBox(parent)
{
    setEditable(false);
    connect(this, &QComboBox::activated, this, [this](int index) { choose(index); });
}

void LookupCombo::bind(db::DataSet* dataSet, const QString& listField, const QString& keyField)
{
    if (dataSet_)
        disconnect(dataSet_, nullptr, this, nullptr);
    dataSet_ = dataSet;
    listField_ = listField;
    keyField_ = keyField;
    if (dataSet)
        connect(dataSet, &db::DataSet::rowsChanged, this, &LookupCombo::reload);
    reload();
}

void LookupCombo::reload()
{
    const QVariant keep = keyValue().variant();
    loading_ = true;
    clear();
    keys_.clear();
    if (dataSet_ && dataSet_->isOpen()) {
        const int text = dataSet_->fieldIndex(listField_);
        const int key = dataSet_->fieldIndex(keyField_);
        for (int r = 0; r < dataSet_->recordCount(); ++r) {
            addItem(text >= 0 ? dataSet_->value(r, text).toText() : QString());
            keys_ << (key >= 0 ? dataSet_->value(r, key).variant() : QVariant());
        }
    }
    setCurrentIndex(-1);
    loading_ = false;
    if (keep.isValid())
        setKeyValue(keep);
}

db::Value LookupCombo::keyValue() const
{
    const int i = currentIndex();
    return i >= 0 && i < keys_.size() ? db::Value(keys_.at(i)) : db::Value();
}

void LookupCombo::setKeyValue(const QVariant& key)
{
    const db::Value wanted(key);
    for (int i = 0; i < keys_.size(); ++i) {
        const db::Value k(keys_.at(i));
        const bool equal = k.isNumeric() || wanted.isNumeric() ? (!k.isNull() && k.toDouble() == wanted.toDouble())
                                                               : k.toText() == wanted.toText();
        if (equal && !k.isNull()) {
            loading_ = true;
            setCurrentIndex(i);
            loading_ = false;
            if (dataSet_)
                dataSet_->setRecNo(i + 1);
            return;
        }
    }
    loading_ = true;
    setCurrentIndex(-1);
    loading_ = false;
}

void LookupCombo::clearChoice()
{
    loading_ = true;
    setCurrentIndex(-1);
    loading_ = false;
}

void LookupCombo::choose(int index)
{
    if (loading_ || index < 0)
        return;
    if (dataSet_)
        dataSet_->setRecNo(index + 1);
    emit chosen();
}

} // namespace tabel::ui
