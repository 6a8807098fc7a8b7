#include "catalog/operation_list.h"
#include "catalog/worker_list.h"
#include "db/data_module.h"
#include "db/db_error.h"
#include "domain/production_records.h"
#include "entry/material_dialog.h"
#include "entry/record_editor.h"
#include "journal/journal_window.h"
#include "support/app_fixture.h"
#include "support/gui.h"
#include "support/test_registry.h"
#include "ui/db_grid.h"
#include "ui/lookup_combo.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <atomic>
#include <memory>

using namespace Qt::StringLiterals;
using namespace tabel;

// The materials a record consumed and its work team, over goods of their own: product 9101 takes
// 0.25 of paint 9102 a piece and 2 of sheet 9103; the requisition 9100 reserves some paint.
class MaterialsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::AppFixture> fx_;
    const QDate day { 2027, 3, 1 };

    app::Forms& forms() { return fx_->forms(); }
    db::TDataModule6& dm() { return forms().dataModule(); }
    app::TForm1& journal() { return forms().journal(); }
    entry::TForm11& editor() { return forms().editor(); }
    entry::TForm24& dialog() { return forms().materials(); }
    test::ScriptedPrompter& prompter() { return fx_->prompter(); }

    db::Value scalar(const QString& sql) { return test::scalar(dm().ADO_DB, sql); }
    // A record of 10 pieces on the requisition's line; colour 0 as a record entered by requisition.
    Id newRecord(int worker = 1001, double quantity = 10, int defects = 0)
    {
        ProductionRecord r;
        r.worker = worker;
        r.product = 9101;
        r.operation = 9101;
        r.price = 10;
        r.quantity = quantity;
        r.defects = defects;
        r.date = day;
        r.hours = 6;
        r.requisition = 9100;
        r.line = 9100;
        r.goods = 9101;
        return insertRecord(dm(), r, day);
    }
    void stock(double total, double reserved)
    {
        dm().ADO_DB.execute(
            u"update cmn_gds_and_srv.consignment set f_qty = "_s + QString::number(total) + u" where id = 9102"_s);
        dm().ADO_DB.execute(
            u"update mnf_doc.reserve set f_qty = "_s + QString::number(reserved) + u" where id = 9102"_s);
    }
    // Opens the record in the editor from the journal (change mode) and runs fn.
    void inEditor(Id id, const std::function<void(entry::TForm11&)>& fn)
    {
        test::click(journal().Button8);
        db::Query& q = dm().Smena1;
        int row = -1;
        for (int r = 0; r < q.recordCount(); ++r)
            if (q.value(r, q.fieldIndex(u"id"_s)).toId() == id)
                row = r;
        QVERIFY(row >= 0);
        test::clickCell(journal().DBGrid2, row, 0);
        prompter().whileOpen([&](QDialog&) { fn(editor()); });
        test::click(journal().Button2);
    }
    // In the editor: "Добавить", the material chosen; then fn in the dialog.
    void addMaterial(entry::TForm11& e, Id material, const std::function<void(entry::TForm24&)>& fn)
    {
        prompter().whileOpen([&](QDialog&) {
            entry::TForm24& d = dialog();
            db::Query& offered = d.v_cmn_gds_in;
            int row = -1;
            for (int r = 0; r < offered.recordCount(); ++r)
                if (offered.value(r, offered.fieldIndex(u"id"_s)).toId() == material)
                    row = r;
            QVERIFY2(row >= 0, "the material is not offered");
            test::choose(d.LCB_id_gds_use, d.LCB_id_gds_use->itemText(row));
            fn(d);
        });
        test::click(e.Button5);
    }
    // Clicks into the box and types, as a user does after choosing the material.
    static void retype(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        test::typeText(box, text);
    }
    double recorded(Id id, Id material)
    {
        return scalar(u"select coalesce(sum(f_qty_use), 0) from accounts_dep.smena_gds_use where id_smena = "_s
            + QString::number(id) + u" and id_gds_use = "_s + QString::number(material))
            .toDouble();
    }

