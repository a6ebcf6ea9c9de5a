#include "store/ownfolders.h"

#include "store/atomicfile.h"
#include "store/dbferror.h"
#include "store/textos.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kivo {

namespace {

struct Entry
{
    QByteArray name;
    mode_t mode;
};

// The entries of an open folder, each as it is on the disk (never through a link).
bool entriesOf(int fd, QList<Entry> *out)
{
    const int copy = ::dup(fd);
    if (copy < 0)
        return false;
    DIR *dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return false;
    }
    bool ok = true;
    errno = 0;
    while (const dirent *e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat st
        { };
        if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            ok = false;
            break;
        }
        out->append({name, st.st_mode});
    }
    if (errno != 0)
        ok = false;
    ::closedir(dir);
    return ok;
}

} // namespace

bool isRealFolder(const QString &path)
{
    struct stat st
    { };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool removeOwnFolder(const QString &path, const std::function<bool(const QString &)> &ours)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    QList<Entry> entries;
    bool clean = entriesOf(fd, &entries);
    for (const Entry &e : std::as_const(entries))
        clean = clean && !S_ISDIR(e.mode) && ours(QFile::decodeName(e.name));
    if (clean) {
        for (const Entry &e : std::as_const(entries))
            clean = ::unlinkat(fd, e.name.constData(), 0) == 0 && clean;
    }
    ::close(fd);
    return clean && ::rmdir(name.constData()) == 0;
}

QStringList realSubfolders(const QString &folder)
{
    const QByteArray name = QFile::encodeName(folder);
    const int fd = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return {};
        throw DbfError(textos::kNoLeeCarpeta.arg(folder, systemReason(errno)));
    }
    QList<Entry> entries;
    const bool ok = entriesOf(fd, &entries);
    const int error = errno;
    ::close(fd);
    if (!ok)
        throw DbfError(textos::kNoLeeCarpeta.arg(folder, systemReason(error)));
    QStringList out;
    for (const Entry &e : std::as_const(entries)) {
        if (S_ISDIR(e.mode))
            out.append(QFile::decodeName(e.name));
    }
    out.sort();
    return out;
}

} // namespace kivo
