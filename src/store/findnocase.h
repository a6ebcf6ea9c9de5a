#pragma once

#include <QString>

namespace kivo {

// Path of the entry `name` of `folder` in any letter case: the exact name when it exists,
// otherwise the first match in name order (so a folder holding both "VENTAS.dbf" and
// "ventas.DBF" always gives the same one). Empty when there is none, or when `name` is empty
// or climbs out of the folder.
QString findNoCase(const QString &folder, const QString &name);

} // namespace kivo
