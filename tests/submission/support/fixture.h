#pragma once

#include "platform/files.h"
#include "platform/messages.h"
#include "platform/services.h"

#include <QTemporaryDir>

namespace kivo::test {

// A fresh copy of the delivered data folder and an empty folder standing for the medium.
struct Fixture
{
    Fixture();
    bool ready() const; // false when the delivered tables are not built

    QTemporaryDir data, medium;
    ScriptedMessages messages;
    RealFiles files;
    Services services;

    QString path(const QString &table) const;   // of a table in the data folder, any case
    QStringList mediumFiles() const;            // sorted names
    // Stores an application record, `suppliers` suppliers, two products and amounts in the
    // application's sales rows; adds one sales row of another `tipo`.
    void seed(int suppliers = 3);
};

} // namespace kivo::test
