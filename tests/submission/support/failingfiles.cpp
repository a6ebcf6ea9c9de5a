#include "support/failingfiles.h"

#include <QFile>
#include <QFileInfo>

namespace kivo::test {

bool FailingFiles::copy(const QString &source, const QString &destination)
{
    calls << QStringLiteral("copy ") + QFileInfo(destination).fileName();
    if (m_left-- > 0)
        return RealFiles::copy(source, destination);
    QFile in(source), out(destination);
    if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
        out.write(in.read(in.size() / 2));
    return false;
}

int FailingFiles::run(const QString &program, const QStringList &arguments,
                      const QString &folder, int timeoutMs)
{
    calls << QStringLiteral("run");
    return RealFiles::run(program, arguments, folder, timeoutMs);
}

} // namespace kivo::test
