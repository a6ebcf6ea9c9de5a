#pragma once

#include <QString>

// Every word the grids show, in one place.
namespace kivo::textos {

inline const QString kCaptionVentas = QStringLiteral(" VENTAS TOTALES E INTERCAMBIO COMERCIAL CON EL EXTERIOR");

// Sales and trade columns.
inline const QString kAno = QStringLiteral("Año");
inline const QString kVentasTotales = QStringLiteral("Ventas totales (miles de pesos) ");
inline const QString kVentasNacional = QStringLiteral("Ventas al mercado nacional (miles de pesos)");
inline const QString kExportacion = QStringLiteral("Exportación directa e indirecta (miles de dolares)");
inline const QString kImportacion = QStringLiteral("Importación (miles de dolares)");
inline const QString kSaldo = QStringLiteral("Saldo balanza comercial");
inline const QString kTipoCambio = QStringLiteral("Tipo de cambio");

// Supplier and product columns.
inline const QString kProveedor = QStringLiteral("Provedor Nacional");
inline const QString kRfc = QStringLiteral("RFC");
inline const QString kProducto = QStringLiteral("Producto");
inline const QString kDescripcion = QStringLiteral("Descripción");

// Supplier row checks (the RFC's own message and title are the rules').
inline const QString kFaltaNombre = QStringLiteral("Falta el nombre del proveedor");
inline const QString kFaltaDescripcion = QStringLiteral("Falta la descripción del producto");

// A row the tables refused; the store's own message names table, field and value.
inline QString renglonNoGuardado(const QString &detalle)
{
    return QStringLiteral("El renglón no se guardó.") + QChar(13) + detalle + QChar(13)
        + QStringLiteral("Corrija el dato o pulse Esc para descartar los cambios del renglón.");
}
inline QString renglonNoBorrado(const QString &detalle)
{
    return QStringLiteral("El renglón no se borró.") + QChar(13) + detalle;
}

// A failure that is not the tables' (they say their own words): out of memory and the like.
inline const QString kFalloInterno = QStringLiteral("Error interno del programa.");

// Record selectors.
inline const QString kSelectorActual = QStringLiteral("\u25B6");
inline const QString kSelectorEditado = QStringLiteral("\u270E");
inline const QString kSelectorNuevo = QStringLiteral("*");

} // namespace kivo::textos
