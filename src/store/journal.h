#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Steps that change several tables one after the other (a restore, the clearing) note their
// intent in the data folder before the first table and remove the note after the last, so a
// step cut short by a kill or a full disk is finished, or at least told, at the next start.
namespace kivo::journal {

enum class Step { Restore, Clearing };

// Writes the note of `step` with its details, one a line; throws DbfError when it cannot.
void begin(const QString &dataFolder, Step step, const QStringList &details);
// Removes the note; quietly does nothing when there is none.
void end(const QString &dataFolder, Step step);
// The details of a step noted and never ended; nothing when there is none.
std::optional<QStringList> pending(const QString &dataFolder, Step step);

} // namespace kivo::journal
