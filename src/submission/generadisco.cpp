#include "submission/generadisco.h"

#include "platform/clock.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "store/backups.h"
#include "store/datasource.h"
#include "store/dbferror.h"
#include "submission/submissionhost.h"
#include "submission/textos.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <array>

namespace kivo {

namespace {

// The tables that go on the medium, in the order the receiving office expects them.
const std::array<QString, 5> kTables = {
    QStringLiteral("datoprov.dbf"), QStringLiteral("PROVMERC.dbf"), QStringLiteral("provprod.dbf"),
    QStringLiteral("VENTAS.dbf"), QStringLiteral("activida.dbf")};

const QStringList kPackerArguments = {QStringLiteral("DatoProv"), QStringLiteral("PROVMERC"),
                                      QStringLiteral("provprod"), QStringLiteral("VENTAS")};

// Long enough for any table a user could type; short enough that a hung packer does not
// hold the window for good.
constexpr int kPackerTimeoutMs = 60 * 1000;

const QString kOldTables = QStringLiteral("*.dbf");

// The hourglass while the medium is written, restored on every way out.
class WaitCursor
{
public:
    WaitCursor()
        : m_active(qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
    {
        if (m_active)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    bool m_active;
};

// The medium as mounted now: the user may have changed disks since the program started, and
// a new disk is mounted under its own label.
QString currentMedium(const Services &services)
{
    if (!services.driveA.isEmpty() && QFileInfo(services.driveA).isDir())
        return services.driveA;
    return driveALocation();
}

// Clears the medium, packs and copies; true for each table that arrived whole.
std::array<bool, 5> writeMedium(const Services &services, const QString &drive)
{
    WaitCursor wait;
    Files &files = *services.files;

    if (!drive.isEmpty() && files.anyMatch(drive, kOldTables))
        files.removeMatching(drive, kOldTables);

    // Copying a table the packer is still rewriting would put half a table on the medium, so
    // wait for it. Whatever its outcome, the tables are copied as they stand.
    if (!services.packer.isEmpty())
        files.run(services.packer, kPackerArguments, services.dataFolder, kPackerTimeoutMs);

    std::array<bool, 5> arrived{};
    if (drive.isEmpty())
        return arrived;
    const QDir data(services.dataFolder);
    const QDir medium(drive);
    for (size_t i = 0; i < kTables.size(); ++i) {
        const QString destination = medium.filePath(kTables[i]);
        arrived[i] = files.copy(data.filePath(kTables[i]), destination);
        // A partial copy must not be mistaken for a table the office can read.
        if (!arrived[i] && files.exists(destination))
            files.removeMatching(drive, kTables[i]);
    }
    return arrived;
}

} // namespace

void generaDisco(SubmissionHost &host, const Services &services)
{
    if (host.rfcText().trimmed().isEmpty())
        return;

    host.grabar();
    if (host.verificaRequeridos())
        return;

    Messages &messages = *services.messages;
    if (messages.show(textos::kTituloConfirmaDisco, textos::kConfirmaDisco, Buttons::OkCancel)
        != Answer::Ok)
        return;
    // Packing rewrites the tables: they are kept as they were first, or not touched at all.
    try {
        backups::make(services.dataFolder, nowOf(services.clock));
    } catch (const DbfError &e) {
        messages.show(kProgramTitle, textos::kDiscoSinRespaldo.arg(e.message()), Buttons::Ok,
                      Icon::Critical);
        return;
    }

    const QString drive = currentMedium(services);
    const std::array<bool, 5> arrived = writeMedium(services, drive);
    // The packer rewrote the list tables: the window reads them again, so that its next row
    // write starts from the packed file rather than put the deleted rows back.
    for (DataSource *list : {host.products(), host.suppliers(), host.salesRows()}) {
        try {
            if (list)
                list->refresh();
        } catch (const DbfError &e) {
            messages.show(kProgramTitle, textos::kReleerFallo.arg(e.message()), Buttons::Ok,
                          Icon::Critical);
        }
    }

    const QDir medium(drive);
    for (size_t i = 0; i < kTables.size(); ++i) {
        const bool present = arrived[i] && services.files->exists(medium.filePath(kTables[i]));
        if (!present)
            messages.show(kProgramTitle, textos::kCopiaIncompleta);
    }
    messages.show(textos::kTituloDiscoGrabado, textos::kRetireDisco);

    DataSource *datoProv = host.applicationRecord();
    if (!datoProv)
        return;
    try {
        datoProv->refresh();
        if (!datoProv->isEof()) {
            datoProv->moveFirst(); // its validate event locks the window again
            datoProv->edit();
        }
    } catch (const DbfError &e) {
        messages.show(kProgramTitle, textos::kReleerFallo.arg(e.message()), Buttons::Ok,
                      Icon::Critical);
    }
}

} // namespace kivo
