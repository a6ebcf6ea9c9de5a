#pragma once

#include <QString>

// Every word the platform's own windows show: message box buttons, the program's title, the
// close button of the two text windows.
namespace kivo::textos {

// Title of every message box that names none of its own.
inline const QString kProgramTitle = QStringLiteral("KIVO");

inline const QString kBotonAceptar = QStringLiteral("Aceptar");
inline const QString kBotonCancelar = QStringLiteral("Cancelar");
inline const QString kBotonSi = QStringLiteral("Sí");
inline const QString kBotonNo = QStringLiteral("No");

// The print window and the considerations viewer.
inline const QString kCerrar = QStringLiteral("&Cerrar");

} // namespace kivo::textos
