#include "support/testhost.h"

#include "store/dbferror.h"

namespace kivo::test {

TestHost::TestHost(const QString &dataFolder)
    : db(dataFolder)
    , datoProv(QStringLiteral("dtsDatoProv"), &db)
    , vTotales(QStringLiteral("dtsVTotales"), &db)
    , productos(QStringLiteral("dtsProductos"), &db)
    , proveedor(QStringLiteral("dtsProveedor"), &db)
{
    datoProv.setRecordSource(QStringLiteral("datoprov"));
    vTotales.setRecordSource(QStringLiteral("select * from ventas where tipo = 1 "));
    productos.setRecordSource(QStringLiteral("PROVMERC"));
    proveedor.setRecordSource(QStringLiteral("provprod"));
    for (DataSource *ds : {&datoProv, &vTotales, &productos, &proveedor})
        ds->refresh();
    // The window's validate handler: a move of the application record runs the cancel command.
    QObject::connect(&datoProv, &DataSource::validate, [this](int action, bool *) {
        if (action >= action::MoveFirst && action <= action::MoveLast)
            log << QStringLiteral("cancel");
    });
    nuevo();
    log.clear();
}

DataSource *TestHost::dataSource(const QString &name)
{
    for (DataSource *ds : {&datoProv, &vTotales, &productos, &proveedor}) {
        if (ds->name() == name)
            return ds;
    }
    return nullptr;
}

void TestHost::grabar()
{
    log << QStringLiteral("grabar");
    datoProv.setField(QStringLiteral("RFC"), rfc);
    datoProv.update();
    datoProv.setBookmark(datoProv.lastModified());
    datoProv.edit();
}

bool TestHost::verificaRequeridos()
{
    log << QStringLiteral("verificaRequeridos");
    return faltanDatos;
}

void TestHost::nuevo()
{
    log << QStringLiteral("nuevo");
    if (datoProv.isEof())
        datoProv.addNew();
    else
        datoProv.edit();
}

int TestHost::selectedCode(const QString &list) const
{
    return list == QLatin1String("Combo5") ? 7 : list == QLatin1String("cmbActividad") ? 3 : -1;
}

void TestHost::reloadAfterFailure()
{
    log << QStringLiteral("reloadAfterFailure");
    try {
        for (DataSource *ds : {&datoProv, &vTotales, &productos, &proveedor})
            ds->refresh();
        nuevo();
    } catch (const DbfError &) {
        log << QStringLiteral("reloadFailed");
    }
}

} // namespace kivo::test
