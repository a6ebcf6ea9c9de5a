#include "store/folderlock.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <map>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivo {

namespace {

struct HeldLock
{
    int fd = -1;
    int depth = 0;
};

// Per thread: a second thread opens the folder again, and flock keeps it waiting on that
// descriptor until the first lets go.
std::map<std::pair<dev_t, ino_t>, HeldLock> &heldLocks()
{
    thread_local std::map<std::pair<dev_t, ino_t>, HeldLock> held;
    return held;
}

} // namespace

FolderLock::FolderLock(const QString &folder)
{
    const QByteArray name = QFile::encodeName(QDir(folder).absolutePath());
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder that cannot be opened cannot take a table either; the write reports that.
    if (fd < 0)
        return;
    struct stat st
    { };
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return;
    }
    m_identity = std::pair(st.st_dev, st.st_ino);
    HeldLock &lock = heldLocks()[*m_identity];
    if (lock.depth++ > 0) {
        ::close(fd);
        return;
    }
    lock.fd = fd;
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

FolderLock::~FolderLock()
{
    if (!m_identity)
        return;
    auto &held = heldLocks();
    const auto it = held.find(*m_identity);
    if (it == held.end() || --it->second.depth > 0)
        return;
    ::close(it->second.fd); // releases the lock
    held.erase(it);
}

} // namespace kivo
