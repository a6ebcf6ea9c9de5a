#pragma once

#include "platform/messages.h"
#include "platform/services.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/dbftable.h"

#include <QTemporaryDir>
#include <QWidget>

#include <memory>

class QAbstractItemView;

namespace kivo::test {

// A copy of the delivered tables in a folder of its own, the data sources the window opens
// over them, and a window to put a grid in.
struct GridFixture
{
    GridFixture();

    bool ready() const { return m_ready; }
    QString path(const QString &table) const;
    DbfTable load(const QString &table) const; // as it is on disk now

    QTemporaryDir dir;
    ScriptedMessages messages;
    Services services;
    std::unique_ptr<Database> database;
    std::unique_ptr<DataSource> ventas;
    std::unique_ptr<DataSource> proveedores;
    std::unique_ptr<DataSource> productos;
    QWidget window;

private:
    bool m_ready = false;
};

// Keys as a person types them: each goes to the widget that has the focus, so the cell
// editor receives what follows the key that opened it.
void type(QAbstractItemView *view, const QString &text);
void press(QAbstractItemView *view, Qt::Key key, Qt::KeyboardModifiers modifiers = {});
QString cell(QAbstractItemView *view, int row, int column);
void goTo(QAbstractItemView *view, int row, int column);

} // namespace kivo::test
