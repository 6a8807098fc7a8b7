#include "entry/record_editor.h"

#include "catalog/operation_list.h"
#include "catalog/worker_list.h"
#include "core/numbers.h"
#include "db/data_module.h"
#include "db/statements.h"
#include "journal/journal_window.h"
#include "ui/date_box.h"
#include "ui/db_grid.h"
#include "ui/fonts.h"
#include "ui/lookup_combo.h"
#include "ui/number_box.h"

#include <QDateEdit>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <limits>

using namespace Qt::StringLiterals;

namespace tabel::entry {
namespace {

QString kindText(int naimen)
{
    return naimen == 0 ? u"Готовая продукция"_s : u"Заготовки"_s;
}

// A whole number typed into a box, within the range its column keeps.
// A record's hours: what one day can hold (the timesheet's day cells are small whole numbers).
constexpr qint64 hoursInADay = 24;

int wholeIn(const QLineEdit* box, qint64 highest, const QString& what)
{
    const qint64 v = ui::readWhole(box);
    if (v < 0 || v > highest)
        throw ConversionError(what + u": "_s + quoted(box->text().trimmed()) + u" — вне допустимых пределов (0 … "_s
            + QString::number(highest) + u")"_s);
    return static_cast<int>(v);
}

} // namespace

TForm11::TForm11(ui::Prompter& prompter, db::TDataModule6& dm, app::TForm1& journal, catalog::TForm5& workers,
    catalog::TForm4& operations, TForm24& materials, QWidget* parent)
    : ui::Form(prompter, parent)
    , GroupBox1(new QGroupBox(u"Закрыто мастером"_s, this))
    , Label13(ui::boldLabel(u"Продукция"_s, GroupBox1))
    , LCB_id_doc(new ui::LookupCombo(GroupBox1))
    , Label14(ui::boldLabel(u"Строка"_s, GroupBox1))
    , LCB_id_doc_item(new ui::LookupCombo(GroupBox1))
    , Edit1(new QLineEdit(GroupBox1))
    , Button3(new QPushButton(u"..."_s, GroupBox1))
    , Edit2(new QLineEdit(GroupBox1))
    , Button4(new QPushButton(u"..."_s, GroupBox1))
    , Edit3(new QLineEdit(GroupBox1))
    , Edit6(new QLineEdit(u"0"_s, GroupBox1))
    , DTimeP(new QDateEdit(GroupBox1))
    , Edit4(new QLineEdit(u"0"_s, GroupBox1))
    , Edit7(new QLineEdit(GroupBox1))
    , Edit8(new QLineEdit(GroupBox1))
    , Edit5(new QLineEdit(GroupBox1))
    , RG1(new QGroupBox(u"Режим работы:"_s, this))
    , RG1Requisition(new QRadioButton(u"По ЗВП"_s, RG1))
    , RG1Goods(new QRadioButton(u"По ТМЦ "_s, RG1))
    , Label10(ui::boldLabel(QString(), this))
    , Button1(new QPushButton(u"Запись"_s, this))
    , DBGrid1(new ui::DBGrid(this))
    , Button5(new QPushButton(u"Добавить"_s, this))
    , Button6(new QPushButton(u"Удалить"_s, this))
    , Label6(ui::boldLabel(u"Бригада"_s, this))
    , DBGrid2(new ui::DBGrid(this))
    , Button7(new QPushButton(u"Добавить"_s, this))
    , Button8(new QPushButton(u"Удалить"_s, this))
    , Button9(new QPushButton(u"Сохранить"_s, this))
    , Button2(new QPushButton(u"Выход"_s, this))
    , v_mnf_requisition(dm.ADO_DB)
    , v_mnf_requisition_item(dm.ADO_DB)
    , id_gds(dm.ADO_DB)
    , get_doc_by_gds(dm.ADO_DB)
    , smena_gds_use(dm.ADO_DB)
    , fio_smena_gds(dm.ADO_DB)
    , dm_(dm)
    , journal_(journal)
    , workers_(workers)
    , operations_(operations)
    , materials_(materials)
{
    defaultRequisitionStatements();
    id_gds.setSql(db::statements::requisitionGoods());
    get_doc_by_gds.setSql(db::statements::linesByGoods());
    smena_gds_use.setSql(db::statements::recordMaterials());
    fio_smena_gds.setSql(db::statements::recordTeam());
    layOut();

    on(RG1Requisition, &QRadioButton::clicked, &TForm11::RG1Click);
    on(RG1Goods, &QRadioButton::clicked, &TForm11::RG1Click);
    on(LCB_id_doc, &ui::LookupCombo::chosen, &TForm11::LCB_id_docCloseUp);
    on(LCB_id_doc_item, &ui::LookupCombo::chosen, &TForm11::LCB_id_doc_itemCloseUp);
    on(Button3, &QPushButton::clicked, &TForm11::Button3Click);
    on(Button4, &QPushButton::clicked, &TForm11::Button4Click);
    on(Button1, &QPushButton::clicked, &TForm11::Button1Click);
    on(Button2, &QPushButton::clicked, &TForm11::Button2Click);
    on(Button5, &QPushButton::clicked, &TForm11::Button5Click);
    on(Button6, &QPushButton::clicked, &TForm11::Button6Click);
    on(Button7, &QPushButton::clicked, &TForm11::Button7Click);
    on(Button8, &QPushButton::clicked, &TForm11::Button8Click);
    on(Button9, &QPushButton::clicked, &TForm11::Button9Click);
    for (QLineEdit* box : { Edit1, Edit2, Edit3, Edit4, Edit6 })
        box->installEventFilter(this);
}

void TForm11::layOut()
{
    setFixedWidth(720);
    for (QLineEdit* box : { Edit1, Edit2 }) {
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
    }
    for (QPushButton* b : { Button3, Button4 })
        b->setFixedWidth(30);
    for (QLineEdit* box : { Edit3, Edit7, Edit8, Edit5 })
        ui::NumberKeyFilter::install(box);
    for (QLineEdit* box : { Edit6, Edit4 })
        ui::NumberKeyFilter::install(box, true);
    for (QLineEdit* box : { Edit7, Edit8, Edit5 })
        box->setEnabled(false);
    ui::makeDateBox(DTimeP);
    RG1Goods->setChecked(true);
    Button1->setDefault(true);

    auto* g = new QGridLayout(GroupBox1);
    const auto row = [&](int r, QLabel* label, QWidget* field, QWidget* button = nullptr) {
        g->addWidget(label, r, 0);
        g->addWidget(field, r, 1, 1, button ? 1 : 2);
        if (button)
            g->addWidget(button, r, 2);
    };
    row(0, Label13, LCB_id_doc);
    row(1, Label14, LCB_id_doc_item);
    row(2, ui::boldLabel(u"ФИО"_s, GroupBox1), Edit1, Button3);
    row(3, ui::boldLabel(u"Операция"_s, GroupBox1), Edit2, Button4);
    auto* numbers = new QGridLayout;
    const auto cell = [&](int r, int c, const QString& label, QWidget* field) {
        numbers->addWidget(ui::boldLabel(label, GroupBox1), r, c * 2);
        numbers->addWidget(field, r, c * 2 + 1);
    };
    cell(0, 0, u"Кол-во"_s, Edit3);
    cell(0, 1, u"Время"_s, Edit6);
    cell(0, 2, u"Дата"_s, DTimeP);
    cell(1, 0, u"Брак"_s, Edit4);
    cell(1, 1, u"Цена база"_s, Edit7);
    cell(1, 2, u"Цена итог"_s, Edit8);
    cell(2, 0, u"Сумма"_s, Edit5);
    g->addLayout(numbers, 4, 0, 1, 3);
    g->setColumnStretch(1, 1);
    ui::setBoldTitle(GroupBox1);

    auto* modes = new QHBoxLayout(RG1);
    modes->addWidget(RG1Requisition);
    modes->addWidget(RG1Goods);
    ui::setBoldTitle(RG1);
    auto* saveRow = new QHBoxLayout;
    saveRow->addWidget(RG1);
    saveRow->addWidget(Label10, 1, Qt::AlignCenter);
    saveRow->addWidget(Button1);

    DBGrid1->setColumns(
        { { u"s_caption"_s, u"ТМЦ"_s, 480 }, { u"f_qty_use"_s, u"Расход"_s, 120, Qt::AlignRight | Qt::AlignVCenter } });
    DBGrid1->setDataSet(&smena_gds_use);
    DBGrid2->setColumns({ { u"s_caption"_s, u"Фамилия Имя Отчество"_s, 600 } });
    DBGrid2->setDataSet(&fio_smena_gds);
    for (ui::DBGrid* grid : { DBGrid1, DBGrid2 }) {
        grid->setMinimumHeight(110);
        grid->horizontalHeader()->setStretchLastSection(true);
    }
    auto* materialButtons = new QHBoxLayout;
    materialButtons->addWidget(Button5);
    materialButtons->addWidget(Button6);
    materialButtons->addStretch(1);
    auto* teamButtons = new QHBoxLayout;
    teamButtons->addWidget(Button7);
    teamButtons->addWidget(Button8);
    teamButtons->addWidget(Button9);
    teamButtons->addStretch(1);
    auto* exitRow = new QHBoxLayout;
    exitRow->addStretch(1);
    exitRow->addWidget(Button2);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GroupBox1);
    layout->addLayout(saveRow);
    layout->addWidget(DBGrid1);
    layout->addLayout(materialButtons);
    layout->addWidget(Label6);
    layout->addWidget(DBGrid2);
    layout->addLayout(teamButtons);
    layout->addLayout(exitRow);

