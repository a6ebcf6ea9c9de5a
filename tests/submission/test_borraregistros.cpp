#include "store/dbftable.h"
#include "store/textos.h"
#include "submission/borraregistros.h"
#include "submission/interrupted.h"
#include "support/fixture.h"

#include <QtTest>

using namespace kivo;
using namespace kivo::test;

static const QString kConfirma = "Con esta Acción borrar toda su solicitud";

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
        Fixture fx;
        DbfTable app = DbfTable::load(fx.path("datoprov.dbf"));
        app.setDeleted(0, !application);
        app.save();
        const QMap<QString, QByteArray> files = fx.dataFiles();
        TestHost host(fx.data.path());
        fx.messages.answer(Answer::No);
        borraRegistros(host, fx.services);
        QTEST(fx.messages.texts(), "asked");
        QCOMPARE(fx.dataFiles(), files);
        QCOMPARE(host.log, QStringList());
    }

    // Of the sales rows only the application's amounts go; rows of any other type keep everything.
    void yesClearsTheApplication()
    {
        Fixture fx;
        const DbfTable before = DbfTable::load(fx.path("VENTAS.dbf"));
        TestHost host(fx.data.path());
        fx.messages.answer(Answer::Yes);
        borraRegistros(host, fx.services);
        QCOMPARE(fx.messages.shown.size(), 1);
        QCOMPARE(fx.messages.shown[0].title, "ATENCION");
        QCOMPARE(fx.messages.shown[0].buttons, Buttons::YesNo);
        const DbfTable ventas = DbfTable::load(fx.path("VENTAS.dbf"));
        QCOMPARE(ventas.recordCount(), before.recordCount());
        for (int r = 0; r < ventas.recordCount(); ++r) {
            const bool own = ventas.value(r, ventas.fieldIndex("tipo")).toInt() == 1;
            for (int p = 1; p <= 5; ++p)
                QCOMPARE(ventas.value(r, p).toDouble(), own ? 0.0 : before.value(r, p).toDouble());
            for (int p : {0, ventas.fieldIndex("TC"), ventas.fieldIndex("ETIQUETA")})
                QCOMPARE(ventas.text(r, p), before.text(r, p));
        }
        QCOMPARE(host.log,
                 (QStringList{"nuevo", "clearMaquila", "clearRfc", "deselectOptions", "selectFirstEntries",
                              "enableEditButton", "showFirstPage"}));
        QCOMPARE(host.proveedor.rowCount(), 0);
        QCOMPARE(host.datoProv.editMode(), EditMode::Add);
    }

    // Stopped part-way by a table it could not write: what was cleared stays cleared, the window
    // shows what the tables hold, and the next start finishes the clearing, once.
    void aClearingCutShortIsReportedAndFinishedAtTheNextStart()
    {
        Fixture fx;
        TestHost host(fx.data.path());
        QVERIFY(QFile::setPermissions(fx.path("PROVMERC.dbf"), QFile::ReadOwner));
        fx.messages.answer(Answer::Yes);
        borraRegistros(host, fx.services);
        QCOMPARE(fx.messages.shown[1].icon, Icon::Critical);
        // A table the user made read-only stays as it is, and says so.
        QCOMPARE(fx.messages.shown[1].text,
                 "No se pudo terminar de borrar la solicitud: falló la tabla PROVMERC.\rLo borrado hasta ese "
                 "momento queda borrado; la ventana muestra lo que contienen las tablas.\r"
                     + textos::kNoGuarda.arg("PROVMERC", QDir::toNativeSeparators(fx.path("PROVMERC.dbf")),
                                             "el archivo es de solo lectura"));
        QCOMPARE(host.log.contains("clearRfc"), false);
        QCOMPARE(host.datoProv.rowCount(), 0);
        QCOMPARE(host.productos.rowCount(), 2);
        QCOMPARE(host.proveedor.rowCount(), 3);
        QVERIFY(QFile::setPermissions(fx.path("PROVMERC.dbf"), QFile::ReadOwner | QFile::WriteOwner));
        const QStringList said = finishInterrupted(fx.data.path());
        const TestHost next(fx.data.path());
        QCOMPARE(next.productos.rowCount(), 0);
        QCOMPARE(next.proveedor.rowCount(), 0);
        QCOMPARE(said.value(0).section('\r', 0, 0),
                 "La última vez que se usó KIVO, el borrado de la solicitud quedó a medias; se terminó ahora.");
        QCOMPARE(finishInterrupted(fx.data.path()), QStringList());
    }
};

QTEST_MAIN(TestBorraRegistros)
#include "test_borraregistros.moc"
