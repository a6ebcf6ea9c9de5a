#pragma once

#include <QString>

// Every word the considerations and About windows show.
namespace kivo::textos {

inline const QString kAyudaTitulo = QStringLiteral("Consideraciones para el llenado de la Solicitud");

inline const QString kAcercaTitulo = QStringLiteral("Acerca de");
inline const QString kAcercaPrograma = QStringLiteral("Disco de Captura para solicitudes KIVO");
inline const QString kAcercaVersion = QStringLiteral("Version ");
inline const QString kAcercaDescripcion = QStringLiteral(
    "Secretaría de Tolvania\n"
    "Subsecretaría de Comercio Exterior\n"
    "Dirección General de Promoción");
// The issuing unit's help desk, never a person; the number of zeros can be nobody's.
inline const QString kAcercaContacto = QStringLiteral(
    "Dudas y comentarios:\n"
    "Mesa de ayuda KIVO\n"
    "Tel. 000 000 0000\n"
    "ayuda@promocion.tolvania.gob");
inline const QString kAceptar = QStringLiteral("OK");

} // namespace kivo::textos
