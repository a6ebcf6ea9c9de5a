#pragma once

#include <QString>

namespace kivo {

// considera.txt is delivered in UTF-8; a copy that is not valid UTF-8 (edited with an old
// Windows editor) is read as Windows-1252. Returns the text; on failure an empty string and
// a Spanish message in *error.
QString readConsidera(const QString &path, QString *error);

} // namespace kivo
