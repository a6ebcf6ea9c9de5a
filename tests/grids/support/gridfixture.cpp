#include "support/gridfixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest>

namespace kivo::test {

GridFixture::GridFixture()
{
    if (!dir.isValid() || !copyDeliveredTables(dir.path()))
        return;
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

QVariant GridFixture::sales(int n, const char *field) const
{
    const DbfTable t = load(QStringLiteral("VENTAS"));
    for (int r = 0; r < t.recordCount(); ++r)
        if (!t.isDeleted(r) && t.value(r, t.fieldIndex("TIPO")).toInt() == 1 && n-- == 0)
            return t.value(r, t.fieldIndex(QLatin1String(field)));
    return {};
}

void GridFixture::showIn(QWidget *grid)
{
    grid->setGeometry(0, 0, 860, 200);
    auto *next = new QLineEdit(&window);
    next->setObjectName(QStringLiteral("siguiente"));
    next->setGeometry(0, 220, 100, 24);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    grid->setFocus();
}

QStringList liveRows(const DbfTable &t, const QStringList &fields)
{
    QStringList out;
    for (int r = 0; r < t.recordCount(); ++r) {
        QStringList values;
        for (int f = 0; f < t.fields().size(); ++f)
            if (fields.isEmpty() || fields.contains(t.fields()[f].name, Qt::CaseInsensitive))
                values << t.text(r, f);
        if (!t.isDeleted(r))
            out << values.join(u'|');
    }
    return out;
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
