#include "entry/material_dialog.h"

#include "core/numbers.h"
#include "db/data_module.h"
#include "domain/record_parts.h"
#include "ui/fonts.h"
#include "ui/lookup_combo.h"
#include "ui/number_box.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tabel::entry {
namespace {

QStringList remainderStatement(const QString& kind)
{
    return { u"select res_qty.s_full_caption"_s, u"      ,res_qty.f_qty as f_qty_free"_s,
        u"from accounts_dep.get_reminder_qty_by_smena(:id_smena, :id_gds, '"_s + kind + u"') res_qty;"_s };
}

double firstNumber(const db::Query& q, const QString& field)
{
    return q.isOpen() && !q.isEmpty() ? q.value(0, q.fieldIndex(field)).toDouble() : 0.0;
}

} // namespace

TForm24::TForm24(ui::Prompter& prompter, db::TDataModule6& dm, QWidget* parent)
    : ui::Form(prompter, parent)
    , LCB_id_gds_use(new ui::LookupCombo(this))
    , Edit7(new QLineEdit(u"0"_s, this))
    , DBText1(ui::boldLabel(QString(), this))
    , DBText2(ui::boldLabel(QString(), this))
    , Button1(new QPushButton(u"Запись"_s, this))
    , Button2(new QPushButton(u"Отмена"_s, this))
    , v_cmn_gds_in(dm.ADO_DB, u"select * from accounts_dep.get_gds_from_by_smena(:id_smena)"_s)
    , v_id_cons_use(dm.ADO_DB)
    , v_id_cons_use1(dm.ADO_DB)
    , operation(dm.ADO_DB)
    , sum_smena_gds_use(dm.ADO_DB,
          u"select sum(f_qty_use) as sum_qty_use from accounts_dep.smena_gds_use sgu where sgu.id_smena =:id_smena and id_gds_use=:id_gds_use"_s)
    , dm_(dm)
{
    setWindowTitle(u"Материал"_s);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    v_id_cons_use.setSql(remainderStatement(u"free"_s));
    v_id_cons_use1.setSql(remainderStatement(u"reserved"_s));
    LCB_id_gds_use->bind(&v_cmn_gds_in, u"s_caption"_s, u"id"_s);
    LCB_id_gds_use->setMinimumWidth(420);
    ui::NumberKeyFilter::install(Edit7);
    for (QLabel* l : { DBText1, DBText2 })
        l->setWordWrap(true);

    auto* fields = new QFormLayout;
    fields->addRow(ui::boldLabel(u"ТМЦ"_s, this), LCB_id_gds_use);
    fields->addRow(ui::boldLabel(u"Расход"_s, this), Edit7);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(DBText1);
    layout->addWidget(DBText2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Button1->setDefault(true);

    on(LCB_id_gds_use, &ui::LookupCombo::chosen, &TForm24::LCB_id_gds_useCloseUp);
    on(Button1, &QPushButton::clicked, &TForm24::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    LCB_id_gds_use->installEventFilter(this);
}

bool TForm24::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == LCB_id_gds_use && ui::leavesForAnotherControl(event) && isVisible())
        ui::runGuarded(prompter(), [this] { LCB_id_gds_useCloseUp(); });
    return ui::Form::eventFilter(watched, event);
}

void TForm24::FormActivate()
{
    for (db::Query* q : { &v_id_cons_use, &v_id_cons_use1 }) {
        q->close();
        q->setParam(u"id_smena"_s, -1);
        q->setParam(u"id_gds"_s, 0);
        q->open();
    }
    showRemainders();
    material_ = 0;
    norm_ = 0;
}

void TForm24::showRemainders()
{
    const auto caption = [](const db::Query& q) {
        return q.isOpen() && !q.isEmpty() ? q.value(0, q.fieldIndex(u"s_full_caption"_s)).toText() : QString();
    };
    DBText1->setText(caption(v_id_cons_use));
    DBText2->setText(caption(v_id_cons_use1));
}

