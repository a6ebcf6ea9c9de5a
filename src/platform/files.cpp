#include "platform/files.h"

#include "platform/waitcursor.h"
#include "store/atomicfile.h"
#include "store/dbferror.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <utility>

#include <sys/stat.h>

namespace kivo {

namespace {

constexpr qint64 kChunk = 64 * 1024;

// Plain files of `folder` whose name passes `accept`. False when the folder cannot be listed.
template <typename Accept>
bool listFiles(const QString &folder, Accept accept, QStringList *paths)
{
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists() || !dir.isReadable())
        return false;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
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
    return listFiles(
        folder, [&](const QString &name) { return re.match(name).hasMatch(); }, paths);
}

bool sameName(const QString &folder, const QString &name, QStringList *paths)
{
    return listFiles(
        folder, [&](const QString &n) { return n.compare(name, Qt::CaseInsensitive) == 0; }, paths);
}

// The existing file of that name in any letter case, the exact one first.
QString resolveNoCase(const QString &path)
{
    const QFileInfo fi(path);
    const QString found = findNoCase(fi.absolutePath(), fi.fileName());
    return QFileInfo(found).isFile() ? found : QString();
}

using FileId = std::pair<dev_t, ino_t>;

FileId fileId(const QString &path)
{
    struct stat st
    { };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {0, 0};
    return {st.st_dev, st.st_ino};
}

// Swallows the user's input to every window for as long as it lives.
class InputRefusal : public QObject
{
public:
    InputRefusal() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputRefusal() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        case QEvent::Close:
            // Closing the window now would ask about saving in the middle of the disk.
            if (event->spontaneous()) {
                event->ignore();
                return true;
            }
            return false;
        default:
            return false;
        }
    }
};

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

bool sameFolder(const QString &a, const QString &b)
{
    struct stat x
    {
    }, y{};
    if (a.isEmpty() || b.isEmpty() || ::stat(QFile::encodeName(a).constData(), &x) != 0
        || ::stat(QFile::encodeName(b).constData(), &y) != 0)
        return false;
    return S_ISDIR(x.st_mode) && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

bool folderWithin(const QString &inner, const QString &outer)
{
    struct stat target
    { };
    if (inner.isEmpty() || outer.isEmpty() || ::stat(QFile::encodeName(outer).constData(), &target) != 0
        || !S_ISDIR(target.st_mode))
        return false;
    QString path = QFileInfo(inner).canonicalFilePath();
    while (!path.isEmpty()) {
        struct stat st
        { };
        if (::stat(QFile::encodeName(path).constData(), &st) == 0 && st.st_dev == target.st_dev
            && st.st_ino == target.st_ino)
            return true;
        if (path == QLatin1String("/"))
            break;
        path = QFileInfo(path).path();
    }
    return false;
}

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

bool RealFiles::copy(const QString &source, const QString &destination, QString *why)
{
    // A folder or other non-file under the exact name is read as it is, so that the reason
    // names it rather than calling it missing.
    const QString from = QFileInfo::exists(source) ? source : resolveNoCase(source);
    const QFileInfo dest(destination);
    try {
        copyAtomically(from.isEmpty() ? source : from, destination, dest.completeBaseName());
    } catch (const DbfError &e) {
        if (why)
            *why = e.message();
        return false;
    }
    // On a FAT medium "VENTAS.DBF" and "VENTAS.dbf" are one file, already replaced; elsewhere
    // the other spelling would be a second table of the same name.
    QStringList spellings;
    sameName(dest.absolutePath(), dest.fileName(), &spellings);
    const FileId copied = fileId(destination);
    for (const QString &name : spellings) {
        if (fileId(name) != copied)
            QFile::remove(name);
    }
    return true;
}

bool RealFiles::sameBytes(const QString &a, const QString &b)
{
    QFile x(resolveNoCase(a)), y(resolveNoCase(b));
    if (x.fileName().isEmpty() || y.fileName().isEmpty() || !x.open(QIODevice::ReadOnly)
        || !y.open(QIODevice::ReadOnly))
        return false;
    return sameContent(x, y);
}

void RealFiles::removeScratch(const QString &folder)
{
    removeStaleScratch(folder);
    // What older versions left: hidden names without the safe write's marker, visible ".tmp".
    for (const QString &pattern : {QStringLiteral(".*.dbf.??????"), QStringLiteral("*.dbf.tmp")})
        removeMatching(folder, pattern);
}

int RealFiles::run(const QString &program, const QStringList &arguments, const QString &folder, int timeoutMs)
{
    if (program.isEmpty() || !QFileInfo(program).isExecutable())
        return -1;
    const WaitCursor wait;
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(timeoutMs))
        return -1;

    bool finished = false;
    if (QCoreApplication::instance()) {
        // The windows keep painting meanwhile, but a click would start a second command in the
        // middle of this one: input is refused until the program ends.
        QEventLoop loop;
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        limit.start(timeoutMs);
        if (process.state() != QProcess::NotRunning) {
            const InputRefusal refusal;
            loop.exec();
        }
        finished = process.state() == QProcess::NotRunning;
    } else {
        finished = process.waitForFinished(timeoutMs);
    }
    if (!finished) {
        process.kill();
        process.waitForFinished(5000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

} // namespace kivo
