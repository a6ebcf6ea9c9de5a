#pragma once

#include "platform/files.h"
#include "platform/services.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/dbferror.h"
#include "store/dbftable.h"
#include "submission/submissionhost.h"
#include "support/scriptedmessages.h"
#include "support/testfiles.h"

#include <QDir>
#include <QMap>
#include <QTemporaryDir>

namespace kivo::test {

// A copy of the delivered data folder, seeded, and an empty folder standing for the medium.
// The application, suppliers, two products, amounts in every sales row, one more of another `tipo`.
struct Fixture
{
    Fixture()
    {
        copyDeliveredTables(data.path());
        DbfTable app = DbfTable::load(path("datoprov.dbf")), prov = DbfTable::load(path("provprod.dbf"));
        DbfTable merc = DbfTable::load(path("PROVMERC.dbf")), ventas = DbfTable::load(path("VENTAS.dbf"));
        app.setValue(app.appendRecord(), app.fieldIndex("RFC"), QStringLiteral("AAA010101AA1"));
        for (int i = 0; i < 3; ++i)
            prov.setValue(prov.appendRecord(), 0, QStringLiteral("PROVEEDOR %1").arg(i));
        for (int i = 0; i < 2; ++i)
            merc.setValue(merc.appendRecord(), merc.fieldIndex("DESCRIPCIO"),
                          QStringLiteral("PRODUCTO %1").arg(i));
        ventas.setValue(ventas.appendRecord(), ventas.fieldIndex("tipo"), 2);
        for (int r = 0; r < ventas.recordCount(); ++r)
            for (int p = 1; p <= 5; ++p)
                ventas.setValue(r, p, 100 + r * 10 + p);
        for (DbfTable *t : {&app, &prov, &merc, &ventas})
            t->save();
    }
    QString path(const QString &table) const { return Database(data.path()).resolve(table); }
    // Hidden ones too: a scratch or lock file left on the medium is a fault.
    QStringList mediumFiles() const
    {
        return QDir(medium.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // Every file of the data folder, by name, as bytes.
    QMap<QString, QByteArray> dataFiles() const
    {
        QMap<QString, QByteArray> out;
        for (const QString &name : QDir(data.path()).entryList(QDir::Files))
            out.insert(name, readBytes(data.filePath(name)));
        return out;
    }

    QTemporaryDir data, medium;
    ScriptedMessages messages;
    SystemClock clock;
    RealFiles files;
    // Messages, clock, files, no printing, the data folder, drive A: and no packer.
    Services services{&messages, &clock, &files, nullptr, data.path(), [this] { return medium.path(); }, {}};
};

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
