#pragma once

#include <QString>

// Every word the program says before its window opens, and on its command line.
namespace kivo::textos {

// Start-up; %1 is the data folder.
inline const QString kYaAbierto = QStringLiteral(
    "KIVO ya está abierto con la carpeta de datos %1. Use esa ventana o ciérrela antes de abrir otra.");
// %2 is the system's reason.
inline const QString kNoReserva = QStringLiteral("No se puede reservar la carpeta de datos %1: %2.");

// The command line.
inline const QString kAyudaLineaComandos = QStringLiteral(
    "Uso: kivo [opción]\n"
    "Captura la solicitud KIVO, imprime el cuestionario y graba el disco de entrega.\n"
    "\n"
    "Sin opciones abre la ventana de captura.\n"
    "  --respaldos          lista los respaldos de la solicitud, del más reciente al más antiguo:\n"
    "                       nombre, RFC, empresa, proveedores y productos\n"
    "  --restaurar NOMBRE   restaura el respaldo NOMBRE; lo que había antes queda en un respaldo nuevo\n"
    "  --restaurar          abre una ventana para elegir el respaldo que se restaura, o para empezar\n"
    "                       una solicitud nueva a partir de una enviada\n"
    "  --pendientes         lista lo que falta para imprimir la solicitud o grabar el disco;\n"
    "                       termina con 0 si no falta nada y con 1 si falta algo\n"
    "  -h, --help           muestra esta ayuda\n"
    "  -v, --version        muestra la versión\n"
    "\n"
    "Se hace un respaldo antes de borrar la solicitud, antes de grabar el disco y al grabar los\n"
    "datos por primera vez cada día; se guardan en la carpeta «respaldos» de la carpeta de datos.\n"
    "Se guardan los 30 más recientes y uno por mes del último año. El respaldo hecho antes de\n"
    "grabar el disco es la solicitud enviada: se marca «solicitud enviada» y se guarda siempre.\n"
    "Para empezar la solicitud del año siguiente a partir de ella, abra «kivo --restaurar», elíjala\n"
    "y use «Empezar una nueva a partir de esta».\n"
    "La carpeta de datos es la de la variable KIVO_DATA_DIR o, si no está definida, ~/KIVO.\n"
    "La unidad A: es la carpeta de la variable KIVO_DRIVE_A o, si no está definida, el disco\n"
    "montado en /media/USUARIO o /run/media/USUARIO.\n");
inline const QString kVersionLinea = QStringLiteral("KIVO %1\n");

inline const QString kOpcionDesconocida = QStringLiteral("kivo: la opción «%1» no existe.\n");
inline const QString kArgumentoDeMas = QStringLiteral("kivo: no se esperaba «%1».\n");
inline const QString kVeaAyuda = QStringLiteral("Use «kivo --help» para ver las opciones.\n");
inline const QString kVeaRespaldos = QStringLiteral(
    "Use «kivo --respaldos» para ver los nombres de los respaldos.\n");

inline const QString kListaVacia = QStringLiteral("No hay respaldos en %1.\n");
inline const QString kSinSolicitud = QStringLiteral("(sin solicitud)");
inline const QString kRespaldoDanadoLinea = QStringLiteral("%1\tdañado: %2\n");
inline const QString kRespaldoLinea = QStringLiteral("%1\t%2\t%3\t%4\t%5\n");
// A backup made before a submission disk: kept for good.
inline const QString kRespaldoEnviadoLinea = QStringLiteral("%1\t%2\t%3\t%4\t%5\tsolicitud enviada\n");
inline QString proveedores(int n)
{
    return n == 1 ? QStringLiteral("1 proveedor") : QStringLiteral("%1 proveedores").arg(n);
}
inline QString productos(int n)
{
    return n == 1 ? QStringLiteral("1 producto") : QStringLiteral("%1 productos").arg(n);
}

inline const QString kSinCarpetaDatos = QStringLiteral(
    "No se restauró nada: no existe la carpeta de datos %1.\n");
inline const QString kCarpetaOcupada = QStringLiteral(
    "No se restauró nada: KIVO está abierto con la carpeta de datos %1.\n"
    "Ciérrelo y vuelva a intentarlo.\n");
inline const QString kCarpetaNoReservada = QStringLiteral(
    "No se restauró nada: no se puede reservar la carpeta de datos %1: %2.\n");
inline const QString kRestaurado = QStringLiteral("Se restauró el respaldo %1 en la carpeta de datos %2.\n"
                                                  "Las tablas que había quedaron en el respaldo %3.\n");

// `kivo --pendientes` could not read the application (the reason went to the error output).
inline const QString kPendientesSinRevisar = QStringLiteral("kivo: no se pudo revisar la solicitud.\n");

} // namespace kivo::textos
