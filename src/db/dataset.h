#pragma once
// The in-memory dataset every query and table is: a whole fetched result with a cursor, a
// client-side sort and filter, and signals for the grids bound to it.
//
// Rows keep their fetched order unless a sort is set; the sort is stable. The filter narrows the
// visible rows; recordCount(), recNo() and the cursor work on the visible rows only. Sorting and
// filtering keep the current row when it stays visible, otherwise the cursor goes to the first row.
#include "db/filter.h"
#include "db/sort.h"
#include "db/statement.h"
#include "db/value.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>
#include <vector>

namespace tabel::db {

class DataSet : public QObject {
    Q_OBJECT
public:
    explicit DataSet(QObject* parent = nullptr);
    ~DataSet() override;

    bool isOpen() const { return open_; }
    virtual void close();

    int fieldCount() const { return static_cast<int>(names_.size()); }
    QString fieldName(int column) const { return names_.at(column); }
    // -1 when there is no such field; names are matched without regard to case.
    int fieldIndex(const QString& name) const;
    // The column's type as the driver declared it (for alignment and formats).
    QMetaType fieldType(int column) const { return types_.at(column); }

    int recordCount() const { return static_cast<int>(visible_.size()); }
    bool isEmpty() const { return visible_.empty(); }
    // 1-based number of the current row among the visible rows; 0 when there is none.
    int recNo() const;
    // Makes the n-th visible row current (clamped to the rows there are).
    void setRecNo(int n);
    void first();
    void last();
    void next();
    void prior();
    bool eof() const { return cursor_ >= recordCount(); }
    bool bof() const { return cursor_ <= 0; }

    // The current row's field; throws DbError when the field does not exist or there is no row.
    virtual Value field(const QString& name) const;
    // A visible row's value, for grids.
    Value value(int row, int column) const;
    // Moves to the first visible row whose field equals `wanted` (numbers as numbers, texts exactly);
    // returns false and stays put when there is none.
    bool locate(const QString& name, const QVariant& wanted);

    // A malformed text or one naming a field the result does not have throws DbError and leaves
    // the sort as it was.
    void setSort(const QString& text);
    const QString& sort() const { return sortText_; }
    // The filter text is parsed at once and applies while filtered; a malformed one, or one naming
    // a field the result does not have, throws DbError and leaves the filter as it was.
    void setFilter(const QString& text);
    const QString& filter() const { return filterText_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }

signals:
    void rowsAboutToChange(); // the visible rows are about to change (for models)
    void rowsChanged(); // opened, closed, re-sorted, re-filtered or rows edited
    void currentChanged(int row); // 0-based visible row, -1 for none

protected:
    // Installs a freshly fetched result: sort is cleared, the filter kept, the cursor on the first row.
    void setResult(Fetched fetched);
    int physicalRow() const; // current row's index in the stored rows, -1 when none
    QVariant cell(int physical, int column) const { return store_->at(physical, column); }
    int storedRows() const { return store_ ? store_->rows() : 0; }
    // The rows as values that can be changed (a fetched libpq result is converted once).
    VariantStore& editableStore();
    // Announces a change of the rows; the rebuild() that follows completes it.
    void beginRowChange();
    // Recomputes order and visibility, keeping the given physical row current when visible.
    void rebuild(int keepPhysical);
    void requireColumn(int column, const QString& name) const;
    // Throws DbError for a field the open result does not have (nothing is checked while closed).
    void requireFields(const QStringList& fields) const;
    void setCursor(int visibleRow);

private:
    void applyOrder();
    void applyFilter();
    struct LoweredColumn {
        bool made = false;
        std::vector<QString> texts;
        std::vector<bool> null;
    };
    const LoweredColumn& loweredColumn(int column);

    bool open_ = false;
    QStringList names_;
    std::vector<QMetaType> types_;
    std::unique_ptr<CellStore> store_;
    VariantStore* editable_ = nullptr; // store_ when it is a VariantStore
    std::vector<int> order_; // all stored rows in sort order
    std::vector<int> visible_; // the rows passing the filter, in sort order
    int cursor_ = 0;
    QString sortText_;
    QString filterText_;
    Filter filterExpr_;
    std::vector<LoweredColumn> lowered_; // per text column, made when a filter first reads it
    bool filtered_ = false;
    bool changing_ = false;
};

} // namespace tabel::db
