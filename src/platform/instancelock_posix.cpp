#include "platform/instancelock.h"

#include "store/atomicfile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kivo {

InstanceLock::InstanceLock(const QString &folder)
    : m_path(QDir(folder).filePath(QStringLiteral(".kivo.lock")))
{
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the flock
}

InstanceLock::Result InstanceLock::acquire()
{
    if (m_fd >= 0)
        return Result::Acquired;
    const QByteArray path = QFile::encodeName(m_path);
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // The reason of the first open: the read-only retry's "no such file" is not the cause.
    const int openError = fd < 0 ? errno : 0;
    if (fd < 0 && (openError == EACCES || openError == EROFS))
        fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC); // read-only folder: lock what exists
    if (fd < 0) {
        // A read-only folder without the lock file cannot be shared by two writers anyway.
        if (openError == EACCES || openError == EROFS)
            return Result::Acquired;
        m_error = systemReason(openError);
        return Result::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            return Result::Busy;
        m_error = systemReason(err);
        return Result::Failed;
    }
    m_fd = fd;
    return Result::Acquired;
}

} // namespace kivo
