#pragma once
// TForm5: the employees of the ERP with their position valid today, from which the record editor
// picks the worker of a record or a member of a team.
#include "catalog/catalog_list.h"
#include "core/ids.h"

namespace tabel::db {
class TDataModule6;
}

namespace tabel::catalog {

struct ChosenWorker {
    QString name;
    int code = 0; // the personnel code, the worker code of the records
    Id personId = 0;
};

class TForm5 : public CatalogList {
    Q_OBJECT
public:
    TForm5(ui::Prompter& prompter, db::TDataModule6& dm, QWidget* parent);

    // Shows the list to pick a worker, as the record editor does; true when one was chosen.
    bool showToChoose();
    // Set when a worker has been chosen during the current showing; only then is worker() one.
    bool chosenFlag() const { return chosen_; }
    const ChosenWorker& worker() const { return worker_; }

    void FormActivate() override;
    void Button2Click() override;

private:
    db::TDataModule6& dm_;
    bool chosen_ = false;
    ChosenWorker worker_;
};

} // namespace tabel::catalog
