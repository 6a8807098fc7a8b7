#pragma once
// TForm8: the operation types. From the main menu it keeps the catalogue (add, rename, delete);
// from the operation dialog it picks one type.
#include "catalog/catalog_list.h"
#include "core/ids.h"

#include <optional>

namespace tabel::db {
class TDataModule6;
}

namespace tabel::catalog {

class TForm9;

struct ChosenType {
    QString name;
    Id id = 0;
};

class TForm8 : public CatalogList {
    Q_OBJECT
public:
    TForm8(ui::Prompter& prompter, db::TDataModule6& dm, TForm9& dialog, QWidget* parent);

    // Shows the list to pick a type, as the operation dialog does; the type picked, if any.
    std::optional<ChosenType> showToChoose();
    // The type picked in choose mode during the current showing.
    const std::optional<ChosenType>& chosen() const { return chosen_; }

    void FormActivate() override;
    void Button1Click();
    void Button2Click() override;
    void Button3Click();

private:
    db::TDataModule6& dm_;
    TForm9& dialog_;
    std::optional<ChosenType> chosen_;
};

} // namespace tabel::catalog
