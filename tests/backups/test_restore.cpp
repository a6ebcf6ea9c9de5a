#include "info/restorewindow.h"
#include "platform/instancelock.h"
#include "submission/interrupted.h"
#include "support/backupdata.h"
#include "support/failingfileio.h"
#include "support/fixedclock.h"
#include "support/scriptedmessages.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <sys/stat.h>

using namespace kivo;
using namespace kivo::test;

namespace {

const QDateTime kMorning(QDate(2026, 12, 6), QTime(9, 15, 30));

// The installed program's command line over `folder`: its exit status and, on success, what
// it wrote out, else what it wrote as errors. None of these needs a screen.
std::pair<int, QString> command(const QString &folder, const QStringList &arguments)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KIVO_DATA_DIR", folder);
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(KIVO_BINARY_DIR "/bin/kivo", arguments);
    // A program that waits on a FIFO for good fails the row instead of the whole run.
    if (!p.waitForFinished(30000))
        return {-1, {}};
    const int status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return {status, QString::fromUtf8(status == 0 ? p.readAllStandardOutput() : p.readAllStandardError())};
}

// Two applications backed up on two days, the second as sent on a disk, and a third one in
// the tables now; a damaged backup newer than both (an empty folder) and a folder of the user's.
struct History : Data
{
    History()
    {
        fill("KEX050315AB1", "EXPORTADORA DEL NORTE");
        first = backups::make(path(), kMorning);
        fill("ABC991231XY1", "ACME");
        second = backups::make(path(), kMorning.addDays(1), backups::Kind::Sent);
        fill("XYZ010101AB1", "TERCERA");
        QDir().mkpath(backup("20261208-000000"));
        QDir().mkpath(backup("fotos"));
    }
    QString first, second;
};

// The restore window three days on, over a History.
struct Window : History
{
    ScriptedMessages messages;
    FixedClock clock{kMorning.addDays(3)};
    RestoreWindow window{
        {.messages = &messages, .clock = &clock, .dataFolder = path(), .driveA = {}, .packer = {}}};
    QTreeWidget *list = window.findChild<QTreeWidget *>("lstRespaldos");
};

} // namespace

