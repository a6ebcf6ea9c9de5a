#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// Every word the considerations, About and restore windows show.
namespace kivo::textos {

inline const QString kAyudaTitulo = QStringLiteral("Consideraciones para el llenado de la Solicitud");

inline const QString kAcercaTitulo = QStringLiteral("Acerca de");
inline const QString kAcercaPrograma = QStringLiteral("Disco de Captura para solicitudes KIVO");
inline const QString kAcercaVersion = QStringLiteral("Version ");
inline const QString kAcercaDescripcion = QStringLiteral("Secretaría de Tolvania\n"
                                                         "Subsecretaría de Comercio Exterior\n"
                                                         "Dirección General de Promoción");
// The issuing unit's help desk, never a person; the number of zeros can be nobody's.
inline const QString kAcercaContacto = QStringLiteral("Dudas y comentarios:\n"
                                                      "Mesa de ayuda KIVO\n"
                                                      "Tel. 000 000 0000\n"
                                                      "ayuda@promocion.tolvania.gob");
inline const QString kAceptar = QStringLiteral("OK");

inline const QString kRestaurarTitulo = QStringLiteral("Restaurar una solicitud anterior");
inline const QString kElijaRespaldo = QStringLiteral(
    "Elija el respaldo que desea restaurar. Lo que la solicitud contiene ahora se guarda antes "
    "en un respaldo nuevo.");
inline const QString kRestaurarVacio = QStringLiteral("Todavía no hay respaldos de la solicitud.");
inline const QString kRestaurarLista = QStringLiteral("Respaldos");
inline const QStringList kRestaurarColumnas = {QStringLiteral("Fecha y hora"), QStringLiteral("RFC"),
                                               QStringLiteral("Empresa"), QStringLiteral("Proveedores"),
                                               QStringLiteral("Enviada")};
// In the column "Enviada" of the backup made before a submission disk, which is kept for good.
inline const QString kRestaurarEnviada = QStringLiteral("Sí, se guarda siempre");
inline const QString kPartirDeEnviada = QStringLiteral("&Empezar una nueva a partir de esta");
inline const QString kPartirDeEnviadaAyuda = QStringLiteral(
    "Copia a la solicitud la que se envió en este disco, para empezar la del año siguiente. La "
    "enviada sigue guardada sin cambios.");
inline QString nuevaDesdeEnviada(const QString &fecha, const QString &respaldoNuevo)
{
    return QStringLiteral("La solicitud nueva parte de la enviada el ") + fecha
        + QStringLiteral("; la enviada sigue guardada sin cambios.") + QChar(13)
        + QStringLiteral("Lo que contenía antes la solicitud quedó en el respaldo ") + respaldoNuevo
        + QStringLiteral(".");
}
inline const QString kRestaurarDanado = QStringLiteral("(respaldo dañado, no se puede restaurar)");
inline const QString kRestaurar = QStringLiteral("&Restaurar");
inline const QString kCancelar = QStringLiteral("Cancelar");
inline QString restaurado(const QString &fecha, const QString &respaldoNuevo)
{
    return QStringLiteral("Se restauró la solicitud respaldada el ") + fecha + QStringLiteral(".") + QChar(13)
        + QStringLiteral("Lo que contenía antes quedó en el respaldo ") + respaldoNuevo + QStringLiteral(".");
}

} // namespace kivo::textos