    setTabOrder(LCB_id_doc, LCB_id_doc_item);
    setTabOrder(LCB_id_doc_item, Button3);
    setTabOrder(Button3, Button4);
    setTabOrder(Button4, Edit3);
    setTabOrder(Edit3, Edit6);
    setTabOrder(Edit6, DTimeP);
    setTabOrder(DTimeP, Edit4);
    setTabOrder(Edit4, Edit8);
    setTabOrder(Edit8, Edit5);
    setTabOrder(Edit5, Edit7);
}

void TForm11::defaultRequisitionStatements()
{
    v_mnf_requisition.setSql(db::statements::requisitions());
    v_mnf_requisition_item.setSql(db::statements::requisitionItems());
}

bool TForm11::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress && (watched == Edit1 || watched == Edit2)) {
        auto* box = static_cast<QLineEdit*>(watched);
        if (box->isEnabled())
            ui::runGuarded(prompter(), [&] { watched == Edit1 ? Button3Click() : Button4Click(); });
        return false;
    }
    if (ui::leavesForAnotherControl(event)) {
        if (watched == Edit3)
            ui::runGuarded(prompter(), [this] { Edit3Exit(); });
        else if (watched == Edit4)
            ui::runGuarded(prompter(), [this] { Edit4Exit(); });
        else if (watched == Edit6)
            ui::runGuarded(prompter(), [this] { Edit6Exit(); });
    }
    return ui::Form::eventFilter(watched, event);
}

