#include "catalog/norms_editor.h"
#include "catalog/operation_dialog.h"
#include "catalog/operation_list.h"
#include "catalog/product_list.h"
#include "catalog/requisition_context.h"
#include "catalog/type_dialog.h"
#include "catalog/type_list.h"
#include "catalog/worker_list.h"
#include "db/data_module.h"
#include "journal/journal_window.h"
#include "support/app_fixture.h"
#include "support/gui.h"
#include "support/test_registry.h"
#include "support/xlsx_reader.h"
#include "ui/db_grid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;
using namespace tabel;

namespace {

// The record editor's requisition state as the operation list reads it.
struct Requisition final : catalog::RequisitionContext {
    bool chosen = false;
    std::optional<Id> goods;
    bool hasRequisition() const override { return chosen; }
    std::optional<Id> goodsId() const override { return goods; }
};

// Names with the characters a filter or a statement could trip on, shared by products, types
// and workers of the fixture.
const QStringList names = { u"Ъ-тест 50%"_s, u"Ъ-тест 5'0"_s, u"Ъ-тест_1"_s, u"Ъ-тест\\a"_s };

} // namespace

// The catalogue windows from the journal's menu (and from the callers the record editor will be),
// over the demo data and rows of their own.
class CatalogTest : public QObject {
    Q_OBJECT
    std::unique_ptr<test::AppFixture> fx_;

    app::Forms& forms() { return fx_->forms(); }
    db::TDataModule6& dm() { return forms().dataModule(); }
    app::TForm1& journal() { return forms().journal(); }
    test::ScriptedPrompter& prompter() { return fx_->prompter(); }
    db::Connection& conn() { return dm().ADO_DB; }

    db::Value scalar(const QString& sql) { return test::scalar(conn(), sql); }
    static int rowOf(db::DataSet& rows, const QString& field, const QVariant& value)
    {
        for (int r = 0; r < rows.recordCount(); ++r)
            if (rows.value(r, rows.fieldIndex(field)).variant() == value
                || rows.value(r, rows.fieldIndex(field)).toText() == value.toString())
                return r;
        return -1;
    }
    static QList<qint64> ids(db::DataSet& rows)
    {
        QList<qint64> out;
        for (int r = 0; r < rows.recordCount(); ++r)
            out << rows.value(r, rows.fieldIndex(u"id"_s)).toInt64();
        std::sort(out.begin(), out.end());
        return out;
    }

    // Opens a list the way its caller does and runs fn while it is shown.
    void withList(const QString& list, const std::function<void(catalog::CatalogList&)>& fn)
    {
        if (list == u"operations"_s) {
            prompter().whileOpen([&](QDialog&) { fn(forms().operations()); });
            test::trigger(journal().N4);
        } else if (list == u"products"_s || list == u"types"_s) {
            const bool products = list == u"products"_s;
            prompter().whileOpen([&](QDialog&) {
                prompter().whileOpen([&](QDialog&) {
                    prompter().whileOpen([&](QDialog&) {
                        if (products)
                            fn(forms().products());
                        else
                            fn(forms().types());
                    });
                    test::click(products ? forms().operationDialog().Button3 : forms().operationDialog().Button4);
                });
                test::click(forms().operations().Button1);
            });
            test::trigger(journal().N4);
        } else {
            prompter().whileOpen([&](QDialog&) { fn(forms().workers()); });
            forms().workers().showToChoose();
        }
    }

    // Picks a row of a list shown to choose: the first row left by the typed filter.
    static void pickFirst(catalog::CatalogList& list, const QString& typed)
    {
        test::typeInto(list.Edit1, typed);
        QVERIFY(list.DBGrid1->model()->rowCount() > 0);
        test::doubleClickCell(list.DBGrid1, 0, 0);
    }

