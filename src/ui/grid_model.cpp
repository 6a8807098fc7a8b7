#include "ui/grid_model.h"

#include <QFont>

namespace tabel::ui {

using namespace Qt::StringLiterals;

QString TitleSort::next(const QString& current) const
{
    const bool ascending = descendingFirst ? current.contains(u"DESC"_s) : !current.contains(u"ASC"_s);
    return field + (ascending ? u" ASC"_s : u" DESC"_s) + then;
}

GridModel::GridModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void GridModel::setDataSet(DataSet* dataSet)
{
    beginResetModel();
    for (const auto& l : links_)
        disconnect(l);
    links_.clear();
    dataSet_ = dataSet;
    if (dataSet) {
        links_.push_back(connect(dataSet, &DataSet::rowsAboutToChange, this, [this] { beginResetModel(); }));
        links_.push_back(connect(dataSet, &DataSet::rowsChanged, this, [this] {
            resolveFields();
            endResetModel();
        }));
        links_.push_back(connect(dataSet, &QObject::destroyed, this, [this] { setDataSet(nullptr); }));
    }
    resolveFields();
    endResetModel();
}

void GridModel::setColumns(std::vector<GridColumn> columns)
{
    beginResetModel();
    columns_ = std::move(columns);
    resolveFields();
    endResetModel();
}

void GridModel::resolveFields()
{
    fieldOf_.assign(columns_.size(), -1);
    if (!dataSet_)
        return;
    for (size_t i = 0; i < columns_.size(); ++i)
        fieldOf_[i] = dataSet_->fieldIndex(columns_[i].field);
}

Value GridModel::cellValue(int row, int column) const
{
    if (!dataSet_ || column < 0 || column >= static_cast<int>(columns_.size()) || fieldOf_[column] < 0 || row < 0
        || row >= dataSet_->recordCount())
        return {};
    return dataSet_->value(row, fieldOf_[column]);
}

void GridModel::setTitleColor(int column, const QColor& color)
{
    if (column < 0 || column >= columnCount())
        return;
    if (titleColors_.size() < columns_.size())
        titleColors_.resize(columns_.size());
    titleColors_[column] = color;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !dataSet_)
        return 0;
    return dataSet_->recordCount() + (editable() ? 1 : 0);
}

void GridModel::setTyped(TypedCell typed)
{
    beginResetModel();
    typed_ = std::move(typed);
    endResetModel();
}

int GridModel::blankRow() const
{
    return editable() && dataSet_ ? dataSet_->recordCount() : -1;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (editable() && index.isValid())
        f |= Qt::ItemIsEditable;
    return f;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!editable() || role != Qt::EditRole || !index.isValid() || index.row() >= rowCount())
        return false;
    const QString text = value.toString();
    if (text == data(index, Qt::EditRole).toString())
        return false; // the cell was left unchanged
    typed_(index.row(), index.column(), text);
    return true;
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const GridColumn& c = columns_[index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        if (index.row() == blankRow())
            return QString();
        const Value v = cellValue(index.row(), index.column());
        return c.format ? c.format(v) : v.toText();
    }
    case Qt::TextAlignmentRole:
        return static_cast<int>(c.alignment);
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return columns_[section].title;
    case Qt::TextAlignmentRole:
        return static_cast<int>(Qt::AlignCenter);
    case Qt::FontRole: {
        QFont f;
        f.setBold(true);
        return f;
    }
    case Qt::ForegroundRole:
        if (section < static_cast<int>(titleColors_.size()) && titleColors_[section].isValid())
            return titleColors_[section];
        return {};
    default:
        return {};
    }
}

} // namespace tabel::ui
