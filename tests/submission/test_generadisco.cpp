#include "store/dbftable.h"
#include "store/textos.h"
#include "submission/generadisco.h"
#include "support/failingfileio.h"
#include "support/fixture.h"
#include "support/lyingfiles.h"
#include "support/testhost.h"

#include <QtTest>

#include <optional>

using namespace kivo;
using namespace kivo::test;

namespace {

const QString kCopiaIncompleta = "Copia incompleta verifique el\respacio en disco o utilice un disco nuevo";
const QString kConfirma = "Asegúrese de que el disco esté en la unidad A:";
const QString kRetire = "Puede retirar el disco de la unidad A:";
const QString kIncompleto = "El disco NO quedó completo y no debe enviarse.\r%1\r"
                            "Grábelo de nuevo con espacio suficiente o en un disco nuevo.";

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
        QFETCH(QStringList, texts);
        Fixture fx;
        writeBytes(fx.medium.filePath("OLD.DBF"), "viejo");
        TestHost host(fx.data.path());
        host.rfc = rfc;
        host.faltanDatos = faltanDatos;
        fx.messages.answer(Answer::Cancel);
        generaDisco(host, fx.services);
        QCOMPARE(fx.mediumFiles(), QStringList{"OLD.DBF"});
        QCOMPARE(fx.messages.texts(), texts);
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
        QTest::newRow("a link to a link to it") << "MEDIUM/link" << same;
        QTest::newRow("a backup in it") << "DATA/respaldos/20240101-120000" << nested;
        QTest::newRow("its backups, through a link") << "MEDIUM/link/respaldos" << nested;
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
        fx.services.packer = KIVO_BINARY_DIR "/bin/pack9";
        QVERIFY(QFile::link(fx.data.path(), fx.medium.filePath("DATA")));
        QVERIFY(QFile::link(fx.medium.filePath("DATA"), fx.medium.filePath("link")));
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
                              "La unidad A: (" + driveA + why
                                  + "\rNo se borró ni se copió nada. Use un disco distinto para la "
                                    "unidad A:."}));
    }

    // Packed tables replace old ones under any spelling and what a killed copy left; the rest stays.
    void writesTheFiveTablesInPlaceOfOldOnes()
    {
        Fixture fx;
        fx.services.packer = KIVO_BINARY_DIR "/bin/pack9";
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
        QCOMPARE(suppliers.text(1, 0), "PROVEEDOR 2");
        QCOMPARE(fx.messages.texts(), (QStringList{kConfirma, kRetire}));
        QCOMPARE(fx.messages.shown[0].title, "Grabar Disco");
        QCOMPARE(fx.messages.shown[1].title, "Disco grabado.");
        QCOMPARE(host.datoProv.editMode(), EditMode::Edit);
        QCOMPARE(host.datoProv.field("RFC").toString(), host.rfc);
    }

    // Each missing table is told, and the last word says plainly not to send the disk, and why.
    void reportsAnIncompleteDisk_data()
    {
        using enum FailingFileIo::Step;
        QTest::addColumn<int>("step"); // the safe write's step that fails in the copy of VENTAS
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<QStringList>("why"); // %2 stands for the medium
        const QStringList four = {"PROVMERC.dbf", "activida.dbf", "datoprov.dbf", "provprod.dbf"};
        const auto one = [&](const char *reason) {
            return QStringList{"VENTAS.dbf: " + textos::kNoGuarda.arg("VENTAS", "%2/VENTAS.dbf", reason)};
        };
        QTest::newRow("no medium") << -1 << 0 << QStringList()
                                   << QStringList{"datoprov.dbf: la unidad A: no tiene disco.",
                                                  "PROVMERC.dbf: la unidad A: no tiene disco.",
                                                  "provprod.dbf: la unidad A: no tiene disco.",
                                                  "VENTAS.dbf: la unidad A: no tiene disco.",
                                                  "activida.dbf: la unidad A: no tiene disco."};
        QTest::newRow("medium full") << int(Create) << ENOSPC << four << one("el disco está lleno");
        QTest::newRow("copies that lie")
            << -1 << 0 << QStringList{"PROVMERC.dbf", "datoprov.dbf", "provprod.dbf"}
            << QStringList{"VENTAS.dbf: la copia en el disco no es igual a la tabla de la solicitud.",
                           "activida.dbf: la copia en el disco no es igual a la tabla de la solicitud."};
        QTest::newRow("a folder in place of a copy") << -1 << 0 << four << one("no es un archivo común");
    }
    void reportsAnIncompleteDisk()
    {
        const QString how = QTest::currentDataTag();
        QFETCH(int, step);
        QFETCH(int, error);
        QFETCH(QStringList, kept);
        QFETCH(QStringList, why);
        Fixture fx;
        LyingFiles lying(3);
        if (how == "copies that lie")
            fx.services.files = &lying;
        if (how == "no medium")
            fx.services.driveA = {};
        if (how == "a folder in place of a copy")
            QVERIFY(QDir().mkpath(fx.medium.filePath("VENTAS.dbf/dentro")));
        std::optional<FailingFileIo> failing;
        if (step >= 0) {
            // The copy of VENTAS is the step's last call but one: a disk on a twin folder counts them.
            Fixture twin;
            TestHost twinHost(twin.data.path());
            failing.emplace(FailingFileIo::Step(step), -1);
            generaDisco(twinHost, twin.services);
            const int calls = failing->calls();
            failing.emplace(FailingFileIo::Step(step), calls - 1, error);
        }
        TestHost host(fx.data.path());
        generaDisco(host, fx.services);
        failing.reset();
        QStringList texts = QStringList{kConfirma} + QStringList(why.size(), kCopiaIncompleta);
        texts << kIncompleto.arg(why.join('\r').replace("%2", fx.medium.path()));
        QCOMPARE(fx.messages.texts(), texts);
        QCOMPARE(fx.messages.shown.last().title, "Disco incompleto");
        QCOMPARE(fx.mediumFiles(), kept);
    }
};

QTEST_MAIN(TestGeneraDisco)
#include "test_generadisco.moc"
