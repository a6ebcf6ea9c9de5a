#include "capture/grids/productsgrid.h"
#include "capture/grids/salesgrid.h"
#include "capture/grids/suppliergrid.h"
#include "support/gridfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QtTest>

using namespace kivo;
using namespace kivo::test;

namespace {

QStringList liveRows(const DbfTable &t, QList<int> fields = {})
{
    QStringList out;
    for (int r = 0; r < t.recordCount(); ++r) {
        QStringList values;
        for (int f = 0; f < t.fields().size(); ++f)
            if (fields.isEmpty() || fields.contains(f))
                values << t.text(r, f);
        if (!t.isDeleted(r))
            out << values.join(u'|');
    }
    return out;
}

QVariant sales(const GridFixture &fx, int n, const char *field)
{
    const DbfTable t = fx.load(QStringLiteral("VENTAS"));
    for (int r = 0; r < t.recordCount(); ++r)
        if (!t.isDeleted(r) && t.value(r, t.fieldIndex("TIPO")).toInt() == 1 && n-- == 0)
            return t.value(r, t.fieldIndex(QLatin1String(field)));
    return {};
}

void showIn(QWidget &window, QWidget *grid)
{
    grid->setGeometry(0, 0, 860, 200);
    auto *next = new QLineEdit(&window); // the control after the grid
    next->setObjectName(QStringLiteral("siguiente"));
    next->setGeometry(0, 220, 100, 24);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    grid->setFocus();
}

} // namespace

class TestGrids : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { if (!GridFixture().database) QSKIP("delivered tables not built"); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void salesGrid()
    {
        GridFixture fx;
        const QStringList before = liveRows(fx.load("VENTAS"));
        SalesGrid grid(fx.ventas.get(), fx.services, &fx.window);
        SalesTable *t = grid.table();
        showIn(fx.window, &grid);
        QCOMPARE(t->model()->rowCount(), 3); // the rows of tipo 1 only, no new-row line

        goTo(t, 0, 2);
        type(t, "aZ-ñ x1.5q\r"); // control characters go as their keys; Enter moves like Tab
        QApplication::clipboard()->setText(QStringLiteral("abc2.25x"));
        press(t, Qt::Key_F2);
        press(t, Qt::Key_V, Qt::ControlModifier);
        press(t, Qt::Key_Backtab);
        QCOMPARE(cell(t, 0, 3), QStringLiteral("2.25"));
        goTo(t, 0, 7);
        type(t, "\t"); // wraps to the next row
        QCOMPARE(t->currentIndex(), t->model()->index(1, 0));
        QCOMPARE(sales(fx, 0, "VTOT").toDouble(), 1.5);
        // The rate is read-only below the first row; leaving it must free the other cells.
        for (int row : {1, 2}) {
            goTo(t, row, 7);
            type(t, "5");
            QCOMPARE(cell(t, row, 7), QStringLiteral("0.00"));
        }
        goTo(t, 1, 4);
        type(t, "100\t40\t");
        QCOMPARE(cell(t, 1, 6), QStringLiteral("60"));
        press(t, Qt::Key_Up);
        QCOMPARE(sales(fx, 1, "EXPORTA").toDouble(), 100.0);
        QCOMPARE(sales(fx, 1, "SALDO").toDouble(), 60.0);
        goTo(t, 1, 5); // an emptied amount counts as 0
        press(t, Qt::Key_F2);
        press(t, Qt::Key_A, Qt::ControlModifier);
        type(t, "\b\t");
        press(t, Qt::Key_Up);
        QCOMPARE(sales(fx, 1, "SALDO").toDouble(), 100.0);
        QVERIFY(sales(fx, 1, "IMPORTA").isNull());

        goTo(t, 2, 3);
        type(t, "999\t\x1b"); // Escape drops the changes of the row
        press(t, Qt::Key_Up);
        QCOMPARE(sales(fx, 2, "VMERCNAC").toDouble(), 0.0);

        goTo(t, 0, 7);
        type(t, "12.5");
        press(t, Qt::Key_Backtab); // commits the cell, same row
        QCOMPARE(cell(t, 0, 7), QStringLiteral("12.50"));
        QCOMPARE(sales(fx, 0, "TC").toDouble(), 0.0); // not before leaving the row
        press(t, Qt::Key_Down);
        QCOMPARE(sales(fx, 0, "TC").toDouble(), 12.5);
        // The regional number form is shown, and the table still gets the number.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        goTo(t, 0, 7);
        QCOMPARE(cell(t, 0, 7), QStringLiteral("12,50"));
        type(t, "1234.5");
        press(t, Qt::Key_Backtab);
        QCOMPARE(cell(t, 0, 7), QStringLiteral("1.234,50"));
        press(t, Qt::Key_Down);
        QCOMPARE(sales(fx, 0, "TC").toDouble(), 1234.5);
        QVERIFY(fx.messages.shown.isEmpty());
        const DbfTable v = fx.load("VENTAS");
        QCOMPARE(liveRows(v).size(), 4);
        for (int r = 0; r < 4; ++r) { // the rows of other tipos are left alone
            if (v.value(r, v.fieldIndex("TIPO")).toInt() != 1)
                QCOMPARE(liveRows(v)[r], before[r]);
        }
    }

