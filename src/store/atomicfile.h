#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <initializer_list>

namespace kivo {

// Spanish words for an errno value, for messages that name a file.
QString systemReason(int error);

// Reads a whole file; throws DbfError (naming the file) when it cannot.
QByteArray readWholeFile(const QString &path);

// Path of the entry `name` of `folder` in any letter case: the exact name when it exists,
// otherwise the first match in name order (so a folder holding both "VENTAS.dbf" and
// "ventas.DBF" always gives the same one). Empty when there is none, or when `name` is empty
// or climbs out of the folder.
QString findNoCase(const QString &folder, const QString &name);

// Keeps the tables of one folder to one writer at a time, across processes: the packer holds
// it from reading a table to writing it back, so a row the program writes meanwhile is not
// lost under the packer's older copy. Nested holds in one process share the lock.
// The lock is the folder's own descriptor (flock), not a file in it: locking the removable
// medium's folder for a copy leaves nothing on the medium.
class FolderLock
{
public:
    explicit FolderLock(const QString &folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

private:
    QString m_folder;
};

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
