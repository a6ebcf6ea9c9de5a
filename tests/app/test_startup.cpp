// The real program, started in a prepared environment, refuses with the true reason on stderr.

#include "store/atomicfile.h"
#include "store/datafolder.h"
#include "store/dbferror.h"
#include "store/textos.h"
#include "support/testfiles.h"
#include "support/failingfileio.h"

#include <QtTest>

#include <cerrno>

class TestStartup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    // As the messages show it: with the system's own separators.
    QString shown(const QString &name) const { return QDir::toNativeSeparators(path(name)); }

    // The first line on the standard error, or what came before the program ended silently.
    static QString firstMessage(const QProcessEnvironment &env, const QStringList &arguments)
    {
        QProcess kivo;
        kivo.setProcessEnvironment(env);
        kivo.setReadChannel(QProcess::StandardError);
        kivo.start(QStringLiteral(KIVO_BINARY_DIR "/bin/kivo"), arguments);
        QByteArray err;
        // Waits for the message, not for a time: the cap only ends a program that never speaks.
        while (!err.contains('\n') && kivo.state() != QProcess::NotRunning && kivo.waitForReadyRead(30000))
            err += kivo.readAllStandardError();
        err += kivo.readAllStandardError();
        kivo.kill();
        kivo.waitForFinished(30000);
        return QString::fromUtf8(err.left(err.indexOf('\n'))).remove(QLatin1Char('\r'));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QFile(path("archivo")).open(QIODevice::WriteOnly));
        QVERIFY(QDir().mkpath(path("tablacarpeta/datoprov.dbf")));
#ifndef Q_OS_WIN
        QVERIFY(QFile::link(path("bucle2"), path("bucle1")));
        QVERIFY(QFile::link(path("bucle1"), path("bucle2")));
        QVERIFY(QDir().mkpath(path("solo")));
        QVERIFY(kivo::test::copyDeliveredTables(path("solo")));
        QVERIFY(QFile::setPermissions(path("solo"), QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(QDir().mkpath(path("tablaenbucle")));
        QVERIFY(QFile::link(path("tablaenbucle/datoprov.dbf"), path("tablaenbucle/datoprov.dbf")));
#endif
    }

    void cleanupTestCase()
    {
        QFile::setPermissions(path("solo"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void refusedWithTheTrueReason_data()
    {
        QTest::addColumn<QString>("home");    // "-" unset
        QTest::addColumn<QString>("dataDir"); // "-" unset
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("arguments");
        const QString noUsa = QStringLiteral("No se puede usar la carpeta de datos ");
        const QString unset = "-";
        QTest::newRow("relative data folder")
            << path("") << "datos/kivo" << kivo::textos::kRutaRelativa.arg("KIVO_DATA_DIR", "datos/kivo")
            << QStringList();
        QTest::newRow("a file as the data folder")
            << unset << path("archivo") << noUsa + shown("archivo") + ": es un archivo y no una carpeta."
            << QStringList();
        QTest::newRow("a folder in a table's place")
            << unset << path("tablacarpeta")
            << noUsa + shown("tablacarpeta") + ": datoprov.dbf es una carpeta y no un archivo."
            << QStringList();
#ifndef Q_OS_WIN
        // Windows has a fixed data folder instead of one under HOME, no permission bits on folders,
        // and shortcut files instead of symbolic links.
        const QString sinDonde = QStringLiteral("No se sabe dónde guardar los datos de KIVO: ");
        const QString noHome = sinDonde
            + "no están definidas ni la variable KIVO_DATA_DIR ni la carpeta personal (variable HOME).";
        QTest::newRow("no home, no data folder") << unset << unset << noHome << QStringList();
        // The listing and the restore by name find the folder on their own path; they too say why.
        QTest::newRow("the same, listing") << unset << unset << noHome << QStringList{"--respaldos"};
        QTest::newRow("the same, restoring")
            << unset << unset << noHome << QStringList{"--restaurar", "20261206-091530"};
        const QString emptyHome = "la variable HOME está vacía y la variable KIVO_DATA_DIR no está definida.";
        QTest::newRow("empty home") << QString("") << unset << sinDonde + emptyHome << QStringList();
        const QString loop = " es un enlace que apunta a sí mismo, directamente o a través de otros enlaces.";
        QTest::newRow("a link loop") << unset << path("bucle1")
                                     << noUsa + path("bucle1") + ": " + path("bucle1") + loop << QStringList();
        QTest::newRow("read-only folder")
            << unset << path("solo")
            << noUsa + path("solo") + ": es de solo lectura y KIVO necesita guardar en ella la solicitud."
            << QStringList();
        QTest::newRow("a table that links to itself")
            << unset << path("tablaenbucle")
            << noUsa + path("tablaenbucle") + ": " + path("tablaenbucle/datoprov.dbf") + loop << QStringList();
#endif
    }

    void refusedWithTheTrueReason()
    {
        QFETCH(QString, home);
        QFETCH(QString, dataDir);
        QFETCH(QStringList, arguments);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("*=false")); // Qt's own notes off stderr
        const auto set = [&](const char *name, const QString &value) {
            if (value == QLatin1String("-"))
                env.remove(QLatin1String(name));
            else
                env.insert(QLatin1String(name), value);
        };
        set("HOME", home);
        set("KIVO_DATA_DIR", dataDir);
        QTEST(firstMessage(env, arguments), "message");
        QVERIFY2(!QFileInfo::exists(QStringLiteral("/KIVO")), "a data folder at the root");
    }

    // `kivo --pendientes` needs no screen: the list on the standard output, 1 while anything
    // is pending; a folder it cannot take says 2, not "pending".
    void pendingListOnTheCommandLine()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.remove(QStringLiteral("DISPLAY"));
        QProcess kivo;
        const auto run = [&](const QString &folder) {
            env.insert(QStringLiteral("KIVO_DATA_DIR"), path(folder));
            kivo.setProcessEnvironment(env);
            kivo.start(QStringLiteral(KIVO_BINARY_DIR "/bin/kivo"), {QStringLiteral("--pendientes")});
            return kivo.waitForFinished(60000) ? kivo.exitCode() : -1;
        };
        QCOMPARE(run("pendientes"), 1);
        QCOMPARE(QString::fromUtf8(kivo.readAllStandardOutput()).section(QLatin1Char('\n'), 0, 0).remove('\r'),
                 QStringLiteral("Datos Generales — RFC: El RFC no puede ser menor de 13"));
        QCOMPARE(run("tablacarpeta"), 2);
    }

    // A copy that fails names the file, the folder and the system's reason, in one sentence.
    void failedCopySaysWhy()
    {
        QTemporaryDir folder;
        kivo::test::FailingFileIo io(kivo::test::FailingFileIo::Step::Write, 1, ENOSPC);
        const QString message = kivo::test::errorOf(
            [&] { kivo::datafolder::provision(folder.path(), QStringLiteral(KIVO_BUILD_DATA_DIR)); });
        // The first table copied, in name order.
        const QString failed = kivo::textos::kNoGuarda.arg(
            "PROVMERC.dbf", QDir::toNativeSeparators(folder.filePath("PROVMERC.dbf")), "el disco está lleno");
        QCOMPARE(message,
                 kivo::textos::kNoCopia.arg("PROVMERC.dbf", QDir::toNativeSeparators(folder.path()),
                                            failed.chopped(1)));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
