#pragma once

#include <QList>
#include <QString>

namespace kivo::rules {

// One control of the capture window, in the window's control order.
struct ControlValue
{
    QString tag;
    QString toolTip;
    QString text;
};

enum class TipoRegistro { Ninguno = 0, Promotora = 1, Consolidadora = 2 };

struct RequiredInput
{
    QList<ControlValue> controls;
    bool activitySelected = true;
    TipoRegistro tipo = TipoRegistro::Ninguno;
    int productCount = 0;
    int supplierCount = 0;
};

// The first item of the missing list, so the window can lead the user to it.
enum class Faltante { Nada, Control, Actividad, TipoRegistro, Productos, Proveedores };

struct RequiredResult
{
    bool faltanDatos = false;
    Faltante primero = Faltante::Nada;
    int primerControl = -1; // index into RequiredInput::controls when primero is Control
    QString missingList;    // items joined by "," and a carriage return
    QString message;        // the whole text of the "Dato requerido" box; empty when nothing lacks
};
// Steps 3 to 9 of the completeness check (the RFC check runs before, in the window).
RequiredResult verificaRequeridos(const RequiredInput &input);

struct NotasElegibilidad
{
    QString exportadores; // for txtexportadores
    QString compromisos;  // for txtCompromisos
};
NotasElegibilidad notasElegibilidad(TipoRegistro tipo);

} // namespace kivo::rules
