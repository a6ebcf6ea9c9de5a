#pragma once

#include <QString>
#include <QStringList>

namespace kivo::datafolder {

// $KIVO_DATA_DIR when set, otherwise ~/KIVO.
QString location();

// The delivered tables and considera.txt beside the installed program (../share/kivo/data).
QString deliveredLocation();

// Creates the folder when missing and copies in every delivered file that it lacks (in any
// letter case); an existing file is never overwritten. Returns the names copied. Throws
// DbfError with a Spanish message when the folder cannot be created or a copy fails.
QStringList provision(const QString &folder, const QString &delivered);

} // namespace kivo::datafolder
