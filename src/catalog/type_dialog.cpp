#include "catalog/type_dialog.h"

#include "catalog/check_duplicate.h"
#include "core/text.h"
#include "db/data_module.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tabel::catalog {
namespace {

const QString duplicateMessage = u"Такая операция уже заведена!"_s;

} // namespace

TForm9::TForm9(ui::Prompter& prompter, db::TDataModule6& dm, QWidget* parent)
    : ui::Form(prompter, parent)
    , Edit1(new QLineEdit(this))
    , Button1(new QPushButton(u"Записать"_s, this))
    , Button2(new QPushButton(u"Отмена"_s, this))
    , dm_(dm)
{
    Edit1->setMaxLength(50); // the length of a stored type name
    auto* group = new QGroupBox(u"Вид операции"_s, this);
    auto* fields = new QFormLayout(group);
    fields->addRow(u"Операция"_s, Edit1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    Edit1->setMinimumWidth(320);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Button1->setDefault(true);

    on(Button1, &QPushButton::clicked, &TForm9::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm9::FormActivate()
{
    Edit1->setFocus();
}

void TForm9::Button1Click()
{
    const QString name = cleanName(Edit1->text());
    if (name.isEmpty()) {
        prompter().message(u"Все поля должны быть заполнены!"_s, u"Ошибка"_s, ui::ErrorOk);
        return;
    }
    const QString upper = name.toUpper();
    db::Table& types = dm_.Vid_oper;
    if (tag_ == 1) {
        if (CheckDuplicate(prompter(), dm_,
                u"select count(*) as cnt from accounts_dep.vid_oper where upper(vid)=:vid"_s, { { u"vid"_s, upper } },
                duplicateMessage))
            return;
        types.append();
    } else {
        const QString id = QString::number(types.field(u"id"_s).toInt64());
        if (CheckDuplicate(prompter(), dm_,
                u"select count(*) as cnt from accounts_dep.vid_oper where upper(vid)=:vid and id<>"_s + id,
                { { u"vid"_s, upper } }, duplicateMessage))
            return;
        types.edit();
    }
    types.setField(u"vid"_s, name);
    try {
        types.post();
    } catch (...) {
        types.cancel(); // the dialog stays open with the name; the list keeps its rows
        throw;
    }
    types.close();
    types.open();
    accept();
}

} // namespace tabel::catalog
