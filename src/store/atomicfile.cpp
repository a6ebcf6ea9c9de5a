#include "store/atomicfile.h"

#include "store/dbferror.h"
#include "store/fileio.h"
#include "store/osfile.h"
#include "store/textos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>

namespace kivo {

namespace {

QString msg(const char *text)
{
    return QString::fromUtf8(text);
}

struct HeldLock
{
    std::intptr_t handle = -1;
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
    // A folder that cannot be opened cannot take a table either; the write reports that.
    lock.handle = osfile::lockFolder(m_folder);
}

FolderLock::~FolderLock()
{
    HeldLock &lock = heldLocks()[m_folder];
    if (--lock.depth > 0)
        return;
    osfile::unlockFolder(lock.handle);
    heldLocks().remove(m_folder);
}

QByteArray readWholeFile(const QString &path)
{
    QByteArray bytes;
    if (const int error = osfile::readFile(path, &bytes))
        throw DbfError(
            msg(textos::kNoAbre)
                .arg(path, error == osfile::kNotAFile ? msg(textos::kNoEsArchivo) : systemReason(error)));
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
    const QByteArray target = osfile::systemName(path);
    unsigned mode = 0644;
    if (const osfile::Status st = osfile::status(path); st.error == 0) {
        if (!st.isFile)
            throw fail(msg(textos::kNoEsArchivo));
        // A table the user made read-only must stay as it is.
        if (!st.writable)
            throw fail(msg(textos::kSoloLectura));
        mode = st.mode;
    } else if (st.error != ENOENT) {
        throw fail(systemReason(st.error));
    }

    const QFileInfo info(path);
    // The same for a folder the user made read-only: its tables stay as they are.
    if (const osfile::Status folder = osfile::status(info.absolutePath());
        folder.error == 0 && !folder.writable)
        throw fail(msg(textos::kCarpetaSoloLectura));
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
        osfile::removeFile(osfile::fromSystemName(temp));
        return fail(systemReason(error));
    };
    if (const int error = osfile::setMode(fd, mode))
        throw abandon(error);
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
