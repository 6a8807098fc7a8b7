#pragma once
// TForm3: the products, from which the operation dialog picks one by a double click.
#include "catalog/catalog_list.h"
#include "core/ids.h"

#include <optional>

namespace tabel::db {
class TDataModule6;
}

namespace tabel::catalog {

struct ChosenProduct {
    QString brand;
    Id id = 0;
};

class TForm3 : public CatalogList {
    Q_OBJECT
public:
    TForm3(ui::Prompter& prompter, db::TDataModule6& dm, QWidget* parent);

    // Shows the list to pick a product, as the operation dialog does; the product picked, if any.
    std::optional<ChosenProduct> showToChoose();
    // The product picked during the current showing.
    const std::optional<ChosenProduct>& chosen() const { return chosen_; }

    void FormActivate() override;
    void Button2Click() override;

private:
    db::TDataModule6& dm_;
    std::optional<ChosenProduct> chosen_;
};

} // namespace tabel::catalog
