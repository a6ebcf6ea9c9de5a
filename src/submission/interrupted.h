#pragma once

#include <QString>
#include <QStringList>

namespace kivo {

// At start, before the tables are opened: finishes a restore or a clearing that the last run
// left half done (killed, or stopped by a full disk) and returns what to tell the clerk about
// it, one message each; nothing when the last run ended its steps.
QStringList finishInterrupted(const QString &dataFolder);

} // namespace kivo
