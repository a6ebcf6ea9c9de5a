#include "store/dbftable.h"
#include "support/storefixture.h"

#include <QtTest>

using namespace kivo;
using namespace kivo::test;

class TestPack9 : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString file(const char *name) const { return m_dir.filePath(name); }
    QString m_errors;

    int pack(const QStringList &args)
    {
        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        p.start(kPacker, args);
        p.waitForFinished();
        m_errors = QString::fromUtf8(p.readAllStandardError()).remove(QLatin1Char('\r'));
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

private Q_SLOTS:
    void packsEveryNamedTableAndReportsTheOnesItCannot()
    {
        DbfTable t = writeTable(
            file("datoprov.dbf"), {"PROVEEDOR C 20 0", "RFC C 13 0", "MONTO N 8 2"},
            {"Lácteos Jalisco|LJA950101AB1|12.50", "Borrado|XXX010101000|", "Cartón del Norte|CNO000229XY9|"});
        t.setDeleted(1, true);
        t.save();
        QVERIFY(QFile::copy(file("datoprov.dbf"), file("provprod.dbf")));
        QVERIFY(QFile::resize(file("provprod.dbf"), t.toBytes().size() - 20));
        const QByteArray broken = readBytes(file("provprod.dbf"));
        writeTable(file("VENTAS.dbf"), {"N N 3 0"}, {"1"});
        const QByteArray ventas = readBytes(file("VENTAS.dbf"));

        QCOMPARE(pack({"DatoProv", "PROVMERC", "provprod", "VENTAS"}), 1);
        QCOMPARE(m_errors,
                 "pack9: No se encontró la tabla PROVMERC en la carpeta de datos "
                     + QDir::toNativeSeparators(m_dir.path()) + ".\npack9: El archivo "
                     + QDir::toNativeSeparators(file("provprod.dbf"))
                     + " no es una tabla FoxPro válida: "
                       "la cabecera anuncia 3 registros, pero el archivo solo alcanza para 2.\n");
        const DbfTable packed = DbfTable::load(file("datoprov.dbf"));
        QCOMPARE(packed.recordCount(), 2);
        QCOMPARE(packed.text(1, 1), QStringLiteral("CNO000229XY9"));
        QCOMPARE(readBytes(file("datoprov.dbf"))[29], char(0x03));
        QCOMPARE(readBytes(file("provprod.dbf")), broken);
        QCOMPARE(readBytes(file("VENTAS.dbf")), ventas); // nothing to drop: not even the date changes
        QCOMPARE(pack({"../" + QDir(m_dir.path()).dirName() + "/datoprov"}), 1);
    }
};

QTEST_GUILESS_MAIN(TestPack9)
#include "test_pack9.moc"
