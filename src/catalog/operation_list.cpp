#include "catalog/operation_list.h"

#include "catalog/norms_editor.h"
#include "catalog/operation_dialog.h"
#include "catalog/requisition_context.h"
#include "core/numbers.h"
#include "db/data_module.h"
#include "db/filter.h"
#include "db/statements.h"
#include "excel/excel_link.h"
#include "ui/busy_cursor.h"
#include "ui/db_grid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tabel::catalog {
namespace {

QString kindText(int naimen)
{
    return naimen == 0 ? u"Готовая продукция"_s : u"Заготовки"_s;
}

} // namespace

TForm4::TForm4(ui::Prompter& prompter, db::TDataModule6& dm, TForm10& dialog, TForm22& norms, excel::ExcelLink& excel,
    std::function<ShiftDay()> shiftDay, QWidget* parent)
    : CatalogList(prompter, dm.Oper, u"marka"_s, Keys::AllHandled, parent)
    , Button5(new QPushButton(u"Excel"_s, this))
    , CheckBox1(new QCheckBox(u"Цены"_s, this))
    , XLS_Rep(dm.ADO_DB)
    , dm_(dm)
    , dialog_(dialog)
    , norms_(norms)
    , excel_(excel)
    , shiftDay_(std::move(shiftDay))
{
    setWindowTitle(u"Операции"_s);
    setFixedSize(900, 560);
    XLS_Rep.setSql(db::statements::xlsRep());
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    DBGrid1->setColumns({
        { u"MARKA"_s, u"Марка"_s, 260 },
        { u"VID"_s, u"Опреция"_s, 220 },
        { u"cena"_s, u"Цена (min)"_s, 90, right },
        { u"nmn"_s, u"Вид"_s, 150 },
        { u"norma"_s, u"Нормы (шт.)"_s, 90, right },
        { u"id"_s, u"id"_s, -1, right, false },
        { u"i_id"_s, u"i_id"_s, -1, right, false },
        { u"oper_vid"_s, u"oper_vid"_s, -1, right, false },
    });
    QFont bold = CheckBox1->font();
    bold.setBold(true);
    CheckBox1->setFont(bold);
    // The check box and the export sit before the exit button.
    QHBoxLayout* row = buttonRow();
    row->insertWidget(row->indexOf(Button4), CheckBox1);
    row->insertWidget(row->indexOf(Button4), Button5);
    Button1->setDefault(true);

    on(Button1, &QPushButton::clicked, &TForm4::Button1Click);
    on(Button3, &QPushButton::clicked, &TForm4::Button3Click);
    on(Button5, &QPushButton::clicked, &TForm4::Button5Click);
}

std::optional<ChosenOperation> TForm4::showToChoose()
{
    db::Query& operations = dm_.Oper;
    operations.open();
    operations.first();
    enterChooseMode(true);
    Edit1Change(); // the requisition filter applies even when the box was empty already
    prompter().exec(*this);
    leaveChooseMode();
    operations.setFiltered(false);
    return chosen_;
}

void TForm4::FormActivate()
{
    chosen_.reset();
    CatalogList::FormActivate();
    if (!Edit1->text().trimmed().isEmpty())
        Edit1Change();
}

void TForm4::Edit1Change()
{
    const QString typed = Edit1->text();
    const bool empty = typed.trimmed().isEmpty();
    // the editor's requisition narrows the list only while the editor chooses from it
    if (!chooseMode() || !context_ || !context_->hasRequisition()) {
        setRowFilter(empty ? QString() : db::filterLike(u"marka"_s, typed));
        return;
    }
    const std::optional<Id> goods = context_->goodsId();
    if (!goods) {
        setRowFilter(u"id<0"_s); // a requisition without a current line: no goods, no operations
        return;
    }
    const QString x = QString::number(*goods);
    setRowFilter(empty ? u"i_id="_s + x + u" or i_id_old="_s + x
                       : u"i_id="_s + x + u" and "_s + db::filterLike(u"marka"_s, typed));
}

void TForm4::Button1Click()
{
    dialog_.Edit1->clear();
    dialog_.Edit2->clear();
    dialog_.Edit3->clear();
    dialog_.ComboBox1->setCurrentIndex(0);
    dialog_.Edit3->setEnabled(true);
    dialog_.setWindowTitle(u"Заведение новой цены за операцию"_s);
    dialog_.setTag(1);
    prompter().exec(dialog_);
}

