#include "store/osfile.h"
#include "store/osfile_win.h"

#include "store/atomicfile.h"
#include "store/textos.h"

#include <QDir>
#include <QRandomGenerator>

#include <cerrno>
#include <string>

#include <windows.h>

namespace kivo::osfile {

namespace {

// Windows reasons without an errno of their own, kept apart from errno's small numbers.
constexpr int kNotReady = 0x4000 + ERROR_NOT_READY;
constexpr int kNetwork = 0x4000 + ERROR_NETNAME_DELETED;
constexpr int kOtherWindowsError = 0x10000; // + the Windows code

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

int removeFile(const QString &path)
{
    // A link or junction goes itself; what it points to stays.
    return ::DeleteFileW(wide(path).c_str()) ? 0 : lastError();
}

int setMode(int, unsigned)
{
    return 0; // Windows files carry no permission bits; read-only files are refused before.
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

int readFile(const QString &path, QByteArray *bytes)
{
    const DWORD attributes = ::GetFileAttributesW(wide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return EISDIR;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DEVICE) != 0)
        return kNotAFile;
    const Handle h(::CreateFileW(wide(path).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid())
        return lastError();
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(h.get(), &size) && size.QuadPart > 0 && size.QuadPart < (qint64(1) << 31))
        bytes->reserve(qsizetype(size.QuadPart));
    bytes->clear();
    char chunk[1 << 16];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(h.get(), chunk, sizeof chunk, &got, nullptr))
            return lastError();
        if (got == 0)
            break;
        bytes->append(chunk, qsizetype(got));
    }
    return 0;
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

namespace kivo {

namespace {

QString msg(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

QString systemReason(int error)
{
    switch (error) {
    case ENOENT:
        return msg(textos::kNoExiste);
    case EACCES:
    case EPERM:
        return msg(textos::kPermiso);
    case ENOSPC:
        return msg(textos::kDiscoLleno);
    case EROFS:
        return msg(textos::kMedioSoloLectura);
    case EIO:
        return msg(textos::kErrorES);
    case EISDIR:
        return msg(textos::kEsCarpeta);
    case ENOTDIR:
        return msg(textos::kNoEsCarpeta);
    case EMFILE:
    case ENFILE:
        return msg(textos::kDemasiadosAbiertos);
    case ENAMETOOLONG:
        return msg(textos::kNombreLargo);
    case EFBIG:
        return msg(textos::kArchivoGrande);
    case EXDEV:
        return msg(textos::kOtroMedio);
    case EBUSY:
        return msg(textos::kEnUso);
    case ENXIO:
    case ENODEV:
    case osfile::kNotReady:
        return msg(textos::kSinMedio);
    case ENOMEM:
        return msg(textos::kSinMemoria);
    case EAGAIN:
    case EINTR:
        return msg(textos::kInterrumpida);
    case EEXIST:
        return msg(textos::kYaExiste);
    case ENOTEMPTY:
        return msg(textos::kCarpetaNoVacia);
    case EINVAL:
        return msg(textos::kNoAdmite);
    case osfile::kNetwork:
        return msg(textos::kRedPerdida);
    case EBADF:
        return msg(textos::kDescriptor);
    default:
        return msg(textos::kErrorSistema)
            .arg(error >= osfile::kOtherWindowsError ? error - osfile::kOtherWindowsError : error);
    }
}

} // namespace kivo
