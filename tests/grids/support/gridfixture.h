#pragma once

#include "capture/grids/salesgrid.h"
#include "platform/services.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/dbftable.h"
#include "support/scriptedmessages.h"
#include "support/testfiles.h"

#include <QAbstractItemView>
#include <QTemporaryDir>
#include <memory>

namespace kivo::test {

struct GridFixture
{
    GridFixture();
    DbfTable load(const QString &t) const { return DbfTable::load(database->resolve(t + ".dbf")); }
    // A field of the n-th stored sales row of the grid's tipo.
    QVariant sales(int n, const char *field) const;
    // Shows the window with the grid, and the control after it.
    void showIn(QWidget *grid);

    QTemporaryDir dir;
    ScriptedMessages messages;
    Services services;
    std::unique_ptr<Database> database;
    std::unique_ptr<DataSource> ventas, proveedores, productos;
    QWidget window;
};

// A grid of one of the fixture's data sources, shown.
template <typename Grid>
struct Shown : GridFixture
{
    using Source = std::unique_ptr<DataSource> GridFixture::*;
    explicit Shown(Source source)
        : grid((this->*source).get(), services, &window)
    {
        showIn(&grid);
    }
    Grid grid;
};

struct Sales : Shown<SalesGrid>
{
    Sales()
        : Shown(&GridFixture::ventas)
    {
    }
    SalesTable *t = grid.table();
};

// The rows not deleted, each the named fields (all when none) joined by '|'.
QStringList liveRows(const DbfTable &t, const QStringList &fields = {});
// Keys go to the focused widget, so a cell editor gets what follows the key that opened it.
void type(QAbstractItemView *view, const QString &text);
void press(QAbstractItemView *view, Qt::Key key, Qt::KeyboardModifiers modifiers = {});
QString cell(QAbstractItemView *view, int row, int column);
void goTo(QAbstractItemView *view, int row, int column);

} // namespace kivo::test
