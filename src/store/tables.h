#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace kivo {

// Every table of the data folder, named once: the files the medium and the backups carry, the
// packer's arguments and the record sources the windows open all come from here.
enum class Table { DatoProv, Ventas, ProvMerc, ProvProd, Activida, CatBanco, AdmLocal };

namespace tables {

// Every table, in the order a backup lists them.
inline constexpr std::array kAll = {Table::DatoProv, Table::Ventas,   Table::ProvMerc, Table::ProvProd,
                                    Table::Activida, Table::CatBanco, Table::AdmLocal};
// What goes on the medium, in the order the receiving office expects it.
inline constexpr std::array kOnMedium = {Table::DatoProv, Table::ProvMerc, Table::ProvProd, Table::Ventas,
                                         Table::Activida};
// What the packer rewrites before the copy: the tables whose rows the user deletes.
inline constexpr std::array kPacked = {Table::DatoProv, Table::ProvMerc, Table::ProvProd, Table::Ventas};

// The name as the delivered folder holds it ("VENTAS", "provprod"), and its file.
QString name(Table table);
QString fileName(Table table);

QStringList packerArguments();
// The record source of one registry type's sales rows.
QString salesOf(int tipo);

} // namespace tables
} // namespace kivo
