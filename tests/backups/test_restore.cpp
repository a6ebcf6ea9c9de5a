#include "info/restorewindow.h"
#include "platform/instancelock.h"
#include "support/backupdata.h"
#include "support/fixedclock.h"
#include "support/scriptedmessages.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace kivo;
using namespace kivo::test;

namespace {

const QDateTime kMorning(QDate(2026, 12, 6), QTime(9, 15, 30));

struct Run
{
    int status = -1;
    QString out, err;
};

// The installed program's command line over `folder`; none of these needs a screen.
Run command(const QString &folder, const QStringList &arguments)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("KIVO_DATA_DIR", folder);
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(KIVO_BINARY_DIR "/bin/kivo", arguments);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// Two applications backed up on two days, and a third one in the tables now.
struct History : Data
{
    History()
    {
        fill("KEX050315AB1", "EXPORTADORA DEL NORTE");
        first = backups::make(path(), kMorning);
        fill("ABC991231XY1", "ACME");
        second = backups::make(path(), kMorning.addDays(1));
        fill("XYZ010101AB1", "TERCERA");
    }
    QString first, second;
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
        QTest::addColumn<QString>(
            "start"); // of the output or, failing, the errors; %1 data folder, %2 a backup
        QTest::newRow("help") << "" << QStringList{"--help"} << 0 << "Uso: kivo [opción]\n";
        QTest::newRow("version") << "" << QStringList{"--version"} << 0 << "KIVO 1.0.0\n";
        QTest::newRow("unknown option")
            << "" << QStringList{"--borrar"} << 2
            << "kivo: la opción «--borrar» no existe.\nUse «kivo --help» para ver las opciones.\n";
        QTest::newRow("stray word") << "" << QStringList{"respaldos"} << 2
                                    << "kivo: no se esperaba «respaldos».\n";
        QTest::newRow("list, newest first")
            << "" << QStringList{"--respaldos"} << 0
            << "20261208-000000\tdañado: falta la tabla datoprov.dbf.\n"
               "20261207-091530\tABC991231XY1\tACME\t2 proveedores\t2 productos\n"
               "20261206-091530\tKEX050315AB1\tEXPORTADORA DEL NORTE\t1 proveedor\t1 producto\n";
        QTest::newRow("nothing to list")
            << "none" << QStringList{"--respaldos"} << 0 << "No hay respaldos en %1/respaldos.\n";
        QTest::newRow("a window holds the folder")
            << "held" << QStringList{"--restaurar", "20261206-091530"} << 1
            << "No se restauró nada: KIVO está abierto con la carpeta de datos %1.\nCiérrelo y vuelva a intentarlo.\n";
        QTest::newRow("a table of the backup damaged")
            << "damaged" << QStringList{"--restaurar", "20261206-091530"} << 1
            << "El respaldo 20261206-091530 no se puede restaurar: El archivo %2/VENTAS.dbf no es una tabla "
               "FoxPro válida: la cabecera anuncia 4 registros, pero el archivo solo alcanza para 3.\n";
        QTest::newRow("no such backup")
            << "" << QStringList{"--restaurar", "20261206-091531"} << 1
            << "No hay ningún respaldo llamado «20261206-091531» en %1/respaldos.\n";
        QTest::newRow("a path, not a name")
            << "" << QStringList{"--restaurar", "../respaldos/20261206-091530"} << 1
            << "No hay ningún respaldo llamado «../respaldos/20261206-091530» en %1/respaldos.\n";
    }

    // Whatever it says, the tables stay as they are.
    void commandLine()
    {
        QFETCH(QString, trouble);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, start);
        History h;
        QVERIFY(QDir().mkpath(h.backup("20261208-000000"))); // an empty folder: a damaged backup
        QVERIFY(QDir().mkpath(h.backup("fotos")));
        InstanceLock window(h.path());
        if (trouble == "held")
            QCOMPARE(window.acquire(), InstanceLock::Result::Acquired);
        const QFileInfo ventas(h.backup(h.first, "VENTAS.dbf"));
        if (trouble == "damaged")
            QVERIFY(QFile::resize(ventas.filePath(), ventas.size() - 10));
        if (trouble == "none")
            QVERIFY(QDir(backups::location(h.path())).removeRecursively());
        const QList<QByteArray> current = h.tables(h.path());
        const Run run = command(h.path(), arguments);
        QCOMPARE(run.status, status);
        start.replace("%1", h.path()).replace("%2", h.backup(h.first));
        QCOMPARE((status == 0 ? run.out : run.err).left(start.size()), start);
        QCOMPARE(h.tables(h.path()), current);
    }

    // The tables come back byte for byte; the ones replaced go into a new backup first.
    void restoreByName()
    {
        History h;
        const QList<QByteArray> replaced = h.tables(h.path());
        const Run run = command(h.path(), {"--restaurar", h.first});
        QCOMPARE(run.status, 0);
        QStringList made = h.backupNames();
        made.removeAll(h.first);
        made.removeAll(h.second);
        QCOMPARE(run.out,
                 QStringLiteral("Se restauró el respaldo %1 en la carpeta de datos %2.\n"
                                "Las tablas que había quedaron en el respaldo %3.\n")
                     .arg(h.first, h.path(), made.value(0)));
        QCOMPARE(h.tables(h.path()), h.tables(h.backup(h.first)));
        QCOMPARE(h.tables(h.backup(made.value(0))), replaced);
    }

    // The window lists what --respaldos lists; a damaged backup shows but is not offered.
    void restoreWindow()
    {
        History h;
        QVERIFY(QDir().mkpath(h.backup("20261208-000000")));
        ScriptedMessages messages;
        FixedClock clock(kMorning.addDays(3));
        const Services services{.messages = &messages,
                                .clock = &clock,
                                .files = nullptr,
                                .printing = nullptr,
                                .dataFolder = h.path(),
                                .driveA = {},
                                .packer = {}};
        RestoreWindow window(services);
        auto *list = window.findChild<QTreeWidget *>("lstRespaldos");
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->currentItem(), list->topLevelItem(1)); // the newest that can be restored
        list->setCurrentItem(list->topLevelItem(2));
        window.findChild<QPushButton *>("cmdRestaurar")->click();
        QCOMPARE(h.tables(h.path()), h.tables(h.backup(h.first)));
        QCOMPARE(messages.texts(),
                 QStringList{"Se restauró la solicitud respaldada el 06/12/2026 09:15:30." + QString(QChar(13))
                             + "Lo que contenía antes quedó en el respaldo "
                               "20261209-091530."});
    }
};

QTEST_MAIN(TestRestore)
#include "test_restore.moc"
