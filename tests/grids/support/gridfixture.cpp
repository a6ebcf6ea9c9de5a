#include "support/gridfixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QtTest>

namespace kivo::test {

GridFixture::GridFixture()
{
    const QDir delivered(QStringLiteral(KIVO_BUILD_DATA_DIR));
    const QStringList tables = delivered.entryList({QStringLiteral("*.dbf")}, QDir::Files);
    if (!dir.isValid() || tables.isEmpty())
        return;
    for (const QString &t : tables)
        QFile::copy(delivered.filePath(t), dir.filePath(t));
    services.messages = &messages;
    services.dataFolder = dir.path();
    database = std::make_unique<Database>(dir.path());
    ventas = std::make_unique<DataSource>(QStringLiteral("dtsVTotales"), database.get());
    ventas->setRecordSource(QStringLiteral("select * from ventas where tipo = 1 "));
    ventas->refresh();
    proveedores = std::make_unique<DataSource>(QStringLiteral("dtsProveedor"), database.get());
    proveedores->setRecordSource(QStringLiteral("provprod"));
    proveedores->refresh();
    productos = std::make_unique<DataSource>(QStringLiteral("dtsProductos"), database.get());
    productos->setRecordSource(QStringLiteral("PROVMERC"));
    productos->refresh();
    window.resize(900, 300);
    m_ready = true;
}

QString GridFixture::path(const QString &table) const
{
    return database->resolve(table + QStringLiteral(".dbf"));
}

DbfTable GridFixture::load(const QString &table) const
{
    return DbfTable::load(path(table));
}

static QWidget *target(QAbstractItemView *view)
{
    QWidget *focus = QApplication::focusWidget();
    return focus && (focus == view || view->isAncestorOf(focus)) ? focus : view;
}

void type(QAbstractItemView *view, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(target(view), char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, target(view), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
    }
}

void press(QAbstractItemView *view, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(target(view), key, modifiers);
}

QString cell(QAbstractItemView *view, int row, int column)
{
    return view->model()->index(row, column).data(Qt::DisplayRole).toString();
}

void goTo(QAbstractItemView *view, int row, int column)
{
    view->setCurrentIndex(view->model()->index(row, column));
}

} // namespace kivo::test
