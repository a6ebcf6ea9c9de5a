#include "rules/requeridos.h"

#include "rules/textos.h"

namespace kivo::rules {

namespace {

const QChar kRetorno(13);

void agrega(QString &lista, const QString &item)
{
    if (lista.isEmpty())
        lista = item;
    else
        lista += QLatin1Char(',') + QString(kRetorno) + item;
}

} // namespace

RequeridosResult verificaRequeridos(const RequeridosInput &input)
{
    QString lista;
    for (const ControlValue &control : input.controls) {
        // Any blank counts as nothing typed, so a field of tabs or no-break spaces is empty too.
        if (control.tag == QLatin1String("1") && control.text.trimmed().isEmpty())
            agrega(lista, control.toolTip);
    }
    if (!input.activitySelected)
        agrega(lista, textos::actividadPrincipal);
    if (input.tipo == TipoRegistro::Ninguno)
        agrega(lista, textos::tipoRegistro);
    if (input.productCount <= 0)
        agrega(lista, textos::productosExportacion);
    if (input.tipo == TipoRegistro::Promotora && input.supplierCount < 3)
        agrega(lista, textos::tresProveedores);
    if (input.tipo == TipoRegistro::Consolidadora && input.supplierCount < 5)
        agrega(lista, textos::cincoProveedores);

    RequeridosResult result;
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
