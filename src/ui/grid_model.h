#pragma once
// The table model of a grid bound to a dataset: one row per visible row, one column per column
// definition (hidden columns keep their index, the view hides them).
#include "db/dataset.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QPointer>
#include <functional>
#include <vector>

namespace tabel::ui {

using db::DataSet;
using db::Value;

// What a click on a column's title sorts by. The usual rule: the sort becomes "field ASC" unless
// the current sort text holds "ASC", then "field DESC". A descending-first column turns it round:
// "field DESC" unless the current text holds "DESC". The test reads the whole current sort text,
// whichever column set it.
struct TitleSort {
    QString field; // empty: the title does not sort
    QString then; // appended to the term, e.g. ", fio ASC"
    bool descendingFirst = false;

    QString next(const QString& current) const;
};

struct GridColumn {
    QString field;
    QString title;
    int width = -1; // pixels; -1 = the view's default
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool visible = true;
    // How the value is shown; the default is Value::toText().
    std::function<QString(const Value&)> format;
    TitleSort sort;
};

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);

    // Shows another dataset (or none); the columns stay.
    void setDataSet(DataSet* dataSet);
    DataSet* dataSet() const { return dataSet_; }
    void setColumns(std::vector<GridColumn> columns);
    const std::vector<GridColumn>& columns() const { return columns_; }
    const GridColumn& column(int index) const { return columns_.at(index); }
    // A column title drawn in its own colour (invalid: the theme's).
    void setTitleColor(int column, const QColor& color);

    // The dataset value behind a cell (null when the field is missing or the row is the blank one).
    Value cellValue(int row, int column) const;

    // An editable grid: its cells take typed text, and a blank row under the last one takes a new
    // row. A typed text that differs from the cell's is handed on; the model changes nothing itself.
    using TypedCell = std::function<void(int row, int column, const QString& text)>;
    void setTyped(TypedCell typed);
    bool editable() const { return static_cast<bool>(typed_); }
    // The blank row's number (the rows the dataset shows), -1 when the grid is not editable.
    int blankRow() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    void resolveFields();

    QPointer<DataSet> dataSet_;
    std::vector<GridColumn> columns_;
    std::vector<int> fieldOf_; // dataset column per grid column, -1 when absent
    std::vector<QMetaObject::Connection> links_;
    TypedCell typed_;
    std::vector<QColor> titleColors_;
};

} // namespace tabel::ui
