#pragma once

#include "capture/grids/textos.h"
#include "rules/textos.h"
#include "submission/textos.h"

#include <QChar>
#include <QString>

// Every word the capture window says, in one place. Texts the rules also say (the required
// data's names, the registry notes) are theirs, in rules/textos.h; the grids' are in grids/textos.h, the
// questions the disk and the clearing share in submission/textos.h.
namespace kivo::textos {

inline const QString kCr = QString(QChar(13));

inline const QString kCaption = QStringLiteral("KIVO Ver. 1.0");
inline const QString kSalvar = QStringLiteral("Salvar los datos antes de salir?");
inline const QString kSinAdmLocal = rules::textos::sinAdmLocal;

// Faults the design left unreported.
inline QString arranqueFallido(const QString &carpeta, const QString &detalle)
{
    return QStringLiteral("No se puede iniciar KIVO con los datos de la carpeta ") + carpeta
        + QStringLiteral(".") + kCr + detalle;
}
inline QString catalogoVacio(const QString &tabla)
{
    return QStringLiteral("La tabla ") + tabla
        + QStringLiteral(" no tiene renglones; sin ella no se pueden llenar las listas.");
}
inline QString faltanVentas(int renglones)
{
    return QStringLiteral("La tabla VENTAS debe tener tres renglones de tipo 1 y tiene ")
        + QString::number(renglones) + QStringLiteral(".");
}
inline QString pocosCampos(int campos)
{
    return QStringLiteral("La tabla datoprov debe tener al menos 32 campos y tiene ") + QString::number(campos)
        + QStringLiteral(".");
}
inline QString grabacionFallida(const QString &detalle)
{
    return QStringLiteral("Los datos no se grabaron:") + kCr + detalle + kCr
        + QStringLiteral("Lo capturado sigue en la ventana; corrija el dato y vuelva a grabar.");
}
inline QString archivoCambiado(const QString &archivo)
{
    return QStringLiteral("Otro programa cambió o dañó el archivo ") + archivo
        + QStringLiteral(" mientras la solicitud estaba abierta.") + kCr
        + QStringLiteral("Se grabó de nuevo con los datos de esta ventana, incluido lo recién capturado.");
}
inline QString respaldoDiarioFallido(const QString &detalle)
{
    return QStringLiteral("Los datos se grabaron, pero no se pudo hacer el respaldo del día:") + kCr + detalle;
}
inline QString borradoFallido(const QString &detalle)
{
    return QStringLiteral("No se pudo borrar el registro:") + kCr + detalle;
}

// Button bar tool tips, by Index.
inline QString toolTipBoton(int index)
{
    switch (index) {
    case 0:
        return QStringLiteral("Borrar toda la información");
    case 1:
        return QStringLiteral("Grabar datos");
    case 2:
        return QStringLiteral("Generar disco  para Tolvania");
    case 4:
        return QStringLiteral("Consideraciones generales");
    case 5:
        return QStringLiteral("Cancelar cambios");
    case 6:
        return QStringLiteral("Editar Datos");
    case 7:
        return QStringLiteral("Imprimir solicitud");
    case 9:
        return QStringLiteral("Acerca de..");
    case 10:
        return QStringLiteral("Pendientes de la solicitud");
    default:
        return QString();
    }
}

// Header of the window.
inline const QString kTipoTramite = QStringLiteral("Tipo de Trámite");
inline const QString kProgramaNuevo = QStringLiteral("Programa nuevo");
inline const QString kAnoVeldra = QStringLiteral("Año VELDRA");
inline const QString kNumeroVeldra = QStringLiteral("Número VELDRA");
inline const QString kAcreditamiento = QStringLiteral("No. de acreditamiento");
inline const QString kAnoMaquila = QStringLiteral("Año Programa Maquila");
inline const QString kNumMaquila = QStringLiteral("Numero de Maquila");
inline const QString kDatosGenerales = QStringLiteral("Datos Generales");
inline const QString kRazonSocial = QStringLiteral("Razón  Social:");
inline const QString kCorreo = QStringLiteral("Correo Electrónico:");
inline const QString kApMaterno = QStringLiteral("Apellido Materno:");
inline const QString kNombres = QStringLiteral("Nombre(s):");

// Page captions, in page order.
inline const QString kPaginas[] = {
    QStringLiteral("I. Datos Generales"), QStringLiteral("II Datos del Representante Legal"),
    QStringLiteral("Personal ocupado"),   rules::textos::productosExportacion,
    QStringLiteral("Ventas totales "),    QStringLiteral("Registro de proveedores"),
    QStringLiteral("Cuenta bancaria")};

// Page 0: fiscal address.
inline const QString kDomicilioFiscal = QStringLiteral("Domicilio Fiscal");
inline const QString kCalle = QStringLiteral("Calle y No.");
inline const QString kColonia = QStringLiteral("Colonia");
inline const QString kCp = QStringLiteral("CP");
inline const QString kEstado = QStringLiteral("Estado");
inline const QString kCiudad = QStringLiteral("Ciudad");
// Shown on two lines, broken after "de".
inline const QString kAdmLocal = QStringLiteral("Adm. local de recaudación");
inline const QString kDelMun = QStringLiteral("Del/Mun.");
inline const QString kFax = QStringLiteral("Fax");
inline const QString kTelefono = QStringLiteral("Teléfono");

// Page 1: legal representative.
inline const QString kRepresentante = QStringLiteral("Datos del Representante legal");
inline const QString kApellidoPaterno = QStringLiteral("Apellido Paterno");
inline const QString kApellidoMaterno = QStringLiteral("Apellido Materno");
inline const QString kNombresRep = QStringLiteral("Nombre(s)");
inline const QString kCargo = QStringLiteral("Cargo o Puesto");

// Page 2: staff and sales of the previous year.
inline const QString kPersonalOcupado = QStringLiteral("Personal ocupado en el año anterior");
inline const QString kPromedio = QStringLiteral("(Promedio en el año)");
inline const QString kAdministrativos = QStringLiteral("No. de Administrativos:");
inline const QString kObreros = QStringLiteral("No. de Obreros:");
inline const QString kTotal = QStringLiteral("Total:");
inline const QString kValorVentas = QStringLiteral("Valor de las ventas en el año anterior");
inline const QString kMilesDePesos = QStringLiteral("(En miles de pesos)");
inline const QString kEnElPais = QStringLiteral("En el país:");
inline const QString kAlExterior = QStringLiteral("Al exterior:");

// Page 3: registry type and export products.
inline const QString kTipoDeRegistro = QStringLiteral("Tipo de registro");
inline const QString kPromotora = QStringLiteral("Promotora de Exportación");
inline const QString kConsolidadora = QStringLiteral("Consolidadora de exportación");
inline const QString kDirectoIndirecto = QStringLiteral("Directo e Indirecto");
inline const QString kProductosExportados = QStringLiteral(
    "Principales productos exportados en el año anterior(anotarlos en orden de importancia)");
inline const QString kBorrarRegistro = QStringLiteral("Borrar Registro");

// Page 6: bank account.
inline const QString kNombreBanco = QStringLiteral("Nombre del banco :");
inline const QString kSucursal = QStringLiteral("Sucursal :");
inline const QString kNumeroCuenta = QStringLiteral("Número de cuenta :");
inline const QString kLocalidad = QStringLiteral("Localidad :");
inline const QString kDomicilioSucursal = QStringLiteral("Domicilio de la sucursal bancaria :");
inline const QString kClave = QStringLiteral("Clave :");

// Tool tips: the names the required-data list gives the controls.
struct ToolTip
{
    const char *control;
    QString text;
};
inline const ToolTip kToolTips[] = {{"MaskEdBox1", kRfc},
                                    {"txtProg1", QStringLiteral("Año del Registro")},
                                    {"txtApePat1", QStringLiteral("Razon Social")},
                                    {"cmbActividad", rules::textos::actividadPrincipal},
                                    {"txtColonia", kColonia},
                                    {"txtCP", QStringLiteral("Codigo Postal")},
                                    {"txtEstado", kEstado},
                                    {"txtDelMun", QStringLiteral("Delegación o Municipio")},
                                    {"txtNombreR2", QStringLiteral("Nombre Rep.  Legal")},
                                    {"txtcargo", kCargo},
                                    {"txtTelefonoR2", kTelefono},
                                    {"NoEmpleados", QStringLiteral("No. Administrativos")},
                                    {"NoObreros", QStringLiteral("No. Obreros")},
                                    {"VentasPais", QStringLiteral("Ventas Pais")},
                                    {"VentasExterior", QStringLiteral("Ventas Exterior")},
                                    {"txtsucursal", QStringLiteral("Sucursal")},
                                    {"txtNumCuenta", QStringLiteral("Número de cuenta")},
                                    {"txtlocalidad", QStringLiteral("Localidad")},
                                    {"txtDomSucursal", QStringLiteral("Domicilio Banco")}};

// What a screen reader calls the two notes that have no label on the window.
inline QString nombreSinEtiqueta(const QString &control)
{
    if (control == QLatin1String("txtCompromisos"))
        return QStringLiteral("Monto mínimo a exportar");
    if (control == QLatin1String("txtexportadores"))
        return QStringLiteral("Mínimo de proveedores");
    return QString();
}

// The key of a command, after its tool tip when the pointer rests on the button.
inline QString conTecla(const QString &toolTip, const QString &key)
{
    return toolTip + QStringLiteral(" (") + key + QStringLiteral(")");
}

// The pending-items window and `kivo --pendientes`.
inline const QString kPendientesTitulo = QStringLiteral("Pendientes de la solicitud");
inline const QString kPendientesIntro = QStringLiteral(
    "Lo que falta antes de imprimir la solicitud o grabar el disco. Pulse Intro o haga doble clic en un "
    "renglón para ir al dato.");
inline const QString kPendientesCerrar = QStringLiteral("&Cerrar");
inline const QString kSolicitudCompleta = QStringLiteral("La solicitud está completa: no falta ningún dato.");
inline const QString kDatoFaltante = QStringLiteral("dato requerido");
// A supplier's RFC cell; %1 is the row from 1.
inline const QString kRfcRenglon = QStringLiteral("RFC del proveedor %1");
// Page, the control's label and what it lacks; the label is left out where the page says it.
inline QString renglonPendiente(const QString &pagina, const QString &etiqueta, const QString &que)
{
    if (etiqueta.isEmpty() || etiqueta == pagina)
        return pagina + QStringLiteral(": ") + que;
    return pagina + QStringLiteral(" — ") + etiqueta + QStringLiteral(": ") + que;
}

} // namespace kivo::textos
