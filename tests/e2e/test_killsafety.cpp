// SIGKILL at random moments of clearing, restores and disk generation: every table, in the folder
// and on the medium, still opens whole; the next disk succeeds; the next start finishes what was cut short.

#include "capture/form1.h"
#include "capture/rfcentry.h"
#include "platform/files.h"
#include "store/backups.h"
#include "store/database.h"
#include "store/datasource.h"
#include "submission/borraregistros.h"
#include "submission/generadisco.h"
#include "submission/interrupted.h"
#include "backups/support/backupdata.h"
#include "support/fixedclock.h"
#include "support/killprocess.h"
#include "support/scriptedmessages.h"

#include <QApplication>
#include <QComboBox>
#include <QProcess>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTextStream>
#include <QTest>

using namespace kivo;

namespace {

const int kKills = qEnvironmentVariableIsSet("KIVO_KILLS") ? qEnvironmentVariableIntValue("KIVO_KILLS") : 50;
const QStringList kTables = {"PROVMERC.dbf", "VENTAS.dbf", "activida.dbf", "datoprov.dbf", "provprod.dbf"};

// Everything the completeness check asks for, so the disk procedure goes all the way.
void fillApplication(Form1 &form, int n)
{
    form.findChild<RfcEntry *>("MaskEdBox1")->setRfcText("ABC991231XY1");
    form.validaRfc();
    for (const char *f : {"txtApePat1", "txtCalle", "txtCP", "txtColonia", "txtEstado", "txtDelMun",
                          "txtNombreR2", "txtcargo", "txtTelefonoR2", "NoEmpleados", "NoObreros", "VentasPais",
                          "VentasExterior", "txtsucursal", "txtNumCuenta", "txtlocalidad", "txtDomSucursal"})
        form.findChild<QLineEdit *>(f)->setText(QString::number(n));
    form.findChild<QComboBox *>("Combo5")->setCurrentIndex(0);
    form.findChild<QRadioButton *>("optPromotora")->click();
}

// Three suppliers, then a product, all named n.
void addRows(Form1 &form, int n)
{
    for (DataSource *ds : {form.suppliers(), form.suppliers(), form.suppliers(), form.products()}) {
        ds->addNew();
        if (ds != form.products())
            ds->setField("PROVEEDOR", QString::number(n));
        ds->setField("DESCRIPCIO", QString::number(n));
        ds->update();
    }
}

// A worker's window and its outside world: scripted answers (OK to every confirmation), real files.
struct World
{
    World(const QString &folder, const QString &medium)
        : services{.messages = &messages,
                   .clock = &clock,
                   .files = &files,
                   .dataFolder = folder,
                   .driveA = [medium] { return medium; },
                   .packer = test::kPacker},
          db(folder),
          form(db, services)
    {
    }
    ScriptedMessages messages;
    FixedClock clock{QDate(2026, 12, 6)};
    RealFiles files;
    Services services;
    Database db;
    Form1 form;
};

// One round of the activity in the window; what it told the user.
QStringList work(World &world, const QString &activity, int n)
{
    world.messages.clear();
    fillApplication(world.form, n);
    if (activity == "clear")
        world.form.command1Click(command1::Grabar);
    if (activity == "clear" || n == 0) // the first disk's suppliers and product, or the next disk's
        addRows(world.form, n);
    if (activity == "clear") {
        world.messages.answer(Answer::Yes);
        borraRegistros(world.form, world.services);
    } else {
        generaDisco(world.form, world.services);
    }
    return world.messages.texts();
}

// A record torn between two fields always written together (a table that does not load throws).
QString torn(const QString &folder)
{
    for (const QString &name : QDir(folder).entryList({"*.dbf"})) {
        const DbfTable t = DbfTable::load(QDir(folder).filePath(name));
        const QStringList p = name.startsWith("datoprov") ? QStringList{"APEPATRAZ", "CALLEYNO"}
            : name.startsWith("provprod")                 ? QStringList{"PROVEEDOR", "DESCRIPCIO"}
                                                          : QStringList();
        for (int r = 0; r < t.recordCount() && !p.isEmpty(); ++r)
            if (!t.isDeleted(r) && t.text(r, t.fieldIndex(p[0])) != t.text(r, t.fieldIndex(p[1])))
                return name + " torn at record " + QString::number(r);
    }
    return QString();
}

// Records not deleted in a table of the folder.
int liveRows(const QString &folder, const QString &table)
{
    const DbfTable t = DbfTable::load(QDir(folder).filePath(table));
    int n = 0;
    for (int r = 0; r < t.recordCount(); ++r)
        n += t.isDeleted(r) ? 0 : 1;
    return n;
}

} // namespace

