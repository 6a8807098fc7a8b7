#pragma once
// TDataModule6: the one connection ADO_DB and the shared queries and commands every window uses,
// created once at start-up.
#include "db/connection.h"
#include "db/query.h"
#include "db/table.h"

#include <QObject>

namespace tabel::db {

class TDataModule6 : public QObject {
    Q_OBJECT
public:
    explicit TDataModule6(QObject* parent = nullptr);

    Connection ADO_DB;
    Query Smena1 { ADO_DB };
    Query Smena2 { ADO_DB };
    Query Smena3 { ADO_DB };
    Query Smena4 { ADO_DB };
    Query Workers { ADO_DB };
    Query Izdel { ADO_DB };
    Query Oper { ADO_DB };
    // Written row by row: a new row is an insert, a changed one an update of vid, a deleted one a
    // delete by id.
    Table Vid_oper { ADO_DB, u"accounts_dep.VID_OPER"_qs, u"vid"_qs };
    Command Oper_ins { ADO_DB };
    Command Oper_ed { ADO_DB };
    Command Oper_del { ADO_DB };
    Query Control { ADO_DB }; // scratch: text replaced before each use
    Command DelSmena { ADO_DB }; // scratch
    Command H_Tabel_ins { ADO_DB }; // scratch
    Query H_Tabel_1 { ADO_DB };
    Query H_Tabel_2 { ADO_DB };
    Query H_Tabel_3 { ADO_DB };

    // Runs a count statement with its parameters on Control and gives its column "cnt".
    qint64 count(const QString& sql, const std::vector<std::pair<QString, QVariant>>& params = {});

    // The journal query of a shift: 2 → Smena2, 3 → Smena3, 4 → Smena4, anything else → Smena1.
    Query& smenaQuery(int shift);
};

} // namespace tabel::db
