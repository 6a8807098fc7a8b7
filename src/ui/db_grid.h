#pragma once
// The program's data grid (DBGrid2 and the lists): a read-only table over a GridModel with
// whole-row selection that stays in step with the dataset's current row, column titles that
// report clicks, and a hook to restyle single cells before they are drawn.
#include "ui/grid_model.h"

#include <QColor>
#include <QFont>
#include <QTableView>
#include <functional>
#include <optional>

namespace tabel::ui {

// What the cell hook may change before the default drawing.
struct CellStyle {
    QFont font;
    QColor text; // invalid = default
    QColor background; // invalid = default (the selection colour on the selected row)
    bool selected = false;
};

class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);

    void setColumns(std::vector<GridColumn> columns);
    // Shows another dataset; the columns keep the widths the user gave them.
    void setDataSet(db::DataSet* dataSet);
    db::DataSet* dataSet() const { return model_.dataSet(); }
    GridModel& gridModel() { return model_; }
    const GridModel& gridModel() const { return model_; }

    // Called for every cell before it is drawn: (visible row, column index, style to adjust).
    using CellHook = std::function<void(int row, int column, CellStyle& style)>;
    void setCellHook(CellHook hook) { cellHook_ = std::move(hook); }
    const CellHook& cellHook() const { return cellHook_; }
    // The style a cell gets: the default with the hook applied (the delegate draws with it).
    CellStyle cellStyle(int row, int column) const;

    // The displayed text of a cell.
    QString cellText(int row, int column) const;

    // Makes the cells editable in place, with a blank row under the last for a new row. When the
    // editing of a cell ends with a changed text, `save` runs with it (after the cell's editor has
    // closed, so it may re-read the rows); when it refuses the text (returns false) the cell is
    // edited again with what was typed.
    using CellSave = std::function<bool(int row, int column, const QString& text)>;
    void setCellEditor(CellSave save);
    // Ends an open cell edit as leaving the cell would, saving a change; false when the save was
    // refused (the cell is then in editing again).
    bool finishEditing();

signals:
    void titleClicked(int column);
    void rowActivated(); // double click or Enter on a row
    void rowDoubleClicked(); // a double click only

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void applyColumns();
    void syncFromDataSet(int row);

    GridModel model_;
    std::vector<int> widths_; // the columns' widths, as the user last dragged them
    bool applying_ = false;
    CellHook cellHook_;
    bool syncing_ = false;
    CellSave save_;
    bool refused_ = false; // the last save refused its text
    struct Typed {
        int row;
        int column;
        QString text;
    };
    std::optional<Typed> pending_; // a changed cell whose editor is closing
};

} // namespace tabel::ui
