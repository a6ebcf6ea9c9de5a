#include "support/failingfiles.h"

#include <QFile>

bool kivo::test::FailingFiles::copy(const QString &source, const QString &destination)
{
    if (left-- > 0)
        return RealFiles::copy(source, destination);
    QFile in(source), out(destination);
    if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
        out.write(in.read(in.size() / 2));
    return false;
}
