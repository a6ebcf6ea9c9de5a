#include "store/dbftable.h"
#include "support/storefixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace kivo;
using namespace kivo::test;

class TestPack9 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void packsEveryNamedTableAndReportsTheOnesItCannot()
    {
        QTemporaryDir dir;
        auto file = [&](const QString &name) { return dir.filePath(name); };
        const QStringList fields = {QStringLiteral("PROVEEDOR C 20 0"), QStringLiteral("RFC C 13 0"),
                                    QStringLiteral("MONTO N 8 2")};
        for (const QString &name : {QStringLiteral("datoprov.dbf"), QStringLiteral("provprod.dbf")}) {
            DbfTable t = writeTable(file(name), fields,
                                    {QStringLiteral("Lácteos Jalisco|LJA950101AB1|12.50"),
                                     QStringLiteral("Borrado|XXX010101000|"),
                                     QStringLiteral("Cartón del Norte|CNO000229XY9|")});
            t.setDeleted(1, true);
            t.save();
        }
        writeTable(file(QStringLiteral("VENTAS.dbf")), fields, {QStringLiteral("Sin borrar||1")});
        const QByteArray ventas = readBytes(file(QStringLiteral("VENTAS.dbf")));
        QByteArray broken = readBytes(file(QStringLiteral("provprod.dbf")));
        broken.chop(20);
        QFile f(file(QStringLiteral("provprod.dbf")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(broken);
        f.close();

        QProcess pack;
        pack.setWorkingDirectory(dir.path());
        pack.start(QStringLiteral(KIVO_BINARY_DIR "/bin/pack9"),
                   {QStringLiteral("DatoProv"), QStringLiteral("PROVMERC"), QStringLiteral("provprod"),
                    QStringLiteral("VENTAS")});
        QVERIFY(pack.waitForFinished());
        QCOMPARE(pack.exitStatus(), QProcess::NormalExit);
        QCOMPARE(pack.exitCode(), 1);
        const QString errors = QString::fromUtf8(pack.readAllStandardError());
        QVERIFY2(errors.contains(QStringLiteral("No se encontró la tabla PROVMERC")), qPrintable(errors));
        QVERIFY2(errors.contains(file(QStringLiteral("provprod.dbf"))), qPrintable(errors));
        QCOMPARE(errors.count(u'\n'), 2);

        const DbfTable packed = DbfTable::load(file(QStringLiteral("datoprov.dbf")));
        QCOMPARE(packed.recordCount(), 2);
        QCOMPARE(packed.text(0, 0), QStringLiteral("Lácteos Jalisco"));
        QCOMPARE(packed.text(0, 2), QStringLiteral("12.50"));
        QCOMPARE(packed.text(1, 1), QStringLiteral("CNO000229XY9"));
        QCOMPARE(packed.fields().size(), 3);
        QCOMPARE(readBytes(file(QStringLiteral("datoprov.dbf")))[29], char(0x03));
        QCOMPARE(readBytes(file(QStringLiteral("provprod.dbf"))), broken);
        QCOMPARE(readBytes(file(QStringLiteral("VENTAS.dbf"))), ventas);

        pack.start(QStringLiteral(KIVO_BINARY_DIR "/bin/pack9"), {QStringLiteral("datoprov"), QStringLiteral("ventas")});
        QVERIFY(pack.waitForFinished());
        QCOMPARE(pack.exitCode(), 0);
        QCOMPARE(pack.readAllStandardError(), QByteArray());

        pack.start(QStringLiteral(KIVO_BINARY_DIR "/bin/pack9"), {QStringLiteral("../%1/datoprov").arg(QDir(dir.path()).dirName())});
        QVERIFY(pack.waitForFinished());
        QCOMPARE(pack.exitCode(), 1);

        pack.start(QStringLiteral(KIVO_BINARY_DIR "/bin/pack9"), {});
        QVERIFY(pack.waitForFinished());
        QCOMPARE(pack.exitCode(), 2);
    }

    // The packer and the program write the same folder; whoever holds it finishes first, so
    // neither overwrites the other's newer rows with an older copy.
    void writersOfOneFolderTakeTurns()
    {
        QTemporaryDir dir;
        DbfTable t = writeTable(dir.filePath(QStringLiteral("VENTAS.dbf")), {QStringLiteral("N N 3 0")},
                                {QStringLiteral("1")});
        for (const bool packer : {false, true}) {
            QProcess holder;
            holder.start(QStringLiteral("flock"), {dir.path(), QStringLiteral("-c"), QStringLiteral("echo ya; sleep 1")});
            QVERIFY(holder.waitForReadyRead(10000));
            QElapsedTimer waited;
            waited.start();
            if (packer) {
                QProcess pack;
                pack.setWorkingDirectory(dir.path());
                pack.start(QStringLiteral(KIVO_BINARY_DIR "/bin/pack9"), {QStringLiteral("ventas")});
                QVERIFY(pack.waitForFinished());
                QCOMPARE(pack.exitCode(), 0);
            } else {
                t.save();
            }
            QVERIFY2(waited.elapsed() > 500, qPrintable(QString::number(waited.elapsed())));
            QVERIFY(holder.waitForFinished());
        }
    }
};

QTEST_GUILESS_MAIN(TestPack9)
#include "test_pack9.moc"
