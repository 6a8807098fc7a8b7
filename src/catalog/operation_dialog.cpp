#include "catalog/operation_dialog.h"

#include "catalog/check_duplicate.h"
#include "catalog/product_list.h"
#include "catalog/type_list.h"
#include "core/numbers.h"
#include "db/data_module.h"
#include "ui/number_box.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tabel::catalog {
namespace {

const QString duplicateMessage = u"Операция с такими параметрами уже заведена!"_s;

} // namespace

TForm10::TForm10(ui::Prompter& prompter, db::TDataModule6& dm, TForm3& products, TForm8& types, QWidget* parent)
    : ui::Form(prompter, parent)
    , Edit1(new QLineEdit(this))
    , Button3(new QPushButton(u"..."_s, this))
    , Edit2(new QLineEdit(this))
    , Button4(new QPushButton(u"..."_s, this))
    , ComboBox1(new QComboBox(this))
    , Edit3(new QLineEdit(this))
    , Button1(new QPushButton(u"Записать"_s, this))
    , Button2(new QPushButton(u"Отмена"_s, this))
    , dm_(dm)
    , products_(products)
    , types_(types)
{
    for (QLineEdit* box : { Edit1, Edit2 }) {
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setMinimumWidth(300);
    }
    for (QPushButton* b : { Button3, Button4 })
        b->setFixedWidth(30);
    ComboBox1->addItems({ u"Готовая продукция"_s, u"Заготовки"_s });
    ui::NumberKeyFilter::install(Edit3);

    auto* group = new QGroupBox(u"Цена операции"_s, this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(u"Марка изделия"_s, group), 0, 0);
    grid->addWidget(Edit1, 0, 1);
    grid->addWidget(Button3, 0, 2);
    grid->addWidget(new QLabel(u"Операция"_s, group), 1, 0);
    grid->addWidget(Edit2, 1, 1);
    grid->addWidget(Button4, 1, 2);
    grid->addWidget(new QLabel(u"Вид"_s, group), 2, 0);
    grid->addWidget(ComboBox1, 2, 1);
    grid->addWidget(new QLabel(u"min Цена"_s, group), 3, 0);
    grid->addWidget(Edit3, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(Button3, Button4);
    setTabOrder(Button4, ComboBox1);
    setTabOrder(ComboBox1, Edit3);
    setTabOrder(Edit3, Button1);
    setTabOrder(Button1, Button2);
    Button1->setDefault(true);

    on(Button1, &QPushButton::clicked, &TForm10::Button1Click);
    on(Button3, &QPushButton::clicked, &TForm10::Button3Click);
    on(Button4, &QPushButton::clicked, &TForm10::Button4Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm10::FormActivate()
{
    Button3->setFocus();
}

void TForm10::Button3Click()
{
    if (const auto chosen = products_.showToChoose()) {
        Edit1->setText(chosen->brand);
        productId = chosen->id;
    }
}

void TForm10::Button4Click()
{
    if (const auto chosen = types_.showToChoose()) {
        Edit2->setText(chosen->name);
        typeId = chosen->id;
    }
}

void TForm10::Button1Click()
{
    const int kind = ComboBox1->currentIndex();
    if (Edit1->text().trimmed().isEmpty() || Edit2->text().trimmed().isEmpty()) {
        prompter().message(u"Все поля должны быть заполнены!"_s, u"Ошибка"_s, ui::ErrorOk);
        return;
    }
    // Every number in these statements is one the program holds, written as a decimal integer.
    const QString same = u" where vid="_s + QString::number(typeId) + u" and naimen="_s + QString::number(kind)
        + u" and i_id="_s + QString::number(productId);
    db::Query& operations = dm_.Oper;
    if (tag_ == 1) {
        if (CheckDuplicate(
                prompter(), dm_, u"select count(ID) as cnt from accounts_dep.OPER"_s + same, {}, duplicateMessage))
            return;
        const double price = ui::readNumber(Edit3); // not a number: refused, nothing inserted
        dm_.Oper_ins.setParam(u"oper_vid"_s, typeId);
        dm_.Oper_ins.setParam(u"naimen"_s, kind);
        dm_.Oper_ins.setParam(u"i_id"_s, productId);
        dm_.Oper_ins.setParam(u"cena_new"_s, price);
        dm_.Oper_ins.execute();
    } else {
        const Id id = operations.field(u"id"_s).toId();
        if (CheckDuplicate(prompter(), dm_,
                u"select count(*) as cnt from accounts_dep.OPER"_s + same + u" and id<>"_s + QString::number(id), {},
                duplicateMessage))
            return;
        dm_.Oper_ed.setParam(u"oper_vid"_s, typeId);
        dm_.Oper_ed.setParam(u"naimen"_s, kind);
        dm_.Oper_ed.setParam(u"i_id"_s, productId);
        dm_.Oper_ed.setParam(u"id"_s, id);
        dm_.Oper_ed.execute();
    }
    operations.close();
    operations.open();
    accept();
}

} // namespace tabel::catalog
