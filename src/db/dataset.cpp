#include "db/dataset.h"

#include "db/db_error.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>
#include <algorithm>
#include <numeric>
#include <optional>

using namespace Qt::StringLiterals;

namespace tabel::db {
namespace {

// One column's rows reduced to something cheap to compare: nulls first, then numbers (also
// dates as day numbers), then texts by Russian collation.
struct SortColumn {
    std::vector<char> rank; // 0 null, 1 number, 2 text
    std::vector<double> number;
    std::vector<std::optional<QCollatorSortKey>> text;
    bool descending = false;

    int compare(int a, int b) const
    {
        if (rank[a] != rank[b])
            return rank[a] < rank[b] ? -1 : 1;
        if (rank[a] == 1)
            return number[a] < number[b] ? -1 : (number[b] < number[a] ? 1 : 0);
        if (rank[a] == 2)
            return text[a]->compare(*text[b]);
        return 0;
    }
};

const QCollator& russianCollator()
{
    static const QCollator collator = [] {
        QCollator c { QLocale(QLocale::Russian, QLocale::Russia) };
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        return c;
    }();
    return collator;
}

} // namespace

DataSet::DataSet(QObject* parent)
    : QObject(parent)
{
}
DataSet::~DataSet() = default;

void DataSet::close()
{
    const bool had = open_ || store_;
    if (had)
        beginRowChange();
    open_ = false;
    names_.clear();
    types_.clear();
    store_.reset();
    editable_ = nullptr;
    lowered_.clear();
    order_.clear();
    visible_.clear();
    cursor_ = 0;
    sortText_.clear();
    if (had) {
        changing_ = false;
        emit rowsChanged();
        emit currentChanged(-1);
    }
}

int DataSet::fieldIndex(const QString& name) const
{
    for (int i = 0; i < names_.size(); ++i)
        if (names_.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DataSet::recNo() const
{
    return eof() ? 0 : cursor_ + 1;
}

void DataSet::setCursor(int visibleRow)
{
    const int n = recordCount();
    const int c = n == 0 ? 0 : std::clamp(visibleRow, 0, n);
    if (c == cursor_)
        return;
    cursor_ = c;
    emit currentChanged(eof() ? -1 : cursor_);
}

void DataSet::setRecNo(int n)
{
    setCursor(std::clamp(n, 1, std::max(1, recordCount())) - 1);
}
void DataSet::first()
{
    setCursor(0);
}
void DataSet::last()
{
    setCursor(std::max(0, recordCount() - 1));
}
void DataSet::next()
{
    setCursor(cursor_ + 1);
}
void DataSet::prior()
{
    setCursor(std::max(0, cursor_ - 1));
}

int DataSet::physicalRow() const
{
    return eof() ? -1 : visible_[cursor_];
}

void DataSet::requireColumn(int column, const QString& name) const
{
    if (column < 0)
        throw DbError(u"Поле «"_s + name + u"» не найдено"_s);
}

Value DataSet::field(const QString& name) const
{
    const int c = fieldIndex(name);
    requireColumn(c, name);
    if (eof())
        throw DbError(u"Нет текущей записи для поля «"_s + name + u"»"_s);
    return Value(cell(visible_[cursor_], c));
}

Value DataSet::value(int row, int column) const
{
    if (row < 0 || row >= recordCount() || column < 0 || column >= fieldCount())
        return {};
    return Value(cell(visible_[row], column));
}

bool DataSet::locate(const QString& name, const QVariant& wanted)
{
    const int c = fieldIndex(name);
    requireColumn(c, name);
    const Value w(wanted);
    // text sought in a number field must read as a number, or nothing matches ("abc" is not 0)
    std::optional<double> wantedNumber;
    if (w.isNumeric()) {
        wantedNumber = w.toDouble();
    } else if (!w.isNull()) {
        bool ok = false;
        const double d = QString(w.toText().trimmed()).replace(u',', u'.').toDouble(&ok);
        if (ok)
            wantedNumber = d;
    }
    for (int r = 0; r < recordCount(); ++r) {
        const Value v(cell(visible_[r], c));
        const bool equal = (v.isNumeric() || w.isNumeric())
            ? (!v.isNull() && wantedNumber && v.toDouble() == *wantedNumber)
            : (v.isNull() == w.isNull() && v.toText() == w.toText());
        if (equal) {
            setCursor(r);
            return true;
        }
    }
    return false;
}

void DataSet::requireFields(const QStringList& fields) const
{
    if (!open_)
        return;
    for (const QString& f : fields)
        requireColumn(fieldIndex(f), f);
}

void DataSet::setSort(const QString& text)
{
    // validated before anything changes: a bad text leaves the previous sort in force
    QStringList fields;
    for (const SortKey& k : parseSort(text))
        fields << k.field;
    requireFields(fields);
    sortText_ = text;
    beginRowChange();
    rebuild(physicalRow());
}

void DataSet::setFilter(const QString& text)
{
    // validated before anything changes: a bad text leaves the previous filter in force
    Filter parsed = text.trimmed().isEmpty() ? Filter() : Filter::parse(text);
    requireFields(parsed.fields());
    filterText_ = text;
    filterExpr_ = std::move(parsed);
    if (filtered_) {
        beginRowChange();
        rebuild(physicalRow());
    }
}

void DataSet::setFiltered(bool on)
{
    if (on == filtered_)
        return;
    filtered_ = on;
    beginRowChange();
    rebuild(physicalRow());
}

void DataSet::setResult(Fetched fetched)
{
    beginRowChange();
    names_ = std::move(fetched.names);
    types_ = std::move(fetched.types);
    store_ = std::move(fetched.store);
    editable_ = dynamic_cast<VariantStore*>(store_.get());
    lowered_.clear();
    sortText_.clear();
    open_ = true;
    cursor_ = -1; // force the signal
    rebuild(-1);
}

VariantStore& DataSet::editableStore()
{
    if (!store_)
        throw DbError(u"Набор данных не открыт"_s);
    if (!editable_) {
        auto copy = VariantStore::copyOf(*store_);
        editable_ = copy.get();
        store_ = std::move(copy);
    }
    lowered_.clear(); // the caller is about to change the rows
    return *editable_;
}

void DataSet::applyOrder()
{
    order_.resize(storedRows());
    std::iota(order_.begin(), order_.end(), 0);
    const std::vector<SortKey> keys = parseSort(sortText_);
    if (keys.empty() || order_.empty())
        return;
    std::vector<SortColumn> columns;
    for (const SortKey& k : keys) {
        const int c = fieldIndex(k.field);
        requireColumn(c, k.field);
        SortColumn col;
        col.descending = k.descending;
        const int n = storedRows();
        col.rank.resize(n);
        col.number.resize(n);
        col.text.resize(n);
        for (int r = 0; r < n; ++r) {
            const QVariant v = cell(r, c);
            const Value value(v);
            if (value.isNull()) {
                col.rank[r] = 0;
            } else if (value.isNumeric() || v.typeId() == QMetaType::Bool) {
                col.rank[r] = 1;
                col.number[r] = value.toDouble();
            } else if (const std::optional<qint64> m = value.moment()) {
                col.rank[r] = 1;
                col.number[r] = static_cast<double>(*m); // exact below year 2255
            } else {
                col.rank[r] = 2;
                col.text[r] = russianCollator().sortKey(v.toString());
            }
        }
        columns.push_back(std::move(col));
    }
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
        for (const SortColumn& col : columns) {
            const int c = col.compare(a, b);
            if (c != 0)
                return col.descending ? c > 0 : c < 0;
        }
        return false;
    });
}

void DataSet::applyFilter()
{
    visible_.clear();
    if (!filtered_ || filterText_.trimmed().isEmpty()) {
        visible_ = order_;
        return;
    }
    // Text columns are read through their lower-case copies, made once per result: the filter
    // compares texts without regard to case anyway, and a keystroke in a filter box then costs
    // no conversion of every row.
    std::vector<int> columns;
    std::vector<const LoweredColumn*> texts;
    for (const QString& f : filterExpr_.fields()) {
        const int c = fieldIndex(f);
        requireColumn(c, f);
        columns.push_back(c);
        texts.push_back(types_[c].id() == QMetaType::QString ? &loweredColumn(c) : nullptr);
    }
    visible_.reserve(order_.size());
    for (const int r : order_) {
        const auto column = [&](int i) {
            if (!texts[i])
                return Value(cell(r, columns[i]));
            return texts[i]->null[r] ? Value() : Value(QVariant(texts[i]->texts[r]));
        };
        if (filterExpr_.matches(column))
            visible_.push_back(r);
    }
}

const DataSet::LoweredColumn& DataSet::loweredColumn(int column)
{
    if (lowered_.size() != static_cast<size_t>(names_.size()))
        lowered_.assign(names_.size(), {});
    LoweredColumn& lowered = lowered_[column];
    if (!lowered.made) {
        lowered.texts.reserve(storedRows());
        lowered.null.reserve(storedRows());
        for (int r = 0; r < storedRows(); ++r) {
            const Value v(cell(r, column));
            lowered.null.push_back(v.isNull());
            lowered.texts.push_back(v.isNull() ? QString() : v.toText().toLower());
        }
        lowered.made = true;
    }
    return lowered;
}

void DataSet::beginRowChange()
{
    if (changing_)
        return;
    changing_ = true;
    emit rowsAboutToChange();
}

void DataSet::rebuild(int keepPhysical)
{
    if (!open_) {
        if (changing_) {
            changing_ = false;
            emit rowsChanged();
        }
        return;
    }
    struct Done { // the change is completed even when the sort or filter throws
        DataSet& ds;
        ~Done()
        {
            if (ds.changing_) {
                ds.changing_ = false;
                emit ds.rowsChanged();
            }
        }
    } done { *this };
    try {
        applyOrder();
        applyFilter();
    } catch (...) {
        visible_ = order_;
        if (order_.size() != static_cast<size_t>(storedRows())) {
            order_.resize(storedRows());
            std::iota(order_.begin(), order_.end(), 0);
            visible_ = order_;
        }
        cursor_ = 0;
        throw;
    }
    int target = 0;
    if (keepPhysical >= 0) {
        const auto it = std::find(visible_.begin(), visible_.end(), keepPhysical);
        if (it != visible_.end())
            target = static_cast<int>(it - visible_.begin());
    }
    cursor_ = target;
    changing_ = false;
    emit rowsChanged();
    emit currentChanged(eof() ? -1 : cursor_);
}

} // namespace tabel::db
