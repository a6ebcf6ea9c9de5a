#include "store/database.h"
#include "store/dbftable.h"
#include "submission/borraregistros.h"
#include "support/fixture.h"
#include "support/testhost.h"

#include <QtTest>

using namespace kivo;
using namespace kivo::test;

namespace {

const QString kConfirma = "Con esta Acción borrar toda su solicitud";

QByteArray snapshot(const Fixture &fx)
{
    QByteArray out;
    for (const QString &name : QDir(fx.data.path()).entryList(QDir::Files)) {
        QFile f(fx.data.filePath(name));
        out += f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("unreadable");
    }
    return out;
}

int liveRows(const DbfTable &t)
{
    int n = t.recordCount();
    for (int r = 0; r < t.recordCount(); ++r)
        n -= t.isDeleted(r);
    return n;
}

} // namespace

class TestBorraRegistros : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changesNothingWithoutAYes_data()
    {
        QTest::addColumn<bool>("application");
        QTest::addColumn<QStringList>("asked");
        // A deleted application is no application: nothing to clear, nothing asked.
        QTest::newRow("no application") << false << QStringList();
        QTest::newRow("answered No") << true << QStringList{kConfirma};
    }
    void changesNothingWithoutAYes()
    {
        QFETCH(bool, application);
        QFETCH(QStringList, asked);
        Fixture fx;
        fx.seed();
        DbfTable app = DbfTable::load(fx.path("datoprov.dbf"));
        app.setDeleted(0, !application);
        app.save();
        const QByteArray files = snapshot(fx);
        TestHost host(fx.data.path());
        fx.messages.answer(Answer::No);
        borraRegistros(host, fx.services);
        QCOMPARE(fx.messages.texts(), asked);
        QCOMPARE(snapshot(fx), files);
        QCOMPARE(host.log, QStringList());
    }

    void asksOnceWithYesAndNo()
    {
        Fixture fx;
        fx.seed();
        TestHost host(fx.data.path());
        borraRegistros(host, fx.services);
        QCOMPARE(fx.messages.shown.size(), 1);
        QCOMPARE(fx.messages.shown[0].title, "ATENCION");
        QCOMPARE(fx.messages.shown[0].buttons, Buttons::YesNo);
        QCOMPARE(fx.messages.shown[0].icon, Icon::None);
    }

    // Of the sales rows only the application's amounts go; years, rates and labels stay, and
    // rows of any other type keep everything.
    void yesZeroesOnlyTheApplicationsAmounts()
    {
        Fixture fx;
        fx.seed();
        const DbfTable before = DbfTable::load(fx.path("VENTAS.dbf"));
        TestHost host(fx.data.path());
        fx.messages.answer(Answer::Yes);
        borraRegistros(host, fx.services);
        const DbfTable ventas = DbfTable::load(fx.path("VENTAS.dbf"));
        QCOMPARE(ventas.recordCount(), before.recordCount());
        for (int r = 0; r < ventas.recordCount(); ++r) {
            const bool own = ventas.value(r, ventas.fieldIndex("tipo")).toInt() == 1;
            for (int p = 1; p <= 5; ++p)
                QCOMPARE(ventas.value(r, p).toDouble(), own ? 0.0 : before.value(r, p).toDouble());
            for (int p : {0, ventas.fieldIndex("TC"), ventas.fieldIndex("ETIQUETA")})
                QCOMPARE(ventas.text(r, p), before.text(r, p));
        }
        QCOMPARE(host.vTotales.field(1).toDouble(), 0.0);
    }

    void yesEmptiesTheApplicationSuppliersAndProducts_data()
    {
        QTest::addColumn<QString>("table");
        QTest::newRow("application") << "datoprov";
        QTest::newRow("products") << "PROVMERC";
        QTest::newRow("suppliers") << "provprod";
    }
    void yesEmptiesTheApplicationSuppliersAndProducts()
    {
        QFETCH(QString, table);
        Fixture fx;
        fx.seed();
        TestHost host(fx.data.path());
        fx.messages.answer(Answer::Yes);
        borraRegistros(host, fx.services);
        QCOMPARE(liveRows(Database(fx.data.path()).table(table)), 0);
    }

    void yesLeavesANewApplicationInTheWindow()
    {
        Fixture fx;
        fx.seed();
        TestHost host(fx.data.path());
        fx.messages.answer(Answer::Yes);
        borraRegistros(host, fx.services);
        QCOMPARE(host.log, (QStringList{"nuevo", "clearMaquila", "clearRfc", "deselectOptions",
                                        "selectFirstEntries", "enableEditButton", "showFirstPage"}));
        QCOMPARE(host.productos.rowCount(), 0);
        QCOMPARE(host.proveedor.rowCount(), 0);
        QCOMPARE(host.datoProv.editMode(), EditMode::Add);
        // With the codes selected in the lists.
        QCOMPARE(host.datoProv.field(28).toInt(), 7);
        QCOMPARE(host.datoProv.field(22).toInt(), 3);
    }

    // The supplier table can be read (and backed up) but no longer replaced: what was cleared
    // before stays cleared, the user is told, and the window shows the tables.
    void aFailurePartWayIsReported()
    {
        Fixture fx;
        fx.seed();
        TestHost host(fx.data.path());
        QVERIFY(QFile::setPermissions(fx.path("provprod.dbf"), QFile::ReadOwner));
        fx.messages.answer(Answer::Yes);
        borraRegistros(host, fx.services);
        QCOMPARE(fx.messages.shown.size(), 2);
        QCOMPARE(fx.messages.shown[1].title, "KIVO");
        QCOMPARE(fx.messages.shown[1].icon, Icon::Critical);
        QCOMPARE(fx.messages.shown[1].text.section('\r', 0, 0),
                 "No se pudo terminar de borrar la solicitud: falló la tabla provprod.");
        QCOMPARE(host.log.contains("reloadAfterFailure"), true);
        QCOMPARE(host.log.contains("clearRfc"), false);
        Database db(fx.data.path());
        QCOMPARE(liveRows(db.table("datoprov")), 0);
        QCOMPARE(liveRows(db.table("PROVMERC")), 0);
    }
};

QTEST_MAIN(TestBorraRegistros)
#include "test_borraregistros.moc"
