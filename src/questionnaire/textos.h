#pragma once

#include <QString>

// Every word the print window shows or hands to the printing system.
namespace kivo::textos {

inline const QString kImpresionTitulo = QStringLiteral("Impresión de Solicitud");
inline const QString kImprimir = QStringLiteral("&Imprimir");
inline const QString kNoSeImprimio = QStringLiteral("No se pudo imprimir la solicitud.");
inline const QString kNoSeImprimieron = QStringLiteral(
    "No se pudieron imprimir las consideraciones para el llenado de la solicitud.");
// A failure that is not the tables' (they say their own words): out of memory and the like.
inline const QString kErrorInterno = QStringLiteral(
    "No se pudo preparar la solicitud para imprimir por un error interno del programa.");
// Names of the two print jobs, as the printer queue lists them.
inline const QString kDocSolicitud = QStringLiteral("Solicitud KIVO");
inline const QString kDocConsideraciones = QStringLiteral("Consideraciones KIVO");

} // namespace kivo::textos
