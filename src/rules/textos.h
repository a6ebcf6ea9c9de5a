#pragma once

#include <QString>

// Every text the input rules show or write, in one place so each word is checked in one read.
namespace kivo::rules::textos {

// Applicant RFC (message boxes titled "KIVO", OK, no icon).
inline const QString rfcCorto = QStringLiteral("El RFC no puede ser menor de 13");
inline const QString rfcLetraAntes = QStringLiteral("El ");
inline const QString rfcLetraDespues = QStringLiteral(" digito del RFC debe ser letra ");
inline const QString rfcMes = QStringLiteral("El valor del mes del RFC es incorrecto");
inline const QString rfcDia = QStringLiteral("El valor del dia del RFC es incorrecto");
inline const QString rfcUltimo = QStringLiteral("El ultimo digito del RFC debe ser A ó del 0 al 9");

// Supplier RFC (titled "Mensaje").
inline const QString tituloProveedor = QStringLiteral("Mensaje");
inline const QString rfcProveedor = QStringLiteral("RFC Incorrecto, error en la posición ");

// Required data.
inline const QString tituloRequerido = QStringLiteral("Dato requerido");
inline const QString requeridaIntro = QStringLiteral("La siguiente información es requerida: ");
inline const QString actividadPrincipal = QStringLiteral("Actividad Principal");
inline const QString tipoRegistro = QStringLiteral("Tipo de Registro");
inline const QString productosExportacion = QStringLiteral("Productos de exportación");
inline const QString tresProveedores = QStringLiteral("Capture al menos tres proveedores");
inline const QString cincoProveedores = QStringLiteral("Capture al menos cinco proveedores");

// The save command's own check (title "KIVO", no icon).
inline const QString sinAdmLocal = QStringLiteral("Capture la admon. local del proveedor");

// Eligibility notes (both long texts keep their two blanks before "es").
inline const QString exportadoresPromotora = QStringLiteral("Debe registrar al menos 3 proveedores");
inline const QString exportadoresConsolidadora = QStringLiteral("Debe registrar al menos 5 proveedores");
inline const QString compromisosPromotora = QStringLiteral(
    "El monto minimo a exportar para una KIVO promotora  es de 250 mil dls para el primer año fiscal");
inline const QString compromisosConsolidadora = QStringLiteral(
    "El monto minimo a exportar para una KIVO consolidadora  es de 3 millones de dls para el primer año fiscal");
inline const QString compromisosSinTipo = QStringLiteral("No ha seleccionado Tipo de registro");

// A total or a column too large for a double: shown instead of "inf" or "nan".
inline const QString desbordamiento = QStringLiteral("Desbordamiento");

} // namespace kivo::rules::textos
