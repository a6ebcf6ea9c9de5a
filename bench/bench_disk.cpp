// Times the submission disk on the delivered data: clearing the medium, packing, copying and
// verifying five tables, re-reading the application record. Prints figures; asserts nothing.
#include "platform/files.h"
#include "platform/services.h"
#include "store/database.h"
#include "store/datasource.h"
#include "store/dbftable.h"
#include "submission/generadisco.h"
#include "submission/submissionhost.h"
#include "support/scriptedmessages.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace kivo;

namespace {

class BenchHost : public SubmissionHost
{
public:
    explicit BenchHost(const QString &folder)
        : m_db(folder),
          m_app(QStringLiteral("dtsDatoProv"), &m_db)
    {
        m_app.setRecordSource(QStringLiteral("datoprov"));
        m_app.refresh();
    }
    DataSource *applicationRecord() override { return &m_app; }
    DataSource *salesRows() override { return nullptr; }
    DataSource *products() override { return nullptr; }
    DataSource *suppliers() override { return nullptr; }
    QString rfcText() const override { return QStringLiteral("AAA010101AA1"); }
    void grabar() override { }
    bool verificaRequeridos() override { return false; }
    void nuevo() override { }
    void clearMaquila() override { }
    void clearRfc() override { }
    void deselectOptions() override { }
    void selectFirstEntries() override { }
    void enableEditButton() override { }
    void showFirstPage() override { }
    int selectedCode(CodeList) const override { return -1; }
    void reloadAfterFailure() override { }

private:
    Database m_db;
    DataSource m_app;
};

// Adds `n` suppliers, a third of them deleted, so the packer has work to do.
void addSuppliers(const QString &folder, int n)
{
    DbfTable t = DbfTable::load(Database(folder).resolve(QStringLiteral("provprod.dbf")));
    for (int i = 0; i < n; ++i) {
        const int r = t.appendRecord();
        t.setValue(r, 0, QStringLiteral("PROVEEDOR NACIONAL %1").arg(i));
        t.setDeleted(r, i % 3 == 0);
    }
    t.save();
}

double runOnce(const QString &delivered, const QString &packer, int suppliers)
{
    QTemporaryDir data, medium;
    for (const QString &name : QDir(delivered).entryList(QDir::Files))
        QFile::copy(QDir(delivered).filePath(name), data.filePath(name));
    if (suppliers > 0)
        addSuppliers(data.path(), suppliers);

    ScriptedMessages messages;
    RealFiles files;
    SystemClock clock;
    Services services;
    services.messages = &messages;
    services.clock = &clock;
    services.files = &files;
    services.dataFolder = data.path();
    services.driveA = [&medium] { return medium.path(); };
    services.packer = packer;
    BenchHost host(data.path());

    QElapsedTimer timer;
    timer.start();
    generaDisco(host, services);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (messages.shown.size() != 2)
        std::fprintf(stderr, "warning: %lld messages, copies incomplete\n",
                     static_cast<long long>(messages.shown.size()));
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString bin = QStringLiteral(KIVO_BINARY_DIR "/bin");
    const QString delivered = QStringLiteral(KIVO_BINARY_DIR "/share/kivo/data");
    if (!QFileInfo::exists(QDir(delivered).filePath(QStringLiteral("datoprov.dbf")))) {
        std::fprintf(stderr, "delivered tables not built in %s\n", qPrintable(delivered));
        return 1;
    }
    const QString packer = QDir(bin).filePath(QStringLiteral("pack9"));
    const bool havePacker = QFileInfo(packer).isExecutable();

    struct Case
    {
        const char *label;
        bool packs;
        int suppliers;
    };
    const QList<Case> cases = {
        {"delivered data, no packer", false, 0},
        {"delivered data, with pack9", true, 0},
        {"5000 suppliers, with pack9", true, 5000},
    };
    constexpr int kRuns = 15;
    for (const Case &c : cases) {
        QList<double> times;
        for (int i = 0; i < kRuns; ++i)
            times.append(runOnce(delivered, c.packs && havePacker ? packer : QString(), c.suppliers));
        std::sort(times.begin(), times.end());
        std::printf("%-32s median %8.2f ms  min %8.2f ms  max %8.2f ms  (%d runs%s)\n", c.label,
                    times[kRuns / 2], times.first(), times.last(), kRuns,
                    c.packs && !havePacker ? ", pack9 not built" : "");
    }
    return 0;
}
