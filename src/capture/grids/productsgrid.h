#pragma once

#include "capture/grids/datagrid.h"

namespace kivo {

// dbProductos: the main export products, one description per row.
class ProductsGrid : public DataGrid
{
    Q_OBJECT
public:
    ProductsGrid(DataSource *source, const Services &services, QWidget *parent = nullptr);
};

} // namespace kivo