private slots:
    void init()
    {
        fx_ = std::make_unique<test::AppFixture>();
        dm().ADO_DB.execute(uR"(
insert into cmn_gds_and_srv.gds_and_srv (id, s_caption, s_unit) values
  (9101, 'Ъ-изделие', 'шт.'), (9102, 'Ъ-краска', 'кг'), (9103, 'Ъ-лист', 'шт.'), (9104, 'Ъ-винт', 'шт.');
insert into cmn_gds_and_srv.gds_attr (id, i_id, f_color_qty) values (9101, 9101, 0.25);
insert into mnf_operation.operation (id, id_gds_to, id_gds_from, f_qty_from) values (9101, 9101, 9103, 2), (9102, 9101, 9104, 0);
insert into cmn_gds_and_srv.consignment (id, id_gds, s_caption, s_stock, f_qty) values
  (9102, 9102, 'партия 1', 'склад ЛКМ', 100), (9103, 9103, 'партия 2', 'склад', 1000), (9104, 9104, 'партия 3', 'склад', 1000);
insert into mnf_doc.doc (id, s_number, d_date) values (9100, '9100', date '2027-02-01');
insert into mnf_doc.doc_item (id, id_doc, id_gds, id_gds_color, f_qty) values (9100, 9100, 9101, 9102, 100);
insert into mnf_doc.reserve (id, id_doc, id_gds, f_qty) values (9102, 9100, 9102, 0);
insert into accounts_dep.izdel (id, marka, nom, massa) values (9101, 'Ъ-изделие', 'т', 1);
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values (9101, 5, 0, 9101, 10);
)"_s);
        for (int shift = 1; shift <= 4; ++shift)
            dm().smenaQuery(shift).setParam(u"ok"_s, u"ta"_s);
        journal().show();
        test::chooseDay(journal().DateT, day);
    }
    void cleanup()
    {
        journal().hide();
        fx_.reset();
    }

    void proposalAndTheNormQuestion_data()
    {
        QTest::addColumn<int>("answer"); // 0 No, 1 Yes
        QTest::addColumn<double>("written");
        QTest::newRow("No records nothing") << 0 << 0.0;
        QTest::newRow("Yes records the rest of the norm") << 1 << 1.0;
    }
    void proposalAndTheNormQuestion()
    {
        QFETCH(int, answer);
        QFETCH(double, written);
        const Id id = newRecord();
        dm().ADO_DB.execute(u"insert into accounts_dep.smena_gds_use (id_smena, id_gds_use, f_qty_use) values ("_s
            + QString::number(id) + u", 9102, 1.5)"_s);
        inEditor(id, [&](entry::TForm11& e) {
            QVERIFY(e.Button5->isEnabled() && e.DBGrid1->isEnabled()); // materials in change mode
            QVERIFY(!e.Button7->isEnabled() && !e.Button9->isEnabled()); // not the team
            addMaterial(e, 9102, [&](entry::TForm24& d) { // offered to a record entered by requisition
                QCOMPARE(d.Edit7->text(), u"1"_s); // 0.25 × 10 − 1.5
                QVERIFY(d.DBText1->text().contains(u"свободно"_s));
                retype(d.Edit7, u"2"_s);
                prompter().answer(answer ? ui::Answer::Yes : ui::Answer::No);
                test::click(d.Button1);
                QVERIFY(!prompter().shown().empty());
                QCOMPARE(prompter().shown().back().text,
                    u"Расход ТМЦ не может быть больше остатка по партии! Расходовать весь остаток по партии?"_s);
                QCOMPARE(prompter().shown().back().flags, 52);
                QCOMPARE(d.isVisible(), answer == 0);
            });
            QCOMPARE(e.smena_gds_use.recordCount(), answer ? 2 : 1);
        });
        QCOMPARE(recorded(id, 9102), 1.5 + written);
    }

    void remaindersAndTheStockQuestion()
    {
        stock(0.7, 0.3); // 0.4 free, 0.3 reserved for the requisition
        const Id other = newRecord(1002);
        dm().ADO_DB.execute(
            u"insert into mnf_doc.doc (id, s_number, d_date) values (9200, '9200', date '2027-02-01')"_s);
        const Id id = newRecord();
        inEditor(id, [&](entry::TForm11& e) {
            addMaterial(e, 9102, [&](entry::TForm24& d) {
                QCOMPARE(d.v_id_cons_use.field(u"f_qty_free"_s).toDouble(), 0.4);
                QCOMPARE(d.v_id_cons_use1.field(u"f_qty_free"_s).toDouble(), 0.3);
                QCOMPARE(d.Edit7->text(), u"2,5"_s);
                retype(d.Edit7, u"1"_s);
                prompter().answer(ui::Answer::No);
                test::click(d.Button1);
                QVERIFY(!prompter().texts().isEmpty());
                QCOMPARE(prompter().texts().back(),
                    u"Расход ТМЦ не может быть больше партии! Расходовать весь остаток по партии?"_s);
                QVERIFY(d.isVisible());
                prompter().answer(ui::Answer::Yes);
                test::click(d.Button1);
                QVERIFY(!d.isVisible());
            });
        });
        QCOMPARE(recorded(id, 9102), 0.7);
        // what that record took is no longer free or reserved for the next one: nothing counted twice
        db::Query rest(dm().ADO_DB, u"select f_qty from accounts_dep.get_reminder_qty_by_smena(:id, 9102, 'free')"_s);
        rest.setParam(u"id"_s, other);
        rest.open();
        QCOMPARE(rest.field(u"f_qty"_s).toDouble(), 0.0);
    }

    void materialWithoutNormAndTheSameMaterialTwice()
    {
        const Id id = newRecord();
        inEditor(id, [&](entry::TForm11& e) {
            addMaterial(e, 9104, [&](entry::TForm24& d) {
                QCOMPARE(d.Edit7->text(), u"0"_s); // no norm
                retype(d.Edit7, u"1"_s);
                prompter().answer(ui::Answer::Yes);
                test::click(d.Button1);
                QVERIFY(!prompter().texts().isEmpty());
                QCOMPARE(prompter().texts().back(), u"Расход ТМЦ не может быть 0!"_s);
                d.Edit7->setText(u"1,2,3"_s); // pasted past the key filter
                test::click(d.Button1);
                QCOMPARE(prompter().texts().back(), u"«1,2,3» не является числом"_s);
                test::click(d.Button2);
            });
            addMaterial(e, 9103, [&](entry::TForm24& d) {
                QCOMPARE(d.Edit7->text(), u"20"_s); // 2 × 10
                retype(d.Edit7, u"12"_s);
                test::click(d.Button1);
            });
            addMaterial(e, 9103, [&](entry::TForm24& d) { QCOMPARE(d.Edit7->text(), u"8"_s); }); // the rest only
            QCOMPARE(e.smena_gds_use.recordCount(), 1);
            // delete: the last row leaves the list on its first row; an empty list does nothing
            addMaterial(e, 9103, [&](entry::TForm24& d) {
                retype(d.Edit7, u"3"_s);
                test::click(d.Button1);
            });
            QCOMPARE(e.smena_gds_use.recordCount(), 2);
            test::clickCell(e.DBGrid1, 1, 0);
            test::click(e.Button6);
            QCOMPARE(e.smena_gds_use.recordCount(), 1);
            QCOMPARE(e.smena_gds_use.recNo(), 1);
            test::click(e.Button6);
            test::click(e.Button6);
            QCOMPARE(e.smena_gds_use.recordCount(), 0);
        });
        QCOMPARE(recorded(id, 9103), 0.0);
    }

    void aRecordAcceptedMeanwhileKeepsItsMaterials()
    {
        const Id id = newRecord();
        const QString stale = StaleRecord().text();
        inEditor(id, [&](entry::TForm11& e) {
            addMaterial(e, 9103, [&](entry::TForm24& d) {
                retype(d.Edit7, u"12"_s);
                test::click(d.Button1);
            });
            // another copy of the program accepts the record while this editor shows it
            db::Connection other;
            other.open(dm().ADO_DB.settings());
            other.execute(u"select accounts_dep.smena__accept_row_hwo("_s + QString::number(id) + u")"_s);
            addMaterial(e, 9103, [&](entry::TForm24& d) {
                retype(d.Edit7, u"3"_s);
                test::click(d.Button1);
                QCOMPARE(prompter().texts().back(), stale);
                test::click(d.Button2);
            });
            test::clickCell(e.DBGrid1, 0, 0);
            test::click(e.Button6);
            QCOMPARE(prompter().texts().back(), stale);
            QCOMPARE(e.smena_gds_use.recordCount(), 1);
        });
        QCOMPARE(recorded(id, 9103), 12.0);
        QCOMPARE(scalar(u"select f_qty from cmn_gds_and_srv.consignment where id = 9103"_s).toDouble(), 988.0);
    }

    void acceptanceWritesOffOnceAndRefusesBeyondTheStock()
    {
        stock(1.0, 0.6);
        const Id first = newRecord();
        const Id second = newRecord(1002);
        for (const Id id : { first, second })
            dm().ADO_DB.execute(u"insert into accounts_dep.smena_gds_use (id_smena, id_gds_use, f_qty_use) values ("_s
                + QString::number(id) + u", 9102, 0.8)"_s);
        // two copies accept at the same moment: one takes the stock, the other is refused
        std::atomic<int> accepted { 0 };
        std::atomic<int> refused { 0 };
        const auto client = [&](Id id) {
            db::TDataModule6 other;
            other.ADO_DB.open(fx_->db().settings());
            try {
                acceptRecord(other, id);
                ++accepted;
            } catch (const db::DbError& e) {
                if (e.text().contains(u"Недостаточно ТМЦ «Ъ-краска»"_s))
                    ++refused;
            }
        };
        std::unique_ptr<QThread> one(QThread::create(client, first));
        std::unique_ptr<QThread> two(QThread::create(client, second));
        one->start();
        two->start();
        one->wait();
        two->wait();
        QCOMPARE(accepted.load(), 1);
        QCOMPARE(refused.load(), 1);
        QCOMPARE(scalar(u"select round(f_qty::numeric, 6)::text from cmn_gds_and_srv.consignment where id = 9102"_s)
                     .toText(),
            u"0.200000"_s); // written off once
        QCOMPARE(
            scalar(u"select f_qty from mnf_doc.reserve where id = 9102"_s).toDouble(), 0.0); // the reservation first
        QCOMPARE(scalar(u"select count(*) from accounts_dep.smena where ok = 'ok' and id in ("_s
                     + QString::number(first) + u", "_s + QString::number(second) + u")"_s)
                     .toInt(),
            1);
    }

    void teamDividesTheRecord_data()
    {
        QTest::addColumn<QStringList>("members"); // typed into the worker list's filter
        QTest::addColumn<int>("records"); // after the division
        QTest::newRow("empty team") << QStringList {} << 1;
        QTest::newRow("two members, one listed twice then removed")
            << QStringList { u"Александров"_s, u"Белова"_s, u"Белова"_s } << 3;
    }
    void teamDividesTheRecord()
    {
        QFETCH(QStringList, members);
        QFETCH(int, records);
        entry::TForm11& e = editor();
        Id id = 0;
        prompter().whileOpen([&](QDialog&) {
            QVERIFY(!e.Button7->isEnabled() && !e.Button9->isEnabled() && !e.DBGrid2->isEnabled());
            e.LCB_id_doc->setFocus();
            test::typeText(e.LCB_id_doc, u"Ъ"_s); // the keyboard finds the goods by their first letter
            QCOMPARE(e.values().goods, 9101);
            test::choose(e.LCB_id_doc_item, e.LCB_id_doc_item->itemText(0));
            prompter().whileOpen([&](QDialog&) {
                test::typeInto(forms().workers().Edit1, u"Абрамов"_s);
                test::doubleClickCell(forms().workers().DBGrid1, 0, 0);
            });
            test::click(e.Button3);
            prompter().whileOpen([&](QDialog&) { test::doubleClickCell(forms().operations().DBGrid1, 0, 0); });
            test::click(e.Button4);
            e.Edit3->setText(u"7"_s);
            e.Edit4->setText(u"2"_s);
            e.Edit6->setText(u"6"_s);
            test::click(e.Button1);
            id = e.values().record;
            QVERIFY(id > 0);
            QVERIFY(e.Button7->isEnabled() && e.Button9->isEnabled() && e.DBGrid2->isEnabled());
            for (const QString& name : members) {
                prompter().whileOpen([&](QDialog&) {
                    test::typeInto(forms().workers().Edit1, name);
                    test::doubleClickCell(forms().workers().DBGrid1, 0, 0);
                });
                test::click(e.Button7);
            }
            QCOMPARE(e.fio_smena_gds.recordCount(), members.size()); // the same worker twice is listed twice
            if (!members.isEmpty()) {
                int twice = -1; // one of the two rows of the member listed twice
                for (int r = 0; r < e.fio_smena_gds.recordCount(); ++r)
                    if (e.fio_smena_gds.value(r, e.fio_smena_gds.fieldIndex(u"s_caption"_s))
                            .toText()
                            .startsWith(members.last()))
                        twice = r;
                test::clickCell(e.DBGrid2, twice, 0);
                test::click(e.Button8); // removes that member only
                QCOMPARE(e.fio_smena_gds.recordCount(), members.size() - 1);
            }
            test::click(e.Button9);
            QVERIFY(!e.isVisible()); // divided and closed
        });
        test::click(journal().Button1);
        QCOMPARE(prompter().texts(), QStringList {});
        const QString line = u" from accounts_dep.smena where id_doc_item = 9100"_s;
        QCOMPARE(scalar(u"select count(*)"_s + line).toInt(), records);
        QCOMPARE(
            scalar(u"select round(sum(kol_vo)::numeric, 6)::text"_s + line).toText(), u"7.000000"_s); // exact totals
        QCOMPARE(scalar(u"select sum(brak)"_s + line).toInt(), 2);
        QCOMPARE(
            scalar(u"select count(*) from accounts_dep.person_temp where id_smena = "_s + QString::number(id)).toInt(),
            0);
        // every member's hours cell of the day holds the record's hours
        db::Query workers(dm().ADO_DB, u"select w_id"_s + line);
        workers.open();
        for (int r = 0; r < workers.recordCount(); ++r)
            QCOMPARE(
                scalar(
                    u"select d1 from accounts_dep.h_tabel where smena = 1 and month = 3 and year = 2027 and w_id = "_s
                    + workers.value(r, 0).toText())
                    .toInt(),
                6);
        // change and view keep the team section disabled
        test::click(journal().Button8);
        test::clickCell(journal().DBGrid2, 0, 0);
        prompter().whileOpen([&](QDialog&) { QVERIFY(!e.Button7->isEnabled() && !e.Button9->isEnabled()); });
        test::click(journal().Button2);
        prompter().whileOpen([&](QDialog&) { QVERIFY(!e.Button7->isEnabled() && !e.DBGrid1->isEnabled()); });
        test::doubleClickCell(journal().DBGrid2, 0, 0);
    }
};

TABEL_TEST(MaterialsTest)
#include "test_materials.moc"
