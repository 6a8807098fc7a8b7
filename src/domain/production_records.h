#pragma once
// Writing production records: the editor's insert and update, the journal's delete and
// acceptance, each with the hours cells it touches. Every value in a statement is a number the
// program holds or a date it formats, never typed text. A record that another copy of the program
// accepted or deleted meanwhile is not changed or deleted: StaleRecord says so.
#include "core/error.h"
#include "core/ids.h"

#include <QDate>

namespace tabel::db {
class TDataModule6;
}

namespace tabel {

class StaleRecord : public Error {
public:
    enum class Change { Save, Delete };
    explicit StaleRecord(Change change = Change::Save);
};

// The quantity is more than the record's operation may still make on its requisition line.
class BeyondLine : public Error {
public:
    BeyondLine();
};

struct ProductionRecord {
    int worker = 0; // the personnel code
    Id product = 0;
    Id operation = 0;
    double price = 0; // the final price; stored rounded to 4 places
    double quantity = 0;
    int defects = 0;
    QDate date;
    int shift = 1;
    Id colour = 0;
    int hours = 0;
    Id requisition = 0;
    Id line = 0;
    Id goods = 0;
};

// Inserts the record ("no", bonus 0, entered today); the new id. The server recomputes its hours
// cell.
// On a requisition line the quantity is checked against the line under a lock on it, so two
// copies saving at once never take more than the line's operation may still make (BeyondLine).
Id insertRecord(db::TDataModule6& dm, const ProductionRecord& record, const QDate& today);
// Updates the record (bonus 0, entered today, its mark, requisition and line kept); the server
// recomputes its hours cell and, when the record moved, the cell the database counted it in
// before, locking their rows in one order. A change that raises no quantity and keeps the line and
// operation is not checked against the line (the ERP may have closed it since).
void updateRecord(db::TDataModule6& dm, Id id, const ProductionRecord& record, const QDate& today);
// Deletes a record that is not accepted and brings the hours cell the database counted it in up
// to date.
void deleteRecord(db::TDataModule6& dm, Id id);
// "ok" and "да" mark an accepted record: it never changes again.
bool isAcceptedMark(const QString& ok);
// Locks a record for a change of its materials or team until the transaction ends; StaleRecord
// when another copy accepted or deleted it.
void lockOpenRecord(db::TDataModule6& dm, Id id);
// The number of material rows of a record.
qint64 materialCount(db::TDataModule6& dm, Id id);
// Accepts the record through the server (its stock written off, marked "ok").
void acceptRecord(db::TDataModule6& dm, Id id);
// How many pieces the operation may still take on the requisition line (the line's quantity less
// what the operation's records made on it, leaving out the record `except`).
double openQuantity(db::TDataModule6& dm, Id line, Id operation, Id except);

} // namespace tabel
