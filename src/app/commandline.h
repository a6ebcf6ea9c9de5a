#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kivo {

struct Services;

namespace commandline {

// What the command line asks for. Options of one dash that are not ours (-platform, -style)
// are Qt's, and open the window as Qt reads them.
struct Request
{
    enum class Action { Window, RestoreWindow, Pending, Help, Version, List, Restore, Error };
    Action action = Action::Window;
    QString argument; // the backup to restore; for an error, the argument refused
    bool unknownOption = false;
};

Request parse(const QStringList &arguments); // without the program's own name

// Carries out what needs no window (help, version, the list, a restore by name), printing
// to the terminal; returns the exit status. Nothing when a window is to open.
std::optional<int> run(int argc, char **argv);

// For "--restaurar" without a name, once the program holds the data folder: the window that
// lists the backups. Nothing when the capture window is to open next (restored, or not
// asked for); otherwise the exit status.
std::optional<int> restoreWindow(int argc, char **argv, const Services &services);

} // namespace commandline
} // namespace kivo