void TForm4::Button2Click()
{
    if (chooseMode()) {
        choose();
        return;
    }
    db::Query& operations = dm_.Oper;
    if (operations.isEmpty())
        return;
    dialog_.setWindowTitle(u"Изменение данных о цене за операцию"_s);
    dialog_.setTag(2);
    dialog_.Edit1->setText(operations.field(u"marka"_s).toText().trimmed());
    dialog_.Edit2->setText(operations.field(u"vid"_s).toText().trimmed());
    dialog_.ComboBox1->setCurrentIndex(operations.field(u"naimen"_s).toInt());
    dialog_.Edit3->setEnabled(false);
    dialog_.productId = operations.field(u"i_id"_s).toId();
    dialog_.typeId = operations.field(u"oper_vid"_s).toId();
    prompter().exec(dialog_);
}

void TForm4::choose()
{
    db::Query& operations = dm_.Oper;
    if (!operations.isEmpty()) {
        const db::Value lowest = operations.field(u"cena"_s);
        if (lowest.isNull()) {
            prompter().message(
                u"У операции не задана цена: задайте её в нормативах (меню «Цены»)."_s, u"Ошибка"_s, ui::ErrorOk);
            return;
        }
        ChosenOperation c;
        c.productId = operations.field(u"i_id"_s).toId();
        c.operationId = operations.field(u"id"_s).toId();
        const ShiftDay day = shiftDay_ ? shiftDay_() : ShiftDay {};
        c.price = piecePrice(lowest.toDouble(), day.dayOff, day.shift);
        // The brand afresh from the products: the list may have been read a while ago.
        db::Query& control = dm_.Control;
        control.close();
        control.setSql(u"select marka from accounts_dep.izdel where id="_s + QString::number(c.productId));
        control.open();
        const QString brand = control.isEmpty() ? QString() : control.field(u"marka"_s).toText().trimmed();
        control.close();
        c.productText = brand + u"; "_s + operations.field(u"vid"_s).toText().trimmed() + u"; "_s
            + kindText(operations.field(u"naimen"_s).toInt());
        chosen_ = c;
    }
    accept();
}

void TForm4::Button3Click()
{
    db::Query& operations = dm_.Oper;
    if (operations.isEmpty() || !confirmDelete(u"Удалить операцию?"_s))
        return;
    dm_.Oper_del.setParam(u"id"_s, operations.field(u"id"_s).toId());
    dm_.Oper_del.execute(); // a refusal of the server reaches the user and the list stays as it is
    operations.close();
    operations.open();
}

void TForm4::DBGrid1DblClick()
{
    if (CheckBox1->isChecked() && !chooseMode()) {
        if (!dm_.Oper.isEmpty())
            norms_.showFor(dm_.Oper.field(u"id"_s).toId());
        return;
    }
    Button2Click();
}

void TForm4::Button5Click()
{
    const ui::BusyCursor busy;
    XLS_Rep.close();
    XLS_Rep.open();
    if (excel_.OpenWorkbook(QString()) == -1)
        return;
    const QStringList titles = { u"Марка"_s, u"Операция"_s, u"Цена"_s, u"Вид"_s };
    for (int c = 0; c < titles.size(); ++c)
        excel_.WriteCell(1, c + 1, 1, titles[c], false, false, false);
    const int marka = XLS_Rep.fieldIndex(u"marka"_s);
    const int vid = XLS_Rep.fieldIndex(u"vid"_s);
    const int cena = XLS_Rep.fieldIndex(u"cena"_s);
    const int naimen = XLS_Rep.fieldIndex(u"naimen"_s);
    for (int r = 0; r < XLS_Rep.recordCount(); ++r) {
        const int row = r + 2;
        const db::Value price = XLS_Rep.value(r, cena);
        excel_.WriteCell(1, 1, row, XLS_Rep.value(r, marka).toText(), false, false, false);
        excel_.WriteCell(1, 2, row, XLS_Rep.value(r, vid).toText(), false, false, false);
        excel_.WriteCell(1, 3, row, price.isNull() ? QString() : formatGeneral(price.toDouble()), false, false, false);
        excel_.WriteCell(1, 4, row, kindText(XLS_Rep.value(r, naimen).toInt()), false, false, false);
    }
    excel_.SetVisible(true);
    XLS_Rep.close();
}

} // namespace tabel::catalog