void TForm11::setUpAdd(const QDate& day)
{
    DTimeP->setDate(day);
    for (QLineEdit* box : { Edit1, Edit2, Edit3, Edit5, Edit7, Edit8 })
        box->clear();
    Edit4->setText(u"0"_s);
    Edit6->setText(u"0"_s);
    setWindowTitle(u"Заведение новой позиции"_s);
    tag_ = 1;
    v_ = Values {};

    defaultRequisitionStatements();
    v_mnf_requisition.close();
    v_mnf_requisition.open();
    v_mnf_requisition_item.close();
    v_mnf_requisition_item.setFilter(u"id_doc=0"_s);
    v_mnf_requisition_item.setFiltered(true);
    v_mnf_requisition_item.open();
    id_gds.close();
    id_gds.open();
    get_doc_by_gds.close();
    get_doc_by_gds.setParam(u"id_gds"_s, 0);
    get_doc_by_gds.setParam(u"id_gds_color"_s, 0);
    get_doc_by_gds.open();

    smena_gds_use.close();
    smena_gds_use.setParam(u"id_smena"_s, -1);
    smena_gds_use.open();

    for (ui::LookupCombo* box : { LCB_id_doc, LCB_id_doc_item }) {
        box->clearChoice();
        box->setEnabled(true);
    }
    DBGrid1->setEnabled(false);
    DBGrid2->setEnabled(false);
    Label10->clear();
    for (QPushButton* b : { Button5, Button6, Button7, Button8, Button9 })
        b->setEnabled(false);
    GroupBox1->setEnabled(true);
    Button1->setEnabled(true);
    RG1Click();
}

