#include "journal/record_history.h"

#include "db/data_module.h"
#include "db/statements.h"
#include "excel/excel_link.h"
#include "ui/db_grid.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tabel::app {

RecordHistory::RecordHistory(ui::Prompter& prompter, db::TDataModule6& dm, QWidget* parent)
    : ui::Form(prompter, parent)
    , Label1(new QLabel(this))
    , DBGrid1(new ui::DBGrid(this))
    , Button1(new QPushButton(u"Закрыть"_s, this))
    , history(dm.ADO_DB)
{
    setWindowTitle(u"История записи"_s);
    resize(980, 420);
    history.setSql(db::statements::recordHistory());
    DBGrid1->setColumns({
        { u"at_text"_s, u"Когда"_s, 140 },
        { u"login"_s, u"Пользователь"_s, 110 },
        { u"action"_s, u"Действие"_s, 150 },
        { u"changes"_s, u"Что изменилось"_s, 540 },
    });
    DBGrid1->setDataSet(&history);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(Button1, 0, Qt::AlignRight);
    on(Button1, &QPushButton::clicked, [this] { accept(); });
}

void RecordHistory::showFor(Id record)
{
    history.close();
    history.setParam(u"id"_s, record);
    history.open();
    Label1->setText(
        u"Запись № "_s + QString::number(record) + u": изменений — "_s + QString::number(history.recordCount()));
    prompter().exec(*this);
    history.close();
}

bool writeHistoryWorkbook(excel::ExcelLink& excel, db::Query& history)
{
    if (excel.OpenWorkbook(QString()) == -1)
        return false;
    const QStringList titles = { u"Когда"_s, u"Пользователь"_s, u"Запись"_s, u"Действие"_s, u"Что изменилось"_s };
    for (int c = 0; c < titles.size(); ++c)
        excel.WriteCell(1, c + 1, 1, titles[c], false, true, true);
    const QStringList fields = { u"at_text"_s, u"login"_s, u"id_smena"_s, u"action"_s, u"changes"_s };
    for (int r = 0; r < history.recordCount(); ++r)
        for (int c = 0; c < fields.size(); ++c)
            excel.WriteCell(
                1, c + 1, r + 2, history.value(r, history.fieldIndex(fields[c])).toText(), c != 2, true, false);
    excel.SetVisible(true);
    return true;
}

} // namespace tabel::app
