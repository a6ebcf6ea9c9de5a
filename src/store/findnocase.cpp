#include "store/findnocase.h"

#include <QDir>
#include <QFileInfo>

namespace kivo {

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

} // namespace kivo
