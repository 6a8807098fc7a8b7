#include "db/cell_store.h"

namespace tabel::db {

std::unique_ptr<VariantStore> VariantStore::copyOf(const CellStore& other)
{
    std::vector<QVariant> cells;
    cells.reserve(static_cast<size_t>(other.rows()) * other.columns());
    for (int r = 0; r < other.rows(); ++r)
        for (int c = 0; c < other.columns(); ++c)
            cells.push_back(other.at(r, c));
    return std::make_unique<VariantStore>(other.columns(), std::move(cells));
}

void VariantStore::appendRow(std::vector<QVariant> row)
{
    row.resize(columns_);
    cells_.insert(cells_.end(), std::make_move_iterator(row.begin()), std::make_move_iterator(row.end()));
}

void VariantStore::removeRow(int row)
{
    const auto begin = cells_.begin() + static_cast<std::ptrdiff_t>(index(row, 0));
    cells_.erase(begin, begin + columns_);
}

} // namespace tabel::db
