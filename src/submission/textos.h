#pragma once

#include <QChar>
#include <QString>

// Every word the submission disk and the clearing show to the user.
namespace kivo::textos {

inline const QString kConfirmaDisco = QStringLiteral("Asegúrese de que el disco esté en la unidad A:");
inline const QString kTituloConfirmaDisco = QStringLiteral("Grabar Disco");
inline const QString kCopiaIncompleta = QStringLiteral("Copia incompleta verifique el") + QChar(13)
    + QStringLiteral("espacio en disco o utilice un disco nuevo");
inline const QString kRetireDisco = QStringLiteral("Puede retirar el disco de la unidad A:");
inline const QString kTituloDiscoGrabado = QStringLiteral("Disco grabado.");

// The disk could not be written whole; %1 is one line per table that is missing, each from
// kTablaFaltante.
inline const QString kTituloDiscoIncompleto = QStringLiteral("Disco incompleto");
inline const QString kDiscoIncompleto = QStringLiteral("El disco NO quedó completo y no debe enviarse.")
    + QChar(13) + QStringLiteral("%1") + QChar(13)
    + QStringLiteral("Grábelo de nuevo con espacio suficiente o en un disco nuevo.");
// %1 is the table's file name, %2 why it is missing (a sentence with its full stop).
inline const QString kTablaFaltante = QStringLiteral("%1: %2");
inline const QString kSinUnidad = QStringLiteral("la unidad A: no tiene disco.");
inline const QString kNoVerificada = QStringLiteral(
    "la copia en el disco no es igual a la tabla de la solicitud.");

// Drive A: reaches the data folder itself; %1 is the folder.
inline const QString kMedioEsCarpetaDatos =
    QStringLiteral("La unidad A: (%1) es la misma carpeta donde el programa guarda la solicitud.") + QChar(13)
    + QStringLiteral("No se borró ni se copió nada. Use un disco distinto para la unidad A:.");

// Drive A: lies inside the data folder (a backup, say) or holds it; %1 is the folder.
inline const QString kMedioEnCarpetaDatos =
    QStringLiteral("La unidad A: (%1) está dentro de la carpeta donde el programa guarda la solicitud y sus "
                   "respaldos, o la contiene.")
    + QChar(13) + QStringLiteral("No se borró ni se copió nada. Use un disco distinto para la unidad A:.");

inline const QString kConfirmaBorrado = QStringLiteral("Con esta Acción borrar toda su solicitud");
inline const QString kTituloAtencion = QStringLiteral("ATENCION");

// A failure of the table engine part-way through the clearing; %1 is the table, %2 the
// engine's own description.
inline const QString kBorradoIncompleto = QStringLiteral(
                                              "No se pudo terminar de borrar la solicitud: falló la tabla %1.")
    + QChar(13)
    + QStringLiteral("Lo borrado hasta ese momento queda borrado; la ventana muestra lo que "
                     "contienen las tablas.")
    + QChar(13) + QStringLiteral("%2");

// At start, a clearing the last run left half done; %1 is the backup made before it.
inline const QString kBorradoTerminado =
    QStringLiteral(
        "La última vez que se usó KIVO, el borrado de la solicitud quedó a medias; se terminó ahora.")
    + QChar(13) + QStringLiteral("Lo que había antes de borrar está en el respaldo %1.");
// %1 is the reason.
inline const QString kBorradoSinTerminar =
    QStringLiteral("La última vez que se usó KIVO, el borrado de la solicitud quedó a medias y todavía no se "
                   "pudo terminar; se intentará de nuevo al abrir KIVO.")
    + QChar(13) + QStringLiteral("%1");
inline const QString kBorradoSinTabla = QStringLiteral("No se encontró la tabla %1 en la carpeta de datos.");

// Re-reading the application record after the disk was written failed; %1 is the description.
// The second for a disk that was not completed, which must not be called written.
inline const QString kReleerFallo = QStringLiteral(
                                        "El disco quedó grabado, pero no se pudo volver a leer la solicitud.")
    + QChar(13) + QStringLiteral("%1");
inline const QString kReleerFalloSinDisco = QStringLiteral("No se pudo volver a leer la solicitud.") + QChar(13)
    + QStringLiteral("%1");

// The backup made before the clearing or the disk command failed, so neither went ahead; %1 is
// the backup's own description.
inline const QString kBorradoSinRespaldo =
    QStringLiteral("No se borró nada: antes de borrar la solicitud se hace un respaldo, y no se pudo hacer.")
    + QChar(13) + QStringLiteral("%1");
inline const QString kDiscoSinRespaldo =
    QStringLiteral("No se grabó el disco: antes de grabarlo se hace un respaldo de la solicitud, y no se pudo "
                   "hacer.")
    + QChar(13) + QStringLiteral("%1");

} // namespace kivo::textos
