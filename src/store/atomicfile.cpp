#include "store/atomicfile.h"

#include "store/dbferror.h"
#include "store/fileio.h"
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

QString msg(const char *text)
{
    return QString::fromUtf8(text);
}

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

FolderLock::FolderLock(const QString &folder)
    : m_folder(QDir(folder).absolutePath())
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

QByteArray readWholeFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    // Without blocking: a FIFO or a device in a file's place must be refused, not waited on.
    Fd fd(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        throw DbfError(msg(textos::kNoAbre).arg(path, systemReason(errno)));
    struct stat st
    { };
    if (::fstat(fd.get(), &st) != 0)
        throw DbfError(msg(textos::kNoAbre).arg(path, systemReason(errno)));
    if (S_ISDIR(st.st_mode))
        throw DbfError(msg(textos::kNoAbre).arg(path, msg(textos::kEsCarpeta)));
    if (!S_ISREG(st.st_mode))
        throw DbfError(msg(textos::kNoAbre).arg(path, msg(textos::kNoEsArchivo)));
    // Straight into a buffer of the file's size; a file that grows meanwhile is read on.
    const bool sized = S_ISREG(st.st_mode) && st.st_size > 0 && st.st_size < (qint64(1) << 31);
    QByteArray bytes(sized ? qsizetype(st.st_size) : 0, Qt::Uninitialized);
    qsizetype used = 0;
    char more[1 << 16];
    for (;;) {
        const bool full = used == bytes.size();
        const ssize_t n = full ? ::read(fd.get(), more, sizeof more)
                               : ::read(fd.get(), bytes.data() + used, size_t(bytes.size() - used));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw DbfError(msg(textos::kNoAbre).arg(path, systemReason(errno)));
        }
        if (n == 0)
            break;
        if (full)
            bytes.append(more, n);
        used += n;
    }
    bytes.truncate(used);
    return bytes;
}

QString findNoCase(const QString &folder, const QString &name)
{
    // Only entries of the folder itself: a name that climbs out of it is none of ours.
    if (name.isEmpty() || name.contains(u'/') || name == u"." || name == u"..")
        return {};
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(name)))
        return dir.filePath(name);
    const QStringList entries = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return {};
}

namespace {

// Hidden and without the .dbf ending, so a half-written file left by a crash is never taken
// for a table; the marker lets removeStaleScratch() tell it from anybody else's hidden file.
const char kScratchMarker[] = ".kivo";

QStringList scratchFiles(const QDir &dir, const QString &fileName)
{
    // Every writer holds the folder's lock while its scratch file exists, so any found under
    // the lock was left by a writer that died. Older versions wrote ".NAME.XXXXXX".
    const QString marker = QString::fromLatin1(kScratchMarker);
    const QStringList patterns = fileName.isEmpty()
        ? QStringList{QStringLiteral(".*") + marker + QStringLiteral("??????")}
        : QStringList{QLatin1Char('.') + fileName + marker + QStringLiteral("??????"),
                      QLatin1Char('.') + fileName + QStringLiteral(".??????")};
    return dir.entryList(patterns, QDir::Files | QDir::Hidden | QDir::System);
}

// Writes `parts` one after the other beside `path` and renames the scratch file over it.
// `verify` reads the scratch file back before the rename.
void replaceFile(const QString &path, std::initializer_list<QByteArrayView> parts, const QString &label,
                 bool verify)
{
    auto fail = [&](const QString &reason) {
        return DbfError(msg(textos::kNoGuarda).arg(label, path, reason));
    };
    const QByteArray target = QFile::encodeName(path);
    mode_t mode = 0644;
    struct stat st
    { };
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
    struct stat folderStat
    { };
    if (::stat(QFile::encodeName(info.absolutePath()).constData(), &folderStat) == 0
        && (folderStat.st_mode & 0222) == 0)
        throw fail(msg(textos::kCarpetaSoloLectura));
    const FolderLock lock(info.absolutePath());
    const QDir dir(info.absolutePath());
    for (const QString &stale : scratchFiles(dir, info.fileName()))
        QFile::remove(dir.filePath(stale));

    FileIo &io = fileIo();
    QByteArray temp = QFile::encodeName(info.absolutePath()) + "/." + QFile::encodeName(info.fileName())
        + kScratchMarker + "XXXXXX";
    int fd = io.createScratch(temp);
    if (fd < 0)
        throw fail(systemReason(errno));
    auto abandon = [&](int error) {
        if (fd >= 0)
            io.close(fd);
        ::unlink(temp.constData());
        return fail(systemReason(error));
    };
    if (::fchmod(fd, mode) != 0)
        throw abandon(errno);
    for (const QByteArrayView part : parts) {
        const char *p = part.data();
        qsizetype left = part.size();
        while (left > 0) {
            const ssize_t n = io.write(fd, p, size_t(left));
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
    }
    if (io.flush(fd) != 0)
        throw abandon(errno);
    const int closing = fd;
    fd = -1;
    if (io.close(closing) != 0)
        throw abandon(errno);
    if (verify) {
        bool same = false;
        try {
            const QByteArray back = readWholeFile(QFile::decodeName(temp));
            QByteArrayView rest(back);
            same = true;
            for (const QByteArrayView part : parts) {
                same = same && rest.startsWith(part);
                rest = rest.sliced(std::min(rest.size(), part.size()));
            }
            same = same && rest.isEmpty();
        } catch (const DbfError &) {
        }
        if (!same)
            throw abandon(EIO);
    }
    if (io.rename(temp.constData(), target.constData()) != 0)
        throw abandon(errno);
    // The rename itself must reach the disk before we report success. The file is already
    // replaced by now; a file system that cannot flush a folder is no reason to call the
    // write failed.
    io.flushFolder(QFile::encodeName(info.absolutePath()).constData());
}

} // namespace

void writeAtomically(const QString &path, const QByteArray &bytes, const QString &tableName)
{
    replaceFile(path, {QByteArrayView(bytes)}, tableName, false);
}

void writeAtomically(const QString &path, std::initializer_list<QByteArrayView> parts, const QString &tableName)
{
    replaceFile(path, parts, tableName, false);
}

void copyAtomically(const QString &source, const QString &destination, const QString &label)
{
    const QByteArray bytes = readWholeFile(source);
    replaceFile(destination, {QByteArrayView(bytes)}, label, true);
}

int removeStaleScratch(const QString &folder)
{
    const QDir dir(folder);
    if (!dir.exists())
        return 0;
    const FolderLock lock(dir.absolutePath());
    int removed = 0;
    for (const QString &stale : scratchFiles(dir, QString())) {
        if (QFile::remove(dir.filePath(stale)))
            ++removed;
    }
    return removed;
}

void syncFolder(const QString &folder)
{
    fileIo().flushFolder(QFile::encodeName(folder).constData());
}

} // namespace kivo
