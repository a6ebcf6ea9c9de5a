// The file and process seam the submission disk stands on, and the pointer over questions.

#include "platform/files.h"
#include "platform/waitcursor.h"
#include "support/failingfileio.h"
#include "support/scriptedmessages.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace kivo;

namespace {

// The pointer's shape now; ArrowCursor stands also for no override at all.
Qt::CursorShape pointer()
{
    const QCursor *c = QGuiApplication::overrideCursor();
    return c ? c->shape() : Qt::ArrowCursor;
}

// A program that ends only once `file` exists: it ends in time only if the caller's event
// loop runs while it waits.
const QStringList kWaitForFile = {QStringLiteral("-c"),
                                  QStringLiteral("while [ ! -e \"$0\" ]; do sleep 0.01; done")};

constexpr int kGenerous = 60 * 1000;

void touch(const QString &path)
{
    QFile(path).open(QIODevice::WriteOnly);
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameFolderComparesTheRealFolders_data()
    {
        QTest::addColumn<QString>("other");
        QTest::addColumn<bool>("same");
        QTest::newRow("the folder itself") << "data" << true;
        QTest::newRow("another spelling") << "data/./../data/" << true;
        QTest::newRow("a link to it") << "link" << true;
        QTest::newRow("another folder") << "medium" << false;
        QTest::newRow("a folder inside it") << "data/sub" << false;
        QTest::newRow("a folder that is not there") << "nowhere" << false;
        QTest::newRow("no folder at all") << "" << false;
    }
    void sameFolderComparesTheRealFolders()
    {
        QFETCH(QString, other);
        QFETCH(bool, same);
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkpath("data/sub"));
        QVERIFY(root.mkpath("medium"));
        QVERIFY(QFile::link(root.filePath("data"), root.filePath("link")));
        QCOMPARE(sameFolder(other.isEmpty() ? QString() : root.filePath(other), root.filePath("data")), same);
    }

