#pragma once

#include <QString>

// Every word the considerations and About windows show.
namespace kivo::textos {

inline const QString kAyudaTitulo = QStringLiteral("Consideraciones para el llenado de la Solicitud");
inline const QString kCerrar = QStringLiteral("&Cerrar");

inline const QString kAcercaTitulo = QStringLiteral("Acerca de");
inline const QString kAcercaPrograma = QStringLiteral("Disco de Captura para solicitudes KIVO");
inline const QString kAcercaVersion = QStringLiteral("Version ");
inline const QString kAcercaDescripcion = QStringLiteral(
    "Secretaría de Tolvania\n"
    "Subsecretaría de Comercio Exterior\n"
    "Dirección General de Promoción");
inline const QString kAcercaContacto = QStringLiteral(
    "Dudas y comentarios:\n"
    "Lic. Marcela Ortuño Villaseñor\n"
    "Tel. 55 5729 9100, ext. 4410\n"
    "kivo@promocion.tolvania.gob");
inline const QString kAceptar = QStringLiteral("OK");

} // namespace kivo::textos
