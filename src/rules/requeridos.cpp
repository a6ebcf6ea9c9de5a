#include "rules/requeridos.h"

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

RequiredResult verificaRequeridos(const RequiredInput &input)
{
    RequiredResult result;
    QString lista;
    const auto falta = [&](const QString &item, Faltante que, int control = -1) {
        if (lista.isEmpty()) {
            result.primero = que;
            result.primerControl = control;
        }
        appendItem(lista, item);
    };
    for (int i = 0; i < input.controls.size(); ++i) {
        const ControlValue &control = input.controls.at(i);
        // Any blank counts as nothing typed, so a field of tabs or no-break spaces is empty too.
        if (control.tag == QLatin1String("1") && control.text.trimmed().isEmpty())
            falta(control.toolTip, Faltante::Control, i);
    }
    if (!input.activitySelected)
        falta(textos::actividadPrincipal, Faltante::Actividad);
    if (input.tipo == TipoRegistro::Ninguno)
        falta(textos::tipoRegistro, Faltante::TipoRegistro);
    if (input.productCount <= 0)
        falta(textos::productosExportacion, Faltante::Productos);
    if (input.tipo == TipoRegistro::Promotora && input.supplierCount < 3)
        falta(textos::tresProveedores, Faltante::Proveedores);
    if (input.tipo == TipoRegistro::Consolidadora && input.supplierCount < 5)
        falta(textos::cincoProveedores, Faltante::Proveedores);

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