class TestKillSafety : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedAtRandomLeavesEveryTableWhole_data()
    {
        QTest::addColumn<QString>("activity");
        for (const char *activity : {"clear", "disk", "restore"})
            QTest::newRow(activity) << QString(activity);
    }
    void killedAtRandomLeavesEveryTableWhole()
    {
        QFETCH(QString, activity);
        test::Data data;
        QTemporaryDir medium;
        const QString folder = data.path();
        QList<QList<QByteArray>> restorable; // two sent applications to restore in turn
        for (int n = 1; activity == "restore" && n <= 2; ++n) {
            for (const char *name : {"datoprov.dbf", "admlocal.dbf"}) { // the first restored and the last
                DbfTable t = DbfTable::load(data.table(name));
                t.setValue(t.recordCount() ? 0 : t.appendRecord(), 0, QString::number(n));
                t.save();
            }
            const QDateTime at(QDate(2026, 12, n), QTime(9, 0));
            restorable.append(test::Data::tables(data.backup(backups::make(folder, at, backups::Kind::Sent))));
        }
        QRandomGenerator rng(20261206);
        for (int i = 0; i < kKills; ++i) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {"--child", activity, folder, medium.path()});
            // The kill lands inside the work, however slow the machine is to start the worker.
            QVERIFY2(child.waitForReadyRead(30000), "the worker never began");
            QTest::qWait(int(rng.bounded(400)));
            QVERIFY2(child.state() == QProcess::Running, "the worker stopped by itself");
            test::killHard(child);
            child.waitForFinished();
            QCOMPARE(torn(folder), QString());
            QCOMPARE(torn(medium.path()), QString());
            finishInterrupted(folder); // what the next start does first; what it says is test_restore's
            if (activity == "clear" && liveRows(folder, "datoprov.dbf") == 0)
                QCOMPARE(liveRows(folder, "provprod.dbf") + liveRows(folder, "PROVMERC.dbf"), 0);
            if (activity == "restore")
                QVERIFY2(restorable.contains(test::Data::tables(folder)),
                         "the tables are a mix of two backups");
            if (activity != "disk")
                continue;
            World world(folder, medium.path());
            world.form.load();
            QCOMPARE(work(world, "disk", 0).join(" | "),
                     "Asegúrese de que el disco esté en la unidad A: | Puede retirar el disco de la unidad A:");
            QCOMPARE(QDir(medium.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), kTables);
        }
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 5 || qstrcmp(argv[1], "--child") != 0) {
        TestKillSafety test;
        return QTest::qExec(&test, argc, argv);
    }
    // A worker, until it is killed.
    const QString activity = argv[2], medium = argv[4];
    if (activity == "restore") {
        QStringList names; // the two it alternates between
        for (const backups::Summary &s : backups::list(argv[3]))
            if (s.sent)
                names.append(s.name);
        QTextStream(stdout) << "started" << Qt::endl;
        for (int n = 0;; ++n)
            backups::restore(argv[3], names.value(n % 2), QDateTime::currentDateTime());
    }
    World world(argv[3], medium);
    if (!world.form.load())
        return 2;
    QTextStream(stdout) << "started" << Qt::endl;
    for (int n = 0;; ++n)
        work(world, activity, n);
}

#include "test_killsafety.moc"
