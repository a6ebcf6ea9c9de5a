#include "rules/requeridos.h"

#include "rules/rfc.h"
#include "rules/textos.h"

namespace kivo::rules {

namespace {

const QChar kRetorno(13);

void appendItem(QString &lista, const QString &item)
{
    if (lista.isEmpty())
        lista = item;
    else
        lista += QLatin1Char(',') + QString(kRetorno) + item;
}

} // namespace

QList<Pendiente> pendientes(const RequiredInput &input)
{
    QList<Pendiente> out;
    for (const QString &m : validaRfc(input.rfc).messages)
        out.append({Faltante::Rfc, m});
    for (int i = 0; i < input.controls.size(); ++i) {
        const ControlValue &control = input.controls.at(i);
        // Any blank counts as nothing typed, so a field of tabs or no-break spaces is empty too.
        if (control.tag == QLatin1String("1") && control.text.trimmed().isEmpty())
            out.append({Faltante::Control, control.toolTip, i});
    }
    if (!input.activitySelected)
        out.append({Faltante::Actividad, textos::actividadPrincipal});
    if (input.tipo == TipoRegistro::Ninguno)
        out.append({Faltante::TipoRegistro, textos::tipoRegistro});
    if (input.productCount <= 0)
        out.append({Faltante::Productos, textos::productosExportacion});
    if (input.tipo == TipoRegistro::Promotora && input.supplierCount < 3)
        out.append({Faltante::Proveedores, textos::tresProveedores});
    if (input.tipo == TipoRegistro::Consolidadora && input.supplierCount < 5)
        out.append({Faltante::Proveedores, textos::cincoProveedores});
    if (!input.admLocalSelected)
        out.append({Faltante::AdmLocal, textos::sinAdmLocal});
    for (int r = 0; r < input.supplierRfcs.size(); ++r) {
        const SupplierRfcResult rfc = validaRfcProveedor(input.supplierRfcs.at(r));
        if (!rfc.valid)
            out.append({Faltante::RfcProveedor, rfc.message, -1, r});
    }
    return out;
}

RequiredResult verificaRequeridos(const RequiredInput &input)
{
    RequiredResult result;
    QString lista;
    for (const Pendiente &p : pendientes(input)) {
        if (p.que == Faltante::Rfc || p.que == Faltante::AdmLocal || p.que == Faltante::RfcProveedor)
            continue;
        if (lista.isEmpty()) {
            result.primero = p.que;
            result.primerControl = p.control;
        }
        appendItem(lista, p.texto);
    }
    result.faltanDatos = !lista.isEmpty();
    result.missingList = lista;
    if (result.faltanDatos)
        result.message = textos::requeridaIntro + kRetorno + lista + kRetorno + kRetorno;
    return result;
}

NotasElegibilidad notasElegibilidad(TipoRegistro tipo)
{
    switch (tipo) {
    case TipoRegistro::Promotora:
        return {textos::exportadoresPromotora, textos::compromisosPromotora};
    case TipoRegistro::Consolidadora:
        return {textos::exportadoresConsolidadora, textos::compromisosConsolidadora};
    case TipoRegistro::Ninguno:
        break;
    }
    return {QString(), textos::compromisosSinTipo};
}

} // namespace kivo::rules