void TForm11::fillFromRow(const db::DataSet& row)
{
    v_ = Values {};
    v_.finalPrice = row.field(u"cena"_s).toDouble();
    v_.record = row.field(u"id"_s).toId();
    v_.worker = row.field(u"w_id"_s).toInt();
    v_.product = row.field(u"i_id"_s).toId();
    v_.operation = row.field(u"o_id"_s).toId();
    v_.goods = row.field(u"id_gds_use"_s).toId();
    v_.requisition = row.field(u"id_doc"_s).toId();
    v_.line = row.field(u"id_doc_item"_s).toId();
    // The journal carries the colour's caption only: the stored colour is read with the record.
    db::Query& control = dm_.Control;
    control.close();
    control.setSql(u"select color from accounts_dep.smena where id="_s + QString::number(v_.record));
    control.open();
    v_.colour = control.isEmpty() ? 0 : control.field(u"color"_s).toId();
    control.close();
    const double quantity = row.field(u"kol_vo"_s).toDouble();
    Edit7->clear(); // the stored record keeps no base price
    Edit8->setText(formatGeneral(roundHalfEven(v_.finalPrice, 4)));
    Edit5->setText(formatGeneral(roundHalfEven(quantity * v_.finalPrice, 4)));
    DTimeP->setDate(row.field(u"data"_s).toDate());
    Edit1->setText(row.field(u"fio"_s).toText().trimmed());
    Edit2->setText(row.field(u"marka"_s).toText().trimmed() + u"; "_s + row.field(u"vid"_s).toText().trimmed() + u"; "_s
        + kindText(row.field(u"naimen"_s).toInt()));
    Edit3->setText(row.field(u"kol_vo"_s).toText().trimmed());
    Edit4->setText(row.field(u"brak"_s).toText().trimmed());
    Edit6->setText(QString::number(row.field(u"time"_s).toInt()));

    v_mnf_requisition.close();
    v_mnf_requisition.setSql(db::statements::recordRequisition(v_.record));
    v_mnf_requisition.open();
    LCB_id_doc->bind(&v_mnf_requisition, u"s_caption"_s, u"id"_s);
    if (!v_mnf_requisition.isEmpty())
        LCB_id_doc->setKeyValue(v_mnf_requisition.value(0, v_mnf_requisition.fieldIndex(u"id"_s)).variant());
    v_mnf_requisition_item.close();
    v_mnf_requisition_item.setSql(db::statements::recordRequisitionItem(v_.record));
    v_mnf_requisition_item.setFilter(u"id_doc=0"_s);
    v_mnf_requisition_item.setFiltered(true);
    v_mnf_requisition_item.open();
    LCB_id_doc_item->bind(&v_mnf_requisition_item, u"s_caption"_s, u"id"_s);
    if (!v_mnf_requisition_item.isEmpty())
        LCB_id_doc_item->setKeyValue(
            v_mnf_requisition_item.value(0, v_mnf_requisition_item.fieldIndex(u"id"_s)).variant());
}

void TForm11::setUpChange(const db::DataSet& row)
{
    setWindowTitle(u"Изменение данных о позиции"_s);
    tag_ = 2;
    RG1->hide();
    fillFromRow(row);
    smena_gds_use.close();
    smena_gds_use.setParam(u"id_smena"_s, v_.record);
    smena_gds_use.open();
    fio_smena_gds.close();
    for (QWidget* w :
        std::initializer_list<QWidget*> { GroupBox1, Button1, Edit3, Edit4, Edit6, DBGrid1, Button5, Button6 })
        w->setEnabled(true);
    for (QWidget* w : std::initializer_list<QWidget*> {
             Button3, Button4, Edit1, Edit2, LCB_id_doc, LCB_id_doc_item, Button7, Button8, Button9 })
        w->setEnabled(false);
    Label10->setText(QString::number(v_.record));
}

