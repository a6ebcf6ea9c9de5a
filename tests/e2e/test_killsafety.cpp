// SIGKILL at random moments of saves, grid row writes, clearing and disk generation: every
// table, in the folder and on the medium, still opens and is never a torn mixture; the next
// disk puts exact copies on the medium and leaves no scratch file there.

#include "capture/form1.h"
#include "capture/rfcentry.h"
#include "platform/files.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/fileio.h"
#include "submission/borraregistros.h"
#include "submission/generadisco.h"
#include "support/fixedclock.h"
#include "support/recordingprinting.h"
#include "support/scriptedmessages.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>

#include <unistd.h>

using namespace kivo;

namespace {

// "copy" is the disk stopped for certain inside the copy of one table.
const QStringList kActivities = {QStringLiteral("save"), QStringLiteral("grid"),
                                 QStringLiteral("clear"), QStringLiteral("disk"),
                                 QStringLiteral("copy")};

// Everything the completeness check asks for, so the disk procedure goes all the way.
void fillApplication(Form1 &form, int n)
{
    form.findChild<RfcEntry *>(QStringLiteral("MaskEdBox1"))->setRfcText(QStringLiteral("ABC991231XY1"));
    form.validaRfc();
    for (const char *name : {"txtApePat1", "txtCalle", "txtCP", "txtColonia", "txtEstado", "txtDelMun",
                             "txtNombreR2", "txtcargo", "txtTelefonoR2", "NoEmpleados", "NoObreros",
                             "VentasPais", "VentasExterior", "txtsucursal", "txtNumCuenta",
                             "txtlocalidad", "txtDomSucursal"})
        form.findChild<QLineEdit *>(QString::fromLatin1(name))->setText(QString::number(n));
    form.findChild<QComboBox *>(QStringLiteral("Combo5"))->setCurrentIndex(0);
    form.findChild<QRadioButton *>(QStringLiteral("optPromotora"))->click();
}

void addRows(DataSource *ds, int n, int count, bool supplier)
{
    for (int i = 0; i < count; ++i) {
        ds->addNew();
        if (supplier)
            ds->setField(QStringLiteral("PROVEEDOR"), QString::number(n));
        ds->setField(QStringLiteral("DESCRIPCIO"), QString::number(n));
        ds->update();
    }
}

// The outside world of a worker: scripted answers (OK to every confirmation), real files.
struct World
{
    World(const QString &folder, const QString &medium)
        : services{.messages = &messages, .clock = &clock, .files = &files, .printing = &printing,
                   .dataFolder = folder, .driveA = medium,
                   .packer = QCoreApplication::applicationDirPath() + QStringLiteral("/pack9")}
    {
    }
    ScriptedMessages messages;
    FixedClock clock{QDate(2026, 12, 6)};
    RecordingPrinting printing;
    RealFiles files;
    Services services;
};

// Stops the worker for good halfway through the `skip`+1-th write of a file on the medium,
// after telling the parent: its kill then lands inside a copy, however fast the copy is.
class StopInCopy : public FileIo
{
public:
    StopInCopy(const QString &medium, const QString &started, int skip)
        : m_medium(QFileInfo(medium).canonicalFilePath() + QLatin1Char('/')), m_started(started), m_skip(skip)
    {
        setFileIo(this);
    }
    ~StopInCopy() override { setFileIo(nullptr); }

    ssize_t write(int fd, const char *data, size_t size) override
    {
        if (onMedium(fd) && m_skip-- == 0) {
            FileIo::write(fd, data, size / 2);
            QFile(m_started).open(QIODevice::WriteOnly);
            for (;;)
                ::pause();
        }
        return FileIo::write(fd, data, size);
    }

private:
    bool onMedium(int fd) const
    {
        const QString path = QFileInfo(QStringLiteral("/proc/self/fd/%1").arg(fd)).symLinkTarget();
        return path.startsWith(m_medium);
    }

