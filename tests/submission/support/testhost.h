#pragma once

#include "store/database.h"
#include "store/datasource.h"
#include "submission/submissionhost.h"

namespace kivo::test {

// The capture window reduced to its data sources and a log of what the procedures asked of it.
class TestHost : public SubmissionHost
{
public:
    explicit TestHost(const QString &dataFolder);
    DataSource *dataSource(const QString &name) override
    {
        const auto it = std::find_if(all.begin(), all.end(), [&](DataSource *ds) { return ds->name() == name; });
        return it == all.end() ? nullptr : *it;
    }
    QString rfcText() const override { return rfc; }
    void grabar() override
    {
        log << "grabar";
        datoProv.setField("RFC", rfc);
        datoProv.update();
        datoProv.setBookmark(datoProv.lastModified());
        datoProv.edit();
    }
    bool verificaRequeridos() override { log << "verificaRequeridos"; return faltanDatos; }
    void nuevo() override { log << "nuevo"; datoProv.isEof() ? datoProv.addNew() : datoProv.edit(); }
    void clearMaquila() override { log << "clearMaquila"; }
    void clearRfc() override { log << "clearRfc"; }
    void deselectOptions() override { log << "deselectOptions"; }
    void selectFirstEntries() override { log << "selectFirstEntries"; }
    void enableEditButton() override { log << "enableEditButton"; }
    void showFirstPage() override { log << "showFirstPage"; }
    int selectedCode(const QString &l) const override { return l == "Combo5" ? 7 : l == "cmbActividad" ? 3 : -1; }
    void reloadAfterFailure() override;
    Database db;
    DataSource datoProv{"dtsDatoProv", &db}, vTotales{"dtsVTotales", &db}, productos{"dtsProductos", &db},
        proveedor{"dtsProveedor", &db};
    const QList<DataSource *> all{&datoProv, &vTotales, &productos, &proveedor};
    QStringList log;
    QString rfc = QStringLiteral("AAA010101AA1");
    bool faltanDatos = false;
};

} // namespace kivo::test