void TForm11::afterChange()
{
    RG1->show();
    for (QWidget* w : std::initializer_list<QWidget*> { Button3, Button4, Edit1, Edit2 })
        w->setEnabled(true);
}

void TForm11::setUpView(const db::DataSet& row)
{
    for (QWidget* w : std::initializer_list<QWidget*> { GroupBox1, Button1, DBGrid1, Button5, Button6 })
        w->setEnabled(false);
    setWindowTitle(u"Просмотр данных о позиции"_s);
    tag_ = 3;
    fillFromRow(row);
    smena_gds_use.close();
    smena_gds_use.setParam(u"id_smena"_s, v_.record);
    smena_gds_use.open();
    for (QPushButton* b : { Button7, Button8, Button9 })
        b->setEnabled(false);
    Label10->setText(QString::number(v_.record));
}

void TForm11::afterView()
{
    defaultRequisitionStatements();
    for (QWidget* w : std::initializer_list<QWidget*> { GroupBox1, Button1, DBGrid1, Button5, Button6 })
        w->setEnabled(true);
}

void TForm11::Edit3Exit()
{
    if (Edit6->text().trimmed().isEmpty())
        Edit6->setText(u"0"_s);
    wholeIn(Edit6, hoursInADay, u"Время"_s);
    if (Edit3->text().trimmed().isEmpty())
        Edit3->setText(u"0"_s);
    Edit8->setText(formatGeneral(v_.finalPrice));
    Edit7->setText(v_.basePrice ? formatGeneral(*v_.basePrice) : QString());
    Edit5->setText(formatGeneral(roundHalfEven(ui::readNumber(Edit3) * v_.finalPrice, 4)));
}

void TForm11::Edit4Exit()
{
    if (Edit4->text().trimmed().isEmpty())
        Edit4->setText(u"0"_s);
}

void TForm11::Edit6Exit()
{
    if (Edit6->text().trimmed().isEmpty())
        Edit6->setText(u"0"_s);
    wholeIn(Edit6, hoursInADay, u"Время"_s);
}

void TForm11::Button3Click()
{
    if (!workers_.showToChoose())
        return;
    const catalog::ChosenWorker& w = workers_.worker();
    Edit1->setText(w.name);
    v_.worker = w.code;
    v_.person = w.personId;
    Edit2->clear();
    v_.operation = 0;
    dm_.Workers.close();
    if (!Edit1->text().isEmpty()) {
        Edit2->setEnabled(true);
        Button4->setEnabled(true);
    }
}

void TForm11::Button4Click()
{
    if (const auto chosen = operations_.showToChoose()) {
        v_.product = chosen->productId;
        v_.operation = chosen->operationId;
        v_.basePrice = chosen->price.base;
        v_.finalPrice = chosen->price.final;
        Edit2->setText(chosen->productText);
        // a new record on a line is proposed what the chosen operation may still make there,
        // the limit its save is held to
        if (v_.line != 0 && tag_ == 1 && v_.record == 0) {
            v_.required = openQuantity(dm_, v_.line, v_.operation, 0);
            Edit3->setText(formatGeneral(v_.required));
        }
    }
    const bool paint = Edit2->text().toUpper().contains(u"КРАСКА"_s);
    Edit5->setEnabled(paint);
    Label6->setEnabled(paint);
    if (!paint)
        Edit5->clear();
    Edit3Exit();
}

ProductionRecord TForm11::record() const
{
    ProductionRecord r;
    r.worker = v_.worker;
    r.product = v_.product;
    r.operation = v_.operation;
    r.price = v_.finalPrice;
    r.quantity = ui::readNumber(Edit3);
    r.defects = wholeIn(Edit4, std::numeric_limits<qint16>::max(), u"Брак"_s);
    r.date = DTimeP->date();
    r.shift = journal_.currentShift();
    r.colour = v_.colour;
    r.hours = wholeIn(Edit6, hoursInADay, u"Время"_s);
    r.requisition = v_.requisition;
    r.line = v_.line;
    r.goods = v_.goods;
    return r;
}

