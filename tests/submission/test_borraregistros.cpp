#include "store/database.h"
#include "store/dbftable.h"
#include "submission/borraregistros.h"
#include "submission/textos.h"
#include "support/fixture.h"
#include "support/testhost.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace kivo;
using namespace kivo::test;

namespace {

const QStringList kTables = {QStringLiteral("datoprov.dbf"), QStringLiteral("VENTAS.dbf"),
                             QStringLiteral("PROVMERC.dbf"), QStringLiteral("provprod.dbf")};

QList<QByteArray> snapshot(const Fixture &fx)
{
    QList<QByteArray> out;
    for (const QString &name : kTables) {
        QFile f(fx.path(name));
        out.append(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
    }
    return out;
}

int liveRows(const DbfTable &t)
{
    int n = 0;
    for (int r = 0; r < t.recordCount(); ++r)
        n += t.isDeleted(r) ? 0 : 1;
    return n;
}

} // namespace

class TestBorraRegistros : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        if (!Fixture().ready())
            QSKIP("delivered tables not built");
    }

    void changesNothingWithoutAYes()
    {
        for (bool emptyApplication : {true, false}) {
            Fixture fx;
            fx.seed();
            if (emptyApplication) {
                DbfTable app = DbfTable::load(fx.path("datoprov.dbf"));
                app.setDeleted(0, true);
                app.save();
            }
            const QList<QByteArray> before = snapshot(fx);
            TestHost host(fx.data.path());
            fx.messages.answer(Answer::No);

            borraRegistros(host, fx.services);

            QCOMPARE(snapshot(fx), before);
            QVERIFY(host.log.isEmpty());
            if (emptyApplication) {
                QVERIFY(fx.messages.shown.isEmpty());
            } else {
                QCOMPARE(fx.messages.shown.size(), 1);
                const MessageBox &box = fx.messages.shown[0];
                QCOMPARE(box.text, QStringLiteral("Con esta Acción borrar toda su solicitud"));
                QCOMPARE(box.title, QStringLiteral("ATENCION"));
                QVERIFY(box.buttons == Buttons::YesNo && box.icon == Icon::None);
            }
        }
    }

    void yesLeavesANewEmptyApplication()
    {
        Fixture fx;
        fx.seed();
        const DbfTable ventasBefore = DbfTable::load(fx.path("VENTAS.dbf"));
        TestHost host(fx.data.path());
        fx.messages.answer(Answer::Yes);

        borraRegistros(host, fx.services);

        QCOMPARE(fx.messages.shown.size(), 1);
        Database db(fx.data.path());
        for (const char *table : {"datoprov", "PROVMERC", "provprod"})
            QCOMPARE(liveRows(db.table(table)), 0);

        const DbfTable &ventas = db.table("VENTAS");
        const int tipo = ventas.fieldIndex("tipo"), tc = ventas.fieldIndex("TC");
        const int etiqueta = ventas.fieldIndex("ETIQUETA");
        QCOMPARE(ventas.recordCount(), ventasBefore.recordCount());
        for (int r = 0; r < ventas.recordCount(); ++r) {
            const bool own = ventas.value(r, tipo).toInt() == 1;
            for (int p = 1; p <= 5; ++p)
                QCOMPARE(ventas.value(r, p).toDouble(), own ? 0.0 : ventasBefore.value(r, p).toDouble());
            for (int p : {0, tc, etiqueta})
                QCOMPARE(ventas.text(r, p), ventasBefore.text(r, p));
        }

        // The lists read again: empty, and the sales rows zeroed.
        QCOMPARE(host.productos.rowCount() + host.proveedor.rowCount(), 0);
        QCOMPARE(host.vTotales.rowCount(), 3);
        QCOMPARE(host.vTotales.field(1).toDouble(), 0.0);

        QCOMPARE(host.log, (QStringList{"nuevo", "clearMaquila", "clearRfc", "deselectOptions",
                                        "selectFirstEntries", "enableEditButton", "showFirstPage"}));
        QCOMPARE(host.datoProv.editMode(), EditMode::Add);
        QCOMPARE(host.datoProv.field(28).toInt(), 7);
        QCOMPARE(host.datoProv.field(22).toInt(), 3);
    }

    void failurePartWayIsReportedAndKept()
    {
        Fixture fx;
        fx.seed();
        TestHost host(fx.data.path());
        // The supplier table can no longer be replaced: a folder now stands in its place.
        const QString suppliers = fx.path("provprod.dbf");
        QVERIFY(QFile::remove(suppliers));
        QVERIFY(QDir().mkpath(suppliers + "/ocupado"));
        fx.messages.answer(Answer::Yes);

        borraRegistros(host, fx.services);

        QCOMPARE(fx.messages.shown.size(), 2);
        const MessageBox &error = fx.messages.shown[1];
        QCOMPARE(error.title, QStringLiteral("KIVO"));
        QVERIFY2(error.text.contains("provprod"), qPrintable(error.text));
        QVERIFY(host.log.contains("reloadAfterFailure"));
        QVERIFY(!host.log.contains("clearRfc"));

        Database db(fx.data.path());
        QCOMPARE(liveRows(db.table("datoprov")), 0);
        QCOMPARE(liveRows(db.table("PROVMERC")), 0);
        const DbfTable &ventas = db.table("VENTAS");
        QCOMPARE(ventas.value(0, 1).toDouble(), 0.0);
    }
};

QTEST_MAIN(TestBorraRegistros)
#include "test_borraregistros.moc"
