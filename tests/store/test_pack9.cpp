#include "store/dbftable.h"
#include "support/storefixture.h"

#include <QtTest>

using namespace kivo;
using namespace kivo::test;

class TestPack9 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void packsEveryNamedTableReportsTheOnesItCannotAndTakesTurnsWithTheProgram()
    {
        QTemporaryDir dir;
        auto file = [&](const char *name) { return dir.filePath(name); };
        QString errors;
        auto pack = [&](const QStringList &args) {
            QProcess p;
            p.setWorkingDirectory(dir.path());
            p.start(QStringLiteral(KIVO_BINARY_DIR "/bin/pack9"), args);
            p.waitForFinished();
            errors = QString::fromUtf8(p.readAllStandardError());
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };
        DbfTable t = writeTable(file("datoprov.dbf"), {"PROVEEDOR C 20 0", "RFC C 13 0", "MONTO N 8 2"},
                                {"Lácteos Jalisco|LJA950101AB1|12.50", "Borrado|XXX010101000|",
                                 "Cartón del Norte|CNO000229XY9|"});
        t.setDeleted(1, true);
        t.save();
        QVERIFY(QFile::copy(file("datoprov.dbf"), file("provprod.dbf"))
                && QFile::resize(file("provprod.dbf"), t.toBytes().size() - 20));
        const QByteArray broken = readBytes(file("provprod.dbf"));
        DbfTable ventas = writeTable(file("VENTAS.dbf"), {"N N 3 0"}, {"1"});
        const QByteArray ventasBytes = readBytes(file("VENTAS.dbf"));

        QCOMPARE(pack({"DatoProv", "PROVMERC", "provprod", "VENTAS"}), 1);
        QVERIFY2(errors.contains("No se encontró la tabla PROVMERC") && errors.contains(file("provprod.dbf"))
                     && errors.count(u'\n') == 2, qPrintable(errors));
        const DbfTable packed = DbfTable::load(file("datoprov.dbf"));
        QCOMPARE(packed.recordCount(), 2);
        QCOMPARE(packed.text(0, 0) + packed.text(0, 2) + packed.text(1, 1),
                 QStringLiteral("Lácteos Jalisco12.50CNO000229XY9"));
        QCOMPARE(readBytes(file("datoprov.dbf"))[29], char(0x03));
        QCOMPARE(readBytes(file("provprod.dbf")), broken);
        QCOMPARE(readBytes(file("VENTAS.dbf")), ventasBytes);
        QVERIFY(pack({"datoprov", "ventas"}) == 0 && errors.isEmpty());
        QCOMPARE(pack({"../" + QDir(dir.path()).dirName() + "/datoprov"}), 1);
        QCOMPARE(pack({}), 2);

        // Whoever holds the folder finishes first, so nobody overwrites newer rows with an older copy.
        for (const bool packer : {false, true}) {
            QProcess holder;
            holder.start("flock", {dir.path(), "-c", "echo ya; sleep 1"});
            QVERIFY(holder.waitForReadyRead(10000));
            const qint64 start = QDateTime::currentMSecsSinceEpoch();
            QCOMPARE(packer ? pack({"ventas"}) : (ventas.save(), 0), 0);
            QVERIFY(QDateTime::currentMSecsSinceEpoch() - start > 500 && holder.waitForFinished());
        }
    }
};

QTEST_GUILESS_MAIN(TestPack9)
#include "test_pack9.moc"
