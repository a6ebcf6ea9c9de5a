#include "store/datafolder.h"

#include "store/atomicfile.h"
#include "store/dbferror.h"
#include "store/textos.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kivo::datafolder {

QString location()
{
    const QString fromEnvironment = qEnvironmentVariable("KIVO_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return QDir::home().filePath(QStringLiteral("KIVO"));
}

QString deliveredLocation()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath()
                           + QStringLiteral("/../share/kivo/data"));
}

QStringList provision(const QString &folder, const QString &delivered)
{
    const QString cannotCreate = QString::fromUtf8(textos::kNoCreaCarpeta);
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        throw DbfError(cannotCreate.arg(folder));
    const QDir source(delivered);
    if (!source.exists())
        throw DbfError(QString::fromUtf8(textos::kSinEntregados).arg(delivered));
    QStringList copied;
    for (const QString &name : source.entryList(QDir::Files, QDir::Name)) {
        if (!findNoCase(folder, name).isEmpty())
            continue;
        const QString target = QDir(folder).filePath(name);
        try {
            // Written whole or not at all, so a start cut short never leaves half a table
            // that a later start would keep because it "exists".
            writeAtomically(target, readWholeFile(source.filePath(name)), name);
        } catch (const DbfError &e) {
            throw DbfError(QString::fromUtf8(textos::kNoCopia).arg(name, folder, e.message()));
        }
        copied.append(name);
    }
    return copied;
}

} // namespace kivo::datafolder
