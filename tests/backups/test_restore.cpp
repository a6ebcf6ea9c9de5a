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

// The installed program's command line over `folder`.
Run command(const QString &folder, const QStringList &arguments)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KIVO_DATA_DIR"), folder);
    env.remove(QStringLiteral("DISPLAY")); // none of these needs a screen
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KIVO_BINARY_DIR "/bin/kivo"), arguments);
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
    void listNewestFirst()
    {
        History h;
        QVERIFY(QDir().mkpath(h.backup("20261208-000000"))); // an empty folder: a damaged backup
        QVERIFY(QDir().mkpath(h.backup("fotos")));
        const Run run = command(h.path(), {"--respaldos"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString());
        QCOMPARE(run.out, "20261208-000000\tdañado: falta la tabla datoprov.dbf.\n"
                          "20261207-091530\tABC991231XY1\tACME\t2 proveedores\t2 productos\n"
                          "20261206-091530\tKEX050315AB1\tEXPORTADORA DEL NORTE\t1 proveedor\t1 producto\n");
        Data none;
        QCOMPARE(command(none.path(), {"--respaldos"}).out,
                 QStringLiteral("No hay respaldos en %1.\n").arg(backups::location(none.path())));
    }

    // The tables come back byte for byte; the ones replaced go into a new backup first.
    void restoreByName()
    {
        History h;
        const QList<QByteArray> replaced = h.tables(h.path());
        const Run run = command(h.path(), {"--restaurar", h.first});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString());
        QStringList made = h.backupNames();
        made.removeAll(h.first);
        made.removeAll(h.second);
        QCOMPARE(made.size(), 1);
        QCOMPARE(run.out, QStringLiteral("Se restauró el respaldo %1 en la carpeta de datos %2.\n"
                                         "Las tablas que había quedaron en el respaldo %3.\n")
                              .arg(h.first, h.path(), made.first()));
        QCOMPARE(h.tables(h.path()), h.tables(h.backup(h.first)));
        QCOMPARE(h.tables(h.backup(made.first())), replaced);
    }

    void restoreRefusals_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<QString>("error");
        QTest::newRow("a window holds the folder") << "held"
            << "No se restauró nada: KIVO está abierto con la carpeta de datos %1.\nCiérrelo y vuelva a intentarlo.\n";
        QTest::newRow("a table of the backup damaged") << "damaged"
            << "El respaldo 20261206-091530 no se puede restaurar: El archivo %2/VENTAS.dbf no es una tabla "
               "FoxPro válida: la cabecera anuncia 4 registros, pero el archivo solo alcanza para 3.\n";
        QTest::newRow("a table of the backup missing") << "missing"
            << "El respaldo 20261206-091530 no se puede restaurar: falta la tabla admlocal.dbf.\n";
        QTest::newRow("no such backup") << "20261206-091531"
            << "No hay ningún respaldo llamado «20261206-091531» en %1/respaldos.\n";
        QTest::newRow("a path, not a name") << "../respaldos/20261206-091530"
            << "No hay ningún respaldo llamado «../respaldos/20261206-091530» en %1/respaldos.\n";
    }

    void restoreRefusals()
    {
        QFETCH(QString, trouble);
        QFETCH(QString, error);
        History h;
        InstanceLock window(h.path());
        if (trouble == "held")
            QCOMPARE(window.acquire(), InstanceLock::Result::Acquired);
        const QString ventas = h.backup(h.first, "VENTAS.dbf");
        if (trouble == "damaged")
            QVERIFY(QFile::resize(ventas, QFileInfo(ventas).size() - 10));
        if (trouble == "missing")
            QVERIFY(QFile::remove(h.backup(h.first, "admlocal.dbf")));
        const QList<QByteArray> current = h.tables(h.path());
        const Run run = command(h.path(), {"--restaurar", trouble.contains("2026") ? trouble : h.first});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.err, QString(error).replace("%1", h.path()).replace("%2", h.backup(h.first)));
        QCOMPARE(h.tables(h.path()), current);
        QCOMPARE(h.backupNames().size(), 2);
    }

    void optionsAsUsersExpect_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("start"); // of what it prints, on the output or, failing, the errors
        QTest::newRow("help") << QStringList{"--help"} << 0 << "Uso: kivo [opción]\n";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "KIVO 1.0.0\n";
        QTest::newRow("unknown option") << QStringList{"--borrar"} << 2
            << "kivo: la opción «--borrar» no existe.\nUse «kivo --help» para ver las opciones.\n";
        QTest::newRow("stray word") << QStringList{"respaldos"} << 2 << "kivo: no se esperaba «respaldos».\n";
        QTest::newRow("two names") << QStringList{"--restaurar", "a", "b"} << 2 << "kivo: no se esperaba «b».\n";
    }

    void optionsAsUsersExpect()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, start);
        Data data;
        const Run run = command(data.path(), arguments);
        QCOMPARE(run.status, status);
        QCOMPARE((status == 0 ? run.out : run.err).left(start.size()), start);
    }

    // The window lists what --respaldos lists; a damaged backup shows but cannot be chosen.
    void restoreWindow()
    {
        History h;
        QVERIFY(QDir().mkpath(h.backup("20261208-000000")));
        ScriptedMessages messages;
        FixedClock clock(kMorning.addDays(3));
        const Services services{.messages = &messages, .clock = &clock, .files = nullptr, .printing = nullptr,
                                .dataFolder = h.path(), .driveA = {}, .packer = {}};
        const QList<QByteArray> current = h.tables(h.path());

        RestoreWindow cancelled(services);
        cancelled.findChild<QPushButton *>("cmdCancelar")->click();
        QCOMPARE(cancelled.result(), int(QDialog::Rejected));
        QCOMPARE(h.tables(h.path()), current);

        RestoreWindow window(services);
        auto *list = window.findChild<QTreeWidget *>("lstRespaldos");
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(0)->flags() & Qt::ItemIsSelectable, Qt::ItemFlags());
        QStringList second;
        for (int c = 0; c < 4; ++c)
            second << list->topLevelItem(2)->text(c);
        QCOMPARE(second, (QStringList{"06/12/2026 09:15:30", "KEX050315AB1", "EXPORTADORA DEL NORTE", "1"}));
        QCOMPARE(list->currentItem(), list->topLevelItem(1)); // the newest that can be restored
        list->setCurrentItem(list->topLevelItem(2));
        window.findChild<QPushButton *>("cmdRestaurar")->click();
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(window.restored(), h.first);
        QCOMPARE(h.tables(h.path()), h.tables(h.backup(h.first)));
        QCOMPARE(h.tables(h.backup("20261209-091530")), current);
        QCOMPARE(messages.texts(), QStringList{"Se restauró la solicitud respaldada el 06/12/2026 09:15:30."
                                               + QString(QChar(13)) + "Lo que contenía antes quedó en el respaldo "
                                               "20261209-091530."});
    }
};

QTEST_MAIN(TestRestore)
#include "test_restore.moc"
