#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Removing and listing what the program keeps in folders of its own (backups, their scratch
// folders) without ever following a link: a link planted under one of its names points at
// somebody else's files.
namespace kivo {

// True when `path` itself is a folder, not a link to one.
bool isRealFolder(const QString &path);

// Removes the folder `path` when it holds only files whose names `ours` accepts: each is
// unlinked as it is (a link as a link) and the folder then removed. A link in the folder's
// place, a folder inside it or any other name leaves everything where it is. True when the
// folder is gone.
bool removeOwnFolder(const QString &path, const std::function<bool(const QString &)> &ours);

// The names of the entries of `folder` that are folders themselves (links excluded).
// Throws DbfError with the system's reason when the folder exists but cannot be read; a
// folder that does not exist has none.
QStringList realSubfolders(const QString &folder);

} // namespace kivo
