#include "submission/interrupted.h"

#include "store/atomicfile.h"
#include "store/backups.h"
#include "store/dbferror.h"
#include "store/dbftable.h"
#include "store/journal.h"
#include "store/recordfields.h"
#include "submission/textos.h"

namespace kivo {

namespace {

DbfTable open(const QString &dataFolder, const QString &name)
{
    const QString path = findNoCase(dataFolder, name);
    if (path.isEmpty())
        throw DbfError(textos::kBorradoSinTabla.arg(name));
    return DbfTable::load(path);
}

// What the clearing does, straight on the tables and in the same order; doing it again over
// a table already cleared changes nothing.
void clearTables(const QString &dataFolder)
{
    const FolderLock lock(dataFolder);
    for (const char *name : {"datoprov.dbf", "VENTAS.dbf", "PROVMERC.dbf", "provprod.dbf"}) {
        DbfTable table = open(dataFolder, QString::fromLatin1(name));
        const bool sales = table.tableName().compare(QLatin1String("VENTAS"), Qt::CaseInsensitive) == 0;
        bool changed = false;
        for (int r = 0; r < table.recordCount(); ++r) {
            if (table.isDeleted(r))
                continue;
            if (!sales) {
                table.setDeleted(r, true);
                changed = true;
                continue;
            }
            // Only the application's rows, and of them only the amounts: year, rate and label stay.
            if (table.value(r, ventas::Tipo).toInt() != 1)
                continue;
            for (int f = ventas::kFirstAmount; f <= ventas::kLastAmount; ++f) {
                if (table.value(r, f).toDouble() != 0.0) {
                    table.setValue(r, f, 0);
                    changed = true;
                }
            }
        }
        if (changed)
            table.save();
    }
}

} // namespace

QStringList finishInterrupted(const QString &dataFolder)
{
    QStringList said;
    if (const QString restore = backups::finishRestore(dataFolder); !restore.isEmpty())
        said.append(restore);
    if (const std::optional<QStringList> note = journal::pending(dataFolder, journal::Step::Clearing)) {
        try {
            clearTables(dataFolder);
            journal::end(dataFolder, journal::Step::Clearing);
            said.append(textos::kBorradoTerminado.arg(note->value(0)));
        } catch (const DbfError &e) {
            // The note stays: the next start tries again.
            said.append(textos::kBorradoSinTerminar.arg(e.message()));
        }
    }
    return said;
}

} // namespace kivo
