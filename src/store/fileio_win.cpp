#include "store/fileio.h"

#include "store/osfile_win.h"

#include <QRandomGenerator>
#include <QString>

#include <cerrno>
#include <fcntl.h>
#include <io.h>

#include <windows.h>

// Descriptors are the C runtime's over Windows handles; names are UTF-8 and reach the system
// through the wide (W) functions. Every failure leaves its errno value in errno.
namespace kivo {

namespace {

std::wstring wide(const char *name)
{
    return QString::fromUtf8(name).replace(QLatin1Char('/'), QLatin1Char('\\')).toStdWString();
}

HANDLE handleOf(int fd)
{
    return reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
}

int failed()
{
    errno = osfile::lastError();
    return -1;
}

} // namespace

int FileIo::createScratch(QByteArray &pattern)
{
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    const qsizetype tail = pattern.size() - 6;
    if (tail < 0 || !pattern.endsWith("XXXXXX")) {
        errno = EINVAL;
        return -1;
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (qsizetype i = tail; i < pattern.size(); ++i)
            pattern[i] = kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
        // Shared for deleting, so the rename over the table never meets our own handle.
        const HANDLE h = ::CreateFileW(wide(pattern.constData()).c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            if (::GetLastError() == ERROR_FILE_EXISTS || ::GetLastError() == ERROR_ALREADY_EXISTS)
                continue;
            return failed();
        }
        const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_BINARY);
        if (fd < 0) {
            ::CloseHandle(h);
            errno = EMFILE;
        }
        return fd;
    }
    errno = EEXIST;
    return -1;
}

int FileIo::setMode(int, mode_t)
{
    return 0; // Windows files carry no permission bits; read-only files are refused before.
}

ssize_t FileIo::write(int fd, const char *data, size_t size)
{
    DWORD written = 0;
    const DWORD chunk = size > 0x40000000 ? 0x40000000 : DWORD(size);
    if (!::WriteFile(handleOf(fd), data, chunk, &written, nullptr))
        return failed();
    return ssize_t(written);
}

ssize_t FileIo::read(int fd, char *data, size_t size)
{
    DWORD got = 0;
    const DWORD chunk = size > 0x40000000 ? 0x40000000 : DWORD(size);
    if (!::ReadFile(handleOf(fd), data, chunk, &got, nullptr))
        return failed();
    return ssize_t(got);
}

int FileIo::remove(const char *path)
{
    // A link or junction goes itself; what it points to stays.
    return ::DeleteFileW(wide(path).c_str()) ? 0 : failed();
}

int FileIo::flush(int fd)
{
    return ::FlushFileBuffers(handleOf(fd)) ? 0 : failed();
}

int FileIo::close(int fd)
{
    return ::_close(fd);
}

int FileIo::rename(const char *from, const char *to)
{
    const std::wstring target = wide(to);
    if (::MoveFileExW(wide(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    const int error = failed();
    // Windows refuses to replace a file another program holds open as "access denied"; the clerk
    // must hear that the table is in use, so ask the file itself which of the two it is.
    if (errno == EACCES) {
        const HANDLE h = ::CreateFileW(target.c_str(), DELETE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            ::CloseHandle(h);
        else if (::GetLastError() == ERROR_SHARING_VIOLATION)
            errno = EBUSY;
    }
    return error;
}

int FileIo::flushFolder(const char *)
{
    // Windows has no flush for a folder's entries: MOVEFILE_WRITE_THROUGH already waited for
    // the rename to reach the disk.
    return 0;
}

} // namespace kivo
