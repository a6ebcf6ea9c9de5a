// The safe write of tables and copies: a kill or a failing device at any step leaves the old
// file whole and no scratch file behind; the file is replaced, never written into.

#include "store/atomicfile.h"
#include "store/dbftable.h"
#include "support/failingfileio.h"
#include "support/storefixture.h"

#include <QtTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace kivo;
using namespace kivo::test;

using Step = FailingFileIo::Step;
Q_DECLARE_METATYPE(FailingFileIo::Step)

namespace {

const QStringList kTables = {QStringLiteral("datoprov.dbf"), QStringLiteral("VENTAS.dbf"),
                             QStringLiteral("provprod.dbf")};

// Two versions of a table that differ in size and in every row.
DbfTable version(const QString &path, bool second)
{
    DbfTable t = DbfTable::create(path, {{QStringLiteral("TEXTO"), FieldType::Character, 200, 0},
                                         {QStringLiteral("N"), FieldType::Numeric, 6, 0}});
    for (int i = 0; i < (second ? 700 : 20); ++i) {
        const int r = t.appendRecord();
        t.setValue(r, 0, QString(150, second ? u'B' : u'A'));
        t.setValue(r, 1, i);
    }
    return t;
}

// 0 or 1 for a whole first or second version, -1 for anything else.
int versionOf(const QString &path)
{
    DbfTable t;
    try {
        t = DbfTable::load(path);
    } catch (const DbfError &) {
        return -1;
    }
    const DbfTable expected = version(path, t.recordCount() == 700);
    if (t.recordCount() != expected.recordCount())
        return -1;
    for (int r = 0; r < t.recordCount(); ++r) {
        if (t.record(r) != expected.record(r))
            return -1;
    }
    return int(t.recordCount() == 700);
}

quint64 inodeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace

class TestDurability : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_folder;
    QString file(const QString &name) const { return QDir(m_folder).filePath(name); }

    // Every step that can fail, at a first and a later call where there are several.
    void failingSteps()
    {
        QTest::addColumn<Step>("step");
        QTest::addColumn<int>("nth");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        QTest::newRow("scratch file refused") << Step::Create << 1 << EACCES << "permiso denegado";
        QTest::newRow("first write") << Step::Write << 1 << ENOSPC << "el disco está lleno";
        QTest::newRow("tenth write") << Step::Write << 10 << EDQUOT << "se agotó la cuota de disco";
        QTest::newRow("flush") << Step::Flush << 1 << EIO << "error de entrada/salida del disco";
        QTest::newRow("close") << Step::Close << 1 << EIO << "error de entrada/salida del disco";
        QTest::newRow("rename") << Step::Rename << 1 << EROFS << "el medio es de solo lectura";
    }

private Q_SLOTS:
    void init()
    {
        QDir().mkpath(m_folder = m_dir.filePath(QTest::currentTestFunction()
                                                + QString::fromLatin1(QTest::currentDataTag())));
    }

    void aKilledWriterLeavesEveryTableWhollyOldOrWhollyNew()
    {
        for (const QString &name : kTables)
            version(file(name), false).save();
        const QString started = file(QStringLiteral("comenzado"));
        QRandomGenerator rng(20261206);
        for (int round = 0; round < 30; ++round) {
            QFile::remove(started);
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--writer"), m_folder});
            QVERIFY(child.waitForStarted());
            // The kill lands inside the rewriting, however slow the machine is to start it.
            QVERIFY(QTest::qWaitFor([&] { return QFile::exists(started); }, 30000));
            QTest::qWait(int(rng.bounded(60)));
            QCOMPARE(::kill(pid_t(child.processId()), SIGKILL), 0);
            QVERIFY(child.waitForFinished());
            for (const QString &name : kTables)
                QVERIFY2(versionOf(file(name)) >= 0, qPrintable(name + QStringLiteral(" torn")));
        }
        // Scratch files of killed writers are never taken for tables, and the next write clears them.
        QFile::remove(started);
        for (const QString &name : kTables)
            version(file(name), false).save();
        QCOMPARE(entries(m_folder), (QStringList{"VENTAS.dbf", "datoprov.dbf", "provprod.dbf"}));
    }

    void savingReplacesTheFileInsteadOfWritingIntoIt()
    {
        DbfTable table = version(file(QStringLiteral("VENTAS.dbf")), false);
        table.save();
        const quint64 before = inodeOf(table.path());
        table.save();
        QCOMPARE_NE(inodeOf(table.path()), before);
    }

    void savingFlushesTheFolderAfterTheRename()
    {
        DbfTable table = version(file(QStringLiteral("VENTAS.dbf")), false);
        const FailingFileIo counting(Step::FlushFolder, 0);
        table.save();
        QCOMPARE(counting.calls(), 1);
    }

    void aFailedSaveLeavesTheTableAsItWas_data() { failingSteps(); }
    void aFailedSaveLeavesTheTableAsItWas()
    {
        QFETCH(Step, step);
        QFETCH(int, nth);
        QFETCH(int, error);
        QFETCH(QString, reason);
        const QString path = file(QStringLiteral("VENTAS.dbf"));
        version(path, false).save();
        const QByteArray before = readBytes(path);
        DbfTable bigger = version(path, true);
        const FailingFileIo failing(step, nth, error);
        QCOMPARE(errorOf([&] { bigger.save(); }),
                 "No se pudo guardar la tabla VENTAS en el archivo " + path + ": " + reason + ".");
        QCOMPARE(readBytes(path), before);
        QCOMPARE(entries(m_folder), QStringList{"VENTAS.dbf"});
    }

