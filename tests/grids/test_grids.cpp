#include "capture/grids/productsgrid.h"
#include "capture/grids/salesgrid.h"
#include "capture/grids/suppliergrid.h"
#include "store/database.h"
#include "store/datasource.h"
#include "support/scriptedmessages.h"
#include "support/testfiles.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QtTest>

using namespace kivo;

namespace {

// The rows not deleted, each the named fields joined by '|'.
QStringList liveRows(const DbfTable &t, const QStringList &fields)
{
    QStringList out;
    for (int r = 0; r < t.recordCount(); ++r) {
        QStringList values;
        for (int f = 0; f < t.fields().size(); ++f)
            if (fields.contains(t.fields()[f].name, Qt::CaseInsensitive))
                values << t.text(r, f);
        if (!t.isDeleted(r))
            out << values.join(u'|');
    }
    return out;
}

// Keys go to the focused widget, so a cell editor gets what follows the key that opened it.
QWidget *target(QAbstractItemView *view)
{
    QWidget *focus = QApplication::focusWidget();
    return focus && (focus == view || view->isAncestorOf(focus)) ? focus : view;
}
void type(QAbstractItemView *view, const QString &text)
{
    for (QChar c : text)
        if (c.unicode() < 128)
            QTest::keyClick(target(view), char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, target(view), Qt::Key_unknown, QString(c), {});
}
void press(QAbstractItemView *view, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QTest::keyClick(target(view), key, modifiers);
}
QString cell(QAbstractItemView *view, int row, int column)
{
    return view->model()->index(row, column).data().toString();
}
void goTo(QAbstractItemView *view, int row, int column)
{
    view->setCurrentIndex(view->model()->index(row, column));
}

// A grid over a private copy of the delivered tables, shown with a control after it.
template <typename Grid>
struct Shown
{
    QTemporaryDir dir;
    bool copied = test::copyDeliveredTables(dir.path());
    ScriptedMessages messages;
    Services services{.messages = &messages, .dataFolder = dir.path(), .driveA = {}, .packer = {}};
    Database database{dir.path()};
    DataSource source;
    QWidget window;
    Grid *grid = nullptr;

    Shown(const char *name, const char *recordSource)
        : source(QString::fromLatin1(name), &database)
    {
        QVERIFY(copied);
        source.setRecordSource(QString::fromLatin1(recordSource));
        source.refresh();
        grid = new Grid(&source, services, &window);
        grid->setGeometry(0, 0, 860, 200);
        (new QLineEdit(&window))->setObjectName(QStringLiteral("siguiente"));
        window.resize(900, 300);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        grid->setFocus();
    }
    DbfTable load(const QString &table) const { return DbfTable::load(dir.filePath(table + ".dbf")); }
};

struct Sales : Shown<SalesGrid>
{
    Sales()
        : Shown("dtsVTotales", "select * from ventas where tipo = 1 ")
    {
    }
    // A field of the n-th stored sales row of the grid's tipo.
    QVariant sales(int n, const char *field) const
    {
        const DbfTable v = load("VENTAS");
        for (int r = 0; r < v.recordCount(); ++r)
            if (!v.isDeleted(r) && v.value(r, v.fieldIndex("TIPO")).toInt() == 1 && n-- == 0)
                return v.value(r, v.fieldIndex(QLatin1String(field)));
        return {};
    }
    SalesTable *t = grid->table();
};

// A supplier grid holding one written row.
struct Suppliers : Shown<SupplierGrid>
{
    Suppliers()
        : Shown("dtsProveedor", "provprod")
    {
        // Enter stays in the row; Ω, which the tables cannot hold, is refused.
        type(grid, "acmé y cía\rABC991231XY1\rtornillos\u03A9\r");
        press(grid, Qt::Key_Down);
    }
    QStringList written() const { return liveRows(load("provprod"), {"PROVEEDOR", "RFC", "DESCRIPCIO"}); }
};

struct Products : Shown<ProductsGrid>
{
    Products()
        : Shown("dtsProductos", "PROVMERC")
    {
        for (const char *product : {"uno\r", "dos\r"}) {
            type(grid, product);
            press(grid, Qt::Key_Down);
        }
    }
    QStringList written() const { return liveRows(load("PROVMERC"), {"DESCRIPCIO"}); }
};

} // namespace

