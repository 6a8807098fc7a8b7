#include "db/data_module.h"

#include "db/statements.h"

namespace tabel::db {

TDataModule6::TDataModule6(QObject* parent)
    : QObject(parent)
{
    Smena1.setSql(statements::smena(1));
    Smena2.setSql(statements::smena(2));
    Smena3.setSql(statements::smena(3));
    Smena4.setSql(statements::smena(4));
    Workers.setSql(statements::workers());
    Izdel.setSql(statements::izdel());
    Oper.setSql(statements::oper());
    Vid_oper.setSql(statements::vidOper());
    H_Tabel_1.setSql(statements::hTabel(1));
    H_Tabel_2.setSql(statements::hTabel(2));
    H_Tabel_3.setSql(statements::hTabel(3));
}

Query& TDataModule6::smenaQuery(int shift)
{
    switch (shift) {
    case 2:
        return Smena2;
    case 3:
        return Smena3;
    case 4:
        return Smena4;
    default:
        return Smena1;
    }
}

} // namespace tabel::db
