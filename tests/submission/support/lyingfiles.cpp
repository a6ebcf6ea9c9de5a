#include "support/lyingfiles.h"

#include <QFile>

bool kivo::test::LyingFiles::copy(const QString &source, const QString &destination, QString *why)
{
    if (left-- > 0)
        return RealFiles::copy(source, destination, why);
    QFile in(source), out(destination);
    if (in.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
        out.write(in.read(in.size() / 2));
    return true;
}
