#include "capture/grids/productsgrid.h"
#include "capture/grids/salesgrid.h"
#include "capture/grids/suppliergrid.h"
#include "support/gridfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QtTest>

using namespace kivo;
using namespace kivo::test;

namespace {

// Every row of VENTAS whose tipo is not 1, field by field.
QStringList otherTipoRows(const DbfTable &t)
{
    QStringList rows;
    const int tipo = t.fieldIndex(QStringLiteral("TIPO"));
    for (int r = 0; r < t.recordCount(); ++r) {
        if (t.value(r, tipo).toInt() == 1)
            continue;
        QStringList fields;
        for (int f = 0; f < t.fields().size(); ++f)
            fields << t.text(r, f);
        rows << fields.join(u'|') + (t.isDeleted(r) ? QStringLiteral(" (borrado)") : QString());
    }
    return rows;
}

// The n-th row of VENTAS with tipo 1.
int salesRecord(const DbfTable &t, int n)
{
    const int tipo = t.fieldIndex(QStringLiteral("TIPO"));
    for (int r = 0; r < t.recordCount(); ++r) {
        if (!t.isDeleted(r) && t.value(r, tipo).toInt() == 1 && n-- == 0)
            return r;
    }
    return -1;
}

double salesValue(const DbfTable &t, int n, const char *field)
{
    return t.value(salesRecord(t, n), t.fieldIndex(QLatin1String(field))).toDouble();
}

QStringList liveRows(const DbfTable &t, int field)
{
    QStringList out;
    for (int r = 0; r < t.recordCount(); ++r) {
        if (!t.isDeleted(r))
            out << t.text(r, field);
    }
    return out;
}

// Types one supplier row from its first cell, Enter between the cells.
void typeSupplier(QAbstractItemView *grid, int row, const QString &name, const QString &rfc,
                  const QString &product)
{
    goTo(grid, row, 0);
    type(grid, name);
    press(grid, Qt::Key_Return);
    type(grid, rfc);
    press(grid, Qt::Key_Return);
    type(grid, product);
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
    void init()
    {
        QLocale::setDefault(QLocale::c());
        if (!GridFixture().ready())
            QSKIP("delivered tables not built");
    }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void salesLayout()
    {
        GridFixture fx;
        SalesGrid grid(fx.ventas.get(), fx.services, &fx.window);
        QCOMPARE(grid.caption()->text(),
                 QStringLiteral(" VENTAS TOTALES E INTERCAMBIO COMERCIAL CON EL EXTERIOR"));
        QAbstractItemModel *m = grid.table()->model();
        QCOMPARE(m->rowCount(), 3); // the rows of tipo 1 only, no new-row line
        QCOMPARE(m->columnCount(), 8);
        QCOMPARE(m->headerData(2, Qt::Horizontal).toString(),
                 QStringLiteral("Ventas totales (miles de pesos) "));
        QCOMPARE(m->headerData(7, Qt::Horizontal).toString(), QStringLiteral("Tipo de cambio"));
        QCOMPARE(cell(grid.table(), 0, 2), QStringLiteral("0.00"));
        QCOMPARE(cell(grid.table(), 0, 4), QStringLiteral("0"));
        QCOMPARE(cell(grid.table(), 2, 0), QStringLiteral("Estimación del ejercicio siguiente"));
        showIn(fx.window, &grid);
        QVERIFY(grid.table()->horizontalHeader()->height()
                >= 3 * grid.table()->fontMetrics().lineSpacing());
        // Years and row captions show whole in today's fonts, where the grid has the room.
        for (int c : {SalesTable::Etiqueta, SalesTable::Ano})
            QVERIFY(grid.table()->columnWidth(c)
                    > grid.table()->fontMetrics().horizontalAdvance(cell(grid.table(), 2, c)));
    }

    void salesRateOnlyInFirstRowWithTwoDecimals()
    {
        GridFixture fx;
        const QStringList others = otherTipoRows(fx.load("VENTAS"));
        SalesGrid grid(fx.ventas.get(), fx.services, &fx.window);
        SalesTable *t = grid.table();
        showIn(fx.window, &grid);

        for (int row : {1, 2}) {
            goTo(t, row, 7);
            QVERIFY(!t->allowUpdate());
            type(t, "5");
            QCOMPARE(cell(t, row, 7), QStringLiteral("0.00"));
            goTo(t, row, 6);
            QVERIFY(t->allowUpdate());
        }

        goTo(t, 0, 7);
        QVERIFY(t->allowUpdate());
        type(t, "12.5");
        press(t, Qt::Key_Backtab); // commits the cell, same row
        QCOMPARE(t->currentIndex(), t->model()->index(0, 6));
        QCOMPARE(cell(t, 0, 7), QStringLiteral("12.50"));
        QCOMPARE(salesValue(fx.load("VENTAS"), 0, "TC"), 0.0); // not before leaving the row
        press(t, Qt::Key_Down);
        QCOMPARE(salesValue(fx.load("VENTAS"), 0, "TC"), 12.5);
        goTo(t, 0, 7);
        QCOMPARE(cell(t, 0, 7), QStringLiteral("12.50"));

        // The regional number form is shown, and the table still gets the number.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        goTo(t, 0, 6);
        goTo(t, 0, 7);
        QCOMPARE(cell(t, 0, 7), QStringLiteral("12,50"));
        type(t, "1234.5");
        press(t, Qt::Key_Backtab);
        QCOMPARE(cell(t, 0, 7), QStringLiteral("1.234,50"));
        press(t, Qt::Key_Down);
        QVERIFY(fx.messages.shown.isEmpty());
        QCOMPARE(salesValue(fx.load("VENTAS"), 0, "TC"), 1234.5);

        QCOMPARE(otherTipoRows(fx.load("VENTAS")), others);
    }

    void salesBalanceFollowsExportsAndImports()
    {
        GridFixture fx;
        const QStringList others = otherTipoRows(fx.load("VENTAS"));
        SalesGrid grid(fx.ventas.get(), fx.services, &fx.window);
        SalesTable *t = grid.table();
        showIn(fx.window, &grid);

        goTo(t, 1, 4);
        type(t, "100");
        press(t, Qt::Key_Tab);
        type(t, "40");
        press(t, Qt::Key_Tab);
        QCOMPARE(cell(t, 1, 6), QStringLiteral("60"));
        press(t, Qt::Key_Up);
        DbfTable v = fx.load("VENTAS");
        QCOMPARE(salesValue(v, 1, "EXPORTA"), 100.0);
        QCOMPARE(salesValue(v, 1, "SALDO"), 60.0);

        goTo(t, 1, 4);
        type(t, "150");
        press(t, Qt::Key_Tab);
        QCOMPARE(cell(t, 1, 6), QStringLiteral("110")); // before the cursor leaves the row
        QCOMPARE(salesValue(fx.load("VENTAS"), 1, "SALDO"), 60.0);
        press(t, Qt::Key_Up);
        QCOMPARE(salesValue(fx.load("VENTAS"), 1, "SALDO"), 110.0);

        // An emptied amount counts as 0.
        goTo(t, 1, 5);
        press(t, Qt::Key_F2);
        press(t, Qt::Key_A, Qt::ControlModifier);
        press(t, Qt::Key_Backspace);
        press(t, Qt::Key_Tab);
        QCOMPARE(cell(t, 1, 6), QStringLiteral("150"));
        press(t, Qt::Key_Up);
        v = fx.load("VENTAS");
        QCOMPARE(salesValue(v, 1, "SALDO"), 150.0);
        QVERIFY(v.value(salesRecord(v, 1), v.fieldIndex("IMPORTA")).isNull());
        QVERIFY(fx.messages.shown.isEmpty());

        QCOMPARE(otherTipoRows(fx.load("VENTAS")), others);
        QCOMPARE(fx.load("VENTAS").recordCount(), 4);
    }

    void salesKeysAndMoves()
    {
        GridFixture fx;
        SalesGrid grid(fx.ventas.get(), fx.services, &fx.window);
        SalesTable *t = grid.table();
        showIn(fx.window, &grid);

        for (int column = 0; column < 8; ++column) {
            goTo(t, 0, column);
            const QString before = cell(t, 0, column);
            type(t, "aZ-ñ ");
            QCOMPARE(cell(t, 0, column), before);
        }

        goTo(t, 0, 2);
        type(t, "x1.5q");
        press(t, Qt::Key_Return); // moves like Tab
        QCOMPARE(t->currentIndex(), t->model()->index(0, 3));
        QCOMPARE(cell(t, 0, 2), QStringLiteral("1.50"));

        // Pasting goes through the same filter as typing.
        QApplication::clipboard()->setText(QStringLiteral("abc2.25x"));
        press(t, Qt::Key_F2);
        press(t, Qt::Key_End);
        press(t, Qt::Key_V, Qt::ControlModifier);
        press(t, Qt::Key_Backtab);
        QCOMPARE(cell(t, 0, 3), QStringLiteral("2.25"));

        goTo(t, 0, 7);
        press(t, Qt::Key_Tab); // wraps to the next row
        QCOMPARE(t->currentIndex(), t->model()->index(1, 0));
        QCOMPARE(salesValue(fx.load("VENTAS"), 0, "VTOT"), 1.5);
        goTo(t, 1, 7);
        press(t, Qt::Key_Return);
        QCOMPARE(t->currentIndex(), t->model()->index(2, 0));
        press(t, Qt::Key_Backtab);
        QCOMPARE(t->currentIndex(), t->model()->index(1, 7));

        // Escape drops the changes of the row.
        goTo(t, 2, 3);
        type(t, "999");
        press(t, Qt::Key_Tab);
        QCOMPARE(cell(t, 2, 3), QStringLiteral("999.00"));
        press(t, Qt::Key_Escape);
        QCOMPARE(cell(t, 2, 3), QStringLiteral("0.00"));
        press(t, Qt::Key_Up);
        QCOMPARE(salesValue(fx.load("VENTAS"), 2, "VMERCNAC"), 0.0);
    }

    void supplierEnterStaysInRowAndRowIsWritten()
    {
        GridFixture fx;
        SupplierGrid grid(fx.proveedores.get(), fx.services, &fx.window);
        showIn(fx.window, &grid);
        QCOMPARE(grid.model()->rowCount(), 1);

        goTo(&grid, 0, 0);
        type(&grid, "acmé y cía");
        press(&grid, Qt::Key_Return);
        QCOMPARE(grid.currentIndex().column(), 1);
        QCOMPARE(cell(&grid, 0, 0), QStringLiteral("ACMÉ Y CÍA"));
        type(&grid, "ABC991231XY1");
        press(&grid, Qt::Key_Enter);
        type(&grid, "tornillos\u03A9"); // a letter the tables cannot hold is refused
        press(&grid, Qt::Key_Return);
        QCOMPARE(grid.currentIndex(), grid.model()->index(0, 2)); // no wrap
        QVERIFY(liveRows(fx.load("provprod"), 0).isEmpty());

        press(&grid, Qt::Key_Tab); // from the last cell on to the next control
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("siguiente"));
        const DbfTable p = fx.load("provprod");
        QCOMPARE(liveRows(p, 0), QStringList{QStringLiteral("ACMÉ Y CÍA")});
        QCOMPARE(liveRows(p, 1), QStringList{QStringLiteral("ABC991231XY1")});
        QCOMPARE(liveRows(p, 2), QStringList{QStringLiteral("TORNILLOS")});
        QCOMPARE(grid.model()->rowCount(), 2);
        QVERIFY(fx.messages.shown.isEmpty());
    }

