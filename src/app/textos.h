#pragma once

#include <QString>

// Every word the program says before its window opens. %1 is the data folder.
namespace kivo::textos {

inline const QString kYaAbierto = QStringLiteral(
    "KIVO ya está abierto con la carpeta de datos %1. Use esa ventana o ciérrela antes de abrir otra.");
// %2 is the system's reason.
inline const QString kNoReserva = QStringLiteral("No se puede reservar la carpeta de datos %1: %2.");

} // namespace kivo::textos
