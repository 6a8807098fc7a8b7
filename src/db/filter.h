#pragma once
// The client-side filter language of the datasets:
//   field = value, field <> value (also <, >, <=, >=), field like 'text%'
//   joined by "and" / "or" ("and" binds tighter), with parentheses;
//   a value is a number or a single-quoted string with '' for a quote.
// Text comparisons ignore letter case. In a like pattern '%' is any run of characters, '_' any one
// character and '\' takes the next character literally.
#include "db/value.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace tabel::db {

class Filter {
public:
    // Parses the expression; throws DbError naming the fault for a malformed one.
    static Filter parse(const QString& expression);

    Filter();
    ~Filter();
    Filter(Filter&&) noexcept;
    Filter& operator=(Filter&&) noexcept;

    // The field names the expression reads, lower case.
    QStringList fields() const;
    // Evaluates on one row; `column(i)` gives the value of the i-th name of fields().
    bool matches(const std::function<Value(int)>& column) const;

    struct Node;

private:
    std::unique_ptr<Node> root_;
    QStringList fields_;
};

// A "field like 'typed%'" term for typed text: quotes and wildcards in the text match themselves.
QString filterLike(const QString& field, const QString& typed);
// A quoted string literal of the filter language.
QString filterQuote(const QString& text);

} // namespace tabel::db
