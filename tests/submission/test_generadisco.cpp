#include "store/database.h"
#include "store/dbftable.h"
#include "submission/generadisco.h"
#include "submission/textos.h"
#include "support/failingfiles.h"
#include "support/fixture.h"
#include "support/testhost.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QtTest>

#include <unistd.h>

using namespace kivo;
using namespace kivo::test;

namespace {

const QStringList kFive = {QStringLiteral("datoprov.dbf"), QStringLiteral("PROVMERC.dbf"),
                           QStringLiteral("provprod.dbf"), QStringLiteral("VENTAS.dbf"),
                           QStringLiteral("activida.dbf")};

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

void touch(const QString &path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("viejo");
}

QString pack9()
{
    return QStringLiteral(KIVO_BINARY_DIR "/bin/pack9");
}

} // namespace

class TestGeneraDisco : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        if (!Fixture().ready())
            QSKIP("delivered tables not built");
    }

    void stopsBeforeTouchingTheMedium()
    {
        enum Stop { EmptyRfc, MissingData, Cancelled };
        for (Stop stop : {EmptyRfc, MissingData, Cancelled}) {
            Fixture fx;
            fx.seed();
            touch(fx.medium.filePath(QStringLiteral("OLD.DBF")));
            TestHost host(fx.data.path());
            host.rfc = stop == EmptyRfc ? QStringLiteral("   ") : host.rfc;
            host.faltanDatos = stop == MissingData;
            fx.messages.answer(Answer::Cancel);

            generaDisco(host, fx.services);

            QCOMPARE(fx.mediumFiles(), QStringList{QStringLiteral("OLD.DBF")});
            if (stop == EmptyRfc) {
                QVERIFY(host.log.isEmpty());
                QVERIFY(fx.messages.shown.isEmpty());
            } else if (stop == MissingData) {
                QCOMPARE(host.log, (QStringList{"grabar", "verificaRequeridos"}));
                QVERIFY(fx.messages.shown.isEmpty());
            } else {
                QCOMPARE(fx.messages.texts(), QStringList{textos::kConfirmaDisco});
                QCOMPARE(fx.messages.shown[0].title, QStringLiteral("Grabar Disco"));
                QCOMPARE(fx.messages.shown[0].buttons, Buttons::OkCancel);
            }
        }
    }

    void writesTheFiveTablesInPlaceOfOldOnes()
    {
        Fixture fx;
        fx.seed();
        for (const char *old : {"OLD.DBF", "otra.Dbf", "VENTAS.DBF", "nota.txt"})
            touch(fx.medium.filePath(QString::fromLatin1(old)));
        TestHost host(fx.data.path());

        for (int run = 0; run < 2; ++run) {
            fx.messages.clear();
            host.log.clear();
            generaDisco(host, fx.services);

            QCOMPARE(fx.mediumFiles(), sorted(kFive + QStringList{QStringLiteral("nota.txt")}));
            QCOMPARE(bytes(fx.medium.filePath("nota.txt")), QByteArray("viejo"));
            for (const QString &name : kFive)
                QCOMPARE(bytes(fx.medium.filePath(name)), bytes(fx.path(name)));

            QCOMPARE(fx.messages.shown.size(), 2);
            QCOMPARE(fx.messages.shown[1].text, QStringLiteral("Puede retirar el disco de la unidad A:"));
            QCOMPARE(fx.messages.shown[1].title, QStringLiteral("Disco grabado."));
            // The record saved before the copy is current again, in edit, the window locked.
            QCOMPARE(host.log, (QStringList{"grabar", "verificaRequeridos", "cancel"}));
            QCOMPARE(host.datoProv.editMode(), EditMode::Edit);
            QCOMPARE(host.datoProv.field(QStringLiteral("RFC")).toString(), host.rfc);
        }

        Database onMedium(fx.medium.path());
        QCOMPARE(onMedium.table(QStringLiteral("provprod")).recordCount(), 3);
        const DbfTable &app = onMedium.table(QStringLiteral("datoprov"));
        QCOMPARE(app.value(0, app.fieldIndex(QStringLiteral("RFC"))).toString(), host.rfc);
    }

    void packerRunsBeforeTheCopies()
    {
        if (!QFileInfo(pack9()).isExecutable())
            QSKIP("pack9 not built");
        for (bool withPacker : {true, false}) {
            Fixture fx;
            fx.seed(3);
            TestHost host(fx.data.path());
            host.proveedor.moveNext();
            host.proveedor.deleteCurrent();
            FailingFiles files(5);
            fx.services.files = &files;
            fx.services.packer = withPacker ? pack9() : fx.data.filePath("no-such-pack9");

            generaDisco(host, fx.services);

            QCOMPARE(files.calls.first(), QStringLiteral("run"));
            QCOMPARE(fx.messages.shown.size(), 2);
            const DbfTable copy = DbfTable::load(fx.medium.filePath("provprod.dbf"));
            QCOMPARE(copy.recordCount(), withPacker ? 2 : 3);
            QCOMPARE(copy.isDeleted(1), !withPacker);
            if (withPacker)
                QCOMPARE(copy.text(1, 0), QStringLiteral("PROVEEDOR 2"));
        }
    }

    void missingMediumReportsEveryTable()
    {
        qputenv("KIVO_DRIVE_A", "/nonexistent/kivo-a");
        auto unset = qScopeGuard([] { qunsetenv("KIVO_DRIVE_A"); });
        for (const QString &drive : {QString(), QStringLiteral("/nonexistent/kivo-a")}) {
            Fixture fx;
            fx.seed();
            fx.services.driveA = drive;
            TestHost host(fx.data.path());

            generaDisco(host, fx.services);

            QCOMPARE(fx.messages.shown.size(), 7);
            for (int i = 1; i <= 5; ++i) {
                QCOMPARE(fx.messages.shown[i].text, QStringLiteral("Copia incompleta verifique el\r"
                                                                   "espacio en disco o utilice un disco nuevo"));
                QCOMPARE(fx.messages.shown[i].title, QStringLiteral("KIVO"));
            }
            QCOMPARE(fx.messages.shown[6].text, textos::kRetireDisco);
        }
    }

    void copyCutShortIsRemovedAndReported()
    {
        Fixture fx;
        fx.seed();
        FailingFiles files(3);
        fx.services.files = &files;
        TestHost host(fx.data.path());

        generaDisco(host, fx.services);

        QCOMPARE(fx.messages.texts().count(textos::kCopiaIncompleta), 2);
        QCOMPARE(fx.mediumFiles(), sorted(kFive.mid(0, 3)));
    }

    void fullMediumKeepsOnlyWholeTables()
    {
        if (geteuid() != 0)
            QSKIP("mounting a small medium needs root");
        Fixture fx;
        fx.seed();
        // Room for the first three tables, in whole pages, and not one byte more.
        qint64 pages = 0;
        for (const char *name : {"datoprov.dbf", "PROVMERC.dbf", "provprod.dbf"})
            pages += (QFileInfo(fx.path(QString::fromLatin1(name))).size() + 4095) / 4096;
        const QString size = QStringLiteral("size=%1").arg(pages * 4096);
        QCOMPARE(QProcess::execute("mount", {"-t", "tmpfs", "-o", size, "tmpfs", fx.medium.path()}), 0);
        auto unmount = qScopeGuard([&] { QProcess::execute("umount", {fx.medium.path()}); });
        TestHost host(fx.data.path());

        generaDisco(host, fx.services);

        QCOMPARE(fx.messages.texts().count(textos::kCopiaIncompleta), 2);
        QCOMPARE(fx.messages.shown.last().text, textos::kRetireDisco);
        QCOMPARE(fx.mediumFiles(), sorted(kFive.mid(0, 3)));
        for (const QString &name : fx.mediumFiles())
            QCOMPARE(bytes(fx.medium.filePath(name)), bytes(fx.path(name)));
    }

    void packerThatHangsIsStopped()
    {
        RealFiles files;
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(files.run("/bin/sleep", {"10"}, QDir::tempPath(), 300), -1);
        QVERIFY(timer.elapsed() < 5000);
        QCOMPARE(files.run("/bin/sh", {"-c", "exit 3"}, QDir::tempPath(), 5000), 3);
    }
};

QTEST_MAIN(TestGeneraDisco)
#include "test_generadisco.moc"