    // In the operation list: "Добавить", the product and type picked by their names, the kind
    // and the price typed, "Записать"; then `after` while the dialog may still be open.
    void addOperation(const QString& product, const QString& type, const QString& kind, const QString& price,
        const std::function<void(catalog::TForm10&)>& after)
    {
        catalog::TForm10& dialog = forms().operationDialog();
        prompter().whileOpen([&](QDialog&) {
            prompter().whileOpen([&](QDialog&) { pickFirst(forms().products(), product); });
            test::click(dialog.Button3);
            prompter().whileOpen([&](QDialog&) { pickFirst(forms().types(), type); });
            test::click(dialog.Button4);
            test::choose(dialog.ComboBox1, kind);
            test::typeInto(dialog.Edit3, price);
            test::click(dialog.Button1);
            after(dialog);
        });
        test::click(forms().operations().Button1);
    }

private slots:
    void init()
    {
        fx_ = std::make_unique<test::AppFixture>();
        // Products, types and workers named alike; operations on the products (the trigger gives
        // each its first norm row from cena_new), one with two norm rows, one made from product
        // 9001 before (i_id_old), one with a price of six places.
        conn().execute(uR"(
insert into accounts_dep.izdel (id, marka, nom, massa) values
  (9001, E'Ъ-тест 50%\t', 'т', 1), (9002, 'Ъ-тест 5''0', 'т', 2), (9003, 'Ъ-тест_1', 'т', 3), (9004, 'Ъ-тест\a', 'т', 4);
insert into accounts_dep.vid_oper (id, vid) values
  (901, 'Ъ-тест 50%'), (902, 'Ъ-тест 5''0'), (903, 'Ъ-тест_1'), (904, 'Ъ-тест\a');
insert into cmn_contractor.person (id, s_code, s_caption, b_employee) values
  (990000000001, '99001', 'Ъ-тест 50%', true), (990000000002, '99002', 'Ъ-тест 5''0', true),
  (990000000003, '99003', 'Ъ-тест_1', true), (990000000004, '99004', 'Ъ-тест\a', true),
  (990000000005, 'Б-12', 'Ь-без номера', true);
insert into accounts_dep.oper (id, vid, naimen, i_id, cena_new) values
  (9001, 1, 0, 9001, 15), (9002, 1, 0, 9002, 15), (9003, 1, 0, 9003, 15), (9004, 1, 0, 9004, 15),
  (9007, 2, 1, 9003, 10.123456);
insert into accounts_dep.oper (id, vid, naimen, i_id) values (9005, 2, 0, 9001);
insert into accounts_dep.norm (o_id, norma, prize, price) values (9005, 10, 5, 12.5), (9005, 20, 0, 10.0);
insert into accounts_dep.oper (id, vid, naimen, i_id, i_id_old, cena_new) values (9006, 3, 0, 9002, 9001, 20);
)"_s);
        journal().show();
    }
    void cleanup()
    {
        journal().hide();
        fx_.reset();
    }

