#include "ui/db_grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace tabel::ui {
namespace {

class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(DBGrid& grid)
        : QStyledItemDelegate(&grid)
        , grid_(grid)
    {
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        if (!grid_.cellHook()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const CellStyle style = grid_.cellStyle(index.row(), index.column());
        opt.font = style.font;
        if (style.background.isValid())
            opt.backgroundBrush = QBrush(style.background);
        if (style.text.isValid()) {
            opt.palette.setColor(QPalette::Text, style.text);
            opt.palette.setColor(QPalette::HighlightedText, style.text);
        }
        const QWidget* widget = option.widget;
        QStyle* st = widget ? widget->style() : QApplication::style();
        st->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    }

private:
    DBGrid& grid_;
};

} // namespace

DBGrid::DBGrid(QWidget* parent)
    : QTableView(parent)
{
    setModel(&model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new CellDelegate(*this));
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMouseTracking(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setWordWrap(false);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &DBGrid::titleClicked);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int width) {
        if (!applying_ && width > 0 && column < static_cast<int>(widths_.size()))
            widths_[column] = width;
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this] {
        emit rowActivated();
        emit rowDoubleClicked();
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex& current) {
        if (syncing_ || !model_.dataSet() || !current.isValid())
            return;
        syncing_ = true;
        model_.dataSet()->setRecNo(current.row() + 1);
        syncing_ = false;
    });
    connect(&model_, &QAbstractItemModel::modelReset, this, [this] {
        if (model_.dataSet())
            syncFromDataSet(model_.dataSet()->recNo() - 1);
    });
}

void DBGrid::setColumns(std::vector<GridColumn> columns)
{
    widths_.clear();
    for (const GridColumn& c : columns)
        widths_.push_back(c.width > 0 ? c.width : horizontalHeader()->defaultSectionSize());
    model_.setColumns(std::move(columns));
    applyColumns();
}

void DBGrid::setDataSet(db::DataSet* dataSet)
{
    if (auto* old = model_.dataSet())
        disconnect(old, &db::DataSet::currentChanged, this, nullptr);
    model_.setDataSet(dataSet);
    if (dataSet) {
        connect(dataSet, &db::DataSet::currentChanged, this, [this](int row) { syncFromDataSet(row); });
        syncFromDataSet(dataSet->recNo() - 1);
    }
    applyColumns();
}

void DBGrid::applyColumns()
{
    const auto& cols = model_.columns();
    applying_ = true;
    for (int i = 0; i < static_cast<int>(cols.size()); ++i) {
        setColumnHidden(i, !cols[i].visible);
        if (cols[i].visible)
            setColumnWidth(i, widths_[i]);
    }
    applying_ = false;
}

void DBGrid::syncFromDataSet(int row)
{
    if (syncing_)
        return;
    syncing_ = true;
    if (row < 0 || row >= model_.rowCount()) {
        selectionModel()->clearSelection();
    } else {
        const QModelIndex idx = model_.index(row, std::max(0, currentIndex().column()));
        selectionModel()->setCurrentIndex(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(idx);
    }
    syncing_ = false;
}

CellStyle DBGrid::cellStyle(int row, int column) const
{
    CellStyle style;
    style.font = font();
    style.selected = selectionModel()->isRowSelected(row, QModelIndex());
    if (cellHook_)
        cellHook_(row, column, style);
    return style;
}

QString DBGrid::cellText(int row, int column) const
{
    return model_.data(model_.index(row, column), Qt::DisplayRole).toString();
}

void DBGrid::setCellEditor(CellSave save)
{
    save_ = std::move(save);
    model_.setTyped([this](int row, int column, const QString& text) { pending_ = Typed { row, column, text }; });
    setEditTriggers(
        QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setSelectionBehavior(QAbstractItemView::SelectItems);
}

bool DBGrid::finishEditing()
{
    if (state() != QAbstractItemView::EditingState)
        return true;
    // A cell's editor is a child of the viewport while it is open.
    for (QWidget* editor : viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!editor->isVisible())
            continue;
        refused_ = false;
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
        return !refused_;
    }
    return true;
}

void DBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableView::closeEditor(editor, hint);
    if (!pending_)
        return;
    const Typed typed = *pending_;
    pending_.reset();
    if (!save_ || save_(typed.row, typed.column, typed.text))
        return;
    // refused: the cell is edited again with what was typed, nothing lost
    refused_ = true;
    const QModelIndex cell = model_.index(typed.row, typed.column);
    setCurrentIndex(cell);
    edit(cell);
    for (QLineEdit* box : viewport()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly))
        if (box->isVisible())
            box->setText(typed.text);
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    if (model_.editable()) { // Enter belongs to the window (its default button), also while editing
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            event->ignore();
            return;
        }
        QTableView::keyPressEvent(event);
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit rowActivated();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace tabel::ui
