#include "store/dbftable.h"
#include "submission/generadisco.h"
#include "support/fixture.h"

#include <QtTest>

using namespace kivo;
using namespace kivo::test;

namespace {

const QString kCopiaIncompleta = "Copia incompleta verifique el\respacio en disco o utilice un disco nuevo";
const QString kConfirma = "Asegúrese de que el disco esté en la unidad A:";
const QString kIncompleto = "El disco NO quedó completo y no debe enviarse.\r%1\r"
                            "Grábelo de nuevo con espacio suficiente o en un disco nuevo.";

// Real files, but each copy after the first three reports success over half a table, as a
// medium that loses what it was given would.
struct LyingFiles : RealFiles
{
    int honest = 3;
    bool copy(const QString &source, const QString &destination, QString *why) override
    {
        if (honest-- > 0)
            return RealFiles::copy(source, destination, why);
        const QByteArray bytes = readBytes(source);
        writeBytes(destination, bytes.left(bytes.size() / 2));
        return true;
    }
};

// Each missing table is told, and the last word says plainly not to send the disk, and why.
void checkIncompleteDisk(Fixture &fx, const QStringList &why, const QStringList &kept)
{
    TestHost host(fx.data.path());
    generaDisco(host, fx.services);
    QCOMPARE(fx.messages.texts(),
             QStringList{kConfirma} + QStringList(why.size(), kCopiaIncompleta)
                 + QStringList{kIncompleto.arg(why.join('\r'))});
    QCOMPARE(fx.messages.shown.last().title, "Disco incompleto");
    QCOMPARE(fx.mediumFiles(), kept);
}

} // namespace

