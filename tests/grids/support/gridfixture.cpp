#include "support/gridfixture.h"

#include <QApplication>
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
    const auto open = [this](const char *name, const char *source) {
        auto ds = std::make_unique<DataSource>(QString::fromLatin1(name), database.get());
        ds->setRecordSource(QString::fromLatin1(source));
        ds->refresh();
        return ds;
    };
    ventas = open("dtsVTotales", "select * from ventas where tipo = 1 ");
    proveedores = open("dtsProveedor", "provprod");
    productos = open("dtsProductos", "PROVMERC");
    window.resize(900, 300);
}

static QWidget *target(QAbstractItemView *view)
{
    QWidget *focus = QApplication::focusWidget();
    return focus && (focus == view || view->isAncestorOf(focus)) ? focus : view;
}

void type(QAbstractItemView *view, const QString &text)
{
    for (QChar c : text)
        if (c.unicode() < 128)
            QTest::keyClick(target(view), char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, target(view), Qt::Key_unknown, QString(c), {});
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