    QString m_medium;
    QString m_started;
    int m_skip;
};

// The child: works on the folder until it is killed.
int runChild(const QString &activity, const QString &folder, const QString &medium)
{
    World world(folder, medium);
    ScriptedMessages &messages = world.messages;
    const Services &services = world.services;

    Database db(folder);
    Form1 form(db, services);
    if (!form.load())
        return 2;
    DataSource *proveedor = form.suppliers();
    DataSource *productos = form.products();
    // Tells the parent that its kill comes inside the work, after the start-up; in a copy
    // ("copyN", the N-th table of the disk) once the copy is halfway.
    const QString started = QDir(medium).filePath(QStringLiteral("../started"));
    std::optional<StopInCopy> stop;
    if (activity.startsWith(QLatin1String("copy")))
        stop.emplace(medium, started, activity.mid(4).toInt());
    else if (!QFile(started).open(QIODevice::WriteOnly))
        return 3;
    for (int n = 0;; ++n) {
        messages.clear();
        if (activity == QLatin1String("save")) {
            fillApplication(form, n);
            form.command1Click(1);
        } else if (activity == QLatin1String("grid")) {
            if (n % 10 == 0 && !proveedor->isEof())
                proveedor->deleteCurrent();
            addRows(proveedor, n, 1, true);
        } else if (activity == QLatin1String("clear")) {
            fillApplication(form, n);
            form.command1Click(1);
            addRows(proveedor, n, 3, true);
            addRows(productos, n, 1, false);
            messages.answer(Answer::Yes);
            borraRegistros(form, services);
        } else {
            fillApplication(form, n);
            if (n == 0) {
                addRows(proveedor, n, 3, true);
                addRows(productos, n, 1, false);
            }
            generaDisco(form, services);
        }
    }
}

// What a disk killed part-way may leave on the medium: tables under their own names (each
// whole, checked apart) and hidden scratch files. Anything else is named.
QString strayOnMedium(const QString &medium)
{
    const QStringList tables = {QStringLiteral("datoprov.dbf"), QStringLiteral("PROVMERC.dbf"),
                                QStringLiteral("provprod.dbf"), QStringLiteral("VENTAS.dbf"),
                                QStringLiteral("activida.dbf")};
    for (const QString &name : QDir(medium).entryList(QDir::Files))
        if (!tables.contains(name))
            return name;
    return QString();
}

// The disk command once more, after a kill, as the user would run it again.
QStringList nextDisk(const QString &folder, const QString &medium)
{
    World world(folder, medium);
    Database db(folder);
    Form1 form(db, world.services);
    if (!form.load())
        return {QStringLiteral("the window did not load")};
    fillApplication(form, 0);
    // A kill early in the first disk may have come before its supplier and product were in.
    DataSource *proveedor = form.suppliers();
    DataSource *productos = form.products();
    if (proveedor->rowCount() == 0)
        addRows(proveedor, 0, 1, true);
    if (productos->rowCount() == 0)
        addRows(productos, 0, 1, false);
    generaDisco(form, world.services);
    return world.messages.texts();
}

// Two fields written together hold the same number, or the record is torn.
bool whole(DbfTable &t, const char *a, const char *b)
{
    for (int r = 0; r < t.recordCount(); ++r) {
        if (!t.isDeleted(r) && t.text(r, t.fieldIndex(QString::fromLatin1(a))) != t.text(r, t.fieldIndex(QString::fromLatin1(b))))
            return false;
    }
    return true;
}

} // namespace

class TestKillSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedAtRandomLeavesEveryTableWhole();
};

// The folder's tables and the medium's: each must load, or the test names it.
QString unreadable(const QString &folder)
{
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.dbf")})) {
        try {
            DbfTable::load(QDir(folder).filePath(name));
        } catch (const DbfError &e) {
            return e.message();
        }
    }
    return QString();
}

