#pragma once

#include <QString>

// Every word the print window shows or hands to the printing system.
namespace kivo::textos {

inline const QString kImpresionTitulo = QStringLiteral("Impresión de Solicitud");
inline const QString kImprimir = QStringLiteral("&Imprimir");
inline const QString kNoSeImprimio = QStringLiteral("No se pudo imprimir la solicitud.");
inline const QString kNoSeImprimieron =
    QStringLiteral("No se pudieron imprimir las consideraciones para el llenado de la solicitud.");
// Names of the two print jobs, as the printer queue lists them.
inline const QString kDocSolicitud = QStringLiteral("Solicitud KIVO");
inline const QString kDocConsideraciones = QStringLiteral("Consideraciones KIVO");

} // namespace kivo::textos
