#pragma once

#include "platform/files.h"
#include "platform/services.h"
#include "store/database.h"
#include "support/scriptedmessages.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kivo::test {

// A fresh copy of the delivered data folder and an empty folder standing for the medium.
struct Fixture
{
    Fixture()
    {
        const QDir delivered(QStringLiteral(KIVO_BUILD_DATA_DIR));
        for (const QString &name : delivered.entryList(QDir::Files))
            QFile::copy(delivered.filePath(name), data.filePath(name));
    }
    QString path(const QString &table) const { return Database(data.path()).resolve(table); }
    // Hidden ones too: a scratch or lock file left on the medium is a fault.
    QStringList mediumFiles() const
    {
        return QDir(medium.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // An application, suppliers, two products, amounts in every sales row, one more of another `tipo`.
    void seed();

    QTemporaryDir data, medium;
    ScriptedMessages messages;
    RealFiles files;
    Services services{.messages = &messages, .files = &files, .dataFolder = data.path(),
                      .driveA = medium.path(), .packer = {}};
};

} // namespace kivo::test
