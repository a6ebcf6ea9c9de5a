// Times one backup (the seven tables copied, verified and renamed into place, then thinned) and
// one restore, on the delivered data and on an application with many suppliers and products.
// Prints figures; asserts nothing.
#include "store/backups.h"
#include "store/dbftable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace kivo;

namespace {

void grow(const QString &folder, int rows)
{
    for (const char *name : {"provprod.dbf", "PROVMERC.dbf"}) {
        DbfTable t = DbfTable::load(QDir(folder).filePath(QString::fromLatin1(name)));
        for (int i = 0; i < rows; ++i)
            t.setValue(t.appendRecord(), 2, QStringLiteral("RENGLÓN %1").arg(i));
        t.save();
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QDir delivered(QStringLiteral(KIVO_BINARY_DIR "/share/kivo/data"));
    std::printf("%-28s %12s %12s\n", "datos", "respaldo ms", "restaurar ms");
    for (int rows : {0, 2000}) {
        QTemporaryDir dir;
        for (const QString &f : delivered.entryList(QDir::Files))
            QFile::copy(delivered.filePath(f), dir.filePath(f));
        grow(dir.path(), rows);
        double best = 1e9, bestRestore = 1e9;
        QDateTime when(QDate(2026, 1, 1), QTime(8, 0));
        for (int run = 0; run < 15; ++run) {
            QElapsedTimer t;
            t.start();
            const QString name = backups::make(dir.path(), when);
            best = std::min(best, t.nsecsElapsed() / 1e6);
            t.restart();
            backups::restore(dir.path(), name, when);
            bestRestore = std::min(bestRestore, t.nsecsElapsed() / 1e6);
            when = when.addDays(1);
        }
        std::printf("%-28s %12.1f %12.1f\n", qPrintable(QStringLiteral("entregados + %1 renglones").arg(rows)),
                    best, bestRestore);
    }
    return 0;
}
