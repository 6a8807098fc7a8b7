#pragma once
// What the operation list reads from the record editor: whether the record is tied to a
// requisition, and the goods the operations are narrowed to then.
#include "core/ids.h"

#include <optional>

namespace tabel::catalog {

class RequisitionContext {
public:
    virtual ~RequisitionContext() = default;
    // A requisition or a requisition line is chosen in the editor.
    virtual bool hasRequisition() const = 0;
    // By requisition the goods of the current line, otherwise the current goods row; nothing when
    // there is no current row.
    virtual std::optional<Id> goodsId() const = 0;
};

} // namespace tabel::catalog
