#include "catalog/worker_list.h"

#include "db/data_module.h"
#include "ui/db_grid.h"

#include <QPushButton>
#include <limits>

using namespace Qt::StringLiterals;

namespace tabel::catalog {

TForm5::TForm5(ui::Prompter& prompter, db::TDataModule6& dm, QWidget* parent)
    : CatalogList(prompter, dm.Workers, u"fio"_s, Keys::AllHandled, parent)
    , dm_(dm)
{
    setWindowTitle(u"Список рабочих"_s);
    setFixedSize(640, 560);
    DBGrid1->setColumns({
        { u"fio"_s, u"ФИО"_s, 330 },
        { u"s_staffpos_hl"_s, u"Должность"_s, 250 },
    });
    Button1->hide();
    Button3->hide();
}

bool TForm5::showToChoose()
{
    dm_.Workers.open();
    enterChooseMode(true);
    prompter().exec(*this);
    leaveChooseMode();
    return chosen_;
}

void TForm5::FormActivate()
{
    chosen_ = false;
    CatalogList::FormActivate();
}

void TForm5::Button2Click()
{
    db::Query& workers = dm_.Workers;
    if (!workers.isEmpty()) {
        const QString name = workers.field(u"fio"_s).toText().trimmed();
        const QString code = workers.field(u"id"_s).toText().trimmed();
        const db::Value person = workers.field(u"p_id"_s);
        // The worker code of the records is the personnel code read as a whole number; a person
        // without one (or without an id) cannot have records.
        bool numeric = false;
        const qlonglong number = code.toLongLong(&numeric);
        if (!numeric || number < 0 || number > std::numeric_limits<int>::max() || person.isNull()) {
            prompter().message(u"У работника «"_s + name + u"» табельный номер «"_s + code
                    + u"» не является целым числом: его нельзя выбрать для записи выработки."_s,
                u"Ошибка"_s, ui::ErrorOk);
            return;
        }
        worker_ = ChosenWorker { name, static_cast<int>(number), person.toId() };
        chosen_ = true;
    }
    accept();
}

} // namespace tabel::catalog
