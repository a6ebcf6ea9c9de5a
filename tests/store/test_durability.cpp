// A failing device at any step of a save leaves the old file whole and no scratch behind.

#include "store/atomicfile.h"
#include "store/dbftable.h"
#include "support/failingfileio.h"
#include "support/storefixture.h"

#include <QtTest>

using namespace kivo;
using namespace kivo::test;

using Step = FailingFileIo::Step;
Q_DECLARE_METATYPE(FailingFileIo::Step)

static QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

class TestDurability : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_folder;
    QString file(const QString &name) const { return QDir(m_folder).filePath(name); }

private Q_SLOTS:
    void init()
    {
        QDir().mkpath(m_folder = m_dir.filePath(QTest::currentTestFunction()
                                                + QString::fromLatin1(QTest::currentDataTag())));
    }

    // A copy takes the same steps (test_generadisco holds its message on a disk).
    void aFailedSaveLeavesTheTableAsItWas_data()
    {
        QTest::addColumn<Step>("step");
        QTest::addColumn<int>("nth");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        QTest::newRow("scratch refused") << Step::Create << 1 << EACCES << "permiso denegado";
        QTest::newRow("a write") << Step::Write << 3 << ENOSPC << "el disco está lleno";
        QTest::newRow("flush") << Step::Flush << 1 << EIO << "error de entrada/salida del disco";
        QTest::newRow("rename") << Step::Rename << 1 << ENODEV
                                << "el medio no está disponible (¿se retiró el disco?)";
    }
    void aFailedSaveLeavesTheTableAsItWas()
    {
        QFETCH(Step, step);
        QFETCH(int, nth);
        QFETCH(int, error);
        QFETCH(QString, reason);
        const QString path = file(QStringLiteral("VENTAS.dbf"));
        // Saved, then grown in memory to many times its size, every row changed.
        DbfTable bigger = writeTable(path, {"TEXTO C 200 0"}, QStringList(20, QStringLiteral("A")));
        for (int r = 0; r < 700; ++r)
            bigger.setValue(r < bigger.recordCount() ? r : bigger.appendRecord(), 0, QString(150, u'B'));
        const QByteArray before = readBytes(path);
        const FailingFileIo failing(step, nth, error);
        QCOMPARE(errorOf([&] { bigger.save(); }),
                 "No se pudo guardar la tabla VENTAS en el archivo " + QDir::toNativeSeparators(path) + ": "
                     + reason + ".");
        QCOMPARE(readBytes(path), before);
        QCOMPARE(entries(m_folder), QStringList{"VENTAS.dbf"});
    }

    void onlyScratchFilesOfDeadWritersAreRemoved()
    {
        for (const char *name :
             {".VENTAS.dbf.kivoAb12Cd", ".datoprov.dbf.kivoAb12Cd", ".respaldo.backup", ".datoprov.dbf.Ab12Cd"})
            QVERIFY(QFile(file(name)).open(QIODevice::WriteOnly));
        // What killed saves left goes at start-up; what only looks like it stays.
        writeTable(file(QStringLiteral("VENTAS.dbf")), {"N N 3 0"});
        removeStaleScratch(m_folder);
        QCOMPARE(entries(m_folder), (QStringList{".datoprov.dbf.Ab12Cd", ".respaldo.backup", "VENTAS.dbf"}));
    }

#ifndef Q_OS_WIN // the system's own error numbers; Windows' codes are test_windows_win's
    // A folder the clerk made read-only keeps its tables as they are, even for a user who could write there.
    void aReadOnlyFolderIsRefused()
    {
        const QString path = file(QStringLiteral("VENTAS.dbf"));
        DbfTable table = writeTable(path, {"N N 3 0"});
        QVERIFY(QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner));
        table.appendRecord();
        const QString said = errorOf([&] { table.save(); });
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(said,
                 "No se pudo guardar la tabla VENTAS en el archivo " + path
                     + ": la carpeta es de solo lectura.");
    }

    // No reason a clerk may meet falls back to a bare number; test_restore holds one word for word.
    void systemErrorsAreNamedInSpanish()
    {
        for (const int e : {ENOENT,  EACCES,    EPERM,  ENOSPC,     EDQUOT,       EROFS,    EIO,       EISDIR,
                            ENOTDIR, ELOOP,     EMFILE, ENFILE,     ENAMETOOLONG, EFBIG,    EOVERFLOW, EXDEV,
                            EBUSY,   ETXTBSY,   ENXIO,  ENODEV,     ENOMEDIUM,    ENOMEM,   EAGAIN,    EINTR,
                            EEXIST,  ENOTEMPTY, EINVAL, EOPNOTSUPP, ESTALE,       ENOTCONN, ETIMEDOUT, EBADF})
            QVERIFY2(!systemReason(e).contains(QStringLiteral("número")), strerrorname_np(e));
    }
#endif
};

QTEST_GUILESS_MAIN(TestDurability)
#include "test_durability.moc"
