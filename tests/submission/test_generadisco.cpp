#include "store/dbftable.h"
#include "submission/generadisco.h"
#include "support/failingfiles.h"
#include "support/fixture.h"
#include "support/testhost.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

using namespace kivo;
using namespace kivo::test;

namespace {

const QString kCopiaIncompleta = "Copia incompleta verifique el\respacio en disco o utilice un disco nuevo";
const QString kConfirma = "Asegúrese de que el disco esté en la unidad A:";
const QString kRetire = "Puede retirar el disco de la unidad A:";

QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestGeneraDisco : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void stopsBeforeTouchingTheMedium()
    {
        enum Stop { EmptyRfc, MissingData, Cancelled };
        for (Stop stop : {EmptyRfc, MissingData, Cancelled}) {
            Fixture fx;
            fx.seed();
            QFile(fx.medium.filePath("OLD.DBF")).open(QIODevice::WriteOnly);
            TestHost host(fx.data.path());
            host.rfc = stop == EmptyRfc ? QStringLiteral("   ") : host.rfc;
            host.faltanDatos = stop == MissingData;
            fx.messages.answer(Answer::Cancel);
            generaDisco(host, fx.services);
            QCOMPARE(fx.mediumFiles(), QStringList{"OLD.DBF"});
            QCOMPARE(host.log, stop == EmptyRfc ? QStringList() : QStringList({"grabar", "verificaRequeridos"}));
            QCOMPARE(fx.messages.texts().join(""), stop == Cancelled ? kConfirma : "");
        }
    }

    void writesTheFiveTablesInPlaceOfOldOnes()
    {
        Fixture fx;
        fx.seed();
        for (const char *old : {"OLD.DBF", "otra.Dbf", "VENTAS.DBF", "nota.txt"}) {
            QFile f(fx.medium.filePath(old));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("viejo") == 5);
        }
        TestHost host(fx.data.path());

        generaDisco(host, fx.services);

        QCOMPARE(fx.mediumFiles(), (QStringList{"PROVMERC.dbf", "VENTAS.dbf", "activida.dbf", "datoprov.dbf",
                                                "nota.txt", "provprod.dbf"}));
        for (const QString &name : fx.mediumFiles())
            QCOMPARE(bytes(fx.medium.filePath(name)), name == "nota.txt" ? "viejo" : bytes(fx.path(name)));
        QCOMPARE(fx.messages.texts(), (QStringList{kConfirma, kRetire}));
        QCOMPARE(fx.messages.shown[0].title + fx.messages.shown[1].title, "Grabar DiscoDisco grabado.");
        // The record saved before the copy is current again, in edit.
        QCOMPARE(host.log, (QStringList{"grabar", "verificaRequeridos", "cancel"}));
        QCOMPARE(host.datoProv.editMode(), EditMode::Edit);
        QCOMPARE(host.datoProv.field("RFC").toString(), host.rfc);
    }

    void packerRunsBeforeTheCopies()
    {
        const QString pack9 = KIVO_BINARY_DIR "/bin/pack9";
        for (bool withPacker : {true, false}) {
            Fixture fx;
            fx.seed();
            TestHost host(fx.data.path());
            host.proveedor.moveNext();
            host.proveedor.deleteCurrent();
            fx.services.packer = withPacker ? pack9 : fx.data.filePath("no-such-pack9");
            generaDisco(host, fx.services);
            QCOMPARE(fx.messages.shown.size(), 2);
            const DbfTable copy = DbfTable::load(fx.medium.filePath("provprod.dbf"));
            QCOMPARE(copy.recordCount(), withPacker ? 2 : 3);
            QCOMPARE(copy.isDeleted(1), !withPacker);
            if (withPacker)
                QCOMPARE(copy.text(1, 0), "PROVEEDOR 2");
        }
        // A packer that hangs is stopped; its exit code comes back.
        RealFiles files;
        QCOMPARE(files.run("/bin/sleep", {"10"}, QDir::tempPath(), 300), -1);
        QCOMPARE(files.run("/bin/sh", {"-c", "exit 3"}, QDir::tempPath(), 5000), 3);
    }

    void badCopiesAreRemovedAndReported()
    {
        enum Medium { Missing, CutShort, Full };
        for (Medium medium : {Missing, CutShort, Full}) {
            Fixture fx;
            fx.seed();
            FailingFiles failing(3);
            fx.services.files = medium == CutShort ? &failing : fx.services.files;
            fx.services.driveA = medium == Missing ? "/nonexistent/kivo-a" : fx.services.driveA;
            // Room for the first three tables, in whole pages, and not one byte more.
            qint64 pages = 0;
            for (const char *name : {"datoprov.dbf", "PROVMERC.dbf", "provprod.dbf"})
                pages += (QFileInfo(fx.path(name)).size() + 4095) / 4096;
            const QStringList mount = {"-t", "tmpfs", "-o", QStringLiteral("size=%1").arg(pages * 4096), "tmpfs"};
            if (medium == Full && QProcess::execute("mount", mount + QStringList{fx.medium.path()}))
                QSKIP("mounting a small medium needs root");
            auto unmount = qScopeGuard([&] { if (medium == Full) QProcess::execute("umount", {fx.medium.path()}); });
            TestHost host(fx.data.path());
            generaDisco(host, fx.services);
            const QStringList kept = medium == Missing ? QStringList() : QStringList{"PROVMERC.dbf", "datoprov.dbf", "provprod.dbf"};
            QCOMPARE(fx.messages.texts().mid(1), QStringList(5 - kept.size(), kCopiaIncompleta) << kRetire);
            QCOMPARE(fx.messages.shown[1].title, "KIVO");
            QCOMPARE(fx.mediumFiles(), kept);
            for (const QString &name : kept)
                QCOMPARE(bytes(fx.medium.filePath(name)), bytes(fx.path(name)));
        }
    }
};

QTEST_MAIN(TestGeneraDisco)
#include "test_generadisco.moc"
