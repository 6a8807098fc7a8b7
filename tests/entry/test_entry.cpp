#include "catalog/operation_list.h"
#include "catalog/worker_list.h"
#include "core/numbers.h"
#include "db/data_module.h"
#include "domain/production_records.h"
#include "entry/record_editor.h"
#include "journal/journal_window.h"
#include "support/app_fixture.h"
#include "support/gui.h"
#include "support/test_registry.h"
#include "ui/db_grid.h"
#include "ui/lookup_combo.h"

#include <QApplication>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWheelEvent>
#include <memory>

using namespace Qt::StringLiterals;
using namespace tabel;

// The road of one production record from the journal through the record editor, on the demo
// data: a date of its own, shift 1.
class EntryTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::AppFixture> fx_;
    const QDate day { 2027, 3, 1 };

    app::Forms& forms() { return fx_->forms(); }
    db::TDataModule6& dm() { return forms().dataModule(); }
    app::TForm1& journal() { return forms().journal(); }
    entry::TForm11& editor() { return forms().editor(); }
    test::ScriptedPrompter& prompter() { return fx_->prompter(); }

    db::Value scalar(const QString& sql) { return test::scalar(dm().ADO_DB, sql); }
    qint64 records() { return scalar(u"select count(*) from accounts_dep.smena"_s).toInt64(); }

    // Picks the entry of a lookup box whose row has this key, from its open list.
    static void chooseKey(ui::LookupCombo* box, const QString& field, const QVariant& key)
    {
        db::DataSet& rows = *box->dataSet();
        for (int r = 0; r < rows.recordCount(); ++r)
            if (rows.value(r, rows.fieldIndex(field)).toText() == key.toString()) {
                test::choose(box, box->itemText(r));
                return;
            }
        QFAIL(qPrintable(u"no entry with "_s + field + u" = "_s + key.toString()));
    }
    static void pickFirst(catalog::CatalogList& list, const QString& typed)
    {
        if (!typed.isEmpty())
            test::typeInto(list.Edit1, typed);
        QVERIFY(list.DBGrid1->model()->rowCount() > 0);
        test::doubleClickCell(list.DBGrid1, 0, 0);
    }
    static void retype(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        test::typeText(box, text);
    }
    // In the editor: goods 1001 in colour 6005, its first line, a worker and an operation.
    void fillGoodsMode(const QString& worker)
    {
        entry::TForm11& e = editor();
        chooseKey(e.LCB_id_doc, u"id_gds_color"_s, 6005);
        QCOMPARE(e.values().goods, 1001);
        chooseKey(e.LCB_id_doc_item, u"id"_s, qint64(400000000001));
        prompter().whileOpen([&](QDialog&) { pickFirst(forms().workers(), worker); });
        test::click(e.Button3);
        prompter().whileOpen([&](QDialog&) {
            db::Query& ops = dm().Oper;
            QVERIFY(ops.filtered()); // the requisition's goods only
            for (int r = 0; r < ops.recordCount(); ++r)
                QVERIFY(ops.value(r, ops.fieldIndex(u"i_id"_s)).toInt() == 1001
                    || ops.value(r, ops.fieldIndex(u"i_id_old"_s)).toInt() == 1001);
            pickFirst(forms().operations(), {});
        });
        test::click(e.Button4);
    }

