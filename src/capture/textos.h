#pragma once

#include <QChar>
#include <QString>

// Every word the capture window says, in one place.
namespace kivo::textos {

inline const QString kCr = QString(QChar(13));

inline const QString kCaption = QStringLiteral("KIVO Ver. 1.0");
inline const QString kAtencion = QStringLiteral("ATENCION");
inline const QString kSalvar = QStringLiteral("Salvar los datos antes de salir?");
inline const QString kSinAdmLocal = QStringLiteral("Capture la admon. local del proveedor");
inline const QString kDatoRequerido = QStringLiteral("Dato requerido");

// Faults the design left unreported.
inline QString arranqueFallido(const QString &carpeta, const QString &detalle)
{
    return QStringLiteral("No se puede iniciar KIVO con los datos de la carpeta ") + carpeta
        + QStringLiteral(".") + kCr + detalle;
}
inline QString catalogoVacio(const QString &tabla)
{
    return QStringLiteral("La tabla ") + tabla
        + QStringLiteral(" no tiene renglones; sin ella no se pueden llenar las listas.");
}
inline QString faltanVentas(int renglones)
{
    return QStringLiteral("La tabla VENTAS debe tener tres renglones de tipo 1 y tiene ")
        + QString::number(renglones) + QStringLiteral(".");
}
inline QString pocosCampos(int campos)
{
    return QStringLiteral("La tabla datoprov debe tener al menos 32 campos y tiene ")
        + QString::number(campos) + QStringLiteral(".");
}
inline QString grabacionFallida(const QString &detalle)
{
    return QStringLiteral("Los datos no se grabaron:") + kCr + detalle + kCr
        + QStringLiteral("Lo capturado sigue en la ventana; corrija el dato y vuelva a grabar.");
}
inline QString archivoCambiado(const QString &archivo)
{
    return QStringLiteral("Otro programa cambió o dañó el archivo ") + archivo
        + QStringLiteral(" mientras la solicitud estaba abierta.") + kCr
        + QStringLiteral("Se grabó de nuevo con los datos de esta ventana, incluido lo recién capturado.");
}
inline QString respaldoDiarioFallido(const QString &detalle)
{
    return QStringLiteral("Los datos se grabaron, pero no se pudo hacer el respaldo del día:") + kCr
        + detalle;
}
inline QString borradoFallido(const QString &detalle)
{
    return QStringLiteral("No se pudo borrar el registro:") + kCr + detalle;
}

// Button bar tool tips, by Index.
inline QString toolTipBoton(int index)
{
    switch (index) {
    case 0: return QStringLiteral("Borrar toda la información");
    case 1: return QStringLiteral("Grabar datos");
    case 2: return QStringLiteral("Generar disco  para Tolvania");
    case 4: return QStringLiteral("Consideraciones generales");
    case 5: return QStringLiteral("Cancelar cambios");
    case 6: return QStringLiteral("Editar Datos");
    case 7: return QStringLiteral("Imprimir solicitud");
    case 9: return QStringLiteral("Acerca de..");
    default: return QString();
    }
}

// The entries' own context menu (Qt's standard one would be in English).
inline const QString kDeshacer = QStringLiteral("Deshacer");
inline const QString kRehacer = QStringLiteral("Rehacer");
inline const QString kCortar = QStringLiteral("Cortar");
inline const QString kCopiar = QStringLiteral("Copiar");
inline const QString kPegar = QStringLiteral("Pegar");
inline const QString kEliminar = QStringLiteral("Eliminar");
inline const QString kSeleccionarTodo = QStringLiteral("Seleccionar todo");

// What a screen reader calls the two notes that have no label on the window.
inline QString nombreSinEtiqueta(const QString &control)
{
    if (control == QLatin1String("txtCompromisos"))
        return QStringLiteral("Monto mínimo a exportar");
    if (control == QLatin1String("txtexportadores"))
        return QStringLiteral("Mínimo de proveedores");
    return QString();
}

} // namespace kivo::textos
