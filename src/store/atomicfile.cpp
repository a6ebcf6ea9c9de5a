#include "store/atomicfile.h"

#include "store/dbferror.h"
#include "store/fileio.h"
#include "store/osfile.h"
#include "store/textos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace kivo {

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
            osfile::closeForReading(m_fd);
    }
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

QByteArray readWholeFile(const QString &path)
{
    int opened = -1;
    qint64 size = 0;
    if (const int error = osfile::openForReading(path, &opened, &size))
        throw DbfError(
            textos::kNoAbre.arg(QDir::toNativeSeparators(path),
                                error == osfile::kNotAFile ? textos::kNoEsArchivo : systemReason(error)));
    const Fd fd(opened);
    // Straight into a buffer of the file's size; a file that grows meanwhile is read on.
    const bool sized = size > 0 && size < (qint64(1) << 31);
    QByteArray bytes(sized ? qsizetype(size) : 0, Qt::Uninitialized);
    qsizetype used = 0;
    char more[1 << 16];
    for (;;) {
        const bool full = used == bytes.size();
        const ssize_t n = full ? fileIo().read(fd.get(), more, sizeof more)
                               : fileIo().read(fd.get(), bytes.data() + used, size_t(bytes.size() - used));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw DbfError(textos::kNoAbre.arg(QDir::toNativeSeparators(path), systemReason(errno)));
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
        return DbfError(textos::kNoGuarda.arg(label, QDir::toNativeSeparators(path), reason));
    };
    const QByteArray target = osfile::systemName(path);
    mode_t mode = 0644;
    if (const osfile::Status st = osfile::status(path); st.error == 0) {
        if (!st.isFile)
            throw fail(textos::kNoEsArchivo);
        // A table the user made read-only must stay as it is.
        if (!st.writable)
            throw fail(textos::kSoloLectura);
        mode = mode_t(st.mode);
    } else if (st.error != ENOENT) {
        throw fail(systemReason(st.error));
    }

    const QFileInfo info(path);
    // The same for a folder the user made read-only: its tables stay as they are.
    if (const osfile::Status folder = osfile::status(info.absolutePath());
        folder.error == 0 && !folder.writable)
        throw fail(textos::kCarpetaSoloLectura);
    const FolderLock lock(info.absolutePath());
    const QDir dir(info.absolutePath());
    for (const QString &stale : scratchFiles(dir, info.fileName()))
        QFile::remove(dir.filePath(stale));

    FileIo &io = fileIo();
    QByteArray temp = osfile::systemName(info.absolutePath()) + "/." + osfile::systemName(info.fileName())
        + kScratchMarker + "XXXXXX";
    int fd = io.createScratch(temp);
    if (fd < 0)
        throw fail(systemReason(errno));
    auto abandon = [&](int error) {
        if (fd >= 0)
            io.close(fd);
        io.remove(temp.constData());
        return fail(systemReason(error));
    };
    if (io.setMode(fd, mode) != 0)
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
            const QByteArray back = readWholeFile(osfile::fromSystemName(temp));
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
    io.flushFolder(osfile::systemName(info.absolutePath()).constData());
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
    fileIo().flushFolder(osfile::systemName(folder).constData());
}

} // namespace kivo
