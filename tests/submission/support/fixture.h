#pragma once

#include "platform/files.h"
#include "platform/services.h"
#include "store/database.h"
#include "support/scriptedmessages.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

namespace kivo::test {

// A copy of the delivered data folder, seeded, and an empty folder standing for the medium.
struct Fixture
{
    Fixture();
    QString path(const QString &table) const { return Database(data.path()).resolve(table); }
    // Hidden ones too: a scratch or lock file left on the medium is a fault.
    QStringList mediumFiles() const
    {
        return QDir(medium.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // Every file of the data folder, by name, as bytes.
    QMap<QString, QByteArray> dataFiles() const;

    QTemporaryDir data, medium;
    ScriptedMessages messages;
    SystemClock clock;
    RealFiles files;
    Services services{.messages = &messages,
                      .clock = &clock,
                      .files = &files,
                      .dataFolder = data.path(),
                      .driveA = [this] { return medium.path(); },
                      .packer = {}};
};

} // namespace kivo::test