class TestRestore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commandLine_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        // The start of the output or, failing, of the errors; %1 the data folder, %2 the backup.
        QTest::addColumn<QString>("start");
        const QStringList restore{"--restaurar", "20261206-091530"};
        QTest::newRow("help") << "" << QStringList{"--help"} << 0 << "Uso: kivo [opción]\n";
        QTest::newRow("unknown option")
            << "" << QStringList{"--borrar"} << 2
            << "kivo: la opción «--borrar» no existe.\nUse «kivo --help» para ver las opciones.\n";
        QTest::newRow("stray word") << "" << QStringList{"respaldos"} << 2
                                    << "kivo: no se esperaba «respaldos».\n";
        QTest::newRow("list, newest first")
            << "" << QStringList{"--respaldos"} << 0
            << "20261208-000000\tdañado: falta la tabla datoprov.dbf.\n"
               "20261207-091530\tABC991231XY1\tACME\t2 proveedores\t2 productos\tsolicitud enviada\n"
               "20261206-091530\tKEX050315AB1\tEXPORTADORA DEL NORTE\t1 proveedor\t1 producto\n";
        QTest::newRow("nothing to list")
            << "none" << QStringList{"--respaldos"} << 0 << "No hay respaldos en %1/respaldos.\n";
        QTest::newRow("a window holds the folder")
            << "held" << restore << 1
            << "No se restauró nada: KIVO está abierto con la carpeta de datos %1.\nCiérrelo y vuelva a intentarlo.\n";
        QTest::newRow("no such backup") << "" << QStringList{"--restaurar", "20261206-091531"} << 1
                                        << "No hay ningún respaldo llamado «20261206-091531» en %1/respaldos.\n"
                                           "Use «kivo --respaldos» para ver los nombres de los respaldos.\n";
        const QString danado = "El respaldo 20261206-091530 no se puede restaurar: ";
        QTest::newRow("a FIFO in a table's place in the backup")
            << "fifo" << restore << 1
            << danado + "No se pudo abrir el archivo %2/VENTAS.dbf: no es un archivo común.\n";
        QTest::newRow("a FIFO in a table's place in the data folder")
            << "fifo in data" << restore << 1
            << "No se restauró nada: antes de restaurar se respaldan las tablas actuales, y no se pudo. No se "
               "pudo hacer el respaldo de la solicitud en %1/respaldos: No se pudo abrir el archivo "
               "%1/VENTAS.dbf: no es un archivo común.\n";
        QTest::newRow("sound tables of another shape") << "activida as VENTAS" << restore << 1
                                                       << danado
                + "El archivo %2/VENTAS.dbf no tiene la estructura de la tabla VENTAS: tiene 3 campos y "
                  "la tabla lleva 9.\n";
        QTest::newRow("another catalogue") << "catbanco as admlocal" << restore << 1
                                           << danado
                + "El archivo %2/admlocal.dbf no tiene la estructura de la tabla admlocal: el campo número "
                  "1 es CLAVE N(3,0) y debe ser CLAVE N(4,0).\n";
        QTest::newRow("backups folder a link loop")
            << "loop" << QStringList{"--respaldos"} << 1
            << "No se pudo leer la carpeta %1/respaldos: la ruta pasa por demasiados enlaces simbólicos "
               "(quizá un enlace que apunta a sí mismo).\n";
        QTest::newRow("restored by name")
            << "" << restore << 0
            << "Se restauró el respaldo 20261206-091530 en la carpeta de datos %1.\nLas tablas que había quedaron "
               "en el respaldo ";
        QTest::newRow("a path, not a name")
            << "" << QStringList{"--restaurar", "../respaldos/20261206-091530"} << 1
            << "No hay ningún respaldo llamado «../respaldos/20261206-091530» en %1/respaldos.\n";
    }

    // Whatever else it says, the tables stay as they are.
    void commandLine()
    {
        QFETCH(QString, trouble);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, start);
        History h;
        InstanceLock window(h.path());
        if (trouble == "held")
            QCOMPARE(window.acquire(), InstanceLock::Result::Acquired);
        if (trouble == "none" || trouble == "loop")
            QVERIFY(QDir(backups::location(h.path())).removeRecursively());
        if (trouble == "loop")
            QVERIFY(QFile::link(backups::location(h.path()), backups::location(h.path())));
        if (trouble.contains(" as ")) {
            const QString into = h.backup(h.first, trouble.section(' ', 2) + ".dbf");
            QVERIFY(QFile::remove(into));
            QVERIFY(QFile::copy(h.backup(h.first, trouble.section(' ', 0, 0) + ".dbf"), into));
        }
        const QList<QByteArray> current = h.tables(h.path());
        const QString fifo = trouble == "fifo" ? h.backup(h.first, "VENTAS.dbf") : h.table("VENTAS.dbf");
        if (trouble.startsWith("fifo")) {
            QVERIFY(QFile::rename(fifo, fifo + ".aparte"));
            QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
        }
        const auto [got, said] = command(h.path(), arguments);
        if (trouble.startsWith("fifo")) {
            QVERIFY(QFile::remove(fifo));
            QVERIFY(QFile::rename(fifo + ".aparte", fifo));
        }
        QCOMPARE(got, status);
        start.replace("%1", h.path()).replace("%2", h.backup(h.first));
        QCOMPARE(said.left(start.size()), start);
        const bool restored = status == 0 && arguments[0] == "--restaurar";
        QCOMPARE(h.tables(h.path()), restored ? h.tables(h.backup(h.first)) : current);
    }

    void windowActsOnTheChosenBackup_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("item"); // 1: the sent application, 2: the oldest
        QTest::addColumn<QString>("said");
        QTest::newRow("restore")
            << "cmdRestaurar" << 2
            << "Se restauró la solicitud respaldada el 06/12/2026 09:15:30.\rLo que contenía "
               "antes quedó en el respaldo 20261209-091530.";
        QTest::newRow("a new application from the sent one")
            << "cmdPartirDe" << 1
            << "La solicitud nueva parte de la enviada el 07/12/2026 09:15:30; la enviada sigue guardada sin "
               "cambios.\rLo que contenía antes la solicitud quedó en el respaldo 20261209-091530.";
    }

    // The window lists what --respaldos lists; a damaged backup shows but is not offered; only the
    // sent application, marked, starts a new one.
    void windowActsOnTheChosenBackup()
    {
        QFETCH(QString, button);
        QFETCH(int, item);
        QFETCH(QString, said);
        Window h;
        QCOMPARE(h.list->topLevelItemCount(), 3);
        QCOMPARE(h.list->currentItem(), h.list->topLevelItem(1)); // the newest that can be restored
        QCOMPARE(h.list->topLevelItem(1)->text(4), "Sí, se guarda siempre");
        h.list->setCurrentItem(h.list->topLevelItem(item));
        QCOMPARE(h.window.findChild<QPushButton *>("cmdPartirDe")->isEnabled(), item == 1);
        h.window.findChild<QPushButton *>(button)->click();
        QCOMPARE(h.tables(h.path()), h.tables(h.backup(item == 1 ? h.second : h.first)));
        QCOMPARE(h.messages.texts(), QStringList{said});
    }

    void restoreCutShortIsFinishedAtTheNextStart_data()
    {
        QTest::addColumn<int>("done");     // tables restored before the disk filled up
        QTest::addColumn<bool>("gone");    // the backup was removed before the next start
        QTest::addColumn<QString>("stop"); // what the restore said; %1 data folder, %2 table stopped at
        QTest::addColumn<QString>("next"); // what the next start says
        const QString full =
            "La restauración del respaldo 20261206-091530 se detuvo en la tabla %2: No se pudo "
            "guardar la tabla %2 en el archivo %1/%2: el disco está lleno. ";
        QTest::newRow("stopped before the first table")
            << 0 << false
            << full.chopped(1).replace(": No se", " sin cambiar ninguna tabla: No se")
                + " Las tablas siguen como estaban; también quedaron en el respaldo 20261209-091530."
            << "";
        QTest::newRow("stopped after two tables")
            << 2 << false
            << full
                + "Ya se habían restaurado las tablas datoprov.dbf, VENTAS.dbf; las demás siguen como estaban. "
                  "Las tablas que había antes están en el respaldo 20261209-091530. La próxima vez que se abra, "
                  "KIVO terminará la restauración."
            << "La última vez que se usó KIVO, la restauración del respaldo 20261206-091530 quedó a medias; se "
               "terminó ahora. Las tablas que había antes están en el respaldo 20261209-091530.";
        QTest::newRow("stopped after two, and the backup gone since")
            << 2 << true << QString()
            << "La última vez que se usó KIVO, la restauración del respaldo 20261206-091530 quedó a medias, y "
               "ese respaldo ya no se puede usar para terminarla. Tablas que vienen del respaldo "
               "20261206-091530: datoprov.dbf. Tablas que siguen como estaban antes de restaurar: VENTAS.dbf, PROVMERC.dbf, provprod.dbf, activida.dbf, catbanco.dbf, admlocal.dbf. "
               "Las tablas de antes están completas en el respaldo 20261209-091530.";
    }

    // A full disk (or a kill) part-way: the next start finishes from the same backup, or says
    // which table came from where; and says it once.
    void restoreCutShortIsFinishedAtTheNextStart()
    {
        QFETCH(int, done);
        QFETCH(bool, gone);
        QFETCH(QString, stop);
        QFETCH(QString, next);
        History h;
        const QList<QByteArray> before = h.tables(h.path()), wanted = h.tables(h.backup(h.first));
        QString said;
        {
            // Seven tables into the backup of the current ones, the step's note, then `done` tables.
            test::FailingFileIo full(test::FailingFileIo::Step::Rename, 7 + 1 + done + 1, ENOSPC);
            said = errorOf([&] { backups::restore(h.path(), h.first, kMorning.addDays(3)); });
        }
        if (!stop.isEmpty())
            QCOMPARE(said, stop.arg(h.path(), backups::tableNames()[done]));
        if (gone)
            QVERIFY(QDir(h.backup(h.first)).removeRecursively());
        QCOMPARE(finishInterrupted(h.path()).join('|'), next);
        QCOMPARE(h.tables(h.path()), gone || done == 0 ? wanted.first(done) + before.sliced(done) : wanted);
        QCOMPARE(finishInterrupted(h.path()), QStringList());
    }
};

QTEST_MAIN(TestRestore)
#include "test_restore.moc"
