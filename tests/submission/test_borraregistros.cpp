#include "store/database.h"
#include "store/dbftable.h"
#include "submission/borraregistros.h"
#include "support/fixture.h"
#include "support/testhost.h"

#include <QtTest>

using namespace kivo;
using namespace kivo::test;

static QByteArray snapshot(const Fixture &fx)
{
    QByteArray out;
    for (const QString &name : QDir(fx.data.path()).entryList(QDir::Files)) {
        QFile f(fx.data.filePath(name));
        out += f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("unreadable");
    }
    return out;
}

static int liveRows(const DbfTable &t)
{
    int n = t.recordCount();
    for (int r = 0; r < t.recordCount(); ++r)
        n -= t.isDeleted(r);
    return n;
}

class TestBorraRegistros : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clearsOnlyAfterAYes()
    {
        enum Case { Empty, No, Yes, Broken };
        for (Case c : {Empty, No, Yes, Broken}) {
            Fixture fx;
            fx.seed();
            DbfTable app = DbfTable::load(fx.path("datoprov.dbf"));
            app.setDeleted(0, c == Empty); // a deleted application is no application
            app.save();
            const QByteArray files = snapshot(fx);
            const DbfTable before = DbfTable::load(fx.path("VENTAS.dbf"));
            TestHost host(fx.data.path());
            // The supplier table can be read (and backed up) but no longer replaced.
            if (c == Broken)
                QVERIFY(QFile::setPermissions(fx.path("provprod.dbf"), QFile::ReadOwner));
            fx.messages.answer(c >= Yes ? Answer::Yes : Answer::No);
            borraRegistros(host, fx.services);
            // Nothing is asked when there is nothing to clear.
            QCOMPARE(fx.messages.texts().value(0), c == Empty ? "" : "Con esta Acción borrar toda su solicitud");
            if (c != Empty)
                QVERIFY(fx.messages.shown[0].title == "ATENCION" && fx.messages.shown[0].buttons == Buttons::YesNo);
            if (c < Yes) {
                QCOMPARE(snapshot(fx), files);
                QVERIFY(host.log.isEmpty());
                continue;
            }
            // Cleared even before a failure; of the sales rows only the application's amounts.
            Database db(fx.data.path());
            QCOMPARE(liveRows(db.table("datoprov")) + liveRows(db.table("PROVMERC")), 0);
            const DbfTable &ventas = db.table("VENTAS");
            QCOMPARE(ventas.recordCount(), before.recordCount());
            for (int r = 0; r < ventas.recordCount(); ++r) {
                const bool own = ventas.value(r, ventas.fieldIndex("tipo")).toInt() == 1;
                for (int p = 1; p <= 5; ++p)
                    QCOMPARE(ventas.value(r, p).toDouble(), own ? 0.0 : before.value(r, p).toDouble());
                for (int p : {0, ventas.fieldIndex("TC"), ventas.fieldIndex("ETIQUETA")})
                    QCOMPARE(ventas.text(r, p), before.text(r, p));
            }
            QCOMPARE(fx.messages.shown.size(), c == Broken ? 2 : 1);
            if (c == Broken) {
                QVERIFY(fx.messages.shown[1].title == "KIVO" && fx.messages.shown[1].text.contains("provprod"));
                QVERIFY(host.log.contains("reloadAfterFailure") && !host.log.contains("clearRfc"));
                continue;
            }
            QCOMPARE(liveRows(db.table("provprod")) + host.productos.rowCount() + host.proveedor.rowCount(), 0);
            QCOMPARE(host.vTotales.field(1).toDouble(), 0.0);
            QCOMPARE(host.log, (QStringList{"nuevo", "clearMaquila", "clearRfc", "deselectOptions",
                                            "selectFirstEntries", "enableEditButton", "showFirstPage"}));
            QCOMPARE(host.datoProv.editMode(), EditMode::Add); // with the codes selected in the lists
            QCOMPARE(std::pair(host.datoProv.field(28).toInt(), host.datoProv.field(22).toInt()), std::pair(7, 3));
        }
    }
};

QTEST_MAIN(TestBorraRegistros)
#include "test_borraregistros.moc"
