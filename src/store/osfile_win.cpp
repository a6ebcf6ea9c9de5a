#include "store/osfile.h"
#include "store/osfile_win.h"

#include <QDir>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <string>

#include <windows.h>

namespace kivo::osfile {

namespace {

std::wstring wide(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

class Handle
{
public:
    explicit Handle(HANDLE h)
        : m_h(h)
    {
    }
    ~Handle()
    {
        if (valid())
            ::CloseHandle(m_h);
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    bool valid() const { return m_h != INVALID_HANDLE_VALUE && m_h != nullptr; }
    HANDLE get() const { return m_h; }
    void release() { m_h = INVALID_HANDLE_VALUE; }

private:
    HANDLE m_h;
};

// Opens for reading its facts only, following links and reparse points, folders included.
HANDLE openForFacts(const QString &path)
{
    return ::CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

QString randomLetters(int count)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString letters;
    for (int i = 0; i < count; ++i)
        letters += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))]);
    return letters;
}

} // namespace

int errorFromWindows(unsigned long code)
{
    switch (code) {
    case ERROR_SUCCESS:
        return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return EACCES;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return EBUSY;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_NOT_READY:
    case ERROR_NO_MEDIA_IN_DRIVE:
    case ERROR_DEV_NOT_EXIST:
    case 433: // ERROR_NO_SUCH_DEVICE: what a drive letter without a drive answers
        return kNotReady;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_DIR_NOT_EMPTY:
        return ENOTEMPTY;
    case ERROR_DIRECTORY:
        return ENOTDIR;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    case ERROR_TOO_MANY_OPEN_FILES:
        return EMFILE;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return ENOMEM;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    case ERROR_CRC:
    case ERROR_SEEK:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
        return EIO;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_PARAMETER:
        return EINVAL;
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
    case ERROR_SEM_TIMEOUT:
        return kNetwork;
    case ERROR_INVALID_HANDLE:
        return EBADF;
    default:
        return kOtherWindowsError + int(code);
    }
}

int lastError()
{
    return errorFromWindows(::GetLastError());
}

QByteArray systemName(const QString &path)
{
    return path.toUtf8();
}

QString fromSystemName(const QByteArray &name)
{
    return QString::fromUtf8(name);
}

Status status(const QString &path)
{
    Status s;
    const Handle h(openForFacts(path));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!h.valid() || !::GetFileInformationByHandle(h.get(), &info)) {
        s.error = lastError();
        return s;
    }
    s.isFolder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    s.isFile = !s.isFolder && (info.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) == 0;
    // Windows ignores the read-only attribute of a folder for the files in it.
    s.writable = s.isFolder || (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
    return s;
}

bool isLink(const QString &path)
{
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

int checkFolderAccess(const QString &folder)
{
    // Listing it is what the program does first with the folder.
    WIN32_FIND_DATAW entry;
    const HANDLE find = ::FindFirstFileW(wide(QDir(folder).filePath(QStringLiteral("*"))).c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return lastError();
    ::FindClose(find);
    return 0;
}

int makeFolder(const QString &path)
{
    return ::CreateDirectoryW(wide(path).c_str(), nullptr) ? 0 : lastError();
}

int makeScratchFolder(QString &pattern)
{
    const QString stem = pattern.endsWith(QLatin1String("XXXXXX")) ? pattern.chopped(6) : pattern;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = stem + randomLetters(6);
        const int error = makeFolder(name);
        if (error == 0) {
            pattern = name;
            return 0;
        }
        if (error != EEXIST)
            return error;
    }
    return EEXIST;
}

int renameNoReplace(const QString &from, const QString &to)
{
    return ::MoveFileExW(wide(from).c_str(), wide(to).c_str(), 0) ? 0 : lastError();
}

int openForReading(const QString &path, int *fd, qint64 *size)
{
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return EISDIR;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DEVICE) != 0)
        return kNotAFile;
    Handle h(::CreateFileW(wide(path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid())
        return lastError();
    LARGE_INTEGER known{};
    *size = ::GetFileSizeEx(h.get(), &known) ? qint64(known.QuadPart) : 0;
    // A descriptor of the C runtime, as FileIo takes; it owns the handle from here on.
    const int opened = ::_open_osfhandle(reinterpret_cast<intptr_t>(h.get()), _O_RDONLY | _O_BINARY);
    if (opened < 0)
        return EMFILE;
    h.release();
    *fd = opened;
    return 0;
}

void closeForReading(int fd)
{
    ::_close(fd);
}

Stamp stamp(const QString &path)
{
    Stamp s;
    const Handle h(openForFacts(path));
    BY_HANDLE_FILE_INFORMATION info{};
    if (h.valid() && ::GetFileInformationByHandle(h.get(), &info)) {
        s.size = (qint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        const qint64 ticks = (qint64(info.ftLastWriteTime.dwHighDateTime) << 32)
            | info.ftLastWriteTime.dwLowDateTime;
        s.modifiedNs = ticks * 100;
        s.id = (quint64(info.dwVolumeSerialNumber) << 48) ^ (quint64(info.nFileIndexHigh) << 32)
            ^ info.nFileIndexLow;
    }
    return s;
}

bool identity(const QString &path, Identity *id)
{
    const Handle h(openForFacts(path));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!h.valid() || !::GetFileInformationByHandle(h.get(), &info))
        return false;
    *id = Identity{info.dwVolumeSerialNumber, (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
                   (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0};
    return true;
}

std::intptr_t lockFolder(const QString &folder)
{
    // A folder cannot take a byte-range lock on Windows, and a lock file would be left on the
    // medium: a named mutex per folder, known by its volume and file index however the path is
    // written. Windows hands it on when its holder dies.
    const Handle h(openForFacts(folder));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!h.valid() || !::GetFileInformationByHandle(h.get(), &info))
        return -1;
    const QString name = QStringLiteral("Local\\kivo-carpeta-%1-%2-%3")
                             .arg(info.dwVolumeSerialNumber)
                             .arg(info.nFileIndexHigh)
                             .arg(info.nFileIndexLow);
    const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.toStdWString().c_str());
    if (!mutex)
        return -1;
    const DWORD waited = ::WaitForSingleObject(mutex, INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        ::CloseHandle(mutex);
        return -1;
    }
    return reinterpret_cast<std::intptr_t>(mutex);
}

void unlockFolder(std::intptr_t handle)
{
    if (handle == -1)
        return;
    const HANDLE mutex = reinterpret_cast<HANDLE>(handle);
    ::ReleaseMutex(mutex);
    ::CloseHandle(mutex);
}

} // namespace kivo::osfile
