// The catalogue lists per keystroke of the filter box (the operation list of the large enterprise,
// 2,000 rows, and a list of 100,000 workers), and a 50,000 × 5 spreadsheet written through the
// spreadsheet link into a real .xlsx file, offscreen.
#include "abort_prompter.h"
#include "bench_support.h"
#include "catalog/norms_editor.h"
#include "catalog/operation_dialog.h"
#include "catalog/operation_list.h"
#include "catalog/product_list.h"
#include "catalog/type_dialog.h"
#include "catalog/type_list.h"
#include "catalog/worker_list.h"
#include "db/data_module.h"
#include "excel/excel_link.h"
#include "excel/xlsx_backend.h"
#include "ui/db_grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using namespace tabel;

namespace {

// Median ms of one keystroke in the list's filter box: the text typed letter by letter, then
// deleted letter by letter, several times over; each keystroke is drawn before the next.
double perKeystroke(catalog::CatalogList& list, const QString& text)
{
    list.show();
    QApplication::processEvents();
    std::vector<double> times;
    for (int round = 0; round < 5; ++round) {
        for (int n = 1; n <= text.size() * 2; ++n) {
            const int length = n <= text.size() ? n : text.size() * 2 - n;
            QElapsedTimer t;
            t.start();
            list.Edit1->setText(text.left(length));
            list.DBGrid1->viewport()->repaint();
            QApplication::processEvents();
            times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        }
    }
    list.hide();
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::AbortPrompter prompter;
    db::TDataModule6 dm;
    dm.ADO_DB.open(bench::settings(bench::largeDatabase));

    QTemporaryDir folder;
    excel::ExcelLink excel(
        prompter, std::make_unique<excel::XlsxBackend>(folder.path(), [](const QString&) { return true; }));
    catalog::TForm3 products(prompter, dm, nullptr);
    catalog::TForm9 typeDialog(prompter, dm, nullptr);
    catalog::TForm8 types(prompter, dm, typeDialog, nullptr);
    catalog::TForm10 operationDialog(prompter, dm, products, types, nullptr);
    catalog::TForm22 norms(prompter, dm, nullptr);
    catalog::TForm4 operations(prompter, dm, operationDialog, norms, excel, {}, nullptr);
    dm.Oper.open();
    bench::print("operation list rows", dm.Oper.recordCount(), "rows");
    bench::print("operation list filter per keystroke", perKeystroke(operations, u"ИЗД-012"_s), "ms");

    catalog::TForm5 workers(prompter, dm, nullptr);
    dm.Workers.setSql(u"select (20000 + n)::text as id, 'Работник ' || (n % 1000) || ' ' || n as fio, "
                      "200000000000 + n as p_id, 'Слесарь' as s_staffpos_hl from generate_series(1, 100000) n"_s);
    dm.Workers.open();
    bench::print("worker list rows", dm.Workers.recordCount(), "rows");
    bench::print("worker list filter per keystroke", perKeystroke(workers, u"Работник 12"_s), "ms");

    const int rows = 50000;
    const double sheet = bench::medianMs(3, [&] {
        if (excel.OpenWorkbook(QString()) != 1)
            std::exit(1);
        for (int r = 1; r <= rows; ++r) {
            excel.WriteCell(1, 1, r, u"ИЗД-"_s + QString::number(r % 500), false, false, false);
            excel.WriteCell(1, 2, r, u"Сварка"_s, false, false, false);
            excel.WriteCell(1, 3, r, QString::number(r % 97) + u",25"_s, false, false, false);
            excel.WriteCell(1, 4, r, u"Готовая продукция"_s, false, true, false);
            excel.WriteCell(1, 5, r, QString::number(r), true, false, r == 1);
        }
        excel.SetVisible(true);
    });
    bench::print("spreadsheet 50000 x 5 through ExcelLink", sheet, "ms");
    return 0;
}
