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

// Copies the seven tables into a new backup named after `now`, then thins the backups.
// The copy is made in a hidden folder and renamed into place, so a failed or cut-short backup
// never shows as one. Returns the backup's name; throws DbfError when it cannot be made.
QString make(const QString &dataFolder, const QDateTime &now);

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
    QString damage; // why the backup cannot be restored; empty when it can
};

// Every backup, newest first.
QList<Summary> list(const QString &dataFolder);

// Throws DbfError when the backup does not exist or one of its seven tables does not open.
void verify(const QString &dataFolder, const QString &name);

struct Restored
{
    QString saved; // the backup now holding the tables that were replaced
};

// Checks that every table of the backup opens, backs up the current tables, then puts each
// table of the backup in place atomically. Throws DbfError, with the current tables untouched
// unless the message says which were already restored.
Restored restore(const QString &dataFolder, const QString &name, const QDateTime &now);

} // namespace kivo::backups
