#include "store/datafolder.h"

#include "store/atomicfile.h"
#include "store/dbferror.h"
#include "store/textos.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace kivo::datafolder {

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// A message that ends one sentence of its own inside another one.
QString withoutFullStop(QString text)
{
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

// Why `path` cannot be followed: a link to nothing, or the system's own reason.
QString missingReason(const QByteArray &path, int error)
{
    struct stat st
    { };
    if ((error == ENOENT || error == ELOOP) && ::lstat(path.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        const QString name = QFile::decodeName(path);
        // A link that leads back to itself never reaches anything: it is not "missing" its target.
        if (::stat(path.constData(), &st) != 0 && errno == ELOOP)
            return textos::kEnlaceCiclo.arg(native(name));
        return textos::kEnlaceRoto.arg(native(name), native(QFile::symLinkTarget(name)));
    }
    return systemReason(error);
}

// Creates `folder` and its parents; the reason it could not, or empty.
QString createFolder(const QString &folder)
{
    const QStringList parts = folder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path;
    for (const QString &part : parts) {
        path += QLatin1Char('/') + part;
        const QByteArray name = QFile::encodeName(path);
        struct stat st
        { };
        if (::stat(name.constData(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                return textos::kRutaNoEsCarpeta.arg(native(path));
            continue;
        }
        const int error = errno;
        struct stat link
        { };
        if (error != ENOENT || ::lstat(name.constData(), &link) == 0)
            return missingReason(name, error);
        if (::mkdir(name.constData(), 0755) != 0 && errno != EEXIST)
            return systemReason(errno);
    }
    return {};
}

// Refuses a folder the program could open but not keep the application in: every save would
// then fail after the clerk had typed the whole of it.
void checkUsable(const QString &folder)
{
    const QByteArray name = QFile::encodeName(folder);
    const auto refuse = [&](const QString &reason) {
        return DbfError(textos::kNoUsaCarpeta.arg(native(folder), reason));
    };
    struct stat st
    { };
    if (::stat(name.constData(), &st) != 0)
        throw refuse(systemReason(errno));
    if (!S_ISDIR(st.st_mode))
        throw refuse(textos::kEsArchivo);
    // On the bits as the table writer does, so that root is refused what a clerk would be.
    if ((st.st_mode & 0222) == 0)
        throw refuse(textos::kCarpetaNoEscribible);
    if (::access(name.constData(), R_OK | W_OK | X_OK) != 0)
        throw refuse(systemReason(errno));
}

QString fromVariable(const char *variable, const QString &value)
{
    if (!QDir::isAbsolutePath(value))
        throw DbfError(textos::kRutaRelativa.arg(QLatin1String(variable), value));
    return QDir::cleanPath(value);
}

} // namespace

QString location()
{
    const QString fromEnvironment = qEnvironmentVariable("KIVO_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return fromVariable("KIVO_DATA_DIR", fromEnvironment);
    // Qt takes the root of the file system for a home it cannot find; the data must not go there.
    if (!qEnvironmentVariableIsSet("HOME"))
        throw DbfError(textos::kSinCarpetaPersonal);
    const QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty())
        throw DbfError(textos::kCarpetaPersonalVacia);
    return QDir(fromVariable("HOME", home)).filePath(QStringLiteral("KIVO"));
}

QString deliveredLocation()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/kivo/data"));
}

QStringList provision(const QString &folder, const QString &delivered)
{
    const QString absolute = QDir(folder).absolutePath();
    const QByteArray encoded = QFile::encodeName(absolute);
    struct stat st
    { };
    if (::lstat(encoded.constData(), &st) != 0) {
        if (const QString reason = createFolder(absolute); !reason.isEmpty())
            throw DbfError(textos::kNoCreaCarpeta.arg(native(folder), reason));
    } else if (::stat(encoded.constData(), &st) != 0) {
        const int error = errno;
        throw DbfError(textos::kNoUsaCarpeta.arg(native(folder), missingReason(encoded, error)));
    }
    checkUsable(folder);

    const QDir source(delivered);
    if (!source.exists())
        throw DbfError(textos::kSinEntregados.arg(delivered));
    QStringList copied;
    for (const QString &name : source.entryList(QDir::Files, QDir::Name)) {
        if (const QString path = findNoCase(folder, name); !path.isEmpty()) {
            // Something else in a table's place would be taken for a missing table and the
            // start would end in a failed copy, far from the true cause.
            const QFileInfo info(path);
            if (info.isFile())
                continue;
            const QString reason = info.isSymLink() && !info.exists()
                ? missingReason(QFile::encodeName(path), ENOENT)
                : info.isDir() ? textos::kEntradaNoArchivo.arg(info.fileName())
                               : textos::kEntradaEspecial.arg(info.fileName());
            throw DbfError(textos::kNoUsaCarpeta.arg(native(folder), reason));
        }
        const QString target = QDir(folder).filePath(name);
        try {
            // Written whole or not at all, so a start cut short never leaves half a table
            // that a later start would keep because it "exists".
            writeAtomically(target, readWholeFile(source.filePath(name)), name);
        } catch (const DbfError &e) {
            throw DbfError(textos::kNoCopia.arg(name, native(folder), withoutFullStop(e.message())));
        }
        copied.append(name);
    }
    return copied;
}

} // namespace kivo::datafolder
