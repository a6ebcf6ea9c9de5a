#include "store/dbftable.h"
#include "support/storefixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

using namespace kivo;
using namespace kivo::test;

namespace {

const QStringList kTables = {QStringLiteral("datoprov"), QStringLiteral("VENTAS"), QStringLiteral("provprod")};

// Two versions of a table that differ in size and in every row.
DbfTable version(const QString &path, bool second)
{
    DbfTable t = DbfTable::create(path, {{QStringLiteral("TEXTO"), FieldType::Character, 200, 0},
                                         {QStringLiteral("N"), FieldType::Numeric, 6, 0}});
    const int rows = second ? 700 : 20;
    for (int i = 0; i < rows; ++i) {
        const int r = t.appendRecord();
        t.setValue(r, 0, QString(150, second ? u'B' : u'A'));
        t.setValue(r, 1, i);
    }
    return t;
}

// Child process: rewrites the tables, alternating versions, until it is killed.
int runWriter(const QString &folder)
{
    for (bool second = true;; second = !second) {
        for (const QString &name : kTables)
            version(QDir(folder).filePath(name + QStringLiteral(".dbf")), second).save();
    }
}

int versionOf(const DbfTable &t)
{
    for (int v = 0; v < 2; ++v) {
        const DbfTable expected = version(t.path(), v == 1);
        if (expected.recordCount() != t.recordCount())
            continue;
        bool same = true;
        for (int r = 0; r < t.recordCount() && same; ++r)
            same = t.record(r) == expected.record(r);
        if (same)
            return v;
    }
    return -1;
}

} // namespace

class TestDurability : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aKilledWriterLeavesEveryTableWhollyOldOrWhollyNew()
    {
        QTemporaryDir dir;
        for (const QString &name : kTables)
            version(dir.filePath(name + QStringLiteral(".dbf")), false).save();
        QSet<int> seen;
        for (int round = 0; round < 40; ++round) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--writer"), dir.path()});
            QVERIFY(child.waitForStarted());
            QThread::msleep(QRandomGenerator::global()->bounded(5, 120));
            ::kill(pid_t(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished());
            for (const QString &name : kTables) {
                const DbfTable t = DbfTable::load(dir.filePath(name + QStringLiteral(".dbf")));
                const int v = versionOf(t);
                QVERIFY2(v >= 0, qPrintable(QStringLiteral("%1 torn in round %2").arg(name).arg(round)));
                seen.insert(v);
            }
        }
        QCOMPARE(seen.size(), 2); // the kills did land while versions were changing
        // Scratch files of killed writers are never taken for tables, and the next write
        // clears them.
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.dbf")}, QDir::Files).size(), 3);
        for (const QString &name : kTables)
            version(dir.filePath(name + QStringLiteral(".dbf")), false).save();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    }

    void aFullDiskFailsTheWriteAndKeepsTheOldFile()
    {
        if (::geteuid() != 0)
            QSKIP("mounting a small tmpfs needs root");
        QTemporaryDir dir;
        const QString mount = dir.filePath(QStringLiteral("lleno"));
        QDir().mkpath(mount);
        if (QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                                         QStringLiteral("-o"), QStringLiteral("size=256k"),
                                                         QStringLiteral("tmpfs"), mount}) != 0)
            QSKIP("tmpfs cannot be mounted here");
        struct Unmount {
            QString path;
            ~Unmount() { QProcess::execute(QStringLiteral("umount"), {path}); }
        } unmount{mount};

        const QString path = mount + QStringLiteral("/VENTAS.dbf");
        DbfTable small = version(path, false);
        small.save();
        const QByteArray before = readBytes(path);
        QFile filler(mount + QStringLiteral("/relleno"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
        filler.close();

        DbfTable big = version(path, true);
        QCOMPARE(errorOf([&] { big.save(); }),
                 QStringLiteral("No se pudo guardar la tabla VENTAS en el archivo %1: el disco está lleno.").arg(path));
        QCOMPARE(readBytes(path), before);
        QCOMPARE(QDir(mount).entryList(QDir::Files | QDir::Hidden).size(), 2);

        QFile::remove(filler.fileName());
        big.save();
        QCOMPARE(versionOf(DbfTable::load(path)), 1);
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--writer") == 0)
        return runWriter(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    TestDurability test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_durability.moc"
