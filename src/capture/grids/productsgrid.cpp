#include "capture/grids/productsgrid.h"

#include "capture/grids/textos.h"

namespace kivo {

ProductsGrid::ProductsGrid(DataSource *source, const Services &services, QWidget *parent)
    : DataGrid(
        source,
        {{QStringLiteral("DESCRIPCIO"), textos::kDescripcion, GridColumn::Format::AsStored, 658, false, {}}},
        true, services, parent)
{
    setObjectName(QStringLiteral("dbProductos"));
    setTabMode(TabMode::LeaveGrid);
    setEnterMode(EnterMode::Default);
}

} // namespace kivo
