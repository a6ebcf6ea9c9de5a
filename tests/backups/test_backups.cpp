#include "store/backups.h"
#include "support/backupdata.h"

#include <QtTest>

using namespace kivo;
using namespace kivo::test;

static const QDateTime kNoon(QDate(2026, 12, 6), QTime(12, 0, 5));

class TestBackups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void thinningKeepsThirtyNewestAndEachRecentMonth_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("removed");
        QStringList daily; // 31 days of one month: the oldest is neither among the 30 nor its month's newest
        for (int d = 1; d <= 31; ++d)
            daily << QStringLiteral("202612%1-090000").arg(d, 2, 10, QChar(u'0'));
        QTest::newRow("30 or fewer: all kept") << daily.mid(1) << QStringList();
        QTest::newRow("newest of last month kept, the rest of it goes")
            << daily.mid(1) + QStringList{"20261130-235959", "20261130-090000", "20261101-090000"}
            << QStringList{"20261130-090000", "20261101-090000"};
        QTest::newRow("monthly ones kept for eleven months back")
            << daily.mid(1) + QStringList{"20260115-090000", "20251215-090000"}
            << QStringList{"20251215-090000"};
        QTest::newRow("same second: the suffix is the newer") << daily.mid(2)
                + QStringList{"20261201-090000-2", "20261201-090000", "20261101-090000-2",
                              "20261101-090000"} << QStringList{"20261201-090000", "20261101-090000"};
        QTest::newRow("other folders never removed")
            << daily + QStringList{"fotos", "20261301-090000", "2026121-090000", ".20261201-090000.aB3dEf"}
            << QStringList{"20261201-090000"};
    }

    void thinningKeepsThirtyNewestAndEachRecentMonth()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, removed);
        QStringList got = backups::thinned(names, QDate(2026, 12, 31));
        got.sort();
        removed.sort();
        QCOMPARE(got, removed);
    }

    // The seven tables as they were, nothing else; the same second takes the next name.
    void makeCopiesTheSevenTables()
    {
        Data data;
        data.fill("KEX050315AB1", "EXPORTADORA");
        for (int d = 1; d <= 31; ++d)
            QVERIFY(QDir().mkpath(data.backup(QStringLiteral("202610%1-080000").arg(d, 2, 10, QChar(u'0')))));
        const QList<QByteArray> before = data.tables(data.path());
        QCOMPARE(backups::make(data.path(), kNoon), "20261206-120005");
        QCOMPARE(backups::make(data.path(), kNoon), "20261206-120005-2");
        QCOMPARE(data.tables(data.backup("20261206-120005")), before);
        const QDir made(data.backup("20261206-120005"));
        QCOMPARE(made.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 7);
        // October's newest is among the thirty, so its three oldest go.
        QCOMPARE(Data::backupsIn(data.path()).size(), 30);
        QCOMPARE(Data::backupsIn(data.path()).first(), "20261004-080000");
    }
};

QTEST_GUILESS_MAIN(TestBackups)
#include "test_backups.moc"
