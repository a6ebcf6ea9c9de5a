#include "capture/support/form1fixture.h"
#include "platform/files.h"
#include "store/backups.h"
#include "support/backupdata.h"
#include "support/failingfileio.h"

#include <QComboBox>
#include <QRadioButton>

using namespace kivo;
using kivo::test::Data;
using kivo::test::FailingFileIo;

namespace {

// A window on the morning of 15 June 2005, with a medium to write to.
struct Moment : Form1Fixture
{
    QTemporaryDir medium;
    RealFiles files;

    Moment()
    {
        services.files = &files;
        services.driveA = [this] { return medium.path(); };
        clock.set(QDateTime(QDate(2005, 6, 15), QTime(9, 0)));
    }
    // Started over an application complete enough for the disk, saved once.
    bool open()
    {
        if (!start())
            return false;
        fillRequired();
        w<QComboBox>("Combo5")->setCurrentIndex(3);
        w<QRadioButton>("optPromotora")->click();
        addRows(form->products(), "DESCRIPCIO", {"R0", "R1"});
        addRows(form->suppliers(), "PROVEEDOR", {"R0", "R1", "R2"});
        form->command1Click(command1::Grabar);
        messages.clear();
        return true;
    }
    QStringList made() const { return Data::backupsIn(dir.path()); }
};

// The clock moved to `at`, then a command of the bar answered with `answer`.
void perform(Moment &m, const QDateTime &at, int command, Answer answer)
{
    m.clock.set(at);
    m.messages.answer(answer);
    m.form->command1Click(command);
}

const QDateTime kLater(QDate(2005, 6, 15), QTime(23, 59, 59)), kNextDay(QDate(2005, 6, 16), QTime(0, 0, 1));

} // namespace

class TestBackupMoments : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void backupsAtTheThreeMomentsOnly_data()
    {
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<int>("command");
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<int>("backups");
        QTest::newRow("second save the same day") << kLater << int(command1::Grabar) << Answer::Ok << 1;
        QTest::newRow("first save of the next day") << kNextDay << int(command1::Grabar) << Answer::Ok << 2;
        QTest::newRow("clearing answered Sí") << kLater << int(command1::Borrar) << Answer::Yes << 2;
        QTest::newRow("disk accepted") << kLater << int(command1::Disco) << Answer::Ok << 2;
    }

    void backupsAtTheThreeMomentsOnly()
    {
        QFETCH(QDateTime, at);
        QFETCH(int, command);
        QFETCH(Answer, answer);
        QFETCH(int, backups);
        Moment m;
        QVERIFY(m.open());
        QCOMPARE(m.made(), QStringList{"20050615-090000"});
        const QList<QByteArray> before = Data::tables(m.dir.path());
        perform(m, at, command, answer);
        QCOMPARE(m.made().size(), backups);
        // Made before anything was deleted or packed: the application as it stood.
        if (command != command1::Grabar && backups == 2)
            QCOMPARE(Data::tables(QDir(backups::location(m.dir.path())).filePath(m.made().last())), before);
    }

    void aFailingBackupStopsTheClearingAndTheDisk_data()
    {
        QTest::addColumn<QDateTime>("at");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("failingFile"); // the safe write that fails, counted from the command
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("shown");
        QTest::newRow("clearing")
            << kLater << int(command1::Borrar) << 1
            << "No se borró nada: antes de borrar la solicitud se hace un respaldo, y no se pudo hacer." << 2;
        // The disk saves the application first.
        QTest::newRow("disk")
            << kLater << int(command1::Disco) << 2
            << "No se grabó el disco: antes de grabarlo se hace un respaldo de la solicitud, y no se pudo hacer."
            << 2;
        // The save, then the day's mark, then the backup.
        QTest::newRow("first save of a day")
            << kNextDay << int(command1::Grabar) << 3
            << "Los datos se grabaron, pero no se pudo hacer el respaldo del día:" << 1;
    }

    // The first table of the backup cannot be written: nothing deleted, nothing on the medium;
    // the day's save stands with one warning.
    void aFailingBackupStopsTheClearingAndTheDisk()
    {
        QFETCH(QDateTime, at);
        QFETCH(int, command);
        QFETCH(int, failingFile);
        QFETCH(QString, message);
        QFETCH(int, shown);
        Moment m;
        QVERIFY(m.open());
        m.w<TextEntry>("txtApePat1")->setText("CAMBIADA"); // written by the save of the disk and the day
        {
            FailingFileIo failing(FailingFileIo::Step::Create, failingFile, ENOSPC);
            perform(m, at, command, command == command1::Borrar ? Answer::Yes : Answer::Ok);
        }
        QCOMPARE(m.messages.shown.size(), shown);
        const QStringList lines = m.messages.shown.last().text.split(QChar(13));
        QCOMPARE(lines.value(0), message);
        QCOMPARE(lines.value(1).right(20), "el disco está lleno.");
        QCOMPARE(m.storedRows("provprod"), 3);
        QCOMPARE(m.stored("datoprov", 0, "APEPATRAZ").toString(),
                 command == command1::Borrar ? "1" : "CAMBIADA");
        QCOMPARE(QDir(m.medium.path()).entryList(QDir::Files), QStringList());
        QCOMPARE(m.made().size(), 1);
    }
};

QTEST_MAIN(TestBackupMoments)
#include "test_backupmoments.moc"