    void supplierRowChecks()
    {
        GridFixture fx;
        SupplierGrid grid(fx.proveedores.get(), fx.services, &fx.window);
        showIn(fx.window, &grid);

        typeSupplier(&grid, 0, "uno", "ABC991231XY1", "tuercas");
        press(&grid, Qt::Key_Down);
        QCOMPARE(grid.currentIndex().row(), 1);
        QCOMPARE(liveRows(fx.load("provprod"), 0).size(), 1);

        // A wrong RFC keeps the row until it is corrected or dropped.
        typeSupplier(&grid, 1, "dos", "AB1991231XY1", "");
        press(&grid, Qt::Key_Up);
        QCOMPARE(grid.currentIndex().row(), 1);
        QCOMPARE(fx.messages.texts(), QStringList{"RFC Incorrecto, error en la posición 3"});
        const MessageBox &box = fx.messages.shown[0];
        QVERIFY(box.title == "Mensaje" && box.buttons == Buttons::Ok && box.icon == Icon::None);
        const QPoint other = grid.visualRect(grid.model()->index(0, 0)).center();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, other);
        QCOMPARE(grid.currentIndex().row(), 1);
        QCOMPARE(fx.messages.shown.size(), 2);
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, other);
        QVERIFY(!qobject_cast<QLineEdit *>(QApplication::focusWidget())); // no cell opened
        fx.messages.clear();
        QCOMPARE(liveRows(fx.load("provprod"), 0).size(), 1);
        press(&grid, Qt::Key_Escape);
        QCOMPARE(cell(&grid, 1, 0), QString());
        press(&grid, Qt::Key_Up);
        QCOMPARE(grid.currentIndex().row(), 0);
        QCOMPARE(fx.messages.shown.size(), 0);

        // Missing name and product: both messages, name first, and the row is written.
        goTo(&grid, 1, 1);
        type(&grid, "XAXX0101017A3");
        press(&grid, Qt::Key_Return);
        press(&grid, Qt::Key_Up);
        QCOMPARE(fx.messages.texts(),
                 (QStringList{QStringLiteral("Falta el nombre del proveedor"),
                              QStringLiteral("Falta la descripción del producto")}));
        QCOMPARE(fx.messages.shown[1].title, QStringLiteral("KIVO"));
        QCOMPARE(liveRows(fx.load("provprod"), 1),
                 (QStringList{QStringLiteral("ABC991231XY1"), QStringLiteral("XAXX0101017A3")}));
    }

    void refusedValueStaysForCorrection()
    {
        GridFixture fx;
        SupplierGrid grid(fx.proveedores.get(), fx.services, &fx.window);
        showIn(fx.window, &grid);
        const QString tooLong(101, u'N');

        typeSupplier(&grid, 0, tooLong, "ABC991231XY1", "clavos");
        press(&grid, Qt::Key_Tab);
        QCOMPARE(fx.messages.shown.size(), 1);
        QCOMPARE(fx.messages.shown[0].title, QStringLiteral("KIVO"));
        QVERIFY(fx.messages.shown[0].text.startsWith(QStringLiteral("El renglón no se guardó.")));
        QVERIFY(fx.messages.shown[0].text.contains(QStringLiteral("PROVEEDOR")));
        QVERIFY(liveRows(fx.load("provprod"), 0).isEmpty());
        QCOMPARE(cell(&grid, 0, 0), tooLong); // nothing typed is lost
        QCOMPARE(cell(&grid, 0, 2), QStringLiteral("CLAVOS"));

        grid.setFocus();
        goTo(&grid, 0, 0);
        type(&grid, "corto");
        press(&grid, Qt::Key_Down);
        QCOMPARE(liveRows(fx.load("provprod"), 0), QStringList{QStringLiteral("CORTO")});
        QCOMPARE(liveRows(fx.load("provprod"), 2), QStringList{QStringLiteral("CLAVOS")});
        QCOMPARE(fx.messages.shown.size(), 1);
    }

    void productsAddDeleteAndTab()
    {
        GridFixture fx;
        ProductsGrid grid(fx.productos.get(), fx.services, &fx.window);
        showIn(fx.window, &grid);
        QCOMPARE(grid.model()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("Descripción"));
        const int descripcio = fx.load("PROVMERC").fieldIndex("DESCRIPCIO");

        goTo(&grid, 0, 0);
        type(&grid, "uno");
        press(&grid, Qt::Key_Return);
        press(&grid, Qt::Key_Down);
        type(&grid, "dos");
        press(&grid, Qt::Key_Return);
        press(&grid, Qt::Key_Down);
        QCOMPARE(liveRows(fx.load("PROVMERC"), descripcio),
                 (QStringList{QStringLiteral("UNO"), QStringLiteral("DOS")}));
        QCOMPARE(grid.model()->rowCount(), 3);

        goTo(&grid, 0, 0);
        press(&grid, Qt::Key_Delete); // a cell, not a chosen row: nothing
        QCOMPARE(liveRows(fx.load("PROVMERC"), descripcio).size(), 2);
        QHeaderView *selectors = grid.verticalHeader();
        QTest::mouseClick(selectors->viewport(), Qt::LeftButton, {},
                          QPoint(4, selectors->sectionViewportPosition(0) + 4));
        press(&grid, Qt::Key_Delete);
        QCOMPARE(liveRows(fx.load("PROVMERC"), descripcio), QStringList{QStringLiteral("DOS")});
        QCOMPARE(cell(&grid, 0, 0), QStringLiteral("DOS"));
        QCOMPARE(grid.model()->rowCount(), 2);

        // The data source follows the grid, so the window's delete button takes the row shown.
        goTo(&grid, 0, 0);
        QCOMPARE(fx.productos->position(), 0);
        goTo(&grid, 1, 0);
        QVERIFY(fx.productos->isEof());

        // Tab leaves the grid at once, writing the row.
        goTo(&grid, 1, 0);
        type(&grid, "tres");
        press(&grid, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("siguiente"));
        QCOMPARE(liveRows(fx.load("PROVMERC"), descripcio),
                 (QStringList{QStringLiteral("DOS"), QStringLiteral("TRES")}));

        // After the window refreshed the data source, the grid shows its rows again.
        fx.productos->moveTo(0);
        fx.productos->deleteCurrent();
        fx.productos->refresh();
        QCOMPARE(grid.model()->rowCount(), 2);
        QCOMPARE(cell(&grid, 0, 0), QStringLiteral("TRES"));
        QVERIFY(fx.messages.shown.isEmpty());
    }
};

QTEST_MAIN(TestGrids)
#include "test_grids.moc"