    void listFilter_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("rows");
        // typed text → rows of products, types and workers; rows of operations
        const struct {
            const char16_t* typed;
            int named;
            int operations;
        } cases[] = {
            { u"Ъ-тест", 4, 7 },
            { u"ъ-ТЕСТ", 4, 7 }, // letter case does not matter
            { u"Ъ-тест 5", 2, 4 },
            { u"Ъ-тест 50%", 1, 2 }, // % is itself
            { u"Ъ-тест 5'", 1, 2 }, // so is a quote
            { u"Ъ-тест_", 1, 2 }, // and _, which is not any character
            { u"Ъ-тест\\", 1, 1 },
            { u"'", 0, 0 },
            { u"%", 0, 0 },
            { u"Ъ-тест 50%' or 1=1 --", 0, 0 },
        };
        for (const QString& list : { u"products"_s, u"types"_s, u"workers"_s, u"operations"_s })
            for (const auto& c : cases)
                QTest::addRow("%s %s", qPrintable(list), qPrintable(QString::fromUtf16(c.typed)))
                    << list << QString::fromUtf16(c.typed) << (list == u"operations"_s ? c.operations : c.named);
    }
    void listFilter()
    {
        QFETCH(QString, list);
        QFETCH(QString, typed);
        QFETCH(int, rows);
        withList(list, [&](catalog::CatalogList& l) {
            QVERIFY(l.Edit1->isVisible());
            QVERIFY(l.Edit1->text().isEmpty());
            const int all = l.DBGrid1->model()->rowCount();
            test::typeInto(l.Edit1, typed);
            QCOMPARE(l.DBGrid1->model()->rowCount(), rows);
            for (int r = 0; r < rows; ++r)
                QVERIFY(l.DBGrid1->cellText(r, 0).startsWith(typed.left(3), Qt::CaseInsensitive));
            l.Edit1->selectAll();
            QTest::keyClick(l.Edit1, Qt::Key_Backspace);
            QCOMPARE(l.DBGrid1->model()->rowCount(), all);
        });
        QCOMPARE(prompter().texts(), QStringList {});
    }

    void listKeys_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<bool>("onlyArrows");
        QTest::newRow("products") << u"products"_s << true;
        QTest::newRow("types") << u"types"_s << false;
        QTest::newRow("workers") << u"workers"_s << false;
        QTest::newRow("operations") << u"operations"_s << false;
    }
    void listKeys()
    {
        QFETCH(QString, list);
        QFETCH(bool, onlyArrows);
        withList(list, [&](catalog::CatalogList& l) {
            test::typeInto(l.Edit1, u"Ъ-тест"_s);
            db::DataSet& rows = *l.DBGrid1->dataSet();
            QCOMPARE(rows.recNo(), 1);
            QTest::keyClick(l.Edit1, Qt::Key_Down);
            QTest::keyClick(l.Edit1, Qt::Key_Down);
            QCOMPARE(rows.recNo(), 3);
            QCOMPARE(l.DBGrid1->currentIndex().row(), 2);
            QTest::keyClick(l.Edit1, Qt::Key_Up);
            QCOMPARE(rows.recNo(), 2);
            QCOMPARE(l.Edit1->cursorPosition(), 6);
            QTest::keyClick(l.Edit1, Qt::Key_Left);
            QTest::keyClick(l.Edit1, Qt::Key_Home);
            QCOMPARE(l.Edit1->cursorPosition(), onlyArrows ? 0 : 6);
            l.Edit1->setCursorPosition(6);
            QTest::keyClick(l.Edit1, Qt::Key_Backspace); // typing still edits
            QCOMPARE(l.Edit1->text(), u"Ъ-тес"_s);
            test::typeText(l.Edit1, u"т 5"_s);
            QCOMPARE(l.DBGrid1->model()->rowCount(), list == u"operations"_s ? 4 : 2);
            for (int i = 0; i < 6; ++i) // Down at the last row: the last row stays current
                QTest::keyClick(l.Edit1, Qt::Key_Down);
            QCOMPARE(rows.recNo(), rows.recordCount());
            QCOMPARE(l.DBGrid1->currentIndex().row(), rows.recordCount() - 1);
            QCOMPARE(test::reachable(l.Button1), list == u"operations"_s); // add only in edit mode
            QCOMPARE(test::reachable(l.Button3), list == u"operations"_s);
        });
    }

    void typesAddChangeDelete()
    {
        catalog::TForm8& types = forms().types();
        catalog::TForm9& dialog = forms().typeDialog();
        db::Table& rows = dm().Vid_oper;
        const auto add = [&](const QString& typed, const QString& expectedMessage) {
            prompter().whileOpen([&](QDialog&) {
                QCOMPARE(dialog.windowTitle(), u"Заведение нового вида операций"_s);
                QVERIFY(dialog.Edit1->text().isEmpty());
                dialog.Edit1->setText(typed); // typed or pasted
                test::click(dialog.Button1);
                QCOMPARE(dialog.isVisible(), !expectedMessage.isEmpty()); // a refusal keeps it open
                QCOMPARE(
                    prompter().texts(), expectedMessage.isEmpty() ? QStringList {} : QStringList { expectedMessage });
                prompter().clear();
            });
            test::click(types.Button1);
        };
        const auto rename = [&](const QString& from, const QString& to, const QString& expectedMessage) {
            types.DBGrid1->setFocus();
            test::clickCell(types.DBGrid1, rowOf(rows, u"vid"_s, from), 0);
            prompter().whileOpen([&](QDialog&) {
                QCOMPARE(dialog.windowTitle(), u"Изменение данных вида операции"_s);
                QCOMPARE(dialog.Edit1->text(), from);
                dialog.Edit1->setText(to);
                test::click(dialog.Button1);
                QCOMPARE(dialog.isVisible(), !expectedMessage.isEmpty());
                QCOMPARE(
                    prompter().texts(), expectedMessage.isEmpty() ? QStringList {} : QStringList { expectedMessage });
                prompter().clear();
            });
            test::click(types.Button2);
        };
        const QString duplicate = u"Такая операция уже заведена!"_s;
        prompter().whileOpen([&](QDialog&) {
            QVERIFY(!types.Edit1->isVisible()); // no filter from the menu
            QVERIFY(test::reachable(types.Button1) && test::reachable(types.Button3));
            QCOMPARE(types.Button2->text(), u"Изменить"_s);
            const int before = rows.recordCount();
            add(u"  Д'Артаньян  "_s, {});
            QCOMPARE(rows.recordCount(), before + 1);
            QVERIFY(rowOf(rows, u"vid"_s, u"Д'Артаньян"_s) >= 0); // trimmed, the quote stored as typed
            add(u"д'АРТАНЬЯН"_s, duplicate); // the same name in other letters; the quote is no error
            add(u"резка"_s, duplicate);
            add(u"   "_s, u"Все поля должны быть заполнены!"_s);
            add(u"Новая\nстрока\tвид"_s, {}); // pasted lines become one
            QVERIFY(rowOf(rows, u"vid"_s, u"Новая строка вид"_s) >= 0);
            QCOMPARE(scalar(u"select count(*) from accounts_dep.vid_oper"_s).toInt(), before + 2);

            rename(u"Д'Артаньян"_s, u"Д'АРТАНЬЯН"_s, {}); // its own name in other letters
            QVERIFY(rowOf(rows, u"vid"_s, u"Д'АРТАНЬЯН"_s) >= 0);
            rename(u"Д'АРТАНЬЯН"_s, u"Резка"_s, duplicate);

            // Deleting: No keeps it; a type the operations use is refused by the server.
            test::clickCell(types.DBGrid1, rowOf(rows, u"vid"_s, u"Д'АРТАНЬЯН"_s), 0);
            prompter().answer(ui::Answer::No);
            test::click(types.Button3);
            QCOMPARE(rows.recordCount(), before + 2);
            prompter().answer(ui::Answer::Yes);
            test::click(types.Button3);
            QCOMPARE(rows.recordCount(), before + 1);
            QCOMPARE(rowOf(rows, u"vid"_s, u"Д'АРТАНЬЯН"_s), -1);
            test::clickCell(types.DBGrid1, rowOf(rows, u"vid"_s, u"Резка"_s), 0);
            prompter().clear();
            prompter().answer(ui::Answer::Yes);
            test::click(types.Button3);
            QCOMPARE(prompter().shown().size(), size_t(2));
            QCOMPARE(prompter().shown()[0].text, u"Удалить вид операции?"_s);
            QCOMPARE(prompter().shown()[0].caption, u"Удаление"_s);
            QCOMPARE(prompter().shown()[0].flags, 36);
            QVERIFY2(prompter().shown()[1].text.contains(u"используется в операциях"_s),
                qPrintable(prompter().shown()[1].text));
            QVERIFY(rowOf(rows, u"vid"_s, u"Резка"_s) >= 0);
        });
        test::trigger(journal().N6);
        QVERIFY(!rows.isOpen()); // closed after the list
        QCOMPARE(scalar(u"select count(*) from accounts_dep.vid_oper where vid = 'Резка'"_s).toInt(), 1);
    }

    void typeAndProductChosenForTheDialog()
    {
        catalog::TForm10& dialog = forms().operationDialog();
        prompter().whileOpen([&](QDialog&) {
            prompter().whileOpen([&](QDialog&) {
                prompter().whileOpen([&](QDialog&) {
                    QCOMPARE(forms().products().Button2->text(), u"Выбрать"_s);
                    pickFirst(forms().products(), u"Ъ-тест 50"_s);
                });
                test::click(dialog.Button3);
                QCOMPARE(dialog.Edit1->text(), u"Ъ-тест 50%"_s); // without the stored tab
                QCOMPARE(dialog.productId, 9001);
                prompter().whileOpen([&](QDialog&) {}); // "Выход": nothing changes
                test::click(dialog.Button3);
                QCOMPARE(dialog.Edit1->text(), u"Ъ-тест 50%"_s);
                QCOMPARE(dialog.productId, 9001);
                prompter().whileOpen([&](QDialog&) { pickFirst(forms().types(), u"Ъ-тест_"_s); });
                test::click(dialog.Button4);
                QCOMPARE(dialog.Edit2->text(), u"Ъ-тест_1"_s);
                QCOMPARE(dialog.typeId, 903);
                QVERIFY(!forms().types().Edit1->isVisible() && !forms().products().Edit1->isVisible());
                QVERIFY(!dm().Izdel.isOpen() && !dm().Vid_oper.isOpen());
            });
            test::click(forms().operations().Button1);
        });
        test::trigger(journal().N4);
    }

    void operationsAddChangeDelete()
    {
        catalog::TForm4& ops = forms().operations();
        db::Query& rows = dm().Oper;
        prompter().whileOpen([&](QDialog&) {
            const int before = rows.recordCount();
            // a new operation shows with its first price
            addOperation(u"Ъ-тест_1"_s, u"Ъ-тест 50"_s, u"Заготовки"_s, u"12.5"_s, [&](catalog::TForm10& d) {
                QCOMPARE(d.Edit3->text(), u"12,5"_s);
                QVERIFY(!d.isVisible());
            });
            QCOMPARE(rows.recordCount(), before + 1);
            QCOMPARE(rows.recNo(), 1); // reopened on its first row
            const qint64 added
                = scalar(u"select id from accounts_dep.oper where i_id = 9003 and vid = 901"_s).toInt64();
            const int row = rowOf(rows, u"id"_s, added);
            QVERIFY(row >= 0);
            QCOMPARE(rows.value(row, rows.fieldIndex(u"cena"_s)).toDouble(), 12.5);
            QCOMPARE(rows.value(row, rows.fieldIndex(u"nmn"_s)).toText(), u"Заготовки"_s);
            QCOMPARE(rows.value(row, rows.fieldIndex(u"norma"_s)).toInt(), 1);

            // the same type, kind and product again; a price that is not a number
            addOperation(u"Ъ-тест_1"_s, u"Ъ-тест 50"_s, u"Заготовки"_s, u"1"_s, [&](catalog::TForm10& d) {
                QVERIFY(d.isVisible());
                QCOMPARE(prompter().texts(), QStringList { u"Операция с такими параметрами уже заведена!"_s });
                prompter().clear();
                test::choose(d.ComboBox1, u"Готовая продукция"_s);
                d.Edit3->setText(u"1,2,3"_s); // pasted past the key filter
                test::click(d.Button1);
                QVERIFY(d.isVisible());
                QCOMPARE(prompter().texts(), QStringList { u"«1,2,3» не является числом"_s });
                prompter().clear();
            });
            QCOMPARE(scalar(u"select count(*) from accounts_dep.oper where i_id = 9003"_s).toInt(), 3);

            // change: unchanged is accepted (its own id excluded), into an existing one refused
            test::clickCell(ops.DBGrid1, rowOf(rows, u"id"_s, added), 0);
            prompter().whileOpen([&](QDialog&) {
                catalog::TForm10& d = forms().operationDialog();
                QCOMPARE(d.windowTitle(), u"Изменение данных о цене за операцию"_s);
                QCOMPARE(d.Edit1->text(), u"Ъ-тест_1"_s);
                QCOMPARE(d.ComboBox1->currentText(), u"Заготовки"_s);
                QVERIFY(!d.Edit3->isEnabled());
                test::click(d.Button1);
                QVERIFY(!d.isVisible());
            });
            test::click(ops.Button2);
            QCOMPARE(prompter().texts(), QStringList {});
            test::clickCell(ops.DBGrid1, rowOf(rows, u"id"_s, added), 0);
            prompter().whileOpen([&](QDialog&) {
                catalog::TForm10& d = forms().operationDialog();
                prompter().whileOpen([&](QDialog&) { pickFirst(forms().types(), u"Гибка"_s); });
                test::click(d.Button4);
                test::click(d.Button1); // 9007 is Гибка, Заготовки on the same product
                QVERIFY(d.isVisible());
                QCOMPARE(prompter().texts(), QStringList { u"Операция с такими параметрами уже заведена!"_s });
                prompter().clear();
            });
            test::click(ops.Button2);

            // delete: No keeps it; one the records use is refused; an unused one goes with its norms
            test::clickCell(ops.DBGrid1, rowOf(rows, u"id"_s, added), 0);
            prompter().answer(ui::Answer::No);
            test::click(ops.Button3);
            QCOMPARE(rows.recordCount(), before + 1);
            prompter().answer(ui::Answer::Yes);
            test::click(ops.Button3);
            QCOMPARE(rows.recordCount(), before);
            QCOMPARE(
                scalar(u"select count(*) from accounts_dep.norm where o_id = "_s + QString::number(added)).toInt(), 0);
            const qint64 used = scalar(u"select min(o_id) from accounts_dep.smena"_s).toInt64();
            test::clickCell(ops.DBGrid1, rowOf(rows, u"id"_s, used), 0);
            prompter().answer(ui::Answer::Yes);
            test::click(ops.Button3);
            QVERIFY2(prompter().shown().back().text.contains(u"используется в записях выработки"_s),
                qPrintable(prompter().shown().back().text));
            QVERIFY(rowOf(rows, u"id"_s, used) >= 0);
            QCOMPARE(prompter().shown().front().text, u"Удалить операцию?"_s);
        });
        test::trigger(journal().N4);
        QVERIFY(!rows.isOpen());
    }

    void choosingGivesThePiecePrice_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<bool>("dayOff");
        QTest::addColumn<int>("shift");
        QTest::addColumn<double>("base");
        QTest::addColumn<double>("final");
        QTest::addColumn<QString>("product");
        QTest::newRow("min 10, day off, shift 3")
            << 9005 << true << 3 << 10.0 << 24.0 << u"Ъ-тест 50% (нов.); Гибка; Готовая продукция"_s;
        QTest::newRow("six places, day off, overtime")
            << 9007 << true << 4 << 10.1235 << 30.3705 << u"Ъ-тест_1 (нов.); Гибка; Заготовки"_s;
        QTest::newRow("working day, shift 1")
            << 9005 << false << 1 << 10.0 << 10.0 << u"Ъ-тест 50% (нов.); Гибка; Готовая продукция"_s;
    }
    void choosingGivesThePiecePrice()
    {
        QFETCH(int, operation);
        QFETCH(bool, dayOff);
        QFETCH(int, shift);
        QFETCH(double, base);
        QFETCH(double, final);
        QFETCH(QString, product);
        if (dayOff)
            test::click(journal().CBox1);
        QRadioButton* shifts[]
            = { journal().RadioButton1, journal().RadioButton2, journal().RadioButton3, journal().RadioButton4 };
        test::click(shifts[shift - 1]);
        catalog::TForm4& ops = forms().operations();
        prompter().whileOpen([&](QDialog&) {
            QCOMPARE(ops.Button2->text(), u"Выбрать"_s);
            QVERIFY(ops.Button2->isDefault() && !test::reachable(ops.Button1) && !test::reachable(ops.Button3));
            test::typeInto(ops.Edit1, u"Ъ-тест"_s);
            const int row = rowOf(dm().Oper, u"id"_s, operation);
            // renamed since the list was read: the editor gets the brand as it is now
            conn().execute(
                u"update accounts_dep.izdel set marka = replace(marka, E'\\t', '') || ' (нов.)' where id in (9001, 9003)"_s);
            test::doubleClickCell(ops.DBGrid1, row, 0);
        });
        const std::optional<catalog::ChosenOperation> chosen = ops.showToChoose();
        QVERIFY(chosen);
        QCOMPARE(chosen->operationId, operation);
        QCOMPARE(chosen->productId,
            scalar(u"select i_id from accounts_dep.oper where id = "_s + QString::number(operation)).toInt64());
        QCOMPARE(chosen->price.base, base);
        QCOMPARE(chosen->price.final, final);
        QCOMPARE(chosen->productText, product);
        QVERIFY(!ops.Button2->isDefault());
        QVERIFY(!dm().Oper.filtered());
    }

    void choosingFromAnEmptyListHandsNothing()
    {
        catalog::TForm4& ops = forms().operations();
        prompter().whileOpen([&](QDialog&) {
            test::typeInto(ops.Edit1, u"нет такой марки"_s);
            QCOMPARE(ops.DBGrid1->model()->rowCount(), 0);
            test::click(ops.Button2);
            QVERIFY(!ops.isVisible());
        });
        QVERIFY(!ops.showToChoose());
        prompter().whileOpen([&](QDialog&) {}); // "Выход"
        QVERIFY(!ops.showToChoose());
    }

    void requisitionNarrowsTheOperations_data()
    {
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<qint64>("goods"); // 0: no current line
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QList<qint64>>("expected"); // empty with chosen false: all operations
        QTest::newRow("none, typed") << false << qint64(0) << u"Ъ-тест 5'"_s << QList<qint64> { 9002, 9006 };
        QTest::newRow("requisition, empty box")
            << true << qint64(9001) << QString() << QList<qint64> { 9001, 9005, 9006 };
        QTest::newRow("requisition, typed") << true << qint64(9001) << u"Ъ-тест 50"_s << QList<qint64> { 9001, 9005 };
        QTest::newRow("requisition, another brand") << true << qint64(9001) << u"Ъ-тест 5'"_s << QList<qint64> {};
        QTest::newRow("requisition without a line") << true << qint64(0) << QString() << QList<qint64> {};
    }
    void requisitionNarrowsTheOperations()
    {
        QFETCH(bool, chosen);
        QFETCH(qint64, goods);
        QFETCH(QString, typed);
        QFETCH(QList<qint64>, expected);
        Requisition requisition;
        requisition.chosen = chosen;
        if (goods)
            requisition.goods = goods;
        catalog::TForm4& ops = forms().operations();
        ops.setRequisitionContext(&requisition);
        prompter().whileOpen([&](QDialog&) {
            if (!typed.isEmpty())
                test::typeInto(ops.Edit1, typed);
            QCOMPARE(ids(dm().Oper), expected);
        });
        ops.showToChoose();
        ops.setRequisitionContext(nullptr);
        prompter().whileOpen([&](QDialog&) { QVERIFY(!dm().Oper.filtered()); }); // none: every operation
        ops.showToChoose();
    }

    void choosingLeavesTheEditModeAsItWas()
    {
        // a type chosen for the operation dialog through a typed filter
        withList(u"types"_s, [&](catalog::CatalogList& l) {
            test::typeInto(l.Edit1, u"Ъ-тест 5"_s);
            QVERIFY(l.DBGrid1->dataSet()->filtered());
        });
        // the editor chose an operation of its requisition's goods, and keeps that requisition
        Requisition requisition;
        requisition.chosen = true;
        requisition.goods = 9001;
        catalog::TForm4& ops = forms().operations();
        ops.setRequisitionContext(&requisition);
        prompter().whileOpen([&](QDialog&) { QCOMPARE(ids(dm().Oper), (QList<qint64> { 9001, 9005, 9006 })); });
        ops.showToChoose();
        // then the journal's menus: every row, "Добавить" the default button
        prompter().whileOpen([&](QDialog&) {
            catalog::TForm8& types = forms().types();
            QVERIFY(!dm().Vid_oper.filtered());
            QCOMPARE(types.DBGrid1->model()->rowCount(),
                int(scalar(u"select count(*) from accounts_dep.vid_oper"_s).toInt64()));
            QVERIFY(types.Button1->isDefault());
        });
        test::trigger(journal().N6);
        prompter().whileOpen([&](QDialog&) {
            QVERIFY(!dm().Oper.filtered());
            const int all = ops.DBGrid1->model()->rowCount();
            QVERIFY(all > 100);
            test::typeInto(ops.Edit1, u"Ъ"_s);
            ops.Edit1->setFocus();
            QTest::keyClick(ops.Edit1, Qt::Key_Backspace);
            QCOMPARE(ops.DBGrid1->model()->rowCount(), all);
            QVERIFY(ops.Button1->isDefault());
        });
        test::trigger(journal().N4);
        ops.setRequisitionContext(nullptr);
    }

    void workerChosenWithItsCodes()
    {
        catalog::TForm5& workers = forms().workers();
        prompter().whileOpen([&](QDialog&) {
            QVERIFY(test::reachable(workers.Button2) && !test::reachable(workers.Button3)
                && !test::reachable(workers.Button1));
            pickFirst(workers, u"Ь-без"_s); // no numeric personnel code: refused, the list stays
            QVERIFY(workers.isVisible());
            QVERIFY(prompter().texts().value(0).contains(u"«Б-12»"_s));
            QVERIFY(!workers.chosenFlag());
            prompter().clear();
            workers.Edit1->clear();
            pickFirst(workers, u"Ъ-тест 5'"_s);
        });
        QVERIFY(workers.showToChoose());
        QCOMPARE(workers.worker().name, u"Ъ-тест 5'0"_s);
        QCOMPARE(workers.worker().code, 99002);
        QCOMPARE(workers.worker().personId, 990000000002);
        prompter().whileOpen([&](QDialog&) { test::click(workers.Button4); }); // "Выход"
        QVERIFY(!workers.showToChoose());
        QVERIFY(!workers.chosenFlag());
    }

    void normsEdited()
    {
        catalog::TForm4& ops = forms().operations();
        catalog::TForm22& norms = forms().norms();
        db::Query& rows = dm().Oper;
        const auto operationRow = [&] { return rowOf(rows, u"id"_s, 9005); };
        const auto figures = [&] {
            const int r = operationRow();
            return std::pair { rows.value(r, rows.fieldIndex(u"cena"_s)).toDouble(),
                rows.value(r, rows.fieldIndex(u"norma"_s)).toInt() };
        };
        prompter().whileOpen([&](QDialog&) {
            QCOMPARE(figures(), (std::pair { 10.0, 2 }));
            test::click(ops.CheckBox1);
            prompter().whileOpen([&](QDialog&) {
                QCOMPARE(norms.DBGrid1->model()->rowCount(), 3); // two rows and the blank one
                QCOMPARE(norms.DBGrid1->cellText(0, 0), u"10"_s); // by norm
                QCOMPARE(norms.DBGrid1->cellText(0, 1), u"12,50"_s);
                test::typeCell(norms.DBGrid1, 2, 0, u"30"_s); // a new row, its norm typed first
                QCOMPARE(
                    scalar(
                        u"select count(*) from accounts_dep.norm where o_id = 9005 and norma = 30 and price is null"_s)
                        .toInt(),
                    1);
                QCOMPARE(norms.norm.recordCount(), 3);
                test::typeCell(norms.DBGrid1, 2, 1, u"abc"_s);
                QCOMPARE(prompter().texts(), QStringList { u"«abc» не является числом"_s });
                // the cell stays in editing with what was typed; neither "Сохранить" nor Escape
                // closes the window over it
                const auto openEditor = [&]() -> QLineEdit* {
                    for (QLineEdit* e : norms.DBGrid1->viewport()->findChildren<QLineEdit*>())
                        if (e->isVisible())
                            return e;
                    return nullptr;
                };
                QVERIFY(openEditor());
                QCOMPARE(openEditor()->text(), u"abc"_s);
                QCOMPARE(norms.DBGrid1->currentIndex(), norms.DBGrid1->model()->index(2, 1));
                test::click(norms.Button1);
                QTest::keyClick(&norms, Qt::Key_Escape);
                QVERIFY(norms.isVisible());
                QVERIFY(prompter().texts().size() >= 3); // each try says why
                QCOMPARE(prompter().texts().removeDuplicates(), prompter().texts().size() - 1);
                QVERIFY(openEditor() && openEditor()->text() == u"abc"_s);
                prompter().clear();
                openEditor()->selectAll();
                test::typeText(openEditor(), u"9"_s);
                QTest::keyClick(openEditor(), Qt::Key_Tab);
                test::typeCell(norms.DBGrid1, 2, 2, u"15"_s);
                QCOMPARE(
                    scalar(
                        u"select price::text || '/' || prize from accounts_dep.norm where o_id = 9005 and norma = 30"_s)
                        .toText(),
                    u"9/15"_s);
                QCOMPARE(norms.DBGrid1->cellText(2, 1), u"9,00"_s);
                test::click(norms.Button1);
                QVERIFY(!norms.isVisible());
            });
            const int row = operationRow();
            test::doubleClickCell(ops.DBGrid1, row, 0);
            QCOMPARE(rows.recNo(), row + 1); // the same operation row, with the new figures
            QCOMPARE(figures(), (std::pair { 9.0, 3 }));

            // a single row is never deleted; Escape saves and closes like "Сохранить"
            const int single = rowOf(rows, u"id"_s, 9004);
            prompter().whileOpen([&](QDialog&) {
                test::click(norms.Button2);
                QCOMPARE(norms.norm.recordCount(), 1);
                test::typeCell(norms.DBGrid1, 1, 0, u"40"_s);
                QTest::keyClick(&norms, Qt::Key_Escape);
                QVERIFY(!norms.isVisible());
            });
            test::doubleClickCell(ops.DBGrid1, single, 0);
            QCOMPARE(rows.value(single, rows.fieldIndex(u"norma"_s)).toInt(), 2);
            QCOMPARE(rows.value(single, rows.fieldIndex(u"cena"_s)).toDouble(), 15.0); // the empty price: not 0
            prompter().whileOpen([&](QDialog&) {
                test::clickCell(norms.DBGrid1, 0, 0);
                test::click(norms.Button2); // two rows now: one goes
                QCOMPARE(norms.norm.recordCount(), 1);
                test::typeCell(norms.DBGrid1, 0, 1, u"7"_s, Qt::Key_Return); // Enter saves what is typed
                QVERIFY(!norms.isVisible());
            });
            test::doubleClickCell(ops.DBGrid1, single, 0);
            QCOMPARE(rows.value(single, rows.fieldIndex(u"cena"_s)).toDouble(), 7.0);
        });
        test::trigger(journal().N4);
        QCOMPARE(prompter().texts(), QStringList {});
    }

    void exportWritesEveryOperation()
    {
        catalog::TForm4& ops = forms().operations();
        conn().execute(u"update accounts_dep.oper set cena = 12.5 where id = 9001"_s);
        prompter().whileOpen([&](QDialog&) {
            test::typeInto(ops.Edit1, u"Ъ-тест 50"_s); // the filter does not narrow the export
            test::click(ops.Button5);
        });
        test::trigger(journal().N4);
        QCOMPARE(fx_->openedSpreadsheets().size(), 1);
        const test::XlsxSheet sheet = test::readXlsx(fx_->openedSpreadsheets()[0]);
        QVERIFY(sheet.ok);
        const int operations
            = scalar(u"select count(*) from accounts_dep.oper o join accounts_dep.izdel i on i.id = o.i_id "
                     "join accounts_dep.vid_oper v on v.id = o.vid"_s)
                  .toInt();
        QCOMPARE(sheet.rows(), operations + 1);
        const QStringList titles = { u"Марка"_s, u"Операция"_s, u"Цена"_s, u"Вид"_s };
        for (int c = 1; c <= 4; ++c)
            QCOMPARE(sheet.at(1, c)->text, titles[c - 1]);
        int found = 0;
        for (int r = 2; r <= sheet.rows(); ++r) {
            if (sheet.at(r, 1)->text != u"Ъ-тест 50%\t"_s) // the brand as stored
                continue;
            ++found;
            const bool priced = sheet.at(r, 3) != nullptr;
            QCOMPARE(sheet.at(r, 4)->text, u"Готовая продукция"_s);
            if (sheet.at(r, 2)->text == u"Резка"_s) {
                QVERIFY(priced && sheet.at(r, 3)->number);
                QCOMPARE(sheet.at(r, 3)->text.toDouble(), 12.5);
            } else {
                QVERIFY(!priced); // no price of its own: the cell is skipped
            }
        }
        QCOMPARE(found, 2);
    }
};

TABEL_TEST(CatalogTest)
#include "test_catalog.moc"
