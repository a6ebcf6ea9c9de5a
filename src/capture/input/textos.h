#pragma once

#include <QString>

namespace kivo::textos {

// The entries' own context menu (Qt's standard one would be in English).
inline const QString kDeshacer = QStringLiteral("Deshacer");
inline const QString kRehacer = QStringLiteral("Rehacer");
inline const QString kCortar = QStringLiteral("Cortar");
inline const QString kCopiar = QStringLiteral("Copiar");
inline const QString kPegar = QStringLiteral("Pegar");
inline const QString kEliminar = QStringLiteral("Eliminar");
inline const QString kSeleccionarTodo = QStringLiteral("Seleccionar todo");

} // namespace kivo::textos
