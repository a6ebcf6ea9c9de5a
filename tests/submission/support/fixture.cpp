#include "support/fixture.h"

#include "store/database.h"
#include "store/dbftable.h"

#include <QDir>
#include <QFile>

namespace kivo::test {

Fixture::Fixture()
{
    const QDir delivered(QStringLiteral(KIVO_BUILD_DATA_DIR));
    for (const QString &name : delivered.entryList(QDir::Files))
        QFile::copy(delivered.filePath(name), QDir(data.path()).filePath(name));
    services.messages = &messages;
    services.files = &files;
    services.dataFolder = data.path();
    services.driveA = medium.path();
}

bool Fixture::ready() const
{
    return !path(QStringLiteral("datoprov.dbf")).isEmpty()
        && !path(QStringLiteral("VENTAS.dbf")).isEmpty();
}

QString Fixture::path(const QString &table) const
{
    return Database(data.path()).resolve(table);
}

QStringList Fixture::mediumFiles() const
{
    QStringList names = QDir(medium.path()).entryList(QDir::Files);
    names.sort();
    return names;
}

void Fixture::seed(int suppliers)
{
    auto fill = [&](const QString &table, int rows, auto &&setRow) {
        DbfTable t = DbfTable::load(path(table));
        for (int i = 0; i < rows; ++i)
            setRow(t, t.appendRecord(), i);
        t.save();
    };
    fill(QStringLiteral("datoprov.dbf"), 1, [](DbfTable &t, int r, int) {
        t.setValue(r, t.fieldIndex(QStringLiteral("RFC")), QStringLiteral("AAA010101AA1"));
        t.setValue(r, t.fieldIndex(QStringLiteral("APEPATRAZ")), QStringLiteral("EXPORTADORA"));
    });
    fill(QStringLiteral("provprod.dbf"), suppliers, [](DbfTable &t, int r, int i) {
        t.setValue(r, 0, QStringLiteral("PROVEEDOR %1").arg(i));
        t.setValue(r, 1, QStringLiteral("BBB01010%1BB1").arg(i));
        t.setValue(r, 2, QStringLiteral("PIEZAS"));
    });
    fill(QStringLiteral("PROVMERC.dbf"), 2, [](DbfTable &t, int r, int i) {
        t.setValue(r, t.fieldIndex(QStringLiteral("DESCRIPCIO")), QStringLiteral("PRODUCTO %1").arg(i));
    });
    DbfTable ventas = DbfTable::load(path(QStringLiteral("VENTAS.dbf")));
    const int tipo = ventas.fieldIndex(QStringLiteral("tipo"));
    for (int r = 0; r < ventas.recordCount(); ++r) {
        for (int p = 1; p <= 5; ++p)
            ventas.setValue(r, p, 100 + r * 10 + p);
    }
    const int other = ventas.appendRecord();
    ventas.setValue(other, 0, 1999);
    for (int p = 1; p <= 5; ++p)
        ventas.setValue(other, p, 55);
    ventas.setValue(other, tipo, 2);
    ventas.save();
}

} // namespace kivo::test
