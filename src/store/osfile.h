#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The few file-system facts and steps the store needs from the operating system, with one
// implementation per system (osfile_posix.cpp, osfile_win.cpp). Failures are errno values;
// the Windows side translates its own codes, and keeps those without an errno counterpart
// (a drive that is not ready) as values systemReason() knows.
namespace kivo::osfile {

// Names as the system calls of FileIo take them: the local encoding on POSIX, UTF-8 on
// Windows (turned into the wide names of the W functions there).
QByteArray systemName(const QString &path);
QString fromSystemName(const QByteArray &name);

struct Status
{
    int error = 0; // 0 when the path was reached
    bool isFile = false;
    bool isFolder = false;
    bool writable = false; // write bits on POSIX; no read-only attribute on Windows
    unsigned mode = 0644;  // permission bits for a replacement file (POSIX only)
};
// Follows links; `error` says why the path could not be reached.
Status status(const QString &path);
// True when the name itself is a link (a symbolic link, or a junction or other reparse point).
bool isLink(const QString &path);
// The folder can be listed, entered and written to; 0 or the reason.
int checkFolderAccess(const QString &folder);
int makeFolder(const QString &path); // 0, or EEXIST when something has the name already
// Creates a new empty folder named `pattern` with its trailing XXXXXX made unique.
int makeScratchFolder(QString &pattern);
// Renames a folder, failing with EEXIST when `to` exists (an empty folder too).
int renameNoReplace(const QString &from, const QString &to);
// Opens a regular file for FileIo::read, giving its descriptor and its size now; EISDIR for a
// folder, kNotAFile for a FIFO, a device or the like (refused without waiting on it).
constexpr int kNotAFile = 0x7e00;
int openForReading(const QString &path, int *fd, qint64 *size);
void closeForReading(int fd);

// What tells a table's file apart from a rewritten one.
struct Stamp
{
    qint64 size = -2; // -2: gone
    qint64 modifiedNs = 0;
    quint64 id = 0;
};
Stamp stamp(const QString &path);

// One file or folder however its path is written, following links: device and inode, or
// volume serial number and file index.
struct Identity
{
    quint64 volume = 0;
    quint64 file = 0;
    bool isFolder = false;
    bool operator==(const Identity &) const = default;
};
// False when the path cannot be reached.
bool identity(const QString &path, Identity *id);

// Waits for the exclusive lock of `folder` across processes; a handle for unlockFolder, or -1
// when the folder cannot be opened.
std::intptr_t lockFolder(const QString &folder);
void unlockFolder(std::intptr_t handle);

} // namespace kivo::osfile
