#pragma once

#include <QString>
#include <QStringList>

namespace kivo::datafolder {

// $KIVO_DATA_DIR when set, otherwise systemLocation(). Throws DbfError with a Spanish message when
// neither names a folder by its full path: the data would otherwise land wherever the program
// happened to start, or at the root of the file system.
QString location();
// The system's own place: $HOME/KIVO on POSIX (throws like location() without a usable HOME),
// c:\KIVO on Windows.
QString systemLocation();
QString homeLocation();

// The delivered tables and considera.txt beside the installed program (../share/kivo/data).
QString deliveredLocation();

// Creates the folder when missing and copies in every delivered file that it lacks (in any
// letter case); an existing file is never overwritten. Returns the names copied. Throws
// DbfError with a Spanish message giving the true reason when the folder cannot be created
// or used (not a folder, a broken link, read-only, something else in a table's place) or a
// copy fails. A folder the program cannot write is refused: the application typed into it
// could never be saved.
QStringList provision(const QString &folder, const QString &delivered);

} // namespace kivo::datafolder
