#include "catalog/norms_editor.h"

#include "core/numbers.h"
#include "db/data_module.h"
#include "ui/db_grid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>
#include <limits>

using namespace Qt::StringLiterals;

namespace tabel::catalog {
namespace {

// The grid's columns in order: norm, price, bonus.
const QStringList fields = { u"norma"_s, u"price"_s, u"prize"_s };

QVariant typedValue(const QString& field, const QString& text)
{
    if (field == u"price"_s)
        return parseNumber(text);
    const qint64 whole = parseWhole(text);
    if (whole < std::numeric_limits<int>::min() || whole > std::numeric_limits<int>::max())
        throw ConversionError(quoted(text) + u" — слишком большое число"_s);
    return static_cast<int>(whole);
}

} // namespace

TForm22::TForm22(ui::Prompter& prompter, db::TDataModule6& dm, QWidget* parent)
    : ui::Form(prompter, parent)
    , norm(dm.ADO_DB, u"accounts_dep.norm"_s)
    , DBGrid1(new ui::DBGrid(this))
    , Button1(new QPushButton(u"Сохранить"_s, this))
    , Button2(new QPushButton(u"Удалить"_s, this))
    , dm_(dm)
{
    setWindowTitle(u"Норматив"_s);
    setFixedSize(400, 320);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    DBGrid1->setColumns({
        { u"norma"_s, u"Норматив"_s, 110, right },
        { u"price"_s, u"Цена"_s, 110, right, true,
            [](const db::Value& v) { return v.isNull() ? QString() : formatDecimals(v.toDouble(), 2, 3); } },
        { u"prize"_s, u"Премия, %"_s, 110, right },
    });
    DBGrid1->setDataSet(&norm);
    DBGrid1->verticalHeader()->show(); // the row indicator: the blank last row is the new one
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->setCellEditor([this](int row, int column, const QString& text) {
        return ui::runGuarded(this->prompter(), [&] { DBGrid1ColExit(row, column, text); });
    });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(buttons);
    Button1->setDefault(true);

    on(Button1, &QPushButton::clicked, &TForm22::Button1Click);
    on(Button2, &QPushButton::clicked, &TForm22::Button2Click);
}

void TForm22::showFor(Id operationId)
{
    operationId_ = operationId;
    norm.close(); // whatever an earlier opening left unsaved goes with it
    norm.setFilter(u"o_id="_s + QString::number(operationId));
    norm.setFiltered(true);
    reread({});
    prompter().exec(*this);
}

void TForm22::reread(const QVariant& keepId)
{
    norm.open();
    norm.setSort(u"norma"_s);
    if (keepId.isValid())
        norm.locate(u"id"_s, keepId);
}

void TForm22::DBGrid1ColExit(int row, int column, const QString& text)
{
    const QString& field = fields.at(column);
    const QVariant value = typedValue(field, text); // not a number: refused, nothing written
    if (row >= norm.recordCount()) { // the blank row: a new norm row of this operation
        norm.append();
        norm.setField(u"o_id"_s, operationId_);
    } else {
        norm.setRecNo(row + 1);
        norm.edit();
    }
    norm.setField(field, value);
    try {
        norm.post();
    } catch (...) {
        norm.cancel();
        throw;
    }
    reread(norm.field(u"id"_s).variant());
}

void TForm22::Button2Click()
{
    const int row = DBGrid1->currentIndex().row();
    if (norm.recordCount() > 1 && row >= 0 && row < norm.recordCount()) { // the last row stays
        norm.setRecNo(row + 1);
        norm.remove();
    }
    reread({});
}

void TForm22::Button1Click()
{
    if (!DBGrid1->finishEditing())
        return; // the refused value stays in its cell to be put right; the window stays open
    db::Query& operations = dm_.Oper;
    const int row = operations.recNo();
    operations.close();
    operations.open();
    operations.setRecNo(row);
    accept();
}

void TForm22::reject()
{
    // Escape saves and closes as "Сохранить" does; after a refusal the window stays open
    ui::runGuarded(prompter(), [this] { Button1Click(); });
}

} // namespace tabel::catalog
