#include "support/form1fixture.h"
#include "capture/rfcentry.h"
#include "capture/textentry.h"
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QPointer>
#include <QRadioButton>
#include <QTabWidget>

using namespace kivo;
namespace {
QString tagOf(const QWidget *w)
{
    if (w->objectName() == QLatin1String("Command1"))
        return QStringLiteral("Command1(%1)").arg(w->property("index").toInt());
    if (!w->objectName().isEmpty())
        return w->objectName();
    return w->parentWidget()->objectName() + QLatin1Char('/') + QString::fromLatin1(w->metaObject()->className());
}

QString accessible(QObject *o, QAccessible::Text t = QAccessible::Name)
{
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(o);
    return i ? i->text(t) : QStringLiteral("(sin interfaz)");
}

void addRows(DataSource *ds, const QStringList &names)
{
    for (const QString &n : names) {
        ds->addNew();
        ds->setField(ds->name() == QLatin1String("dtsProductos") ? QStringLiteral("DESCRIPCIO") : QStringLiteral("PROVEEDOR"), n);
        ds->update();
    }
    ds->refresh();
}
} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT
    std::unique_ptr<Form1Fixture> m_f;
    QMap<QString, QPointer<QWidget>> m_reachable; // every control the Tab key can reach, page by page

    QWidget *control(const QString &tag) const { return m_reachable.value(tag); }

