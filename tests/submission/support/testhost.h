#pragma once

#include "store/database.h"
#include "store/datasource.h"
#include "store/dbferror.h"
#include "submission/submissionhost.h"

namespace kivo::test {

// The capture window reduced to its data sources and a log of what the procedures asked of it.
class TestHost : public SubmissionHost
{
public:
    explicit TestHost(const QString &dataFolder)
        : db(dataFolder)
    {
        const QStringList sources = {"datoprov", "select * from ventas where tipo = 1 ", "PROVMERC",
                                     "provprod"};
        for (int i = 0; i < all.size(); ++i)
            all[i]->setRecordSource(sources[i]);
        reloadAfterFailure();
        log.clear();
    }
    DataSource *applicationRecord() override { return &datoProv; }
    DataSource *salesRows() override { return &vTotales; }
    DataSource *products() override { return &productos; }
    DataSource *suppliers() override { return &proveedor; }
    QString rfcText() const override { return rfc; }
    void grabar() override
    {
        log << "grabar";
        datoProv.setField("RFC", rfc);
        datoProv.update();
        datoProv.setBookmark(datoProv.lastModified());
        datoProv.edit();
    }
    bool verificaRequeridos() override { return faltanDatos; }
    void nuevo() override
    {
        log << "nuevo";
        datoProv.isEof() ? datoProv.addNew() : datoProv.edit();
    }
    void clearMaquila() override { log << "clearMaquila"; }
    void clearRfc() override { log << "clearRfc"; }
    void deselectOptions() override { log << "deselectOptions"; }
    void selectFirstEntries() override { log << "selectFirstEntries"; }
    void enableEditButton() override { log << "enableEditButton"; }
    void showFirstPage() override { log << "showFirstPage"; }
    int selectedCode(CodeList l) const override { return l == CodeList::AdmLocal ? 7 : 3; }
    void reloadAfterFailure() override
    {
        log << "reloadAfterFailure";
        try {
            for (DataSource *ds : all)
                ds->refresh();
            nuevo();
        } catch (const DbfError &) { // a table left unreadable: the window shows what it can
        }
    }
    Database db;
    DataSource datoProv{"dtsDatoProv", &db}, vTotales{"dtsVTotales", &db}, productos{"dtsProductos", &db},
        proveedor{"dtsProveedor", &db};
    const QList<DataSource *> all{&datoProv, &vTotales, &productos, &proveedor};
    QStringList log;
    QString rfc = QStringLiteral("AAA010101AA1");
    bool faltanDatos = false;
};

} // namespace kivo::test
