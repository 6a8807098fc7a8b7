// The journal's record actions: add, change and view in the record editor, delete, accept.
#include "db/data_module.h"
#include "domain/production_records.h"
#include "entry/record_editor.h"
#include "journal/journal_window.h"

#include <QDateEdit>

using namespace Qt::StringLiterals;

namespace tabel::app {
namespace {

bool isAccepted(const db::Query& q)
{
    return q.field(u"ok"_s).toText() == u"ok"_s;
}

} // namespace

void TForm1::reread()
{
    db::Query& q = currentQuery();
    const QString sort = q.sort();
    q.close();
    q.open();
    if (!sort.isEmpty())
        q.setSort(sort);
    q.first(); // the sort keeps the row it stood on: the list starts at its top again
}

void TForm1::Button1Click()
{
    if (!editor_)
        return;
    editor_->setUpAdd(DateT->date());
    prompter().exec(*editor_);
    reread();
}

void TForm1::Button2Click()
{
    db::Query& q = currentQuery();
    if (editor_ && !q.isEmpty() && !isAccepted(q)) {
        editor_->setUpChange(q);
        prompter().exec(*editor_);
        editor_->afterChange();
    }
    reread();
}

void TForm1::DBGrid2DblClick()
{
    if (rights_.acceptOnly) {
        Button5Click();
        return;
    }
    db::Query& q = currentQuery();
    const int row = q.recNo();
    if (!editor_ || q.isEmpty())
        return;
    editor_->setUpView(q);
    prompter().exec(*editor_);
    editor_->afterView();
    q.setRecNo(row);
}

void TForm1::Button3Click()
{
    db::Query& q = currentQuery();
    if (q.isEmpty() || isAccepted(q) || q.field(u"id"_s).isNull())
        return;
    const bool yes
        = prompter().message(u"Удалить позицию из списка?"_s, u"Удаление"_s, ui::QuestionYesNo) == ui::Answer::Yes;
    if (yes) {
        try {
            deleteRecord(dm_, q.field(u"id"_s).toId());
        } catch (const StaleRecord&) {
            q.close();
            q.open(); // the list as it is now
            throw;
        }
    }
    q.close();
    q.open();
}

void TForm1::Button5Click()
{
    db::Query& q = currentQuery();
    const QString sort = q.sort();
    if (q.isEmpty() || isAccepted(q))
        return;
    const Id id = q.field(u"id"_s).toId();
    if (materialCount(dm_, id) == 0) {
        prompter().message(u"Не заведен расход ТМЦ!"_s, u"Ошибка"_s, ui::ErrorOk);
        return;
    }
    acceptRecord(dm_, id);
    const int row = q.recNo();
    q.close();
    q.open();
    if (!sort.isEmpty())
        q.setSort(sort);
    q.setRecNo(row);
}

} // namespace tabel::app
