#pragma once

#include "capture/grids/datagrid.h"

namespace kivo {

// dbProveedor: the registry of national suppliers. Each row is checked before it is written:
// a wrong RFC keeps it in the grid; a missing name or product is only pointed out.
class SupplierGrid : public DataGrid
{
    Q_OBJECT
public:
    enum Column { Proveedor, Rfc, Descripcion };

    SupplierGrid(DataSource *source, const Services &services, QWidget *parent = nullptr);

protected:
    int cellKey(const QModelIndex &cell, int code) const override;
    bool rowAccepted(int row) override;
};

} // namespace kivo
