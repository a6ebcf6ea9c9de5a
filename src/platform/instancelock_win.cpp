#include "platform/instancelock.h"

#include "store/atomicfile.h"
#include "store/osfile_win.h"

#include <QDir>

#include <fcntl.h>
#include <io.h>

#include <windows.h>

namespace kivo {

InstanceLock::InstanceLock(const QString &folder)
    : m_path(QDir(folder).filePath(QStringLiteral(".kivo.lock")))
{
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::_close(m_fd); // closing the handle releases the lock
}

InstanceLock::Result InstanceLock::acquire()
{
    if (m_fd >= 0)
        return Result::Acquired;
    const std::wstring path = QDir::toNativeSeparators(m_path).toStdWString();
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_HIDDEN, nullptr);
    const DWORD openError = h == INVALID_HANDLE_VALUE ? ::GetLastError() : ERROR_SUCCESS;
    const bool readOnly = openError == ERROR_ACCESS_DENIED || openError == ERROR_WRITE_PROTECT;
    if (h == INVALID_HANDLE_VALUE && readOnly) // read-only folder: lock what exists
        h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        // A read-only folder without the lock file cannot be shared by two writers anyway.
        if (readOnly)
            return Result::Acquired;
        m_error = systemReason(osfile::errorFromWindows(openError));
        return Result::Failed;
    }
    // Windows drops the lock when the holder dies, however it ends.
    OVERLAPPED at{};
    if (!::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(h);
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING)
            return Result::Busy;
        m_error = systemReason(osfile::errorFromWindows(error));
        return Result::Failed;
    }
    m_fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(h), _O_RDONLY);
    if (m_fd < 0)
        ::CloseHandle(h); // cannot be kept: the lock goes with the handle
    return m_fd >= 0 ? Result::Acquired : Result::Failed;
}

} // namespace kivo
