#include "store/journal.h"

#include "store/atomicfile.h"
#include "store/dbferror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace kivo::journal {

namespace {

QString notePath(const QString &dataFolder, Step step)
{
    // Hidden and without the tables' ending, so neither start-up nor the packer takes it for one.
    return QDir(dataFolder)
        .filePath(step == Step::Restore ? QStringLiteral(".kivo-restauracion")
                                        : QStringLiteral(".kivo-borrado"));
}

} // namespace

void begin(const QString &dataFolder, Step step, const QStringList &details)
{
    writeAtomically(notePath(dataFolder, step), (details.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8(),
                    QFileInfo(notePath(dataFolder, step)).fileName());
}

void end(const QString &dataFolder, Step step)
{
    if (::unlink(QFile::encodeName(notePath(dataFolder, step)).constData()) == 0)
        syncFolder(dataFolder);
}

std::optional<QStringList> pending(const QString &dataFolder, Step step)
{
    const QString path = notePath(dataFolder, step);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    try {
        return QString::fromUtf8(readWholeFile(path)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    } catch (const DbfError &) {
        // A note that cannot be read still says a step was cut short.
        return QStringList();
    }
}

} // namespace kivo::journal
