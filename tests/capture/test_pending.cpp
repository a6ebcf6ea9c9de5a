#include "support/form1fixture.h"
#include "capture/grids/suppliergrid.h"
#include "capture/pendingwindow.h"
#include "info/frmayuda.h"
#include "questionnaire/frmdocument.h"
#include <QAbstractItemView>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolTip>

using namespace kivo;
namespace {

// Everything the print asks for; `drop` leaves one thing out.
void fillAll(Form1Fixture &f, const QString &drop = {})
{
    f.fillRequired(drop == "txtCP" ? QStringList{"txtCP"} : QStringList{});
    f.w<QComboBox>("cmbActividad")->setCurrentIndex(1);
    f.w<QComboBox>("Combo5")->setCurrentIndex(drop == "Combo5" ? -1 : 2);
    f.w<QRadioButton>("optPromotora")->click();
    addRows(f.form->products(), "DESCRIPCIO", {"TELAS"});
    for (const char *rfc : {"AVA980512K21", drop == "rfc" ? "EV1" : "EVN0103227A3", "ECA950830JJ9"}) {
        DataSource *ds = f.form->suppliers();
        ds->addNew();
        ds->setField("PROVEEDOR", "A");
        ds->setField("RFC", rfc);
        ds->setField("DESCRIPCIO", "B");
        ds->update();
    }
    f.form->suppliers()->refresh();
}

PendingWindow *openPending(Form1Fixture &f)
{
    QTest::keyClick(f.form.get(), Qt::Key_F8);
    PendingWindow *w = nullptr;
    [&] { QTRY_VERIFY((w = f.form->pendingWindow()) != nullptr); }();
    return w;
}
} // namespace

class TestPending : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyApplicationListsEveryKindInPageOrder()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        f.show();
        f.w<RfcEntry>("MaskEdBox1")->setRfcText("ABC991231XY1");
        f.w<QComboBox>("Combo5")->setCurrentIndex(-1);
        f.w<QComboBox>("cmbActividad")->setCurrentIndex(-1);
        addRows(f.form->suppliers(), "PROVEEDOR", {"SIN RFC"});
        const QStringList lines = f.form->pendingLines();
        QCOMPARE(lines.value(0), "Datos Generales — Razón Social: dato requerido");
        QCOMPARE(lines.value(1), "Datos Generales — Actividad Principal: dato requerido");
        QCOMPARE(lines.value(2), "I. Datos Generales — Colonia: dato requerido");
        QCOMPARE(lines.filter("Adm. local de recaudación").value(0),
                 "I. Datos Generales — Adm. local de recaudación: Capture la admon. local del proveedor");
        QCOMPARE(lines.filter("Tipo de Registro").value(0),
                 "Productos de exportación — Tipo de Registro: dato requerido");
        QCOMPARE(lines.filter("RFC del proveedor").value(0),
                 "Registro de proveedores — RFC del proveedor 1: RFC Incorrecto, error en la posición 0");
        QCOMPARE(lines.last(), "Cuenta bancaria — Domicilio de la sucursal bancaria: dato requerido");
    }

    void leadsToEachItem_data()
    {
        QTest::addColumn<QString>("drop");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("focus"); // "grid:row:column" for a grid cell
        QTest::newRow("código postal") << "txtCP" << 0 << "txtCP";
        QTest::newRow("administración local") << "Combo5" << 0 << "Combo5";
        QTest::newRow("RFC de un proveedor") << "rfc" << 5 << "dbProveedor:1:1";
    }
    void leadsToEachItem()
    {
        QFETCH(QString, drop);
        QFETCH(int, page);
        QFETCH(QString, focus);
        Form1Fixture f;
        QVERIFY(f.start());
        f.show();
        fillAll(f, drop);
        f.form->validaRfc();
        f.w<QTabWidget>("SSTab1")->setCurrentIndex(3);
        PendingWindow *w = openPending(f);
        auto *list = w->findChild<QListWidget *>("lstPendientes");
        QCOMPARE(list->count(), 1);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(f.w<QTabWidget>("SSTab1")->currentIndex(), page);
        QWidget *focused = f.form->focusWidget(); // the caret once the window is active again
        QString where = focused ? focused->objectName() : QString();
        if (auto *grid = qobject_cast<QAbstractItemView *>(focused))
            where +=
                QStringLiteral(":%1:%2").arg(grid->currentIndex().row()).arg(grid->currentIndex().column());
        QCOMPARE(where, focus);
        f.stop();
    }

    void followsTheClerkLive()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        f.show();
        fillAll(f, "txtCP");
        PendingWindow *w = openPending(f);
        QCOMPARE(w->lines(), QStringList{"I. Datos Generales — CP: dato requerido"});
        f.w<TextEntry>("txtCP")->setText("06600");
        QTRY_COMPARE(w->lines(), QStringList{"La solicitud está completa: no falta ningún dato."});
        f.w<QComboBox>("Combo5")->setCurrentIndex(-1);
        QTRY_COMPARE(
            w->lines(),
            QStringList{
                "I. Datos Generales — Adm. local de recaudación: Capture la admon. local del proveedor"});
        f.stop();
    }

    void keysRunTheirCommands_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<QString>("opens"); // a window, or the first message
        QTest::newRow("Ctrl+S graba") << int(Qt::Key_S) << true << "El RFC no puede ser menor de 13";
        QTest::newRow("Ctrl+P imprime") << int(Qt::Key_P) << true << "frmDocument";
        QTest::newRow("F1 consideraciones") << int(Qt::Key_F1) << false << "frmayuda";
        QTest::newRow("F8 pendientes") << int(Qt::Key_F8) << false << "frmPendientes";
    }
    void keysRunTheirCommands()
    {
        QFETCH(int, key);
        QFETCH(bool, ctrl);
        QFETCH(QString, opens);
        Form1Fixture f;
        QVERIFY(f.start());
        f.show();
        fillAll(f);
        f.form->validaRfc();  // a valid RFC opens the window, the save, clear and disk buttons included
        if (key == Qt::Key_S) // the save's first check speaks
            f.w<RfcEntry>("MaskEdBox1")->setRfcText("");
        f.messages.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), ctrl ? Qt::ControlModifier : Qt::NoModifier);
        const auto seen = [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->objectName() == opens && w->isVisible())
                    return opens;
            return f.messages.shown.isEmpty() ? QString() : f.messages.shown.constFirst().text;
        };
        QTRY_COMPARE(seen(), opens);
        f.stop();
    }

    // The key shows beside the command's name; the tool tip itself stays the design's words.
    void toolTipShowsTheKey()
    {
        Form1Fixture f;
        QVERIFY(f.start());
        f.show();
        QPushButton *print = nullptr;
        for (QPushButton *b : f.form->findChildren<QPushButton *>(QStringLiteral("Command1")))
            print = b->property("index").toInt() == command1::Imprimir ? b : print;
        QVERIFY(print);
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), print->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(print, &help);
        QTRY_COMPARE(QToolTip::text(), "Imprimir solicitud (Ctrl+P)");
        QCOMPARE(print->toolTip(), "Imprimir solicitud");
        f.stop();
    }
};

QTEST_MAIN(TestPending)
#include "test_pending.moc"
