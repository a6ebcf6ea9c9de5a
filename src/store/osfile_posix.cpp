#include "store/osfile.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace kivo::osfile {

namespace {

class Fd
{
public:
    explicit Fd(int fd)
        : m_fd(fd)
    {
    }
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

} // namespace

QByteArray systemName(const QString &path)
{
    return QFile::encodeName(path);
}

QString fromSystemName(const QByteArray &name)
{
    return QFile::decodeName(name);
}

Status status(const QString &path)
{
    Status s;
    struct stat st
    { };
    if (::stat(systemName(path).constData(), &st) != 0) {
        s.error = errno;
        return s;
    }
    s.isFile = S_ISREG(st.st_mode);
    s.isFolder = S_ISDIR(st.st_mode);
    // On the bits, not with access(): root may write anything, yet what the user made
    // read-only must stay as it is.
    s.writable = (st.st_mode & 0222) != 0;
    s.mode = st.st_mode & 07777;
    return s;
}

bool isLink(const QString &path)
{
    struct stat st
    { };
    return ::lstat(systemName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

int checkFolderAccess(const QString &folder)
{
    return ::access(systemName(folder).constData(), R_OK | W_OK | X_OK) == 0 ? 0 : errno;
}

int makeFolder(const QString &path)
{
    return ::mkdir(systemName(path).constData(), 0755) == 0 ? 0 : errno;
}

int makeScratchFolder(QString &pattern)
{
    QByteArray name = systemName(pattern);
    if (!::mkdtemp(name.data()))
        return errno;
    pattern = fromSystemName(name);
    return 0;
}

int renameNoReplace(const QString &from, const QString &to)
{
    if (::renameat2(AT_FDCWD, systemName(from).constData(), AT_FDCWD, systemName(to).constData(),
                    RENAME_NOREPLACE)
        == 0)
        return 0;
    return errno == ENOTEMPTY ? EEXIST : errno;
}

int openForReading(const QString &path, int *fd, qint64 *size)
{
    // Without blocking: a FIFO or a device in a file's place must be refused, not waited on.
    Fd opened(::open(systemName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (opened.get() < 0)
        return errno;
    struct stat st
    { };
    if (::fstat(opened.get(), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    if (!S_ISREG(st.st_mode))
        return kNotAFile;
    *size = st.st_size;
    *fd = opened.release();
    return 0;
}

void closeForReading(int fd)
{
    ::close(fd);
}

Stamp stamp(const QString &path)
{
    Stamp s;
    struct stat st
    { };
    if (::stat(systemName(path).constData(), &st) == 0) {
        s.size = st.st_size;
        s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        s.id = st.st_ino;
    }
    return s;
}

bool identity(const QString &path, Identity *id)
{
    struct stat st
    { };
    if (::stat(systemName(path).constData(), &st) != 0)
        return false;
    *id = Identity{quint64(st.st_dev), quint64(st.st_ino), S_ISDIR(st.st_mode)};
    return true;
}

std::intptr_t lockFolder(const QString &folder)
{
    // The folder itself carries the lock, so no lock file ever sits among the tables.
    const int fd = ::open(systemName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    return fd;
}

void unlockFolder(std::intptr_t handle)
{
    if (handle >= 0)
        ::close(int(handle)); // releases the lock
}

} // namespace kivo::osfile
