#pragma once
// Where a dataset keeps its fetched rows. A QPSQL result stays the libpq result it arrived as and
// converts a value when it is read (no copy of the whole result); other results and tables being
// edited keep converted values.
#include <QMetaType>
#include <QVariant>
#include <memory>
#include <vector>

namespace tabel::db {

class CellStore {
public:
    virtual ~CellStore() = default;
    virtual int rows() const = 0;
    virtual int columns() const = 0;
    // The value as the dataset layer stores it (already normalised, see normalizeFetched).
    virtual QVariant at(int row, int column) const = 0;
};

class VariantStore final : public CellStore {
public:
    VariantStore(int columns, std::vector<QVariant> cells)
        : columns_(columns)
        , cells_(std::move(cells))
    {
    }
    // A copy of another store's values, for editing.
    static std::unique_ptr<VariantStore> copyOf(const CellStore& other);

    int rows() const override { return columns_ == 0 ? 0 : static_cast<int>(cells_.size() / columns_); }
    int columns() const override { return columns_; }
    QVariant at(int row, int column) const override { return cells_[index(row, column)]; }

    void set(int row, int column, QVariant v) { cells_[index(row, column)] = std::move(v); }
    void appendRow(std::vector<QVariant> row);
    void removeRow(int row);

private:
    size_t index(int row, int column) const { return static_cast<size_t>(row) * columns_ + column; }
    int columns_;
    std::vector<QVariant> cells_;
};

} // namespace tabel::db
