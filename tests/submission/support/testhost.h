#pragma once

#include "store/database.h"
#include "store/datasource.h"
#include "submission/submissionhost.h"

#include <QStringList>

namespace kivo::test {

// The capture window reduced to its data sources and a log of what the procedures asked of it.
class TestHost : public SubmissionHost
{
public:
    explicit TestHost(const QString &dataFolder);

    DataSource *dataSource(const QString &name) override;
    QString rfcText() const override { return rfc; }
    void grabar() override;
    bool verificaRequeridos() override;
    void nuevo() override;
    void clearMaquila() override { log << QStringLiteral("clearMaquila"); }
    void clearRfc() override { log << QStringLiteral("clearRfc"); }
    void deselectOptions() override { log << QStringLiteral("deselectOptions"); }
    void selectFirstEntries() override { log << QStringLiteral("selectFirstEntries"); }
    void enableEditButton() override { log << QStringLiteral("enableEditButton"); }
    void showFirstPage() override { log << QStringLiteral("showFirstPage"); }
    int selectedCode(const QString &list) const override;
    void reloadAfterFailure() override;

    Database db;
    DataSource datoProv, vTotales, productos, proveedor;
    QStringList log;
    QString rfc = QStringLiteral("AAA010101AA1");
    bool faltanDatos = false;
};

} // namespace kivo::test
