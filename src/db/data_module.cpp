#include "db/data_module.h"

#include "db/statements.h"

using namespace Qt::StringLiterals;

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
    Oper_ins.setSql(statements::operIns());
    Oper_ed.setSql(statements::operEd());
    Oper_del.setSql(statements::operDel());
    H_Tabel_1.setSql(statements::hTabel(1));
    H_Tabel_2.setSql(statements::hTabel(2));
    H_Tabel_3.setSql(statements::hTabel(3));
}

qint64 TDataModule6::count(const QString& sql, const std::vector<std::pair<QString, QVariant>>& params)
{
    Control.close();
    Control.setSql(sql);
    for (const auto& [name, value] : params)
        Control.setParam(name, value);
    Control.open();
    const qint64 n = Control.field(u"cnt"_s).toInt64();
    Control.close();
    return n;
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
