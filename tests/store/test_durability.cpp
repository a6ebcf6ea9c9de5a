#include "store/dbftable.h"
#include "support/storefixture.h"

#include <QtTest>

#include <csignal>
#include <unistd.h>

using namespace kivo;
using namespace kivo::test;

const QStringList kTables = {QStringLiteral("datoprov.dbf"), QStringLiteral("VENTAS.dbf"), QStringLiteral("provprod.dbf")};

// Two versions of a table that differ in size and in every row.
static DbfTable version(const QString &path, bool second)
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

static int versionOf(const QString &path)
{
    const DbfTable t = DbfTable::load(path), expected = version(path, t.recordCount() == 700);
    bool same = t.recordCount() == expected.recordCount();
    for (int r = 0; r < t.recordCount() && same; ++r)
        same = t.record(r) == expected.record(r);
    return same ? int(t.recordCount() == 700) : -1;
}

class TestDurability : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aKilledWriterLeavesEveryTableWhollyOldOrWhollyNew()
    {
        QTemporaryDir dir;
        for (const QString &name : kTables)
            version(dir.filePath(name), false).save();
        QSet<int> seen;
        for (int round = 0; round < 40; ++round) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--writer"), dir.path()});
            QVERIFY(child.waitForStarted());
            QThread::msleep(QRandomGenerator::global()->bounded(5, 120));
            QVERIFY(::kill(pid_t(child.processId()), SIGKILL) == 0 && child.waitForFinished());
            for (const QString &name : kTables)
                seen.insert(versionOf(dir.filePath(name)));
        }
        QCOMPARE(seen, (QSet<int>{0, 1})); // none torn, and the kills landed while versions changed
        // Scratch files of killed writers are never taken for tables, and the next write clears them.
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.dbf")}, QDir::Files).size(), 3);
        for (const QString &name : kTables)
            version(dir.filePath(name), false).save();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    void aFullDiskFailsTheWriteAndKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString mount = dir.path(), path = mount + QStringLiteral("/VENTAS.dbf");
        if (::geteuid() != 0 || QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=256k", "tmpfs", mount}) != 0)
            QSKIP("a small tmpfs cannot be mounted here");
        const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {mount}); });
        version(path, false).save();
        const QByteArray before = readBytes(path);
        QFile filler(mount + QStringLiteral("/relleno"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'x')) == 4096) {}
        filler.close();
        DbfTable big = version(path, true);
        QCOMPARE(errorOf([&] { big.save(); }),
                 QStringLiteral("No se pudo guardar la tabla VENTAS en el archivo %1: el disco está lleno.").arg(path));
        QCOMPARE(readBytes(path), before);
        QCOMPARE(QDir(mount).entryList(QDir::Files | QDir::Hidden).size(), 2);
        QFile::remove(filler.fileName());
        big.save();
        QCOMPARE(versionOf(path), 1);
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--writer") == 0) { // rewrites the tables, alternating versions, until killed
        for (bool second = true;; second = !second)
            for (const QString &name : kTables)
                version(QDir(QString::fromLocal8Bit(argv[2])).filePath(name), second).save();
    }
    QCoreApplication app(argc, argv);
    TestDurability test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_durability.moc"
