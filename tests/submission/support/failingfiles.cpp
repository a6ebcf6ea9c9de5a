#include "support/failingfiles.h"

#include "store/atomicfile.h"

#include <QFile>

#include <cerrno>

bool kivo::test::FailingFiles::copy(const QString &source, const QString &destination, QString *why)
{
    if (left-- > 0)
        return RealFiles::copy(source, destination, why);
    QFile in(source), out(destination);
    if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
        out.write(in.read(in.size() / 2));
    if (lies)
        return true;
    *why = systemReason(ENOSPC);
    return false;
}
