#pragma once

#include <QByteArray>
#include <QString>

namespace kivo {

// Spanish words for an errno value, for messages that name a file.
QString systemReason(int error);

// Reads a whole file; throws DbfError (naming the file) when it cannot.
QByteArray readWholeFile(const QString &path);

// Keeps the tables of one folder to one writer at a time, across processes: the packer holds
// it from reading a table to writing it back, so a row the program writes meanwhile is not
// lost under the packer's older copy. Nested holds in one process share the lock.
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
// old or the new file: writes a hidden file beside it, checks every write, flushes it, renames
// it over the target and flushes the folder, under the folder's lock. A file without write permission is refused. On
// failure throws DbfError naming `tableName` and the file; the target is untouched.
void writeAtomically(const QString &path, const QByteArray &bytes, const QString &tableName);
// Flushes a folder's entries (a rename into it) to the disk; quietly does nothing when it cannot.
void syncFolder(const QString &folder);

} // namespace kivo
