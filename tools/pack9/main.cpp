// pack9 TABLE...: run in the data folder, drops the rows marked deleted from each table named
// (in any letter case), each replaced atomically. A table that is missing or malformed is
// named on standard error and left as it is; the others are still packed. Exit status 0 when
// every table was packed, 1 otherwise, 2 without arguments.

#include "store/atomicfile.h"
#include "store/database.h"
#include "store/textos.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList tables = app.arguments().mid(1);
    if (tables.isEmpty()) {
        std::fprintf(stderr, "%s\n", kivo::textos::kUsoPack9.toUtf8().constData());
        return 2;
    }
    kivo::Database database(QDir::currentPath());
    int status = 0;
    for (const QString &name : tables) {
        try {
            // Held from reading to writing back: a row the program writes meanwhile waits
            // for us instead of being overwritten by our older copy.
            const kivo::FolderLock lock(database.folder());
            kivo::DbfTable &table = database.reload(name);
            const int before = table.recordCount();
            table.pack();
            // Nothing to drop: leave the file alone, date stamp included.
            if (table.recordCount() != before)
                table.save();
        } catch (const kivo::DbfError &e) {
            std::fprintf(stderr, "pack9: %s\n", e.message().toUtf8().constData());
            status = 1;
        }
    }
    return status;
}