class TestGrids : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void salesShowOnlyItsTipo()
    {
        Sales fx;
        QCOMPARE(fx.t->model()->rowCount(), 3); // no new-row line either
    }

    // Control characters go as their keys; Enter moves like Tab.
    void salesKeysAreStoredOnLeavingTheRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("stored");
        const struct
        {
            const char *tag;
            int row, column;
            const char *pasted, *keys, *field;
            double stored;
        } rows[] = {
            {"typed amount", 0, 2, "", "aZ-ñ x1.5q\r", "VTOT", 1.5},
            {"pasted amount", 0, 2, "abc2.25x", "", "VTOT", 2.25},
            {"balance", 1, 4, "", "100\t40\t", "SALDO", 60.0},
            {"rate", 0, 7, "", "12.5\t", "TC", 12.5},
            {"rate below row 1", 1, 7, "", "5\t", "TC", 0.0},
        };
        for (const auto &r : rows)
            QTest::newRow(r.tag) << r.row << r.column << r.pasted << r.keys << r.field << r.stored;
    }
    void salesKeysAreStoredOnLeavingTheRow()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, pasted);
        Sales fx;
        goTo(fx.t, row, column);
        QApplication::clipboard()->setText(pasted);
        if (!pasted.isEmpty()) {
            press(fx.t, Qt::Key_F2);
            press(fx.t, Qt::Key_V, Qt::ControlModifier);
        }
        QFETCH(QString, keys);
        type(fx.t, keys);
        press(fx.t, Qt::Key_Down);
        QFETCH(QString, field);
        QTEST(fx.sales(row, qPrintable(field)).toDouble(), "stored");
        QVERIFY(fx.messages.shown.isEmpty());
    }

    void emptiedAmountCountsAsZero()
    {
        Sales fx;
        goTo(fx.t, 1, 4);
        type(fx.t, "100\t40\t");
        goTo(fx.t, 1, 5);
        press(fx.t, Qt::Key_F2);
        press(fx.t, Qt::Key_A, Qt::ControlModifier);
        type(fx.t, "\b\t");
        press(fx.t, Qt::Key_Up);
        QCOMPARE(fx.sales(1, "SALDO").toDouble(), 100.0);
        QVERIFY(fx.sales(1, "IMPORTA").isNull());
    }

    // The regional number form is shown, and the table still gets the number.
    void rateShowsTheRegionalNumberForm()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Sales fx;
        goTo(fx.t, 0, 7);
        type(fx.t, "1234.5");
        press(fx.t, Qt::Key_Backtab); // commits the cell, same row
        QCOMPARE(cell(fx.t, 0, 7), QStringLiteral("1.234,50"));
        press(fx.t, Qt::Key_Down);
        QCOMPARE(fx.sales(0, "TC").toDouble(), 1234.5);
    }

    // A wrong RFC keeps the user in the row, even against a click elsewhere; Escape drops it.
    void wrongSupplierRfcHoldsTheRowUntilEscape()
    {
        Suppliers fx;
        goTo(fx.grid, 1, 0);
        type(fx.grid, "dos\rAB1991231XY1\r");
        press(fx.grid, Qt::Key_Up);
        QCOMPARE(fx.messages.texts(), QStringList{"RFC Incorrecto, error en la posición 3"});
        const QPoint other = fx.grid->visualRect(fx.grid->model()->index(0, 0)).center();
        QTest::mouseClick(fx.grid->viewport(), Qt::LeftButton, {}, other);
        QCOMPARE(fx.grid->currentIndex().row(), 1);
        type(fx.grid, "\x1b");
        press(fx.grid, Qt::Key_Up);
        QCOMPARE(fx.grid->currentIndex().row(), 0);
        QCOMPARE(fx.written(), QStringList{"ACMÉ Y CÍA|ABC991231XY1|TORNILLOS"});
    }

    void missingNameAndProductAreBothNamed()
    {
        Suppliers fx;
        goTo(fx.grid, 1, 1);
        type(fx.grid, "XAXX0101017A3\r");
        press(fx.grid, Qt::Key_Tab); // leaving the grid writes the row; the cursor goes back
        QCOMPARE(fx.messages.texts(),
                 (QStringList{"Falta el nombre del proveedor", "Falta la descripción del producto"}));
        QCOMPARE(fx.written().last(), QStringLiteral("|XAXX0101017A3|"));
        QCOMPARE(QApplication::focusWidget(), fx.grid);
        QCOMPARE(fx.grid->currentIndex().row(), 1);
        QCOMPARE(fx.grid->currentIndex().column(), 0);
        type(fx.grid, "dos"); // the name given, another control taken: back to the product
        fx.window.findChild<QWidget *>(QStringLiteral("siguiente"))->setFocus(Qt::MouseFocusReason);
        QCOMPARE(QApplication::focusWidget(), fx.grid);
        QCOMPARE(fx.grid->currentIndex().column(), 2);
    }

    void valueTheTableRefusesIsShownOnceAndKept()
    {
        Suppliers fx;
        goTo(fx.grid, 1, 0);
        type(fx.grid, QString(101, u'N') + "\rABC991231XY1\rclavos\t");
        QCOMPARE(fx.messages.shown.size(), 1);
        const QString refusal = fx.messages.shown[0].text;
        QVERIFY2(refusal.startsWith("El renglón no se guardó."), qPrintable(refusal));
        QVERIFY2(refusal.contains("PROVEEDOR"), qPrintable(refusal));
        QCOMPARE(cell(fx.grid, 1, 0), QString(101, u'N'));
        goTo(fx.grid, 1, 0);
        type(fx.grid, "corto");
        press(fx.grid, Qt::Key_Down);
        QCOMPARE(fx.written().last(), QStringLiteral("CORTO|ABC991231XY1|CLAVOS"));
    }

    void deleteTakesTheChosenRowNotACell()
    {
        Products fx;
        goTo(fx.grid, 0, 0);
        press(fx.grid, Qt::Key_Delete);
        QCOMPARE(fx.written(), (QStringList{"UNO", "DOS"}));
        QTest::mouseClick(fx.grid->verticalHeader()->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
        press(fx.grid, Qt::Key_Delete);
        QCOMPARE(fx.written(), QStringList{"DOS"});
    }

    // Tab leaves the one-column grid at once, from any row; a new row is written on the way out,
    // and by Down, which stays.
    void leavingTheProductsRow_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("leaves");
        QTest::addColumn<QStringList>("written");
        const QStringList three{"UNO", "DOS", "TRES"};
        QTest::newRow("Tab, the new row") << 2 << "tres" << int(Qt::Key_Tab) << true << three;
        QTest::newRow("Tab, a stored row") << 0 << "" << int(Qt::Key_Tab) << true << QStringList{"UNO", "DOS"};
        QTest::newRow("Down, the new row") << 2 << "tres" << int(Qt::Key_Down) << false << three;
    }
    void leavingTheProductsRow()
    {
        QFETCH(int, row);
        QFETCH(QString, keys);
        QFETCH(int, key);
        Products fx;
        QVERIFY(fx.source.isEof()); // the data source follows, for the window's delete button
        goTo(fx.grid, row, 0);
        type(fx.grid, keys);
        press(fx.grid, Qt::Key(key));
        QTEST(QApplication::focusWidget()->objectName() == u"siguiente", "leaves");
        QTEST(fx.written(), "written");
    }
};

QTEST_MAIN(TestGrids)
#include "test_grids.moc"