    void copyNamesWhyItFailed_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("why"); // %1 stands for the temporary folder
        QTest::newRow("a folder in place of the table")
            << "carpeta.dbf" << "medio/carpeta.dbf"
            << "No se pudo abrir el archivo %1/carpeta.dbf: es una carpeta.";
        QTest::newRow("a folder in place of the copy")
            << "VENTAS.dbf" << "medio/ocupado.dbf"
            << "No se pudo guardar la tabla ocupado en el archivo %1/medio/ocupado.dbf: no es un archivo común.";
        QTest::newRow("no table") << "falta.dbf" << "medio/falta.dbf"
                                  << "No se pudo abrir el archivo %1/falta.dbf: no existe.";
        QTest::newRow("no medium") << "VENTAS.dbf" << "sin-medio/VENTAS.dbf"
                                   << "No se pudo guardar la tabla VENTAS en el archivo %1/sin-medio/VENTAS.dbf: no existe.";
    }
    void copyNamesWhyItFailed()
    {
        QFETCH(QString, source);
        QFETCH(QString, destination);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QDir root(dir.path());
        QVERIFY(root.mkpath("medio/ocupado.dbf"));
        QVERIFY(root.mkpath("carpeta.dbf"));
        touch(root.filePath("VENTAS.dbf"));
        RealFiles files;
        QString reason;
        QCOMPARE(files.copy(root.filePath(source), root.filePath(destination), &reason), false);
        QCOMPARE(reason, why.arg(dir.path()));
    }

    void copyReplacesTheTableUnderEverySpelling_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::newRow("empty medium") << QStringList();
        QTest::newRow("same name") << QStringList{"VENTAS.dbf"};
        QTest::newRow("other spelling") << QStringList{"ventas.DBF"};
        QTest::newRow("both") << QStringList{"VENTAS.dbf", "VENTAS.DBF"};
    }
    void copyReplacesTheTableUnderEverySpelling()
    {
        QFETCH(QStringList, before);
        QTemporaryDir data, medium;
        QFile source(QDir(data.path()).filePath("ventas.dbf"));
        QVERIFY(source.open(QIODevice::WriteOnly));
        source.write("tabla nueva");
        source.close();
        for (const QString &name : before) {
            QFile old(QDir(medium.path()).filePath(name));
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("vieja");
        }
        RealFiles files;
        QString why;
        QVERIFY(files.copy(QDir(data.path()).filePath("VENTAS.dbf"), QDir(medium.path()).filePath("VENTAS.dbf"), &why));
        QCOMPARE(why, QString());
        // Hidden entries too: no scratch file and no lock file stays on the medium.
        QCOMPARE(QDir(medium.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"VENTAS.dbf"});
        QVERIFY(files.sameBytes(source.fileName(), QDir(medium.path()).filePath("VENTAS.dbf")));
    }

    // The old table on the medium is replaced only by a whole copy: a failure at any step of
    // the write leaves it as it was, and no scratch file beside it.
    void aFailedCopyLeavesTheOldTable_data()
    {
        using Step = test::FailingFileIo::Step;
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        QTest::newRow("create") << int(Step::Create) << ENOSPC << "el disco está lleno";
        QTest::newRow("write") << int(Step::Write) << EIO << "error de entrada/salida del disco";
        QTest::newRow("flush") << int(Step::Flush) << EIO << "error de entrada/salida del disco";
        QTest::newRow("close") << int(Step::Close) << EDQUOT << "se agotó la cuota de disco";
        QTest::newRow("rename") << int(Step::Rename) << EROFS << "el medio es de solo lectura";
    }
    void aFailedCopyLeavesTheOldTable()
    {
        QFETCH(int, step);
        QFETCH(int, error);
        QFETCH(QString, reason);
        QTemporaryDir data, medium;
        const QString source = QDir(data.path()).filePath("VENTAS.dbf");
        const QString copy = QDir(medium.path()).filePath("VENTAS.dbf");
        for (const auto &[path, text] : {std::pair{source, "tabla nueva"}, std::pair{copy, "tabla vieja"}}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
        }
        QString why;
        {
            const test::FailingFileIo failing(test::FailingFileIo::Step(step), 1, error);
            QCOMPARE(RealFiles().copy(source, copy, &why), false);
        }
        QCOMPARE(why, QStringLiteral("No se pudo guardar la tabla VENTAS en el archivo %1: %2.").arg(copy, reason));
        QFile old(copy);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("tabla vieja"));
        QCOMPARE(QDir(medium.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"VENTAS.dbf"});
    }

    void scratchOfADeadCopyIsRemoved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("kept");
        QTest::newRow("hidden scratch") << ".VENTAS.dbf.kivoa1B2c3" << false;
        QTest::newRow("hidden scratch of an older version") << ".VENTAS.dbf.a1B2c3" << false;
        QTest::newRow("scratch of an older version") << "datoprov.dbf.tmp" << false;
        QTest::newRow("a table") << "VENTAS.dbf" << true;
        QTest::newRow("a note") << "nota.txt" << true;
        QTest::newRow("another hidden file") << ".oculto" << true;
    }
    void scratchOfADeadCopyIsRemoved()
    {
        QFETCH(QString, name);
        QFETCH(bool, kept);
        QTemporaryDir medium;
        touch(QDir(medium.path()).filePath(name));
        RealFiles().removeScratch(medium.path());
        QCOMPARE(QFile::exists(QDir(medium.path()).filePath(name)), kept);
    }

    void runReturnsTheExitStatus_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::newRow("success") << "/bin/sh" << QStringList{"-c", "exit 0"} << 0;
        QTest::newRow("failure") << "/bin/sh" << QStringList{"-c", "exit 3"} << 3;
        QTest::newRow("crash") << "/bin/sh" << QStringList{"-c", "kill -9 $$"} << -1;
        QTest::newRow("no program") << "/no/such/pack9" << QStringList() << -1;
    }
    void runReturnsTheExitStatus()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QCOMPARE(RealFiles().run(program, arguments, QDir::tempPath(), kGenerous), status);
    }

    void runKillsAProgramThatOverruns()
    {
        QTemporaryDir dir;
        const QString never = QDir(dir.path()).filePath("never");
        // Waits for a file nobody makes: only the limit ends it.
        QCOMPARE(RealFiles().run("/bin/sh", kWaitForFile + QStringList{never}, dir.path(), 200), -1);
    }

    // While the program runs the windows paint (the event loop turns), show the hourglass and
    // take no input; afterwards input is taken again.
    void runKeepsTheWindowAliveButDeaf()
    {
        QTemporaryDir dir;
        const QString go = QDir(dir.path()).filePath("go");
        QPushButton button("botón");
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QSignalSpy clicks(&button, &QPushButton::clicked);
        Qt::CursorShape during = Qt::BlankCursor;
        QTimer::singleShot(0, [&] {
            during = pointer();
            QTest::mouseClick(&button, Qt::LeftButton);
            QTest::keyClick(&button, Qt::Key_Space);
            touch(go);
        });
        QCOMPARE(RealFiles().run("/bin/sh", kWaitForFile + QStringList{go}, dir.path(), kGenerous), 0);
        QCOMPARE(during, Qt::WaitCursor);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(pointer(), Qt::ArrowCursor);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks.count(), 1);
    }

    void questionsShowTheArrow_data()
    {
        QTest::addColumn<bool>("working");
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("after");
        QTest::newRow("in the middle of a command") << true << int(Qt::ArrowCursor) << int(Qt::WaitCursor);
        QTest::newRow("outside any command") << false << int(Qt::ArrowCursor) << int(Qt::ArrowCursor);
    }
    void questionsShowTheArrow()
    {
        QFETCH(bool, working);
        QFETCH(int, asked);
        QFETCH(int, after);
        struct PointerMessages : ScriptedMessages
        {
            Qt::CursorShape seen = Qt::BlankCursor;
            Answer ask(const MessageBox &box) override
            {
                seen = pointer();
                return ScriptedMessages::ask(box);
            }
        } messages;
        std::optional<WaitCursor> command;
        if (working)
            command.emplace();
        messages.show(kProgramTitle, "¿Seguro?", Buttons::YesNo);
        QCOMPARE(int(messages.seen), asked);
        QCOMPARE(int(pointer()), after);
        command.reset();
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }
};

QTEST_MAIN(TestFiles)
#include "test_files.moc"
