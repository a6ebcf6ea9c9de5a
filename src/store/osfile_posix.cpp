#include "store/osfile.h"

#include "store/atomicfile.h"
#include "store/textos.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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
    case EDQUOT:
        return msg(textos::kCuota);
    case EROFS:
        return msg(textos::kMedioSoloLectura);
    case EIO:
        return msg(textos::kErrorES);
    case EISDIR:
        return msg(textos::kEsCarpeta);
    case ENOTDIR:
        return msg(textos::kNoEsCarpeta);
    case ELOOP:
        return msg(textos::kCicloEnlaces);
    case EMFILE:
    case ENFILE:
        return msg(textos::kDemasiadosAbiertos);
    case ENAMETOOLONG:
        return msg(textos::kNombreLargo);
    case EFBIG:
    case EOVERFLOW:
        return msg(textos::kArchivoGrande);
    case EXDEV:
        return msg(textos::kOtroMedio);
    case EBUSY:
    case ETXTBSY:
        return msg(textos::kEnUso);
    case ENXIO:
    case ENODEV:
    case ENOMEDIUM:
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
    case EOPNOTSUPP:
        return msg(textos::kNoAdmite);
    case ESTALE:
    case ENOTCONN:
    case ETIMEDOUT:
        return msg(textos::kRedPerdida);
    case EBADF:
        return msg(textos::kDescriptor);
    default:
        return msg(textos::kErrorSistema).arg(error);
    }
}

} // namespace kivo

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

int removeFile(const QString &path)
{
    return ::unlink(systemName(path).constData()) == 0 ? 0 : errno;
}

int setMode(int fd, unsigned mode)
{
    return ::fchmod(fd, mode_t(mode)) == 0 ? 0 : errno;
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

int readFile(const QString &path, QByteArray *bytes)
{
    Fd fd(::open(systemName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        return errno;
    struct stat st
    { };
    if (::fstat(fd.get(), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    if (!S_ISREG(st.st_mode))
        return kNotAFile;
    // Straight into a buffer of the file's size; a file that grows meanwhile is read on.
    const bool sized = S_ISREG(st.st_mode) && st.st_size > 0 && st.st_size < (qint64(1) << 31);
    bytes->resize(sized ? qsizetype(st.st_size) : 0);
    qsizetype used = 0;
    char more[1 << 16];
    for (;;) {
        const bool full = used == bytes->size();
        const ssize_t n = full ? ::read(fd.get(), more, sizeof more)
                               : ::read(fd.get(), bytes->data() + used, size_t(bytes->size() - used));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            break;
        if (full)
            bytes->append(more, n);
        used += n;
    }
    bytes->truncate(used);
    return 0;
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
