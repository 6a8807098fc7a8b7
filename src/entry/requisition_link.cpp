// The record editor's link to a requisition line: the work mode, the two lookup boxes and the
// choices that turn into record values.
#include "entry/record_editor.h"

#include "ui/lookup_combo.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWheelEvent>

using namespace Qt::StringLiterals;

namespace tabel::entry {

int TForm11::RG1ItemIndex() const
{
    return RG1Requisition->isChecked() ? 0 : 1;
}

void TForm11::RG1Click()
{
    if (RG1ItemIndex() == 1) {
        id_gds.close();
        id_gds.open();
        get_doc_by_gds.close();
        get_doc_by_gds.open();
        Label13->setText(u"Продукция"_s);
        LCB_id_doc->bind(&id_gds, u"s_caption"_s, u"id"_s);
        LCB_id_doc_item->bind(&get_doc_by_gds, u"s_caption"_s, u"id"_s);
        return;
    }
    v_mnf_requisition.close();
    v_mnf_requisition.setFiltered(false);
    v_mnf_requisition.open();
    v_mnf_requisition_item.close();
    v_mnf_requisition_item.setFilter(u"id_doc=0"_s);
    v_mnf_requisition_item.setFiltered(true);
    v_mnf_requisition_item.open();
    Label13->setText(u"Заявка"_s);
    LCB_id_doc->bind(&v_mnf_requisition, u"s_caption"_s, u"id"_s);
    LCB_id_doc_item->bind(&v_mnf_requisition_item, u"s_caption"_s, u"id"_s);
}

void TForm11::forgetWorkerAndOperation()
{
    Edit2->clear();
    Edit1->clear();
    v_.operation = 0;
    v_.person = 0;
    v_.worker = 0;
}

void TForm11::LCB_id_docCloseUp()
{
    if (RG1ItemIndex() == 1) {
        get_doc_by_gds.close();
        const Id goods = id_gds.isEmpty() ? 0 : id_gds.field(u"id"_s).toId();
        const Id colour = id_gds.isEmpty() ? 0 : id_gds.field(u"id_gds_color"_s).toId();
        get_doc_by_gds.setParam(u"id_gds"_s, goods);
        get_doc_by_gds.setParam(u"id_gds_color"_s, colour);
        v_.goods = goods;
        v_.colour = colour;
        get_doc_by_gds.open();
        return;
    }
    v_mnf_requisition_item.setFiltered(false);
    const db::Value id = v_mnf_requisition.isEmpty() ? db::Value() : v_mnf_requisition.field(u"id"_s);
    if (!id.isNull()) {
        v_mnf_requisition_item.setFilter(u"id_doc="_s + QString::number(id.toId()));
        v_.requisition = id.toId();
    } else {
        v_mnf_requisition_item.setFilter(u"id_doc=0"_s);
        v_.requisition = 0;
    }
    v_mnf_requisition_item.setFiltered(true);
    if (!LCB_id_doc->shownText().isEmpty())
        LCB_id_doc_item->setEnabled(true);
    LCB_id_doc_item->clearChoice();
    v_.line = 0;
    forgetWorkerAndOperation();
}

void TForm11::LCB_id_doc_itemCloseUp()
{
    if (!LCB_id_doc_item->shownText().isEmpty()) {
        Edit1->setEnabled(true);
        Button3->setEnabled(true);
        const bool goodsMode = RG1ItemIndex() == 1;
        db::Query& lines = goodsMode ? get_doc_by_gds : v_mnf_requisition_item;
        const db::Value quantity = lines.field(goodsMode ? u"f_qty_need"_s : u"f_qty"_s);
        Edit3->setText(quantity.toText());
        v_.required = quantity.toDouble();
        v_.requisition = lines.field(u"id_doc"_s).toId();
        v_.line = lines.field(u"id"_s).toId();
    }
    forgetWorkerAndOperation();
}

void TForm11::wheelEvent(QWheelEvent* event)
{
    // Over the dialog the wheel moves the lookup box that has the focus, one entry a notch, as
    // its arrow keys do (a choice like any other).
    QWidget* focused = focusWidget();
    if ((focused == LCB_id_doc || focused == LCB_id_doc_item) && event->angleDelta().y() != 0) {
        QKeyEvent key(QEvent::KeyPress, event->angleDelta().y() < 0 ? Qt::Key_Down : Qt::Key_Up, Qt::NoModifier);
        QApplication::sendEvent(focused, &key);
        event->accept();
        return;
    }
    ui::Form::wheelEvent(event);
}

} // namespace tabel::entry