double TForm24::usedQuantity()
{
    sum_smena_gds_use.close();
    sum_smena_gds_use.setParam(u"id_smena"_s, record_.id);
    sum_smena_gds_use.setParam(u"id_gds_use"_s, material_);
    sum_smena_gds_use.open();
    return firstNumber(sum_smena_gds_use, u"sum_qty_use"_s);
}

void TForm24::LCB_id_gds_useCloseUp()
{
    v_id_cons_use.close();
    v_id_cons_use1.close();
    operation.close();
    const db::Value key = LCB_id_gds_use->keyValue();
    material_ = key.toId();
    if (!key.isNull()) {
        const bool colour = !v_cmn_gds_in.isEmpty() && v_cmn_gds_in.field(u"b_is_color"_s).toInt() == 1;
        const QString product = QString::number(record_.product);
        operation.setSql(
            colour ? QString(
                u"select gds_attr.f_color_qty as f_qty_from from cmn_gds_and_srv.gds_attr gds_attr where gds_attr.id = "_s
                + product)
                   : QString(u"select f_qty_from from mnf_operation.operation where id_gds_to = "_s + product
                       + u" and id_gds_from = "_s + QString::number(material_)));
    }
    for (db::Query* q : { &v_id_cons_use, &v_id_cons_use1 }) {
        q->setParam(u"id_smena"_s, record_.id);
        q->setParam(u"id_gds"_s, material_);
    }
    if (!key.isNull())
        operation.open();
    v_id_cons_use.open();
    v_id_cons_use1.open();
    showRemainders();
    const double used = usedQuantity();
    const QString quantity = record_.quantity.trimmed();
    norm_ = roundHalfEven(
        firstNumber(operation, u"f_qty_from"_s) * (quantity.isEmpty() ? 0.0 : parseNumber(quantity)), 4);
    Edit7->setText(norm_ > 0 ? formatGeneral(roundHalfEven(norm_ - used, 3)) : u"0"_s);
}

void TForm24::Button1Click()
{
    const double used = usedQuantity();
    const double available = firstNumber(v_id_cons_use, u"f_qty_free"_s) + firstNumber(v_id_cons_use1, u"f_qty_free"_s);
    if (LCB_id_gds_use->shownText().isEmpty()) {
        prompter().message(u"Все поля должны быть заполнены!"_s, u"Ошибка"_s, ui::ErrorOk);
        return;
    }
    double quantity = Edit7->text().trimmed().isEmpty() ? 0.0 : ui::readNumber(Edit7);
    if (roundHalfEven(used + quantity - norm_, 4) > 0) {
        if (roundHalfEven(quantity, 4) <= 0
            || prompter().message(
                   u"Расход ТМЦ не может быть больше остатка по партии! Расходовать весь остаток по партии?"_s,
                   u"Запрос"_s, ui::WarningYesNo)
                != ui::Answer::Yes)
            return;
        quantity = roundHalfEven(norm_ - used, 4);
    }
    const double q = roundHalfEven(quantity, 3);
    if (roundHalfEven(available, 3) < q) {
        if (q <= 0
            || prompter().message(u"Расход ТМЦ не может быть больше партии! Расходовать весь остаток по партии?"_s,
                   u"Запрос"_s, ui::WarningYesNo)
                != ui::Answer::Yes)
            return;
        quantity = roundHalfEven(available, 3);
    }
    if (LCB_id_gds_use->keyValue().isNull())
        return;
    if (quantity <= 0) {
        prompter().message(u"Расход ТМЦ не может быть 0!"_s, u"Ошибка"_s, ui::ErrorOk);
        return;
    }
    addMaterial(dm_, record_.id, material_, quantity);
    accept();
}

void TForm24::FormClose()
{
    v_cmn_gds_in.close();
    v_id_cons_use.close();
    v_id_cons_use1.close();
}

void TForm24::done(int result)
{
    ui::runGuarded(prompter(), [this] { FormClose(); });
    ui::Form::done(result);
}

} // namespace tabel::entry
