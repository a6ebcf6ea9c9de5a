#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// Backups of the application: each one a folder respaldos/AAAAMMDD-HHMMSS inside the data
// folder holding a copy of the seven tables and nothing else. A second backup within the same
// second gets "-2", "-3"... after the name. Errors are DbfError with a Spanish message.
namespace kivo::backups {

// The seven tables, in the letter case they are delivered with.
const QStringList &tableNames();

// The folder that holds the backups of a data folder.
QString location(const QString &dataFolder);

// The name of a backup taken at `when`, before any suffix.
QString nameFor(const QDateTime &when);

// A backup made before a submission disk is the application as sent: marked so, and never
// thinned, so last year's application is there to start the next one from.
enum class Kind { Ordinary, Sent };

// Copies the seven tables into a new backup named after `now`, then thins the backups (never
// the one just made, and none at all when a backup is newer than `now`: the clock runs behind).
// The copy is made in a hidden folder and renamed into place, so a failed or cut-short backup
// never shows as one. Returns the backup's name; throws DbfError when it cannot be made.
QString make(const QString &dataFolder, const QDateTime &now, Kind kind = Kind::Ordinary);

// Of `names`, those to remove on `today`: every backup but the 30 newest and the newest of
// each of the last 12 calendar months (this month and the 11 before it). Names that are not
// backups' are never in the answer.
QStringList thinned(const QStringList &names, QDate today);

// The backup at the first successful save of a day: made when none was yet that day (a mark
// in the backups folder remembers the day, across runs). Returns the backup's name, or an
// empty string when the day had its backup already. Throws DbfError when it fails; the day
// then counts as done, so a failing backup warns once, not at every save.
QString makeDaily(const QString &dataFolder, const QDateTime &now);

struct Summary
{
    QString name;
    QDateTime taken;
    QString rfc;
    QString company;
    int suppliers = 0;
    int products = 0;
    QString damage;    // why the backup cannot be restored; empty when it can
    bool sent = false; // the application as sent on a submission disk
};

// Every backup, newest first. Throws DbfError when the backups folder exists but cannot be read.
QList<Summary> list(const QString &dataFolder);

// Throws DbfError when the backup does not exist or one of its seven tables does not open or
// has not the shape the program expects.
void verify(const QString &dataFolder, const QString &name);

struct Restored
{
    QString saved; // the backup now holding the tables that were replaced
};

// Checks that every table of the backup opens, backs up the current tables, then puts each
// table of the backup in place atomically, noting the step in the data folder meanwhile.
// Throws DbfError, with the current tables untouched unless the message says which were
// already restored (finishRestore() then completes the step).
Restored restore(const QString &dataFolder, const QString &name, const QDateTime &now);

// At start: completes a restore that was cut short (killed, or stopped by a full disk) from
// the same backup; when that backup is gone, says which tables came from where. Returns what
// to tell the clerk, or an empty text when no restore was pending.
QString finishRestore(const QString &dataFolder);

} // namespace kivo::backups
