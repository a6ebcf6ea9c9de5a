#pragma once

#include "platform/services.h"

#include <QTableView>

namespace kivo {

class DataSource;

// The three data grids over their data sources. A changed row is written to its table when
// the cell cursor leaves the row; Escape cancels the row being edited.
class SalesGrid;    // dbgVTotales over dtsVTotales (salesgrid.h)
class SupplierGrid; // dbProveedor over dtsProveedor (suppliergrid.h)
class ProductsGrid; // dbProductos over dtsProductos (productsgrid.h)

// Each class: constructor (DataSource *source, const Services &services, QWidget *parent),
// objectName set to its design name, and reload() to show the data source's rows again after
// the window refreshed it.

} // namespace kivo
