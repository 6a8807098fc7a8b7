#include "catalog/product_list.h"

#include "db/data_module.h"
#include "ui/db_grid.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tabel::catalog {

TForm3::TForm3(ui::Prompter& prompter, db::TDataModule6& dm, QWidget* parent)
    : CatalogList(prompter, dm.Izdel, u"marka"_s, Keys::ArrowsOnly, parent)
    , dm_(dm)
{
    setWindowTitle(u"Изделия"_s);
    setFixedSize(460, 520);
    DBGrid1->setColumns({
        { u"MARKA"_s, u"Марка изделия"_s, 300 },
        { u"massa"_s, u"Коробки"_s, 110, Qt::AlignLeft | Qt::AlignVCenter },
    });
    for (QWidget* w : { static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2),
             static_cast<QWidget*>(Button3) })
        w->hide();
}

std::optional<ChosenProduct> TForm3::showToChoose()
{
    dm_.Izdel.open();
    enterChooseMode(false);
    prompter().exec(*this);
    leaveChooseMode();
    Edit1->hide();
    dm_.Izdel.close();
    return chosen_;
}

void TForm3::FormActivate()
{
    chosen_.reset();
    CatalogList::FormActivate();
}

void TForm3::Button2Click()
{
    db::Query& products = dm_.Izdel;
    const int row = products.recNo();
    if (chooseMode() && !products.isEmpty()) {
        // The statement strips tabs at both ends of the brand; trimming drops any other blanks.
        chosen_ = ChosenProduct { products.field(u"marka"_s).toText().trimmed(), products.field(u"id"_s).toId() };
        accept();
    }
    products.setRecNo(row);
}

} // namespace tabel::catalog
