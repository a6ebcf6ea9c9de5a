#include "store/dbftable.h"
#include "submission/generadisco.h"
#include "support/failingfileio.h"
#include "support/fixture.h"
#include "support/lyingfiles.h"
#include "support/testhost.h"

#include <QDir>
#include <QFile>
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
const QStringList kFive = {"PROVMERC.dbf", "VENTAS.dbf", "activida.dbf", "datoprov.dbf", "provprod.dbf"};

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every table of the data folder, by name, as bytes.
QMap<QString, QByteArray> tables(const QString &folder)
{
    QMap<QString, QByteArray> out;
    for (const QString &name : QDir(folder).entryList({"*.dbf"}, QDir::Files))
        out.insert(name, bytes(QDir(folder).filePath(name)));
    return out;
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
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QStringList>("texts");
        const QStringList checked = {"grabar", "verificaRequeridos"};
        QTest::newRow("no RFC") << "   " << false << QStringList() << QStringList();
        QTest::newRow("data missing") << "AAA010101AA1" << true << checked << QStringList();
        QTest::newRow("cancelled") << "AAA010101AA1" << false << checked << QStringList{kConfirma};
    }
    void stopsBeforeTouchingTheMedium()
    {
        QFETCH(QString, rfc);
        QFETCH(bool, faltanDatos);
        QFETCH(QStringList, log);
        QFETCH(QStringList, texts);
        Fixture fx;
        fx.seed();
        QFile(fx.medium.filePath("OLD.DBF")).open(QIODevice::WriteOnly);
        TestHost host(fx.data.path());
        host.rfc = rfc;
        host.faltanDatos = faltanDatos;
        fx.messages.answer(Answer::Cancel);
        generaDisco(host, fx.services);
        QCOMPARE(fx.mediumFiles(), QStringList{"OLD.DBF"});
        QCOMPARE(host.log, log);
        QCOMPARE(fx.messages.texts(), texts);
    }

    // Drive A: that reaches the data folder would have the clearing delete the application.
    void refusesAMediumThatIsTheDataFolder_data()
    {
        QTest::addColumn<QString>("drive"); // DATA stands for the data folder
        QTest::newRow("the folder itself") << "DATA";
        QTest::newRow("another spelling") << "DATA/./";
        QTest::newRow("a link to a link to it") << "MEDIUM/link";
    }
    void refusesAMediumThatIsTheDataFolder()
    {
        QFETCH(QString, drive);
        Fixture fx;
        fx.seed();
        TestHost host(fx.data.path());
        // A deleted supplier, so that the packer too would change a table were it run.
        host.proveedor.deleteCurrent();
        fx.services.packer = KIVO_BINARY_DIR "/bin/pack9";
        const QDir medium(fx.medium.path());
        QVERIFY(QFile::link(fx.data.path(), medium.filePath("DATA")));
        QVERIFY(QFile::link(medium.filePath("DATA"), medium.filePath("link")));
        fx.services.driveA = QString(drive).replace("DATA", fx.data.path()).replace("MEDIUM", fx.medium.path());
        host.grabar(); // the save that the command runs first, so that only the command's own writes count
        host.log.clear();
        const QMap<QString, QByteArray> before = tables(fx.data.path());

        fx.messages.answer(Answer::Ok);
        generaDisco(host, fx.services);

        QCOMPARE(tables(fx.data.path()).keys(), before.keys());
        QCOMPARE(tables(fx.data.path()), before);
        QCOMPARE(fx.messages.texts(), (QStringList{kConfirma,
            "La unidad A: (" + fx.services.driveA + ") es la misma carpeta donde el programa guarda la solicitud.\r"
            "No se borró ni se copió nada. Use un disco distinto para la unidad A:."}));
        QCOMPARE(fx.messages.shown.last().icon, Icon::Warning);
    }

    void writesTheFiveTablesInPlaceOfOldOnes()
    {
        Fixture fx;
        fx.seed();
        for (const char *old : {"OLD.DBF", "otra.Dbf", "VENTAS.DBF", "nota.txt"}) {
            QFile f(fx.medium.filePath(old));
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write("viejo"), 5);
        }
        TestHost host(fx.data.path());

        generaDisco(host, fx.services);

        QCOMPARE(fx.mediumFiles(), sorted(kFive + QStringList{"nota.txt"}));
        for (const QString &name : kFive)
            QCOMPARE(bytes(fx.medium.filePath(name)), bytes(fx.path(name)));
        QCOMPARE(bytes(fx.medium.filePath("nota.txt")), "viejo");
        QCOMPARE(fx.messages.texts(), (QStringList{kConfirma, kRetire}));
        QCOMPARE(fx.messages.shown[0].title, "Grabar Disco");
        QCOMPARE(fx.messages.shown[1].title, "Disco grabado.");
        QCOMPARE(fx.messages.shown[1].icon, Icon::None);
        // The record saved before the copy is current again, in edit.
        QCOMPARE(host.log, (QStringList{"grabar", "verificaRequeridos", "cancel"}));
        QCOMPARE(host.datoProv.editMode(), EditMode::Edit);
        QCOMPARE(host.datoProv.field("RFC").toString(), host.rfc);
    }

    // What a copy killed part-way left is gone after the next disk; what the user put there stays.
    void removesWhatADeadCopyLeft()
    {
        Fixture fx;
        fx.seed();
        for (const char *left : {".VENTAS.dbf.kivoa1B2c3", ".OTRA.dbf.kivo0Zz9yY", "datoprov.dbf.tmp", ".oculto"})
            QFile(fx.medium.filePath(left)).open(QIODevice::WriteOnly);
        TestHost host(fx.data.path());
        generaDisco(host, fx.services);
        QCOMPARE(fx.mediumFiles(), sorted(kFive + QStringList{".oculto"}));
    }

    void packerRunsBeforeTheCopies_data()
    {
        QTest::addColumn<QString>("packer");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("secondDeleted");
        QTest::addColumn<int>("lastRow");
        QTest::newRow("packer") << KIVO_BINARY_DIR "/bin/pack9" << 2 << false << 1;
        QTest::newRow("no packer") << "/no/such/pack9" << 3 << true << 2;
    }
    void packerRunsBeforeTheCopies()
    {
        QFETCH(QString, packer);
        QFETCH(int, rows);
        QFETCH(bool, secondDeleted);
        QFETCH(int, lastRow);
        Fixture fx;
        fx.seed();
        TestHost host(fx.data.path());
        host.proveedor.moveNext();
        host.proveedor.deleteCurrent();
        fx.services.packer = packer;
        generaDisco(host, fx.services);
        QCOMPARE(fx.messages.texts(), (QStringList{kConfirma, kRetire}));
        const DbfTable copy = DbfTable::load(fx.medium.filePath("provprod.dbf"));
        QCOMPARE(copy.recordCount(), rows);
        QCOMPARE(copy.isDeleted(1), secondDeleted);
        QCOMPARE(copy.text(lastRow, 0), "PROVEEDOR 2");
    }

    // Each missing table is told as before, and the last word says plainly that the disk is
    // not to be sent, and why.
    void reportsAnIncompleteDisk_data()
    {
        using Step = FailingFileIo::Step;
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("step"); // the safe write's step that fails in the copy of VENTAS
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<QStringList>("why"); // %1 the data folder, %2 the medium
        const QStringList four = {"PROVMERC.dbf", "activida.dbf", "datoprov.dbf", "provprod.dbf"};
        const QString ventas = "VENTAS.dbf: No se pudo guardar la tabla VENTAS en el archivo %2/VENTAS.dbf: ";
        QTest::newRow("no medium") << "no medium" << -1 << 0 << QStringList() << QStringList{
            "datoprov.dbf: la unidad A: no tiene disco.", "PROVMERC.dbf: la unidad A: no tiene disco.",
            "provprod.dbf: la unidad A: no tiene disco.", "VENTAS.dbf: la unidad A: no tiene disco.",
            "activida.dbf: la unidad A: no tiene disco."};
        QTest::newRow("medium full") << "" << int(Step::Create) << ENOSPC << four
                                     << QStringList{ventas + "el disco está lleno."};
        QTest::newRow("flush fails") << "" << int(Step::Flush) << EIO << four
                                     << QStringList{ventas + "error de entrada/salida del disco."};
        QTest::newRow("rename refused") << "" << int(Step::Rename) << EROFS << four
                                        << QStringList{ventas + "el medio es de solo lectura."};
        QTest::newRow("copies that lie") << "copies that lie" << -1 << 0
            << QStringList{"PROVMERC.dbf", "datoprov.dbf", "provprod.dbf"}
            << QStringList{"VENTAS.dbf: la copia en el disco no es igual a la tabla de la solicitud.",
                           "activida.dbf: la copia en el disco no es igual a la tabla de la solicitud."};
        QTest::newRow("a folder in place of a copy") << "folder on the medium" << -1 << 0 << four
                                                     << QStringList{ventas + "no es un archivo común."};
    }
    void reportsAnIncompleteDisk()
    {
        QFETCH(QString, how);
        QFETCH(int, step);
        QFETCH(int, error);
        QFETCH(QStringList, kept);
        QFETCH(QStringList, why);
        Fixture fx;
        fx.seed();
        LyingFiles lying(3);
        if (how == "copies that lie")
            fx.services.files = &lying;
        if (how == "no medium") {
            fx.services.driveA.clear();
            qputenv("KIVO_DRIVE_A", "");
        }
        if (how == "folder in the data") {
            QVERIFY(QFile::remove(fx.path("activida.dbf")));
            QVERIFY(QDir().mkpath(fx.data.filePath("activida.dbf")));
        }
        if (how == "folder on the medium")
            QVERIFY(QDir().mkpath(fx.medium.filePath("VENTAS.dbf/dentro")));
        std::optional<FailingFileIo> failing;
        if (step >= 0) {
            // The copy of VENTAS is the last call of the step but one (activida follows it);
            // a first disk on a twin folder counts the calls.
            Fixture twin;
            twin.seed();
            TestHost twinHost(twin.data.path());
            int calls = 0;
            {
                const FailingFileIo counting(FailingFileIo::Step(step), -1);
                generaDisco(twinHost, twin.services);
                calls = counting.calls();
            }
            failing.emplace(FailingFileIo::Step(step), calls - 1, error);
        }
        TestHost host(fx.data.path());

        generaDisco(host, fx.services);
        qunsetenv("KIVO_DRIVE_A");
        failing.reset();

        QStringList texts = QStringList{kConfirma} + QStringList(why.size(), kCopiaIncompleta);
        texts << kIncompleto.arg(why.join('\r').replace("%1", fx.data.path()).replace("%2", fx.medium.path()));
        QCOMPARE(fx.messages.texts(), texts);
        QCOMPARE(fx.messages.shown[1].title, "KIVO");
        QCOMPARE(fx.messages.shown.last().title, "Disco incompleto");
        QCOMPARE(fx.messages.shown.last().icon, Icon::Warning);
        QCOMPARE(fx.mediumFiles(), kept);
        for (const QString &name : kept)
            QCOMPARE(bytes(fx.medium.filePath(name)), bytes(fx.path(name)));
    }
};

QTEST_MAIN(TestGeneraDisco)
#include "test_generadisco.moc"
