#include "capture/grids/suppliergrid.h"

#include "capture/grids/textos.h"
#include "platform/messages.h"
#include "rules/keyfilters.h"
#include "rules/rfc.h"
#include "rules/textos.h"
#include "store/dbferror.h"

namespace kivo {

namespace {

QList<GridColumn> supplierColumns()
{
    using F = GridColumn::Format;
    namespace t = textos;
    return {
        {QStringLiteral("PROVEEDOR"), t::kProveedor, F::AsStored, 233, false, {}},
        {QStringLiteral("RFC"), t::kRfc, F::AsStored, 103, false, QStringLiteral("WWWW999999WWW")},
        {QStringLiteral("DESCRIPCIO"), t::kProducto, F::AsStored, 343, false, {}},
    };
}

} // namespace

SupplierGrid::SupplierGrid(DataSource *source, const Services &services, QWidget *parent)
    : DataGrid(source, supplierColumns(), true, services, parent)
{
    setObjectName(QStringLiteral("dbProveedor"));
    setTabMode(TabMode::StayInRow);
    setEnterMode(EnterMode::NextInRow);
}

int SupplierGrid::cellKey(const QModelIndex &cell, int code) const
{
    return cell.column() == Rfc ? code : rules::upperKey(code);
}

bool SupplierGrid::rowAccepted(int row)
{
    const auto show = [this](const QString &title, const QString &text) {
        if (m_services.messages)
            m_services.messages->show(title, text);
    };
    bool decided = false;
    try {
        const rules::SupplierRfcResult rfc = rules::validaRfcProveedor(dataModel()->text(row, Rfc));
        if (!rfc.valid) {
            show(rules::textos::tituloProveedor, rfc.message);
            return false;
        }
        decided = true;
        // The row is written all the same; the cursor goes to the first cell pointed out.
        const bool sinNombre = dataModel()->text(row, Proveedor).trimmed().isEmpty();
        const bool sinDescripcion = dataModel()->text(row, Descripcion).trimmed().isEmpty();
        if (sinNombre)
            show(kProgramTitle, textos::kFaltaNombre);
        if (sinDescripcion)
            show(kProgramTitle, textos::kFaltaDescripcion);
        if (sinNombre || sinDescripcion)
            pointAt(row, sinNombre ? Proveedor : Descripcion);
    } catch (const std::exception &e) {
        show(kProgramTitle, errorMessage(e, textos::kFalloInterno));
        // Without an answer from the RFC check the row is kept back rather than written.
        return decided;
    }
    return true;
}

} // namespace kivo
