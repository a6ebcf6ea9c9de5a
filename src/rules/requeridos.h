#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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
    // Read only by pendientes(): the checks the save command and the supplier grid make.
    QString rfc; // the applicant's RFC as the masked entry holds it
    bool admLocalSelected = true;
    QStringList supplierRfcs; // one per supplier row, in grid order
};

// What an item lacks, so the window can lead the user to it. The first six are the ones
// the "Dato requerido" box lists.
enum class Faltante {
    Nada,
    Control,
    Actividad,
    TipoRegistro,
    Productos,
    Proveedores,
    Rfc,
    AdmLocal,
    RfcProveedor
};

// One thing the print or disk command would stop on or complain of.
struct Pendiente
{
    Faltante que = Faltante::Nada;
    QString texto;    // the words the command's own message uses for it
    int control = -1; // index into RequiredInput::controls, for Control
    int renglon = -1; // index into RequiredInput::supplierRfcs, for RfcProveedor
};

// Every check, in the order the commands make them: the applicant's RFC messages, the
// required data, the local office, then each supplier's RFC. The "Dato requerido" box and
// the pending-items window are two views of this one list.
QList<Pendiente> pendientes(const RequiredInput &input);

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
