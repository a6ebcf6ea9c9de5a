#include "platform/drives.h"

#include <QDir>
#include <QStorageInfo>

#include <pwd.h>
#include <unistd.h>

namespace kivo {

namespace {

QString userName()
{
    if (const passwd *pw = getpwuid(geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

} // namespace

QString driveALocation()
{
    if (qEnvironmentVariableIsSet("KIVO_DRIVE_A"))
        return qEnvironmentVariable("KIVO_DRIVE_A");

    const QString user = userName();
    if (user.isEmpty())
        return QString();
    const QStringList roots = {QStringLiteral("/media/") + user + QLatin1Char('/'),
                               QStringLiteral("/run/media/") + user + QLatin1Char('/')};

    QStringList found;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = QDir::cleanPath(volume.rootPath()) + QLatin1Char('/');
        for (const QString &prefix : roots) {
            // Only a volume mounted directly in the user's folder, not the folder itself.
            if (root.startsWith(prefix) && root.size() > prefix.size()
                && !root.mid(prefix.size()).chopped(1).contains(QLatin1Char('/'))
                && !found.contains(volume.rootPath()))
                found.append(volume.rootPath());
        }
    }
    return found.size() == 1 ? found.first() : QString();
}

} // namespace kivo
