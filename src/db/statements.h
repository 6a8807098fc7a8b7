#pragma once
// The statement texts of the data module's shared queries, kept together in one place. Each is a
// list of lines that the query joins with line breaks.
#include <QStringList>

namespace tabel::db::statements {

QStringList workers();
QStringList izdel();
QStringList oper();
QStringList operIns();
QStringList operEd();
QStringList operDel();
// Every operation with its product and type, for the export (also those without norm rows).
QStringList xlsRep();
// The record editor's lists: requisitions, their open lines, the goods the lines need, the lines
// that need goods in a colour; a stored record's own requisition and line.
QStringList requisitions();
QStringList requisitionItems();
QStringList requisitionGoods();
QStringList linesByGoods();
QStringList recordRequisition(qint64 recordId);
QStringList recordRequisitionItem(qint64 recordId);
// A record's material rows and its work team.
QStringList recordMaterials();
QStringList recordTeam();
// The journal's query of a shift: 1, 2, 3, or 4 for overtime.
QStringList smena(int shift);
// The period reports (parameters data1 included, data2 excluded) and the product summary.
QStringList reportByWorkers();
QStringList reportByProducts();
QStringList detailedByWorkers();
QStringList detailedByProducts();
QStringList detailedByRequisitions();
QStringList productSummary();
// The history of one record (:id), oldest first, and of a period (:data1 up to :data2 excluded).
QStringList recordHistory();
QStringList periodHistory();
// The month's day sums per person name over every shift (printed timesheet, spreadsheet).
QStringList monthTotals();
// The timesheet rows of a shift (1, 2 or 3) for a month.
QStringList hTabel(int shift);

} // namespace tabel::db::statements
