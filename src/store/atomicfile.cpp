#include "store/atomicfile.h"

#include "store/dbferror.h"
#include "store/textos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivo {

namespace {

QString msg(const char *text) { return QString::fromUtf8(text); }

class Fd
{
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { if (m_fd >= 0) ::close(m_fd); }
    int get() const { return m_fd; }
    int release() { const int fd = m_fd; m_fd = -1; return fd; }

private:
    int m_fd;
};

struct HeldLock
{
    int fd = -1;
    int depth = 0;
};

QHash<QString, HeldLock> &heldLocks()
{
    static QHash<QString, HeldLock> held;
    return held;
}

} // namespace

FolderLock::FolderLock(const QString &folder) : m_folder(QDir(folder).absolutePath())
{
    HeldLock &lock = heldLocks()[m_folder];
    if (lock.depth++ > 0)
        return;
    // The folder itself carries the lock, so no lock file ever sits among the tables.
    const QByteArray name = QFile::encodeName(m_folder);
    lock.fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    // A folder that cannot be opened cannot take a table either; the write reports that.
    if (lock.fd >= 0) {
        while (::flock(lock.fd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

FolderLock::~FolderLock()
{
    HeldLock &lock = heldLocks()[m_folder];
    if (--lock.depth > 0)
        return;
    if (lock.fd >= 0)
        ::close(lock.fd); // releases the lock
    heldLocks().remove(m_folder);
}

QString systemReason(int error)
{
    switch (error) {
    case ENOENT: return msg(textos::kNoExiste);
    case EACCES:
    case EPERM: return msg(textos::kPermiso);
    case ENOSPC: return msg(textos::kDiscoLleno);
    case EDQUOT: return msg(textos::kCuota);
    case EROFS: return msg(textos::kMedioSoloLectura);
    case EIO: return msg(textos::kErrorES);
    case EISDIR: return msg(textos::kEsCarpeta);
    default: return msg(textos::kErrorSistema).arg(error);
    }
}

QByteArray readWholeFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    Fd fd(::open(name.constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        throw DbfError(msg(textos::kNoAbre).arg(path, systemReason(errno)));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        throw DbfError(msg(textos::kNoAbre).arg(path, systemReason(errno)));
    if (S_ISDIR(st.st_mode))
        throw DbfError(msg(textos::kNoAbre).arg(path, msg(textos::kEsCarpeta)));
    QByteArray bytes;
    if (S_ISREG(st.st_mode) && st.st_size > 0 && st.st_size < (qint64(1) << 31))
        bytes.reserve(qsizetype(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw DbfError(msg(textos::kNoAbre).arg(path, systemReason(errno)));
        }
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    return bytes;
}

void writeAtomically(const QString &path, const QByteArray &bytes, const QString &tableName)
{
    auto fail = [&](const QString &reason) {
        return DbfError(msg(textos::kNoGuarda).arg(tableName, path, reason));
    };
    const QByteArray target = QFile::encodeName(path);
    mode_t mode = 0644;
    struct stat st {};
    if (::stat(target.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            throw fail(msg(textos::kNoEsArchivo));
        // Checked on the bits, not with access(): root may write anything, yet a table the
        // user made read-only must stay as it is.
        if ((st.st_mode & 0222) == 0)
            throw fail(msg(textos::kSoloLectura));
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        throw fail(systemReason(errno));
    }

    const QFileInfo info(path);
    // The same for a folder the user made read-only: its tables stay as they are.
    struct stat folderStat {};
    if (::stat(QFile::encodeName(info.absolutePath()).constData(), &folderStat) == 0
        && (folderStat.st_mode & 0222) == 0)
        throw fail(msg(textos::kCarpetaSoloLectura));
    const FolderLock lock(info.absolutePath());
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    // Hidden and without the .dbf ending, so a half-written file left by a crash is never
    // taken for a table.
    QByteArray temp = folder + "/." + QFile::encodeName(info.fileName()) + ".XXXXXX";
    // Every writer holds the lock while its scratch file exists, so any found now was left
    // by a writer that died.
    const QString scratch = QLatin1Char('.') + info.fileName() + QStringLiteral(".??????");
    for (const QString &stale : QDir(info.absolutePath()).entryList({scratch}, QDir::Files | QDir::Hidden))
        QFile::remove(QDir(info.absolutePath()).filePath(stale));
    Fd fd(::mkstemp(temp.data()));
    if (fd.get() < 0)
        throw fail(systemReason(errno));
    auto abandon = [&](int error) {
        ::unlink(temp.constData());
        return fail(systemReason(error));
    };
    if (::fchmod(fd.get(), mode) != 0)
        throw abandon(errno);
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd.get(), p, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw abandon(errno);
        }
        if (n == 0)
            throw abandon(ENOSPC);
        p += n;
        left -= n;
    }
    if (::fsync(fd.get()) != 0)
        throw abandon(errno);
    if (::close(fd.release()) != 0)
        throw abandon(errno);
    if (::rename(temp.constData(), target.constData()) != 0)
        throw abandon(errno);
    // The rename itself must reach the disk before we report success.
    syncFolder(info.absolutePath());
}

void syncFolder(const QString &folder)
{
    Fd dir(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

} // namespace kivo