    void aFailedCopyLeavesTheDestinationAsItWas_data() { failingSteps(); }
    void aFailedCopyLeavesTheDestinationAsItWas()
    {
        QFETCH(Step, step);
        QFETCH(int, nth);
        QFETCH(int, error);
        QFETCH(QString, reason);
        const QString source = m_dir.filePath(QStringLiteral("VENTAS.dbf"));
        version(source, true).save();
        const QString destination = file(QStringLiteral("VENTAS.dbf"));
        version(destination, false).save();
        const QByteArray before = readBytes(destination);
        const FailingFileIo failing(step, nth, error);
        QCOMPARE(errorOf([&] { copyAtomically(source, destination, QStringLiteral("VENTAS")); }),
                 "No se pudo guardar la tabla VENTAS en el archivo " + destination + ": " + reason + ".");
        QCOMPARE(readBytes(destination), before);
        QCOMPARE(entries(m_folder), QStringList{"VENTAS.dbf"});
    }

    void aCopyReplacesTheDestinationAndLeavesNothingElse()
    {
        const QString source = m_dir.filePath(QStringLiteral("VENTAS.dbf"));
        version(source, true).save();
        const QString destination = file(QStringLiteral("VENTAS.dbf"));
        version(destination, false).save();
        copyAtomically(source, destination, QStringLiteral("VENTAS"));
        QCOMPARE(readBytes(destination), readBytes(source));
        // No lock file and no scratch file on the medium.
        QCOMPARE(entries(m_folder), QStringList{"VENTAS.dbf"});
    }

    void aCopyFromAMissingSourceNamesItAndTouchesNothing()
    {
        const QString destination = file(QStringLiteral("VENTAS.dbf"));
        version(destination, false).save();
        const QByteArray before = readBytes(destination);
        const QString source = m_dir.filePath(QStringLiteral("falta.dbf"));
        QCOMPARE(errorOf([&] { copyAtomically(source, destination, QStringLiteral("VENTAS")); }),
                 "No se pudo abrir el archivo " + source + ": no existe.");
        QCOMPARE(readBytes(destination), before);
    }

    void onlyScratchFilesOfDeadWritersAreRemoved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("removed");
        QTest::newRow("scratch of a table") << ".VENTAS.dbf.kivoAb12Cd" << true;
        QTest::newRow("scratch of a text") << ".considera.txt.kivo000000" << true;
        QTest::newRow("table") << "VENTAS.dbf" << false;
        QTest::newRow("someone's hidden file") << ".respaldo.backup" << false;
        QTest::newRow("old-style scratch") << ".VENTAS.dbf.Ab12Cd" << false;
    }
    void onlyScratchFilesOfDeadWritersAreRemoved()
    {
        QFETCH(QString, name);
        QFETCH(bool, removed);
        QFile f(file(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        removeStaleScratch(m_folder);
        QCOMPARE(QFile::exists(file(name)), !removed);
    }

    void theReasonsAClerkMeetsReadInSpanish_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        QTest::newRow("link loop") << ELOOP
            << "la ruta pasa por demasiados enlaces simbólicos (quizá un enlace que apunta a sí mismo)";
        QTest::newRow("folder for a file") << EISDIR << "es una carpeta";
        QTest::newRow("full disk") << ENOSPC << "el disco está lleno";
        QTest::newRow("medium pulled out") << ENODEV << "el medio no está disponible (¿se retiró el disco?)";
    }
    void theReasonsAClerkMeetsReadInSpanish()
    {
        QFETCH(int, error);
        QFETCH(QString, reason);
        QCOMPARE(systemReason(error), reason);
    }

    void noErrorOfOpeningWritingOrCopyingFallsBackToANumber_data()
    {
        QTest::addColumn<int>("error");
        for (const int e : {ENOENT, EACCES, EPERM, ENOSPC, EDQUOT, EROFS, EIO, EISDIR, ENOTDIR, ELOOP,
                            EMFILE, ENFILE, ENAMETOOLONG, EFBIG, EOVERFLOW, EXDEV, EBUSY, ETXTBSY, ENXIO,
                            ENODEV, ENOMEDIUM, ENOMEM, EAGAIN, EINTR, EEXIST, ENOTEMPTY, EINVAL,
                            EOPNOTSUPP, ESTALE, ENOTCONN, ETIMEDOUT, EBADF})
            QTest::newRow(strerrorname_np(e)) << e;
    }
    void noErrorOfOpeningWritingOrCopyingFallsBackToANumber()
    {
        QFETCH(int, error);
        QVERIFY2(!systemReason(error).contains(QStringLiteral("número")), qPrintable(systemReason(error)));
    }

    void aLinkLoopInPlaceOfATableIsNamedAsSuch()
    {
        const QString path = file(QStringLiteral("VENTAS.dbf"));
        QVERIFY(QFile::link(path, path));
        QCOMPARE(errorOf([&] { DbfTable::load(path); }),
                 "No se pudo abrir el archivo " + path + ": " + systemReason(ELOOP) + ".");
    }
};

int main(int argc, char **argv)
{
    // The worker: rewrites the tables, alternating versions, until it is killed; it says so
    // once it is at work.
    if (argc == 3 && qstrcmp(argv[1], "--writer") == 0) {
        const QDir folder(QString::fromLocal8Bit(argv[2]));
        for (bool second = true, first = true;; second = !second, first = false) {
            for (const QString &name : kTables)
                version(folder.filePath(name), second).save();
            if (first)
                QFile(folder.filePath(QStringLiteral("comenzado"))).open(QIODevice::WriteOnly);
        }
    }
    QCoreApplication app(argc, argv);
    TestDurability test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_durability.moc"