void TestKillSafety::killedAtRandomLeavesEveryTableWhole()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("KIVO"));
    const QString medium = dir.filePath(QStringLiteral("medio"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QDir().mkpath(medium));
    const QDir delivered(QStringLiteral(KIVO_BUILD_DATA_DIR));
    for (const QString &f : delivered.entryList(QDir::Files))
        QVERIFY(QFile::copy(delivered.filePath(f), QDir(folder).filePath(f)));

    const int killsPerActivity = qEnvironmentVariableIntValue("KIVO_KILLS") > 0 ? qEnvironmentVariableIntValue("KIVO_KILLS") : 50;
    QRandomGenerator rng(20261206);
    int kills = 0;
    for (const QString &activity : kActivities) {
        const QString started = dir.filePath(QStringLiteral("started"));
        for (int i = 0; i < killsPerActivity; ++i) {
            QFile::remove(started);
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
            env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            const QString work = activity == QLatin1String("copy") ? activity + QString::number(i % 5) : activity;
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), work, folder, medium});
            QVERIFY(child.waitForStarted());
            // The kill lands inside the work, however slow the machine is to start the worker.
            QVERIFY2(QTest::qWaitFor([&] { return QFile::exists(started) || child.state() != QProcess::Running; },
                                     30000),
                     qPrintable(activity + QStringLiteral(": the worker never began")));
            QTest::qWait(int(rng.bounded(400)));
            QVERIFY2(child.state() == QProcess::Running, qPrintable(activity + ": the worker stopped by itself"));
            ::kill(pid_t(child.processId()), SIGKILL);
            child.waitForFinished();
            ++kills;

            for (const QString &where : {folder, medium})
                QVERIFY2(unreadable(where).isEmpty(), qPrintable(activity + ": " + unreadable(where)));
            Database db(folder);
            QVERIFY2(whole(db.table(QStringLiteral("datoprov")), "APEPATRAZ", "CALLEYNO"), qPrintable(activity));
            QVERIFY2(whole(db.table(QStringLiteral("provprod")), "PROVEEDOR", "DESCRIPCIO"), qPrintable(activity));
            if (activity != QLatin1String("disk") && activity != QLatin1String("copy"))
                continue;
            QCOMPARE(strayOnMedium(medium), QString());
            // As one text, so that a failure shows every message.
            QCOMPARE(nextDisk(folder, medium).join(QStringLiteral(" | ")),
                     QStringLiteral("Asegúrese de que el disco esté en la unidad A: | Puede retirar el disco de la unidad A:"));
            const QStringList left = QDir(medium).entryList(QDir::Files | QDir::Hidden, QDir::Name);
            QCOMPARE(left, (QStringList{QStringLiteral("PROVMERC.dbf"), QStringLiteral("VENTAS.dbf"),
                                        QStringLiteral("activida.dbf"), QStringLiteral("datoprov.dbf"),
                                        QStringLiteral("provprod.dbf")}));
            for (const QString &name : left)
                QVERIFY2(RealFiles().sameBytes(QDir(folder).filePath(name), QDir(medium).filePath(name)),
                         qPrintable(name + QStringLiteral(" on the medium differs from its table")));
        }
        // The independent reader, once per activity over everything left behind.
        QProcess reader;
        reader.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral("-c"),
                      QStringLiteral("import sys,glob,dbfread\n"
                                     "for d in sys.argv[1:]:\n"
                                     "    for p in glob.glob(d+'/*.dbf'):\n"
                                     "        list(dbfread.DBF(p, encoding='cp1252'))\n"),
                      folder, medium});
        QVERIFY(reader.waitForFinished(60000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
    }
    QCOMPARE(kills, int(kActivities.size()) * killsPerActivity);
}

int main(int argc, char **argv)
{
    if (argc == 5 && qstrcmp(argv[1], "--child") == 0) {
        QApplication app(argc, argv);
        return runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                        QString::fromLocal8Bit(argv[4]));
    }
    QApplication app(argc, argv);
    TestKillSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_killsafety.moc"