class TestGeneraDisco : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stopsBeforeTouchingTheMedium_data()
    {
        QTest::addColumn<QString>("rfc");
        QTest::addColumn<bool>("faltanDatos");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("no RFC") << "   " << false << QStringList();
        QTest::newRow("data missing") << "AAA010101AA1" << true << QStringList();
        QTest::newRow("cancelled") << "AAA010101AA1" << false << QStringList{kConfirma};
    }
    void stopsBeforeTouchingTheMedium()
    {
        QFETCH(QString, rfc);
        QFETCH(bool, faltanDatos);
        Fixture fx;
        writeBytes(fx.medium.filePath("OLD.DBF"), "viejo");
        TestHost host(fx.data.path());
        host.rfc = rfc;
        host.faltanDatos = faltanDatos;
        fx.messages.answer(Answer::Cancel);
        generaDisco(host, fx.services);
        QCOMPARE(fx.mediumFiles(), QStringList{"OLD.DBF"});
        QTEST(fx.messages.texts(), "texts");
    }

    // Drive A: that reaches the data folder, or a backup in it, would have the clearing delete them.
    void refusesAMediumThatIsTheDataFolder_data()
    {
        QTest::addColumn<QString>("drive"); // DATA stands for the data folder
        QTest::addColumn<QString>("why");
        const QString same = ") es la misma carpeta donde el programa guarda la solicitud.";
        const QString nested =
            ") está dentro de la carpeta donde el programa guarda la solicitud y sus respaldos, o "
            "la contiene.";
        QTest::newRow("the folder itself") << "DATA" << same;
        QTest::newRow("a backup in it") << "DATA/respaldos/20240101-120000" << nested;
#ifndef Q_OS_WIN // shortcut files, not links
        QTest::newRow("a link to a link to it") << "MEDIUM/link" << same;
#endif
    }
    void refusesAMediumThatIsTheDataFolder()
    {
        QFETCH(QString, drive);
        QFETCH(QString, why);
        Fixture fx;
        const QString backup = fx.data.filePath("respaldos/20240101-120000");
        QVERIFY(QDir().mkpath(backup));
        writeBytes(backup + "/admlocal.dbf", "respaldo");
        TestHost host(fx.data.path());
        // A deleted supplier, so that the packer too would change a table were it run.
        host.proveedor.deleteCurrent();
        fx.services.packer = kPacker;
#ifndef Q_OS_WIN
        QVERIFY(QFile::link(fx.data.path(), fx.medium.filePath("DATA")));
        QVERIFY(QFile::link(fx.medium.filePath("DATA"), fx.medium.filePath("link")));
#endif
        const QString driveA =
            QString(drive).replace("DATA", fx.data.path()).replace("MEDIUM", fx.medium.path());
        fx.services.driveA = [driveA] { return driveA; };
        host.grabar(); // the save the command runs first, so that only the command's own writes count
        const QMap<QString, QByteArray> before = fx.dataFiles();
        generaDisco(host, fx.services);
        QCOMPARE(fx.dataFiles(), before);
        QCOMPARE(QDir(backup).entryList(QDir::Files), QStringList{"admlocal.dbf"});
        QCOMPARE(fx.messages.texts(),
                 (QStringList{kConfirma,
                              "La unidad A: (" + QDir::toNativeSeparators(driveA) + why
                                  + "\rNo se borró ni se copió nada. Use un disco distinto para la "
                                    "unidad A:."}));
    }

    // Packed tables replace old ones under any spelling and what a killed copy left; the rest stays.
    void writesTheFiveTablesInPlaceOfOldOnes()
    {
        Fixture fx;
        fx.services.packer = kPacker;
        for (const char *old : {"OLD.DBF", "otra.Dbf", "VENTAS.DBF", "nota.txt", ".oculto",
                                ".VENTAS.dbf.kivoa1B2c3", ".OTRA.dbf.a1B2c3", "datoprov.dbf.tmp"})
            writeBytes(fx.medium.filePath(old), "viejo");
        TestHost host(fx.data.path());
        host.proveedor.moveNext();
        host.proveedor.deleteCurrent();
        generaDisco(host, fx.services);
        QCOMPARE(fx.mediumFiles(),
                 (QStringList{".oculto", "PROVMERC.dbf", "VENTAS.dbf", "activida.dbf", "datoprov.dbf",
                              "nota.txt", "provprod.dbf"}));
        for (const char *name : {"PROVMERC.dbf", "VENTAS.dbf", "activida.dbf", "datoprov.dbf", "provprod.dbf"})
            QCOMPARE(readBytes(fx.medium.filePath(name)), readBytes(fx.path(name)));
        const DbfTable suppliers = DbfTable::load(fx.medium.filePath("provprod.dbf"));
        QCOMPARE(suppliers.recordCount(), 2);
        QCOMPARE(fx.messages.texts(), (QStringList{kConfirma, "Puede retirar el disco de la unidad A:"}));
        QCOMPARE(fx.messages.shown[0].title, "Grabar Disco");
        QCOMPARE(fx.messages.shown[1].title, "Disco grabado.");
        QCOMPARE(host.datoProv.editMode(), EditMode::Edit);
        QCOMPARE(host.datoProv.field("RFC").toString(), host.rfc);
    }

    void noMediumIsAnIncompleteDisk()
    {
        Fixture fx;
        fx.services.driveA = {};
        QStringList why;
        for (const char *table : {"datoprov", "PROVMERC", "provprod", "VENTAS", "activida"})
            why << QString(table) + ".dbf: la unidad A: no tiene disco.";
        checkIncompleteDisk(fx, why, {});
    }

    void aCopyThatLiesIsAnIncompleteDisk()
    {
        Fixture fx;
        LyingFiles lying;
        fx.services.files = &lying;
        const QString differs = ".dbf: la copia en el disco no es igual a la tabla de la solicitud.";
        checkIncompleteDisk(fx, {"VENTAS" + differs, "activida" + differs},
                            {"PROVMERC.dbf", "datoprov.dbf", "provprod.dbf"});
    }
};

QTEST_MAIN(TestGeneraDisco)
#include "test_generadisco.moc"
