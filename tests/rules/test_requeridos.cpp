#include "rules/requeridos.h"

#include <QtTest>

using namespace kivo::rules;

namespace {

const QString CR(QChar(13));

// The required fields in the window's control order, all filled, with untagged controls between.
RequeridosInput completo()
{
    RequeridosInput in;
    const QStringList nombres = {"Razon Social", "Domicilio Banco", "Localidad", "Número de cuenta", "Sucursal",
                                 "No. Administrativos", "No. Obreros", "Nombre Rep.  Legal", "Teléfono",
                                 "Cargo o Puesto", "Delegación o Municipio", "Estado", "Codigo Postal", "Colonia",
                                 "Ventas Pais", "Ventas Exterior", "RFC"};
    for (const QString &nombre : nombres) {
        in.controls << ControlValue{"1", nombre, "X"};
        in.controls << ControlValue{"", "Calle", ""};
        in.controls << ControlValue{"0", "Fax", ""};
    }
    in.tipo = TipoRegistro::Promotora;
    in.productCount = 1;
    in.supplierCount = 3;
    return in;
}

void vacia(RequeridosInput &in, const QString &nombre, const QString &texto = QString())
{
    for (ControlValue &c : in.controls) {
        if (c.tag == "1" && c.toolTip == nombre)
            c.text = texto;
    }
}

} // namespace

class TestRequeridos : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void nothingMissing();
    void fieldsListedInControlOrder();
    void blanksAreEmptyZeroIsNot();
    void supplierMinimumsFollowTheType();
    void everyItemInOrder();
    void eligibilityNotes();
};

void TestRequeridos::nothingMissing()
{
    const RequeridosResult r = verificaRequeridos(completo());
    QVERIFY(!r.faltanDatos);
    QVERIFY(r.missingList.isEmpty());
    QVERIFY(r.message.isEmpty());
}

void TestRequeridos::fieldsListedInControlOrder()
{
    RequeridosInput in = completo();
    vacia(in, "Codigo Postal");
    RequeridosResult r = verificaRequeridos(in);
    QVERIFY(r.faltanDatos);
    QCOMPARE(r.message, "La siguiente información es requerida: " + CR + "Codigo Postal" + CR + CR);

    vacia(in, "Colonia");
    vacia(in, "RFC"); // an empty RFC entry is listed; one too short is not (its text is not empty)
    r = verificaRequeridos(in);
    QCOMPARE(r.missingList, "Codigo Postal," + CR + "Colonia," + CR + "RFC");
    QCOMPARE(r.message, "La siguiente información es requerida: " + CR + r.missingList + CR + CR);
}

void TestRequeridos::blanksAreEmptyZeroIsNot()
{
    RequeridosInput in = completo();
    vacia(in, "Estado", "   ");
    vacia(in, "Colonia", "\t");
    vacia(in, "No. Obreros", "0");
    vacia(in, "RFC", "ABC");
    QCOMPARE(verificaRequeridos(in).missingList, "Estado," + CR + "Colonia");
}

void TestRequeridos::supplierMinimumsFollowTheType()
{
    struct Case
    {
        TipoRegistro tipo;
        int suppliers;
        QString list;
    };
    const QList<Case> cases = {
        {TipoRegistro::Promotora, 2, "Capture al menos tres proveedores"},
        {TipoRegistro::Promotora, 3, ""},
        {TipoRegistro::Consolidadora, 4, "Capture al menos cinco proveedores"},
        {TipoRegistro::Consolidadora, 5, ""},
        {TipoRegistro::Ninguno, 0, "Tipo de Registro"},
    };
    for (const Case &c : cases) {
        RequeridosInput in = completo();
        in.tipo = c.tipo;
        in.supplierCount = c.suppliers;
        const RequeridosResult r = verificaRequeridos(in);
        QCOMPARE(r.missingList, c.list);
        QCOMPARE(r.faltanDatos, !c.list.isEmpty());
    }
}

void TestRequeridos::everyItemInOrder()
{
    RequeridosInput in = completo();
    for (ControlValue &c : in.controls)
        c.text.clear();
    in.activitySelected = false;
    in.tipo = TipoRegistro::Consolidadora;
    in.productCount = 0;
    in.supplierCount = 0;
    const QString expected = QStringList{"Razon Social", "Domicilio Banco", "Localidad", "Número de cuenta",
                                         "Sucursal", "No. Administrativos", "No. Obreros", "Nombre Rep.  Legal",
                                         "Teléfono", "Cargo o Puesto", "Delegación o Municipio", "Estado",
                                         "Codigo Postal", "Colonia", "Ventas Pais", "Ventas Exterior", "RFC",
                                         "Actividad Principal", "Productos de exportación",
                                         "Capture al menos cinco proveedores"}
                                 .join("," + CR);
    QCOMPARE(verificaRequeridos(in).missingList, expected);
}

void TestRequeridos::eligibilityNotes()
{
    NotasElegibilidad n = notasElegibilidad(TipoRegistro::Promotora);
    QCOMPARE(n.exportadores, "Debe registrar al menos 3 proveedores");
    QCOMPARE(n.compromisos, "El monto minimo a exportar para una KIVO promotora  es de 250 mil dls para el "
                            "primer año fiscal");
    n = notasElegibilidad(TipoRegistro::Consolidadora);
    QCOMPARE(n.exportadores, "Debe registrar al menos 5 proveedores");
    QCOMPARE(n.compromisos, "El monto minimo a exportar para una KIVO consolidadora  es de 3 millones de dls "
                            "para el primer año fiscal");
    n = notasElegibilidad(TipoRegistro::Ninguno);
    QCOMPARE(n.exportadores, "");
    QCOMPARE(n.compromisos, "No ha seleccionado Tipo de registro");
}

QTEST_APPLESS_MAIN(TestRequeridos)
#include "test_requeridos.moc"
