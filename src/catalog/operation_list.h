#pragma once
// TForm4: the operations with their lowest price and norm count. From the main menu it keeps the
// catalogue (add, change, delete, norms, export); from the record editor it picks the operation
// of a record and works out its piece price.
#include "catalog/catalog_list.h"
#include "core/ids.h"
#include "db/query.h"
#include "domain/piece_price.h"

#include <functional>
#include <optional>

class QCheckBox;

namespace tabel::db {
class TDataModule6;
}
namespace tabel::excel {
class ExcelLink;
}

namespace tabel::catalog {

class RequisitionContext;
class TForm10;
class TForm22;

// The journal's day and shift, which the piece price follows.
struct ShiftDay {
    bool dayOff = false;
    int shift = 1;
};

struct ChosenOperation {
    Id productId = 0;
    Id operationId = 0;
    PiecePrice price;
    QString productText; // "brand; type; kind"
};

class TForm4 : public CatalogList {
    Q_OBJECT
public:
    TForm4(ui::Prompter& prompter, db::TDataModule6& dm, TForm10& dialog, TForm22& norms, excel::ExcelLink& excel,
        std::function<ShiftDay()> shiftDay, QWidget* parent);

    // The record editor's requisition state, read by the filter; none outside the editor.
    void setRequisitionContext(const RequisitionContext* context) { context_ = context; }
    // Shows the list to pick the operation of a record, as the record editor does (the filter
    // follows its requisition); the operation picked, if any.
    std::optional<ChosenOperation> showToChoose();
    // The operation picked in choose mode during the current showing.
    const std::optional<ChosenOperation>& chosen() const { return chosen_; }

    QPushButton* Button5;
    QCheckBox* CheckBox1;
    db::Query XLS_Rep;

    void FormActivate() override;
    void Edit1Change() override;
    void Button1Click();
    void Button2Click() override;
    void Button3Click();
    void Button5Click();
    void DBGrid1DblClick() override;

private:
    void choose();

    db::TDataModule6& dm_;
    TForm10& dialog_;
    TForm22& norms_;
    excel::ExcelLink& excel_;
    std::function<ShiftDay()> shiftDay_;
    const RequisitionContext* context_ = nullptr;
    std::optional<ChosenOperation> chosen_;
};

} // namespace tabel::catalog
