#include "store/tables.h"

namespace kivo::tables {

QString name(Table table)
{
    switch (table) {
    case Table::DatoProv:
        return QStringLiteral("datoprov");
    case Table::Ventas:
        return QStringLiteral("VENTAS");
    case Table::ProvMerc:
        return QStringLiteral("PROVMERC");
    case Table::ProvProd:
        return QStringLiteral("provprod");
    case Table::Activida:
        return QStringLiteral("activida");
    case Table::CatBanco:
        return QStringLiteral("catbanco");
    case Table::AdmLocal:
        return QStringLiteral("admlocal");
    }
    return {};
}

QString fileName(Table table)
{
    return name(table) + QStringLiteral(".dbf");
}

QStringList packerArguments()
{
    QStringList out;
    for (Table t : kPacked)
        out << name(t);
    return out;
}

QString salesOf(int tipo)
{
    return QStringLiteral("select * from %1 where tipo = %2").arg(name(Table::Ventas)).arg(tipo);
}

} // namespace kivo::tables
