#include "platform/files.h"

#include "store/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>

#include <unistd.h>

namespace kivo {

namespace {

constexpr qint64 kChunk = 64 * 1024;

// Plain files of `folder` whose name passes `accept`. False when the folder cannot be listed.
template<typename Accept>
bool listFiles(const QString &folder, Accept accept, QStringList *paths)
{
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists() || !dir.isReadable())
        return false;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System,
                                                    QDir::Name);
    for (const QFileInfo &fi : entries) {
        if (accept(fi.fileName()))
            paths->append(fi.absoluteFilePath());
    }
    return true;
}

bool matching(const QString &folder, const QString &pattern, QStringList *paths)
{
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(pattern),
                                QRegularExpression::CaseInsensitiveOption);
    return listFiles(folder, [&](const QString &name) { return re.match(name).hasMatch(); },
                     paths);
}

bool sameName(const QString &folder, const QString &name, QStringList *paths)
{
    return listFiles(folder, [&](const QString &n) {
        return n.compare(name, Qt::CaseInsensitive) == 0;
    }, paths);
}

// The existing file of that name in any letter case, the exact one first.
QString resolveNoCase(const QString &path)
{
    const QFileInfo fi(path);
    const QString found = findNoCase(fi.absolutePath(), fi.fileName());
    return QFileInfo(found).isFile() ? found : QString();
}

bool sameContent(QFile &a, QFile &b)
{
    if (a.size() != b.size() || !a.seek(0) || !b.seek(0))
        return false;
    while (!a.atEnd()) {
        const QByteArray x = a.read(kChunk);
        const QByteArray y = b.read(kChunk);
        if (x.isEmpty() || x != y)
            return false;
    }
    return b.atEnd();
}

} // namespace

bool RealFiles::exists(const QString &path)
{
    return !resolveNoCase(path).isEmpty();
}

bool RealFiles::anyMatch(const QString &folder, const QString &pattern)
{
    QStringList names;
    // An existing folder that cannot be read answers "yes", so the caller tries the deletion.
    if (!matching(folder, pattern, &names))
        return !folder.isEmpty() && QDir(folder).exists();
    return !names.isEmpty();
}

bool RealFiles::removeMatching(const QString &folder, const QString &pattern)
{
    QStringList names;
    if (!matching(folder, pattern, &names))
        return folder.isEmpty() || !QDir(folder).exists();
    bool allGone = true;
    for (const QString &name : names) {
        if (!QFile::remove(name) && QFileInfo::exists(name))
            allGone = false;
    }
    return allGone;
}

bool RealFiles::copy(const QString &source, const QString &destination)
{
    const QString from = resolveNoCase(source);
    if (from.isEmpty())
        return false;
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        return false;

    // On a FAT medium "VENTAS.DBF" and "VENTAS.dbf" are one file: replace either.
    const QFileInfo dest(destination);
    QStringList old;
    sameName(dest.absolutePath(), dest.fileName(), &old);
    for (const QString &name : old)
        QFile::remove(name);

    // Written under a scratch name and renamed when whole: a program stopped part-way
    // leaves no half table on the medium under a table's name.
    const QString scratch = destination + QStringLiteral(".tmp");
    QFile out(scratch);
    bool ok = out.open(QIODevice::ReadWrite | QIODevice::Truncate);
    while (ok && !in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        ok = !chunk.isEmpty() && out.write(chunk) == chunk.size();
    }
    // The medium may be pulled out right after the final message: force the bytes onto it.
    ok = ok && out.flush() && ::fsync(out.handle()) == 0;
    ok = ok && sameContent(in, out);
    out.close();
    ok = ok && out.error() == QFileDevice::NoError
        && ::rename(QFile::encodeName(scratch).constData(), QFile::encodeName(destination).constData()) == 0;
    if (!ok) {
        QFile::remove(scratch);
        return false;
    }
    syncFolder(dest.absolutePath());
    return true;
}

int RealFiles::run(const QString &program, const QStringList &arguments, const QString &folder,
                   int timeoutMs)
{
    if (program.isEmpty() || !QFileInfo(program).isExecutable())
        return -1;
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(timeoutMs))
        return -1;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace kivo
