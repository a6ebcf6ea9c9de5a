#include "submission/generadisco.h"

#include "platform/clock.h"
#include "platform/files.h"
#include "platform/messages.h"
#include "platform/waitcursor.h"
#include "store/backups.h"
#include "store/datasource.h"
#include "store/dbferror.h"
#include "store/tables.h"
#include "submission/submissionhost.h"
#include "submission/textos.h"

#include <QDir>
#include <QFileInfo>

#include <array>

namespace kivo {

namespace {

using PerTable = std::array<QString, tables::kOnMedium.size()>;

const PerTable kTables = [] {
    PerTable files;
    for (size_t i = 0; i < files.size(); ++i)
        files[i] = tables::fileName(tables::kOnMedium[i]);
    return files;
}();

// Long enough for any table a user could type; short enough that a hung packer does not
// hold the window for good.
constexpr int kPackerTimeoutMs = 60 * 1000;

const QString kOldTables = QStringLiteral("*.dbf");

QString currentMedium(const Services &services)
{
    return services.driveA ? services.driveA() : QString();
}

// Clears the medium, packs and copies; for each table the reason it did not arrive, or an
// empty text when its copy is whole.
PerTable writeMedium(const Services &services, const QString &drive)
{
    WaitCursor wait;
    Files &files = *services.files;

    if (!drive.isEmpty()) {
        files.removeScratch(drive);
        if (files.anyMatch(drive, kOldTables))
            files.removeMatching(drive, kOldTables);
    }

    // Copying a table the packer is still rewriting would put half a table on the medium, so
    // wait for it. Whatever its outcome, the tables are copied as they stand.
    if (!services.packer.isEmpty())
        files.run(services.packer, tables::packerArguments(), services.dataFolder, kPackerTimeoutMs);

    PerTable failures;
    if (drive.isEmpty()) {
        failures.fill(textos::kSinUnidad);
        return failures;
    }
    const QDir data(services.dataFolder);
    const QDir medium(drive);
    for (size_t i = 0; i < kTables.size(); ++i) {
        const QString destination = medium.filePath(kTables[i]);
        if (!files.copy(data.filePath(kTables[i]), destination, &failures[i]) && failures[i].isEmpty())
            failures[i] = textos::kNoVerificada;
    }
    return failures;
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
    if (messages.show(textos::kTituloConfirmaDisco, textos::kConfirmaDisco, Buttons::OkCancel) != Answer::Ok)
        return;

    const QString drive = currentMedium(services);
    // Clearing the medium would then delete the application itself, or a backup of it.
    if (folderWithin(drive, services.dataFolder) || folderWithin(services.dataFolder, drive)) {
        const QString &text = sameFolder(drive, services.dataFolder) ? textos::kMedioEsCarpetaDatos
                                                                     : textos::kMedioEnCarpetaDatos;
        messages.show(kProgramTitle, text.arg(QDir::toNativeSeparators(drive)), Buttons::Ok, Icon::Warning);
        return;
    }
    // Packing rewrites the tables: they are kept as they were first, or not touched at all.
    try {
        backups::make(services.dataFolder, services.clock->now(), backups::Kind::Sent);
    } catch (const DbfError &e) {
        messages.show(kProgramTitle, textos::kDiscoSinRespaldo.arg(e.message()), Buttons::Ok, Icon::Critical);
        return;
    }

    PerTable failures = writeMedium(services, drive);
    // Only what is on the medium now, byte for byte the table it came from, counts as written.
    const QDir data(services.dataFolder);
    const QDir medium(drive);
    QStringList missing;
    for (size_t i = 0; i < kTables.size(); ++i) {
        const QString copy = medium.filePath(kTables[i]);
        if (failures[i].isEmpty() && !services.files->sameBytes(data.filePath(kTables[i]), copy))
            failures[i] = textos::kNoVerificada;
        if (failures[i].isEmpty())
            continue;
        missing.append(textos::kTablaFaltante.arg(kTables[i], failures[i]));
        // Whatever stands under the name (an older table, a broken copy) must not be taken
        // for this application's.
        if (!drive.isEmpty() && services.files->exists(copy))
            services.files->removeMatching(drive, kTables[i]);
    }
    const QString &rereadFailed = missing.isEmpty() ? textos::kReleerFallo : textos::kReleerFalloSinDisco;

    // The packer rewrote the list tables: the window reads them again, so that its next row
    // write starts from the packed file rather than put the deleted rows back.
    for (DataSource *list : {host.products(), host.suppliers(), host.salesRows()}) {
        try {
            if (list)
                list->refresh();
        } catch (const DbfError &e) {
            messages.show(kProgramTitle, rereadFailed.arg(e.message()), Buttons::Ok, Icon::Critical);
        }
    }

    for (qsizetype i = 0; i < missing.size(); ++i)
        messages.show(kProgramTitle, textos::kCopiaIncompleta);
    if (missing.isEmpty())
        messages.show(textos::kTituloDiscoGrabado, textos::kRetireDisco);
    else
        messages.show(textos::kTituloDiscoIncompleto, textos::kDiscoIncompleto.arg(missing.join(QChar(13))),
                      Buttons::Ok, Icon::Warning);

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
        messages.show(kProgramTitle, rereadFailed.arg(e.message()), Buttons::Ok, Icon::Critical);
    }
}

} // namespace kivo
