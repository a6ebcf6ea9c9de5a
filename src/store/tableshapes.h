#pragma once

#include <QString>

namespace kivo {

class DbfTable;

// Throws DbfError when `table` has not the fields (names, types, lengths, decimals, in order)
// the program expects of the table `name` (one of the seven, any letter case): a sound table
// of another shape under a table's name would be refused at the next start, or worse, read as
// a different catalogue. Tables of older versions that lack only trailing fields the program
// can do without pass. A name that is not one of the seven passes.
void checkShape(const DbfTable &table, const QString &name);

} // namespace kivo
