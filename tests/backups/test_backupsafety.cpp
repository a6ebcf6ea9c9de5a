// What a backup removes, keeps and says when the folder around it is hostile: links planted
// under the names it manages, a clock running behind, a sent application kept past every thinning.

#include "store/fileio.h"
#include "support/backupdata.h"

#include <QDirIterator>
#include <QtTest>

using namespace kivo;
using namespace kivo::test;

namespace {

const QDateTime kMorning(QDate(2026, 12, 7), QTime(8, 0));

// Every file under `folder` by relative path, as bytes; links are followed, so a planted link
// shows what it reaches.
QMap<QString, QByteArray> tree(const QString &folder)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (it.hasNext()) {
        const QString path = it.next();
        out.insert(QDir(folder).relativeFilePath(path), readBytes(path));
    }
    return out;
}

// The user's precious files: a letter.
void fillPrecious(const QString &folder)
{
    QVERIFY(QDir().mkpath(folder));
    writeBytes(folder + "/carta.txt", "querida");
}

// Writes without flushing to the disk: months of daily backups in a second.
struct NoFlush : FileIo
{
    NoFlush() { setFileIo(this); }
    ~NoFlush() override { setFileIo(nullptr); }
    int flush(int) override { return 0; }
    int flushFolder(const char *) override { return 0; }
};

} // namespace

class TestBackupSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void removesOnlyWhatItMade_data()
    {
        QTest::addColumn<QString>("planted"); // inside respaldos
        QTest::addColumn<bool>("link");       // a link to the precious folder, or a copy of it
        QTest::newRow("hidden folder of the user") << ".notas.viejas" << false;
        QTest::newRow("the oldest backup holding the user's files") << "20180101-120000" << false;
#ifndef Q_OS_WIN // shortcut files, not links
        QTest::newRow("link as a backup's scratch folder") << ".20261207-080000.abcdef" << true;
        QTest::newRow("link as the oldest backup") << "20180101-120000" << true;
#endif
    }

    // A backup thins the old ones and clears scratch folders; the precious files stay byte for byte.
    void removesOnlyWhatItMade()
    {
        QFETCH(QString, planted);
        QFETCH(bool, link);
        Data data;
        QTemporaryDir precious;
        fillPrecious(precious.path());
        const QString root = backups::location(data.path());
        // Thirty newer backups, so the oldest is thinned.
        for (int d = 1; d <= 30; ++d)
            QVERIFY(QDir().mkpath(QStringLiteral("%1/202611%2-070000").arg(root).arg(d, 2, 10, QChar(u'0'))));
        const QString place = QDir(root).filePath(planted);
        if (link)
            QVERIFY(QFile::link(precious.path(), place));
        else
            fillPrecious(place);
        const QMap<QString, QByteArray> before = tree(precious.path());
        backups::make(data.path(), kMorning);
        QCOMPARE(tree(precious.path()), before);
        QCOMPARE(tree(place), before);
    }

    // Backups from later than now (the clock was set back): restoring keeps the tables replaced.
    void clockBehindKeepsTheReplacedTables()
    {
        Data data;
        data.fill("KEX050315AB1", "EXPORTADORA");
        const QString first = backups::make(data.path(), kMorning.addSecs(12 * 3600));
        const QStringList files = QDir(data.backup(first)).entryList(QDir::Files | QDir::Hidden);
        for (int i = 2; i <= 31; ++i) {
            const QString copy = data.backup(first + QString("-%1").arg(i));
            QVERIFY(QDir().mkpath(copy));
            for (const QString &f : files)
                QVERIFY(QFile::copy(data.backup(first, f), copy + u'/' + f));
        }
        data.fill("ABC991231XY1", "ACME");
        const QList<QByteArray> replaced = data.tables(data.path());
        const backups::Restored done = backups::restore(data.path(), first, kMorning);
        QCOMPARE(data.tables(data.backup(done.saved)), replaced);
        QCOMPARE(Data::backupsIn(data.path()).size(), 32);
    }

    // The backup made before a disk is kept for good, beyond the thirty newest and its month's
    // newest.
    void sentApplicationOutlivesTheThinning()
    {
        Data data;
        data.fill("KEX050315AB1", "EXPORTADORA");
        const NoFlush fast;
        const QString sent = backups::make(data.path(), kMorning, backups::Kind::Sent);
        const QList<QByteArray> asSent = data.tables(data.backup(sent));
        const QDate start = kMorning.date().addDays(1);
        for (QDate day = start; day < start.addMonths(2); day = day.addDays(1))
            backups::makeDaily(data.path(), QDateTime(day, QTime(17, 30)));
        QCOMPARE(data.tables(data.backup(sent)), asSent);
    }
};

QTEST_GUILESS_MAIN(TestBackupSafety)
#include "test_backupsafety.moc"
