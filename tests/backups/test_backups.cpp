#include "store/backups.h"
#include "store/dbferror.h"
#include "store/dbftable.h"
#include "support/backupdata.h"
#include "support/failingfileio.h"

#include <QtTest>

#include <optional>

using namespace kivo;
using namespace kivo::test;

namespace {

const QDateTime kNoon(QDate(2026, 12, 6), QTime(12, 0, 5));

} // namespace

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
        QTest::newRow("31st of the same month goes") << daily << QStringList{"20261201-090000"};
        QStringList lastOfNovember = daily.mid(1);
        lastOfNovember << "20261130-235959" << "20261130-090000" << "20261101-090000";
        QTest::newRow("newest of last month kept, the rest of it goes")
            << lastOfNovember << QStringList{"20261130-090000", "20261101-090000"};
        QStringList months = daily.mid(1);
        months << "20260115-090000" << "20251231-090000" << "20251215-090000";
        QTest::newRow("11 months back kept, 12 back goes") << months << QStringList{"20251231-090000", "20251215-090000"};
        QStringList sameSecond = daily.mid(2);
        sameSecond << "20261201-090000-2" << "20261201-090000" << "20261101-090000-2" << "20261101-090000";
        QTest::newRow("same second: the suffix is the newer")
            << sameSecond << QStringList{"20261201-090000", "20261101-090000"};
        QStringList foreign = daily;
        foreign << "fotos" << "20261301-090000" << "2026121-090000" << ".20261201-090000.aB3dEf";
        QTest::newRow("other folders never removed") << foreign << QStringList{"20261201-090000"};
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

    void thinningOverTwoYearsOfDailySaves_data()
    {
        QTest::addColumn<QDate>("last");
        QTest::addColumn<int>("kept");
        QTest::addColumn<QString>("oldest");
        QTest::addColumn<QString>("oldestOfThirty");
        QTest::newRow("end of a year") << QDate(2026, 12, 31) << 41 << "20260131" << "20261202";
        QTest::newRow("mid-March") << QDate(2026, 3, 15) << 40 << "20250430" << "20260214";
        QTest::newRow("first of a month") << QDate(2026, 7, 1) << 40 << "20250831" << "20260602";
    }

    // A save every day from 2025 on, thinned after each backup as the program does.
    void thinningOverTwoYearsOfDailySaves()
    {
        QFETCH(QDate, last);
        QFETCH(int, kept);
        QFETCH(QString, oldest);
        QFETCH(QString, oldestOfThirty);
        QStringList names;
        for (QDate day(2025, 1, 1); day <= last; day = day.addDays(1)) {
            names.append(backups::nameFor(QDateTime(day, QTime(17, 30))));
            for (const QString &gone : backups::thinned(names, day))
                names.removeOne(gone);
        }
        QCOMPARE(names.size(), kept);
        QCOMPARE(names.first().left(8), oldest);
        QCOMPARE(names.at(names.size() - 30).left(8), oldestOfThirty);
        QStringList months;
        for (const QString &n : names.first(names.size() - 30))
            months.append(n.left(6));
        QCOMPARE(months.removeDuplicates(), 0); // one a month beyond the thirty
    }

    // A backup holds the seven tables as they were, nothing else; a second in the same second
    // takes the next name; the oldest beyond the rule go.
    void makeCopiesTheSevenTables()
    {
        Data data;
        data.fill("KEX050315AB1", "EXPORTADORA");
        QFile other(data.table("notas.txt"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("ajeno");
        other.close();
        for (int d = 1; d <= 31; ++d)
            QVERIFY(QDir().mkpath(data.backup(QStringLiteral("202610%1-080000").arg(d, 2, 10, QChar(u'0')))));
        const QList<QByteArray> before = data.tables(data.path());

        QCOMPARE(backups::make(data.path(), kNoon), "20261206-120005");
        QCOMPARE(backups::make(data.path(), kNoon), "20261206-120005-2");
        QCOMPARE(data.tables(data.backup("20261206-120005")), before);
        QCOMPARE(QDir(data.backup("20261206-120005")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 7);
        QCOMPARE(data.tables(data.backup("20261206-120005-2")), before);
        // October's newest is among the thirty, so its three oldest go.
        QCOMPARE(data.backupNames().size(), 30);
        QCOMPARE(data.backupNames().first(), "20261004-080000");
        QCOMPARE(data.tables(data.path()), before);
    }

    void aFailedBackupLeavesNothingBehind_data()
    {
        using Step = FailingFileIo::Step;
        QTest::addColumn<int>("step"); // -1: no injected failure, a table missing instead
        QTest::addColumn<int>("nth");
        QTest::addColumn<QString>("error");
        QTest::newRow("a table missing") << -1 << 0 << "No se encontró la tabla catbanco.dbf en la carpeta de datos %2.";
        QTest::newRow("a write half-way") << int(Step::Write) << 9 << "No se pudo guardar la tabla ";
        QTest::newRow("the last table's rename") << int(Step::Rename) << 7 << "No se pudo guardar la tabla admlocal.dbf ";
        QTest::newRow("a flush") << int(Step::Flush) << 2 << "No se pudo guardar la tabla VENTAS.dbf ";
    }

    void aFailedBackupLeavesNothingBehind()
    {
        QFETCH(int, step);
        QFETCH(int, nth);
        QFETCH(QString, error);
        Data data;
        backups::make(data.path(), kNoon.addDays(-1));
        if (step < 0)
            QVERIFY(QFile::remove(data.table("catbanco.dbf")));
        const QList<QByteArray> before = data.tables(data.path());
        QString got;
        {
            std::optional<FailingFileIo> failing;
            if (step >= 0)
                failing.emplace(FailingFileIo::Step(step), nth);
            try {
                backups::make(data.path(), kNoon);
            } catch (const DbfError &e) {
                got = e.message();
            }
        }
        const QString root = backups::location(data.path());
        const QString start = QStringLiteral("No se pudo hacer el respaldo de la solicitud en %1: ").arg(root)
            + QString(error).replace("%2", data.path());
        QCOMPARE(got.left(start.size()), start);
        QCOMPARE(QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"20261205-120005"});
        QCOMPARE(data.tables(data.path()), before);
    }
};

QTEST_GUILESS_MAIN(TestBackups)
#include "test_backups.moc"
