#include "support/form1fixture.h"
#include <QPushButton>
#include <QToolTip>

using namespace kivo;

class TestPending : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyApplicationListsEveryKindInPageOrder()
    {
        Started f(true);
        f.w<RfcEntry>("MaskEdBox1")->setRfcText("ABC991231XY1");
        f.w<QComboBox>("Combo5")->setCurrentIndex(-1);
        f.w<QComboBox>("cmbActividad")->setCurrentIndex(-1);
        addRows(f.form->suppliers(), "PROVEEDOR", {"SIN RFC"});
        const QStringList lines = f.form->pendingLines();
        QCOMPARE(lines.value(0), "Datos Generales — Razón Social: dato requerido");
        QCOMPARE(lines.filter("Adm. local de recaudación").value(0),
                 "I. Datos Generales — Adm. local de recaudación: Capture la admon. local del proveedor");
        QCOMPARE(lines.filter("Tipo de Registro").value(0),
                 "Productos de exportación — Tipo de Registro: dato requerido");
        QCOMPARE(lines.filter("RFC del proveedor").value(0),
                 "Registro de proveedores — RFC del proveedor 1: RFC Incorrecto, error en la posición 0");
        QCOMPARE(lines.last(), "Cuenta bancaria — Domicilio de la sucursal bancaria: dato requerido");
    }

    void followsTheClerkLive()
    {
        Started f(true);
        f.fillAll({"txtCP"});
        PendingWindow *w = f.openPending();
        QCOMPARE(w->lines(), QStringList{"I. Datos Generales — CP: dato requerido"});
        f.w<TextEntry>("txtCP")->setText("06600");
        QTRY_COMPARE(w->lines(), QStringList{"La solicitud está completa: no falta ningún dato."});
        f.w<QComboBox>("Combo5")->setCurrentIndex(-1);
        QTRY_COMPARE(
            w->lines(),
            QStringList{
                "I. Datos Generales — Adm. local de recaudación: Capture la admon. local del proveedor"});
    }

    void keysRunTheirCommands_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("ctrl");
        QTest::addColumn<QString>("opens"); // a window, or the first message (F8: openPending)
        QTest::newRow("Ctrl+S graba") << int(Qt::Key_S) << true << "El RFC no puede ser menor de 13";
        QTest::newRow("Ctrl+P imprime") << int(Qt::Key_P) << true << "frmDocument";
        QTest::newRow("F1 consideraciones") << int(Qt::Key_F1) << false << "frmayuda";
    }
    void keysRunTheirCommands()
    {
        QFETCH(int, key);
        QFETCH(bool, ctrl);
        QFETCH(QString, opens);
        Started f(true);
        f.fillAll();
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
    }

    // The key shows beside the command's name; the tool tip itself stays the design's words.
    void toolTipShowsTheKey()
    {
        Started f(true);
        QPushButton *print = nullptr;
        for (QPushButton *b : f.form->findChildren<QPushButton *>(QStringLiteral("Command1")))
            print = b->property("index").toInt() == command1::Imprimir ? b : print;
        QVERIFY(print);
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), print->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(print, &help);
        QTRY_COMPARE(QToolTip::text(), "Imprimir solicitud (Ctrl+P)");
        QCOMPARE(print->toolTip(), "Imprimir solicitud");
    }
};

QTEST_MAIN(TestPending)
#include "test_pending.moc"
