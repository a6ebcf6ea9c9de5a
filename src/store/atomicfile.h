#pragma once

#include "store/findnocase.h"
#include "store/folderlock.h"
#include "store/systemreason.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <initializer_list>

namespace kivo {

// Reads a whole file; throws DbfError (naming the file) when it cannot.
QByteArray readWholeFile(const QString &path);

// Replaces `path` with `bytes` so that a crash or power loss at any moment leaves either the
// old or the new file: writes a hidden scratch file beside it, checks every write, flushes it,
// renames it over the target and flushes the folder, under the folder's lock. A file (or
// folder) without write permission is refused. On failure throws DbfError naming `tableName`
// and the file; the target is untouched, and no scratch file remains. Every step goes
// through fileIo().
void writeAtomically(const QString &path, const QByteArray &bytes, const QString &tableName);
// The same for a file given in parts, written one after the other (no joined copy of them).
void writeAtomically(const QString &path, std::initializer_list<QByteArrayView> parts,
                     const QString &tableName);
// The same safe write for a copy: reads `source` whole, writes it to `destination` as above
// and reads the scratch file back before the rename, so only a verified copy takes the name.
// `label` names the copy in the error (as the table does for writeAtomically).
void copyAtomically(const QString &source, const QString &destination, const QString &label);
// Removes the scratch files that writers killed part-way left in `folder` (under its lock,
// so a live writer's is never taken). Returns how many were removed.
int removeStaleScratch(const QString &folder);
// Flushes a folder's entries (a rename into it) to the disk; quietly does nothing when it cannot.
void syncFolder(const QString &folder);

} // namespace kivo