private Q_SLOTS:
    void initTestCase()
    {
        m_f = std::make_unique<Form1Fixture>();
        QVERIFY(m_f->start());
        m_f->show();
        auto *pages = m_f->w<QTabWidget>("SSTab1");
        for (int p = 0; p < pages->count(); ++p) {
            pages->setCurrentIndex(p);
            for (QWidget *w : m_f->form->findChildren<QWidget *>())
                if (w->window() == m_f->form.get() && w->isVisible() && (w->focusPolicy() & Qt::TabFocus)
                    && !w->focusProxy())
                    m_reachable.insert(tagOf(w), w);
        }
    }
    void cleanupTestCase() { m_f->stop(); }

    void everyReachableControlHasAName_data()
    {
        QTest::addColumn<QString>("tag");
        for (const QString &tag : m_reachable.keys())
            QTest::newRow(qPrintable(tag)) << tag;
    }
    void everyReachableControlHasAName()
    {
        QFETCH(QString, tag);
        QVERIFY2(!accessible(control(tag)).trimmed().isEmpty(), qPrintable(tag));
    }

    // Read from the window's own labels and captions, as a person reads them.
    void namesAreTheLabelsTexts_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("name");
        QTest::newRow("tipo de trámite, una lista") << "Combo1" << "Tipo de Trámite";
        QTest::newRow("razón social, sin dos puntos") << "txtApePat1" << "Razón Social";
        QTest::newRow("estado, junto a una etiqueta de dos líneas") << "txtEstado" << "Estado";
        QTest::newRow("administración local, etiqueta de dos líneas") << "Combo5" << "Adm. local de recaudación";
        QTest::newRow("apellido materno, etiqueta encima") << "txtApeMatR2" << "Apellido Materno";
        QTest::newRow("fax, dos etiquetas a la izquierda") << "txtFaxR2" << "Fax";
        QTest::newRow("ventas en el país, etiqueta en otro marco") << "VentasPais" << "En el país";
        QTest::newRow("banco, lista con escritura") << "cmbBanco" << "Nombre del banco";
        QTest::newRow("tabla de ventas, su título") << "dbgVTotalesTabla"
                                                    << "VENTAS TOTALES E INTERCAMBIO COMERCIAL CON EL EXTERIOR";
        QTest::newRow("productos, su marco") << "dbProductos"
            << "Principales productos exportados en el año anterior(anotarlos en orden de importancia)";
        QTest::newRow("proveedores, su página") << "dbProveedor" << "Registro de proveedores";
        QTest::newRow("botón de la barra, su ayuda") << "Command1(1)" << "Grabar datos";
        QTest::newRow("nota sin etiqueta") << "txtexportadores" << "Mínimo de proveedores";
    }
    void namesAreTheLabelsTexts()
    {
        QFETCH(QString, tag);
        QFETCH(QString, name);
        QCOMPARE(accessible(control(tag)), name);
    }

    void descriptionsAreTheToolTips_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("description");
        QTest::newRow("lista") << "cmbActividad" << "Actividad Principal";
        QTest::newRow("botón") << "Command1(2)" << "Generar disco  para Tolvania";
    }
    void descriptionsAreTheToolTips()
    {
        QFETCH(QString, tag);
        QFETCH(QString, description);
        QCOMPARE(accessible(control(tag), QAccessible::Description), description);
    }

    // A list says its entry as the value, the name staying its label.
    void listValueIsItsEntry()
    {
        QCOMPARE(accessible(control("Combo1"), QAccessible::Value), QStringLiteral("Programa nuevo"));
    }

    void columnsAreReadByTheirHeaders_data()
    {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("header");
        QTest::newRow("proveedor") << "dbProveedor" << 0 << "Provedor Nacional";
        QTest::newRow("rfc del proveedor") << "dbProveedor" << 1 << "RFC";
        QTest::newRow("producto") << "dbProductos" << 0 << "Descripción";
        QTest::newRow("exportación") << "dbgVTotalesTabla" << 4
                                     << "Exportación directa e indirecta (miles de dolares)";
    }
    void columnsAreReadByTheirHeaders()
    {
        QFETCH(QString, tag);
        QFETCH(int, column);
        QFETCH(QString, header);
        QAccessibleTableInterface *table = QAccessible::queryAccessibleInterface(control(tag))->tableInterface();
        QVERIFY(table);
        const QList<QAccessibleInterface *> headers = table->cellAt(0, column)->tableCellInterface()->columnHeaderCells();
        QCOMPARE(headers.size(), 1);
        QCOMPARE(headers[0]->text(QAccessible::Name), header);
    }

    void cellEditorIsReadByItsColumn()
    {
        m_f->w<QTabWidget>("SSTab1")->setCurrentIndex(5);
        auto *grid = m_f->w<QAbstractItemView>("dbProveedor");
        grid->setFocus();
        const QModelIndex cell = grid->model()->index(0, 1);
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        QWidget *editor = QApplication::focusWidget();
        QVERIFY(editor && editor != grid);
        QCOMPARE(accessible(editor), QStringLiteral("RFC"));
        QTest::keyClick(editor, Qt::Key_Escape);
        QTest::keyClick(grid, Qt::Key_Escape);
    }

    // After the message the window shows where the first missing item is, the cursor in it.
    void focusGoesToWhatIsMissing_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("row");
        QTest::newRow("código postal") << "txtCP" << 0 << "txtCP" << -1;
        QTest::newRow("razón social, fuera de las páginas") << "txtApePat1" << 4 << "txtApePat1" << -1;
        QTest::newRow("nombre del representante") << "txtNombreR2" << 1 << "txtNombreR2" << -1;
        QTest::newRow("ventas en el país") << "VentasPais" << 2 << "VentasPais" << -1;
        QTest::newRow("domicilio del banco antes que el resto") << "txtDomSucursal+txtCP" << 6 << "txtDomSucursal" << -1;
        QTest::newRow("RFC vacío") << "MaskEdBox1" << 4 << "MaskEdBox1" << -1;
        QTest::newRow("actividad") << "actividad" << 4 << "cmbActividad" << -1;
        QTest::newRow("tipo de registro") << "tipo" << 3 << "optPromotora" << -1;
        QTest::newRow("productos") << "productos" << 3 << "dbProductos" << 0;
        QTest::newRow("tres proveedores") << "proveedores" << 5 << "dbProveedor" << 2;
        QTest::newRow("un proveedor en blanco") << "proveedor en blanco" << 5 << "dbProveedor" << 1;
        QTest::newRow("administración local al grabar") << "Combo5" << 0 << "Combo5" << -1;
    }
    void focusGoesToWhatIsMissing()
    {
        QFETCH(QString, missing);
        QFETCH(int, page);
        QFETCH(QString, focus);
        QFETCH(int, row);
        Form1Fixture f;
        QVERIFY(f.start());
        f.show();
        for (const char *n : {"txtApePat1", "txtDomSucursal", "txtlocalidad", "txtNumCuenta", "txtsucursal",
                              "NoEmpleados", "NoObreros", "txtNombreR2", "txtTelefonoR2", "txtcargo", "txtDelMun",
                              "txtEstado", "txtCP", "txtColonia", "VentasPais", "VentasExterior"})
            f.w<TextEntry>(n)->setText(missing.split('+').contains(QLatin1String(n)) ? "" : "1");
        f.w<RfcEntry>("MaskEdBox1")->setRfcText(missing == "MaskEdBox1" ? "" : "ABC991231XY1");
        f.w<QComboBox>("Combo5")->setCurrentIndex(missing == "Combo5" ? -1 : 3);
        f.w<QComboBox>("cmbActividad")->setCurrentIndex(missing == "actividad" ? -1 : 1);
        if (missing != "tipo")
            f.w<QRadioButton>(missing == "proveedor en blanco" ? "optConsolidadora" : "optPromotora")->click();
        if (missing != "productos")
            addRows(f.form->products(), {"TELAS"});
        addRows(f.form->suppliers(), missing == "proveedores" ? QStringList{"A", "B"}
                                   : missing == "proveedor en blanco" ? QStringList{"A", "", "C", "D"}
                                                                      : QStringList{"A", "B", "C"});
        f.w<QTabWidget>("SSTab1")->setCurrentIndex(4);
        f.form->command1Click(missing == "Combo5" ? 1 : 7);

        QCOMPARE(f.w<QTabWidget>("SSTab1")->currentIndex(), page);
        QWidget *focused = QApplication::focusWidget();
        QCOMPARE(focused ? focused->objectName() : QString(), focus);
        auto *grid = qobject_cast<QAbstractItemView *>(focused);
        QCOMPARE(grid ? grid->currentIndex().row() : -1, row);
        f.stop();
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