    void supplierRows()
    {
        GridFixture fx;
        SupplierGrid grid(fx.proveedores.get(), fx.services, &fx.window);
        showIn(fx.window, &grid);
        const auto written = [&] { return liveRows(fx.load("provprod"), {0, 1, 2}); };

        // Enter stays in the row, and Ω, which the tables cannot hold, is refused.
        goTo(&grid, 0, 0);
        type(&grid, "acmé y cía\rABC991231XY1\rtornillos\u03A9\r\t"); // Tab: to the next control
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("siguiente"));
        QCOMPARE(written(), QStringList{"ACMÉ Y CÍA|ABC991231XY1|TORNILLOS"});
        // A wrong RFC keeps the row, against keys and mouse alike, until it is dropped.
        goTo(&grid, 1, 0);
        type(&grid, "dos\rAB1991231XY1\r");
        press(&grid, Qt::Key_Up);
        QCOMPARE(fx.messages.texts(), QStringList{"RFC Incorrecto, error en la posición 3"});
        QCOMPARE(fx.messages.shown[0].title, QStringLiteral("Mensaje"));
        const QPoint other = grid.visualRect(grid.model()->index(0, 0)).center();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, other);
        QCOMPARE(grid.currentIndex().row(), 1);
        QCOMPARE(written().size(), 1);
        fx.messages.clear();
        type(&grid, "\x1b");
        press(&grid, Qt::Key_Up);
        QCOMPARE(grid.currentIndex().row(), 0);
        QVERIFY(fx.messages.shown.isEmpty());
        // Missing name and product: both messages, name first, and the row is written.
        goTo(&grid, 1, 1);
        type(&grid, "XAXX0101017A3\r");
        press(&grid, Qt::Key_Up);
        QCOMPARE(fx.messages.texts(), (QStringList{"Falta el nombre del proveedor",
                                                   "Falta la descripción del producto"}));
        QCOMPARE(written().last(), QStringLiteral("|XAXX0101017A3|"));
        // A value the engine refuses is shown once, and nothing typed is lost.
        fx.messages.clear();
        goTo(&grid, 2, 0);
        type(&grid, QString(101, u'N') + "\rABC991231XY1\rclavos\t");
        QCOMPARE(fx.messages.shown.size(), 1);
        const MessageBox &refusal = fx.messages.shown[0];
        QCOMPARE(refusal.title, QStringLiteral("KIVO"));
        QVERIFY2(refusal.text.startsWith("El renglón no se guardó."), qPrintable(refusal.text));
        QVERIFY2(refusal.text.contains("PROVEEDOR"), qPrintable(refusal.text));
        QCOMPARE(cell(&grid, 2, 0), QString(101, u'N'));
        goTo(&grid, 2, 0);
        type(&grid, "corto");
        press(&grid, Qt::Key_Down);
        QCOMPARE(written().last(), QStringLiteral("CORTO|ABC991231XY1|CLAVOS"));
        QCOMPARE(fx.messages.shown.size(), 1);
    }

    void productsAddDeleteAndTab()
    {
        GridFixture fx;
        ProductsGrid grid(fx.productos.get(), fx.services, &fx.window);
        showIn(fx.window, &grid);
        const int descripcio = fx.load("PROVMERC").fieldIndex("DESCRIPCIO");
        const auto written = [&] { return liveRows(fx.load("PROVMERC"), {descripcio}); };

        type(&grid, "uno\r");
        press(&grid, Qt::Key_Down);
        type(&grid, "dos\r");
        press(&grid, Qt::Key_Down);
        goTo(&grid, 0, 0);
        press(&grid, Qt::Key_Delete); // a cell, not a chosen row: nothing
        QCOMPARE(written(), (QStringList{"UNO", "DOS"}));
        QTest::mouseClick(grid.verticalHeader()->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
        press(&grid, Qt::Key_Delete);
        QCOMPARE(written(), QStringList{"DOS"});
        goTo(&grid, 1, 0); // the data source follows, for the window's delete button
        QVERIFY(fx.productos->isEof());
        type(&grid, "tres\t"); // leaves the grid at once, writing the row
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("siguiente"));
        QCOMPARE(written(), (QStringList{"DOS", "TRES"}));
        fx.productos->moveTo(0);
        fx.productos->deleteCurrent();
        fx.productos->refresh(); // as the window does: the grid shows the rows again
        QCOMPARE(cell(&grid, 0, 0), QStringLiteral("TRES"));
    }
};

QTEST_MAIN(TestGrids)
#include "test_grids.moc"
