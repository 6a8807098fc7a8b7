#include "catalog/type_list.h"

#include "catalog/type_dialog.h"
#include "db/data_module.h"
#include "ui/db_grid.h"

#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace tabel::catalog {

TForm8::TForm8(ui::Prompter& prompter, db::TDataModule6& dm, TForm9& dialog, QWidget* parent)
    : CatalogList(prompter, dm.Vid_oper, u"vid"_s, Keys::AllHandled, parent)
    , dm_(dm)
    , dialog_(dialog)
{
    setWindowTitle(u"Виды операций"_s);
    resize(420, 520);
    DBGrid1->setColumns({ { u"vid"_s, u"Операции"_s, 360 } });
    Edit1->hide();
    Button1->setDefault(true);
    Button4->setAutoDefault(false);
    on(Button1, &QPushButton::clicked, &TForm8::Button1Click);
    on(Button3, &QPushButton::clicked, &TForm8::Button3Click);
}

std::optional<ChosenType> TForm8::showToChoose()
{
    dm_.Vid_oper.open();
    enterChooseMode(false);
    prompter().exec(*this);
    leaveChooseMode();
    Edit1->hide();
    dm_.Vid_oper.close();
    return chosen_;
}

void TForm8::FormActivate()
{
    chosen_.reset();
    CatalogList::FormActivate();
}

void TForm8::Button1Click()
{
    dialog_.Edit1->clear();
    dialog_.setWindowTitle(u"Заведение нового вида операций"_s);
    dialog_.setTag(1);
    prompter().exec(dialog_);
}

void TForm8::Button2Click()
{
    db::Table& types = dm_.Vid_oper;
    if (chooseMode()) {
        if (!types.isEmpty())
            chosen_ = ChosenType { types.field(u"vid"_s).toText().trimmed(), types.field(u"id"_s).toId() };
        accept();
        return;
    }
    if (types.isEmpty())
        return;
    dialog_.setWindowTitle(u"Изменение данных вида операции"_s);
    dialog_.setTag(2);
    dialog_.Edit1->setText(types.field(u"vid"_s).toText().trimmed());
    prompter().exec(dialog_);
}

void TForm8::Button3Click()
{
    db::Table& types = dm_.Vid_oper;
    if (types.isEmpty() || !confirmDelete(u"Удалить вид операции?"_s))
        return;
    types.remove(); // a refusal of the server reaches the user and the list stays as it is
    types.close();
    types.open();
}

} // namespace tabel::catalog