private slots:
    void init()
    {
        fx_ = std::make_unique<test::AppFixture>();
        for (int shift = 1; shift <= 4; ++shift) // as the login binds them
            dm().smenaQuery(shift).setParam(u"ok"_s, u"ta"_s);
        journal().show();
        test::chooseDay(journal().DateT, day);
    }
    void cleanup()
    {
        journal().hide();
        fx_.reset();
    }

    void roadOfOneRecord()
    {
        entry::TForm11& e = editor();
        Id id = 0;
        const qint64 before = records();
        prompter().whileOpen([&](QDialog&) {
            QCOMPARE(e.windowTitle(), u"Заведение новой позиции"_s);
            QVERIFY(e.RG1Goods->isChecked());
            QCOMPARE(e.Label13->text(), u"Продукция"_s);
            QCOMPARE(e.DTimeP->date(), day);
            QCOMPARE(e.Edit4->text(), u"0"_s);
            fillGoodsMode(u"Абрамов"_s);
            // what the chosen operation may still make on the line, which the save allows
            const double open = openQuantity(dm(), e.values().line, e.values().operation, 0);
            QCOMPARE(e.Edit3->text(), formatGeneral(open));
            QVERIFY(open <= e.get_doc_by_gds.field(u"f_qty_need"_s).toDouble());
            QCOMPARE(e.Edit1->text(), u"Абрамов Сергей Петрович"_s);
            QVERIFY(!e.Edit2->text().isEmpty());
            QCOMPARE(e.Edit5->isEnabled(), e.Edit2->text().toUpper().contains(u"КРАСКА"_s));
            retype(e.Edit3, u"2.5"_s);
            QCOMPARE(e.Edit3->text(), u"2,5"_s);
            retype(e.Edit6, u"7x"_s); // the hours box takes digits only
            QCOMPARE(e.Edit6->text(), u"7"_s);
            test::click(e.Button1);
            QVERIFY(prompter().texts().isEmpty());
            id = e.values().record;
            QVERIFY(id > 0);
            QCOMPARE(e.Label10->text(), QString::number(id));
            QVERIFY(!e.GroupBox1->isEnabled() && !e.Button1->isEnabled());
            QVERIFY(e.Button9->isEnabled() && e.DBGrid2->isEnabled());
            QCOMPARE(dm().Smena1.field(u"id"_s).toId(), id); // the journal stands on it
            test::click(e.Button2);
        });
        test::click(journal().Button1);
        QCOMPARE(records(), before + 1);
        QCOMPARE(
            scalar(
                u"select kol_vo || '|' || time || '|' || id_doc_item || '|' || id_gds_use || '|' || color || '|' || ok "
                "from accounts_dep.smena where id = "_s
                + QString::number(id))
                .toText(),
            u"2.5|7|400000000001|1001|6005|no"_s);
        QCOMPARE(
            scalar(
                u"select d1 from accounts_dep.h_tabel where w_id = 1001 and smena = 1 and month = 3 and year = 2027"_s)
                .toInt(),
            7);

        // change: the quantity, within what the operation may still take on the line
        const int row = [&] {
            for (int r = 0; r < dm().Smena1.recordCount(); ++r)
                if (dm().Smena1.value(r, dm().Smena1.fieldIndex(u"id"_s)).toId() == id)
                    return r;
            return -1;
        }();
        QVERIFY(row >= 0);
        test::clickCell(journal().DBGrid2, row, 0);
        prompter().whileOpen([&](QDialog&) {
            QCOMPARE(e.windowTitle(), u"Изменение данных о позиции"_s);
            QVERIFY(!e.RG1->isVisible() && !e.Button3->isEnabled() && !e.LCB_id_doc->isEnabled());
            QCOMPARE(e.Edit3->text(), u"2,5"_s);
            QCOMPARE(e.LCB_id_doc_item->shownText().isEmpty(), false);
            const double open = openQuantity(dm(), 400000000001, e.values().operation, id);
            retype(e.Edit3, QString::number(open + 0.001).replace(u'.', u','));
            test::click(e.Button1);
            QCOMPARE(prompter().texts(), QStringList { u"Количество изделий не может быть больше требуемого!"_s });
            prompter().clear();
            retype(e.Edit3, u"3"_s);
            retype(e.Edit6, u"5"_s);
            test::click(e.Button1);
            QVERIFY(prompter().texts().isEmpty());
            QVERIFY(e.Button1->isEnabled()); // a change can be saved again
        });
        test::click(journal().Button2);
        QVERIFY(editor().RG1->isVisibleTo(&editor()));
        QCOMPARE(scalar(u"select kol_vo || '|' || time || '|' || ok from accounts_dep.smena where id = "_s
                     + QString::number(id))
                     .toText(),
            u"3|5|no"_s);
        QCOMPARE(
            scalar(
                u"select d1 from accounts_dep.h_tabel where w_id = 1001 and smena = 1 and month = 3 and year = 2027"_s)
                .toInt(),
            5);

        // view, then accept: refused without materials, done with one; then it is locked
        test::clickCell(journal().DBGrid2, 0, 0);
        prompter().whileOpen([&](QDialog&) {
            QCOMPARE(e.windowTitle(), u"Просмотр данных о позиции"_s);
            QVERIFY(!e.GroupBox1->isEnabled() && !e.Button1->isEnabled());
        });
        test::doubleClickCell(journal().DBGrid2, 0, 0);
        test::click(journal().Button5);
        QCOMPARE(prompter().texts(), QStringList { u"Не заведен расход ТМЦ!"_s });
        dm().ADO_DB.execute(u"insert into accounts_dep.smena_gds_use (id_smena, id_gds_use, f_qty_use) select "_s
            + QString::number(id)
            + u", id_gds_from, 0.001 from mnf_operation.operation where id_gds_to = 1001 limit 1"_s);
        test::click(journal().Button5);
        QCOMPARE(dm().Smena1.field(u"ok"_s).toText(), u"ok"_s);
        const int execs = prompter().execCount();
        test::click(journal().Button2); // an accepted record is not changed
        test::click(journal().Button3); // nor deleted, without a question
        QCOMPARE(prompter().execCount(), execs);
        QCOMPARE(records(), before + 1);
    }

    void requisitionModeAndValidation()
    {
        entry::TForm11& e = editor();
        const qint64 before = records();
        prompter().whileOpen([&](QDialog&) {
            test::click(e.RG1Requisition);
            QCOMPARE(e.Label13->text(), u"Заявка"_s);
            QCOMPARE(e.LCB_id_doc_item->count(), 0); // "id_doc=0": nothing before a requisition
            chooseKey(e.LCB_id_doc, u"id"_s, qint64(300000000151));
            QCOMPARE(e.LCB_id_doc_item->count(),
                scalar(
                    u"select count(*) from accounts_dep.v_mnf_requisition_item where id_doc = 300000000151 and f_qty > 0"_s)
                    .toInt());
            test::click(e.Button1);
            QCOMPARE(prompter().texts(), QStringList { u"Все поля должны быть заполнены!"_s }); // no line yet
            prompter().clear();
            chooseKey(e.LCB_id_doc_item, u"id"_s, qint64(400000000002));
            const double required = e.v_mnf_requisition_item.field(u"f_qty"_s).toDouble();
            QCOMPARE(e.values().required, required);
            QCOMPARE(e.values().line, 400000000002);
            QVERIFY(e.Edit1->text().isEmpty() && e.Edit2->text().isEmpty());
            prompter().whileOpen([&](QDialog&) { pickFirst(forms().workers(), u"Александров"_s); });
            test::click(e.Button3);
            prompter().whileOpen([&](QDialog&) { pickFirst(forms().operations(), {}); });
            test::click(e.Button4);

            // each empty box refuses the save
            for (QLineEdit* box : { e.Edit3, e.Edit6 }) {
                const QString keep = box->text();
                box->clear();
                test::click(e.Button1);
                QCOMPARE(prompter().texts(), QStringList { u"Все поля должны быть заполнены!"_s });
                prompter().clear();
                box->setText(keep);
            }
            // an emptied defects box that still has the focus when Enter saves counts as empty
            e.Edit4->setFocus();
            e.Edit4->clear();
            QTest::keyClick(e.Edit4, Qt::Key_Return);
            QCOMPARE(prompter().texts(), QStringList { u"Все поля должны быть заполнены!"_s });
            prompter().clear();
            e.Edit4->setText(u"0"_s);

            // hostile numbers: a clear error, nothing written
            const struct {
                QLineEdit* box;
                QString text;
            } hostile[] = {
                { e.Edit3, u"1,2,3"_s },
                { e.Edit3, u"-1"_s },
                { e.Edit6, u"99999999999"_s },
                { e.Edit4, u"1; drop table accounts_dep.smena"_s },
                { e.Edit4, u"40000"_s },
            };
            for (const auto& h : hostile) {
                const QString keep = h.box->text();
                h.box->setText(h.text); // pasted past the key filter
                test::click(e.Button1);
                QCOMPARE(prompter().shown().size(), size_t(1));
                QVERIFY2(prompter().shown()[0].text.contains(u'«'), qPrintable(prompter().shown()[0].text));
                prompter().clear();
                h.box->setText(keep);
            }
            QCOMPARE(records(), before);

            retype(e.Edit3, QString::number(required + 0.001).replace(u'.', u','));
            test::click(e.Button1);
            QCOMPARE(prompter().texts(), QStringList { u"Количество изделий не может быть больше требуемого!"_s });
            prompter().clear();
            e.Edit3->setText(QString::number(required).replace(u'.', u',')); // the line's whole quantity passes
            test::click(e.Button1);
            QVERIFY(prompter().texts().isEmpty());
            QVERIFY(e.values().record > 0);
        });
        test::click(journal().Button1);
        QCOMPARE(records(), before + 1);
        QCOMPARE(
            scalar(
                u"select id_doc || '/' || id_doc_item from accounts_dep.smena where id = (select max(id) from accounts_dep.smena)"_s)
                .toText(),
            u"300000000151/400000000002"_s);
    }

    void wheelChoosesALineAndALostConnectionKeepsTheBoxes()
    {
        entry::TForm11& e = editor();
        prompter().whileOpen([&](QDialog&) {
            chooseKey(e.LCB_id_doc, u"id_gds_color"_s, 6005);
            QVERIFY(e.LCB_id_doc_item->count() > 0);
            e.LCB_id_doc_item->setFocus();
            QWheelEvent notch(QPointF(5, 5), e.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&e, &notch);
            QCOMPARE(e.LCB_id_doc_item->currentIndex(), 0); // one entry a notch, a choice like a pick
            QCOMPARE(e.values().line, e.get_doc_by_gds.value(0, e.get_doc_by_gds.fieldIndex(u"id"_s)).toId());
            QCOMPARE(e.Edit3->text(), e.get_doc_by_gds.value(0, e.get_doc_by_gds.fieldIndex(u"f_qty_need"_s)).toText());
            prompter().whileOpen([&](QDialog&) { pickFirst(forms().workers(), u"Абрамов"_s); });
            test::click(e.Button3);
            prompter().whileOpen([&](QDialog&) { pickFirst(forms().operations(), {}); });
            test::click(e.Button4);
            e.Edit3->setText(u"1"_s);
            dm().ADO_DB.close(); // the connection is lost
            test::click(e.Button1);
            QCOMPARE(prompter().shown().size(), size_t(1));
            QVERIFY(prompter().shown()[0].generalError);
            QCOMPARE(e.values().record, 0);
            QCOMPARE(e.Edit3->text(), u"1"_s); // what was typed stays
            QVERIFY(!e.Edit1->text().isEmpty() && e.Button1->isEnabled());
        });
        test::click(journal().Button1);
        prompter().clear();
    }

    void leaveHandlersWaitForARealMoveAndEscapeExits()
    {
        entry::TForm11& e = editor();
        prompter().whileOpen([&](QDialog&) {
            QVERIFY(e.smena_gds_use.isOpen());
            e.Edit4->clear();
            // a message box or a popup takes the focus for a moment: the box is left as typed
            for (const Qt::FocusReason passing : { Qt::ActiveWindowFocusReason, Qt::PopupFocusReason }) {
                QFocusEvent out(QEvent::FocusOut, passing);
                QApplication::sendEvent(e.Edit4, &out);
                QCOMPARE(e.Edit4->text(), QString());
            }
            QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason); // the user moves on
            QApplication::sendEvent(e.Edit4, &tab);
            QCOMPARE(e.Edit4->text(), u"0"_s);
            QTest::keyClick(&e, Qt::Key_Escape);
            QVERIFY(!e.isVisible());
        });
        test::click(journal().Button1);
        QVERIFY(!e.smena_gds_use.isOpen()); // closed as "Выход" closes it
        QVERIFY(prompter().texts().isEmpty());
    }

    void restrictedLoginAcceptsByDoubleClickOnly()
    {
        ProductionRecord r;
        r.worker = 1003;
        r.product = 1001;
        r.operation = scalar(u"select min(id) from accounts_dep.oper where i_id = 1001"_s).toId();
        r.quantity = 1;
        r.date = day;
        r.line = 400000000001;
        const Id id = insertRecord(dm(), r, day);
        app::JournalRights rights;
        rights.accept = true;
        rights.acceptOnly = true;
        journal().applyRights(rights);
        test::click(journal().Button8);
        test::doubleClickCell(journal().DBGrid2, 0, 0);
        QCOMPARE(prompter().texts(), QStringList { u"Не заведен расход ТМЦ!"_s });
        QCOMPARE(prompter().execCount(), 0); // no editor for them
        dm().ADO_DB.execute(u"insert into accounts_dep.smena_gds_use (id_smena, id_gds_use, f_qty_use) select "_s
            + QString::number(id)
            + u", id_gds_from, 0.001 from mnf_operation.operation where id_gds_to = 1001 limit 1"_s);
        // Enter on the row is no acceptance: nothing happens
        test::clickCell(journal().DBGrid2, 0, 0);
        QTest::keyClick(journal().DBGrid2, Qt::Key_Return);
        QCOMPARE(scalar(u"select ok from accounts_dep.smena where id = "_s + QString::number(id)).toText(), u"no"_s);
        QCOMPARE(prompter().execCount(), 0);
        test::doubleClickCell(journal().DBGrid2, 0, 0);
        QCOMPARE(scalar(u"select ok from accounts_dep.smena where id = "_s + QString::number(id)).toText(), u"ok"_s);
    }

    void deleteFromTheJournal()
    {
        // two records of one worker on the journal's date; the first deleted after a sort by sum
        ProductionRecord r;
        r.worker = 1002;
        r.product = 1001;
        r.operation = scalar(u"select min(id) from accounts_dep.oper where i_id = 1001"_s).toId();
        r.price = 10;
        r.quantity = 1;
        r.date = day;
        r.shift = 1;
        r.hours = 3;
        r.line = 400000000001;
        r.requisition = 300000000151;
        const Id first = insertRecord(dm(), r, day);
        r.hours = 4;
        r.quantity = 2;
        const Id second = insertRecord(dm(), r, day);
        QCOMPARE(
            scalar(
                u"select d1 from accounts_dep.h_tabel where w_id = 1002 and smena = 1 and month = 3 and year = 2027"_s)
                .toInt(),
            7);
        test::click(journal().Button8);
        test::clickTitle(journal().DBGrid2, 8); // "Итого (р.)"
        if (dm().Smena1.sort() != u"summa ASC"_s)
            test::clickTitle(journal().DBGrid2, 8);
        QCOMPARE(dm().Smena1.sort(), u"summa ASC"_s);
        QCOMPARE(dm().Smena1.value(0, dm().Smena1.fieldIndex(u"id"_s)).toId(), first); // the smaller sum first
        test::clickCell(journal().DBGrid2, 0, 0);
        prompter().answer(ui::Answer::No);
        test::click(journal().Button3);
        QCOMPARE(dm().Smena1.recordCount(), 2);
        QVERIFY(dm().Smena1.sort().isEmpty()); // re-read in the query's own order
        test::clickCell(
            journal().DBGrid2, dm().Smena1.value(0, dm().Smena1.fieldIndex(u"id"_s)).toId() == first ? 0 : 1, 0);
        prompter().answer(ui::Answer::Yes);
        test::click(journal().Button3);
        QCOMPARE(dm().Smena1.recordCount(), 1);
        QCOMPARE(
            scalar(
                u"select d1 from accounts_dep.h_tabel where w_id = 1002 and smena = 1 and month = 3 and year = 2027"_s)
                .toInt(),
            4);

        // another copy accepted the record meanwhile: refused with a message, nothing deleted
        dm().ADO_DB.execute(u"update accounts_dep.smena set ok = 'ok' where id = "_s + QString::number(second));
        prompter().clear();
        prompter().answer(ui::Answer::Yes);
        test::click(journal().Button3);
        QCOMPARE(prompter().texts().back(), StaleRecord(StaleRecord::Change::Delete).text()); // says the list is new
        QVERIFY(prompter().texts().back().endsWith(u"Список обновлён."_s));
        QCOMPARE(scalar(u"select count(*) from accounts_dep.smena where id = "_s + QString::number(second)).toInt(), 1);
        QCOMPARE(dm().Smena1.field(u"ok"_s).toText(), u"ok"_s); // the list shows it as it is now
    }
};

TABEL_TEST(EntryTest)
#include "test_entry.moc"