void TForm11::Button1Click()
{
    const bool empty = Edit1->text().trimmed().isEmpty() || Edit2->text().trimmed().isEmpty()
        || Edit3->text().trimmed().isEmpty() || Edit4->text().trimmed().isEmpty() || Edit6->text().trimmed().isEmpty()
        || LCB_id_doc_item->shownText().isEmpty() || LCB_id_doc->shownText().isEmpty();
    if (empty) {
        prompter().message(u"Все поля должны быть заполнены!"_s, u"Ошибка"_s, ui::ErrorOk);
        return;
    }
    const ProductionRecord r = record(); // every number parsed: anything else is refused here
    if (r.quantity < 0)
        throw ConversionError(
            u"Кол-во: «"_s + Edit3->text().trimmed() + u"» — количество не может быть отрицательным"_s);
    // The line limits every operation of its product: what the operation may still take on it
    // (the record's own former quantity counts as free when it is changed); a new record also
    // stays within what the line proposed.
    const bool inserting = tag_ == 1 && v_.record == 0;
    const QDate today = QDate::currentDate();
    try {
        if (inserting)
            v_.record = insertRecord(dm_, r, today);
        else
            updateRecord(dm_, v_.record, r, today);
    } catch (const BeyondLine& e) {
        prompter().message(e.text(), u"Ошибка"_s, ui::ErrorOk);
        return;
    }
    if (inserting) {
        reopenJournal(true);
        Label10->setText(QString::number(v_.record));
        smena_gds_use.close();
        smena_gds_use.setParam(u"id_smena"_s, v_.record);
        smena_gds_use.open();
    } else {
        reopenJournal(false);
    }
    Button5->setEnabled(true);
    Button6->setEnabled(true);
    if (tag_ == 1) {
        fio_smena_gds.close();
        fio_smena_gds.setParam(u"s_id"_s, v_.record);
        fio_smena_gds.open();
        Button9->setEnabled(true);
        GroupBox1->setEnabled(false);
        Button1->setEnabled(false);
        for (QWidget* w : std::initializer_list<QWidget*> { DBGrid1, DBGrid2, Button7, Button8 })
            w->setEnabled(true);
    }
}

void TForm11::reopenJournal(bool onNewRecord)
{
    db::Query& q = dm_.smenaQuery(journal_.currentShift());
    if (!onNewRecord) {
        q.refresh(); // the sort and the row number kept
        return;
    }
    const QString sort = q.sort();
    q.close();
    q.open();
    if (!sort.isEmpty())
        q.setSort(sort);
    q.locate(u"id"_s, v_.record);
}

void TForm11::Button2Click()
{
    reject();
}

void TForm11::reject()
{
    smena_gds_use.close();
    ui::Form::reject();
}

void TForm11::FormClose()
{
    v_mnf_requisition.close();
    v_mnf_requisition_item.setFilter(u"id_doc=0"_s);
    v_mnf_requisition_item.setFiltered(true);
    v_mnf_requisition_item.close();
    GroupBox1->setEnabled(true);
    Button1->setEnabled(true);
    fio_smena_gds.close();
    fio_smena_gds.setParam(u"s_id"_s, -1);
}

void TForm11::done(int result)
{
    ui::runGuarded(prompter(), [this] { FormClose(); });
    ui::Form::done(result);
}

bool TForm11::hasRequisition() const
{
    return !LCB_id_doc->shownText().trimmed().isEmpty() || !LCB_id_doc_item->shownText().isEmpty();
}

std::optional<Id> TForm11::goodsId() const
{
    if (RG1ItemIndex() == 0) {
        if (!v_mnf_requisition_item.isOpen() || v_mnf_requisition_item.isEmpty())
            return std::nullopt;
        bool ok = false;
        const Id id = v_mnf_requisition_item.field(u"s_gds_mc"_s).toText().trimmed().toLongLong(&ok);
        return ok ? std::optional<Id>(id) : std::nullopt;
    }
    if (!id_gds.isOpen() || id_gds.isEmpty())
        return std::nullopt;
    return id_gds.field(u"id"_s).toId();
}

} // namespace tabel::entry
