#include "capture/form1.h"

#include "capture/bindings.h"
#include "capture/rfcentry.h"
#include "platform/clock.h"
#include "store/datasource.h"

#include <QComboBox>
#include <QLocale>
#include <QRadioButton>

namespace kivo {

QString Form1::boundText(datoprov::Field field) const
{
    // The first entry bound to the field is the one on show; the hidden txtAdmLocal shares
    // COLONIA with txtColonia and comes later.
    const QString name = QString::fromLatin1(datoprov::fieldName(field));
    for (const auto &b : m_bound) {
        if (b->boundField() == name)
            return b->boundText();
    }
    return QString();
}

CuestionarioDatos Form1::snapshot() const
{
    using namespace datoprov;
    CuestionarioDatos d;
    d.tipoTramite = m_combo1->currentText();
    d.promotora = m_optPromotora->isChecked();
    d.consolidadora = m_optConsolidadora->isChecked();
    d.rfc = boundText(Rfc);
    d.razonSocial = boundText(ApePatRaz);
    d.calle = boundText(CalleYNo);
    d.colonia = boundText(Colonia);
    d.cp = boundText(Cp);
    d.estado = boundText(Estado);
    d.ciudad = boundText(Ciudad);
    d.delMun = boundText(DelMun);
    d.telefono = boundText(Telefono);
    d.fax = boundText(Fax);
    d.email = boundText(Email);
    d.actividad = m_cmbActividad->currentText();
    d.admLocal = m_combo5->currentText();
    d.apePatRep = boundText(ApePRepLeg);
    d.apeMatRep = boundText(ApeMRepLeg);
    d.nombreRep = boundText(NombreRepl);
    d.telefonoRep = boundText(TelRepreg);
    d.faxRep = boundText(FaxRep);
    d.emailRep = boundText(EmailRepl);
    d.empleados = boundText(NoEmpleado);
    d.obreros = boundText(NoObreros);
    d.ventasPais = boundText(VtPais);
    d.ventasExterior = boundText(VtExterior);

    // Rows are read where they stand: the sources keep their current row and record source,
    // so the grids go on undisturbed.
    const int descripcio = m_productos->fieldIndex(QStringLiteral("DESCRIPCIO"));
    for (int r = 0; r < m_productos->rowCount(); ++r)
        d.productos.append(m_productos->textAt(r, descripcio >= 0 ? descripcio : 2));
    for (int r = 0; r < m_ventas->rowCount(); ++r) {
        CuestionarioDatos::Venta v;
        v.ano = m_ventas->textAt(r, ventas::Ano);
        for (int f = ventas::Vtot; f <= ventas::Tc && f < m_ventas->fieldCount(); ++f)
            v.valores.append(m_ventas->textAt(r, f)); // the stored digits, not a double near them
        d.ventas.append(v);
    }
    for (int r = 0; r < m_proveedores->rowCount(); ++r)
        d.proveedores.append(
            {m_proveedores->textAt(r, 0), m_proveedores->textAt(r, 1), m_proveedores->textAt(r, 2)});

    d.banco = m_cmbBanco->currentText();
    d.sucursal = boundText(Sucursal);
    d.numCuenta = boundText(NumCuenta);
    d.localidad = boundText(Localidad);
    d.domSucursal = boundText(DomBanco);
    d.hoy = m_services.clock->today();
    d.locale = QLocale();
    return d;
}

} // namespace kivo
