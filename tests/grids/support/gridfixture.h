#pragma once

#include "platform/services.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/dbftable.h"
#include "support/scriptedmessages.h"

#include <QAbstractItemView>
#include <QTemporaryDir>
#include <memory>

namespace kivo::test {

struct GridFixture
{
    GridFixture();
    DbfTable load(const QString &t) const { return DbfTable::load(database->resolve(t + ".dbf")); }

    QTemporaryDir dir;
    ScriptedMessages messages;
    Services services;
    std::unique_ptr<Database> database;
    std::unique_ptr<DataSource> ventas, proveedores, productos;
    QWidget window;
};

// Keys go to the focused widget, so a cell editor gets what follows the key that opened it.
void type(QAbstractItemView *view, const QString &text);
void press(QAbstractItemView *view, Qt::Key key, Qt::KeyboardModifiers modifiers = {});
QString cell(QAbstractItemView *view, int row, int column);
void goTo(QAbstractItemView *view, int row, int column);

} // namespace kivo::test
