#pragma once

#include <QString>

#include <functional>

namespace kivo {

class Messages;
class Clock;
class Files;
class Printing;

// The outside world as the windows see it; the program hands in the real ones, tests doubles.
struct Services
{
    Messages *messages = nullptr;
    Clock *clock = nullptr; // never null where a date or a moment is taken
    Files *files = nullptr;
    Printing *printing = nullptr;
    QString dataFolder; // holds the seven tables and considera.txt; the window's Database reads it
    // The folder standing for the removable medium as mounted now, asked at each use (a new
    // disk mounts under its own label); empty when there is none.
    std::function<QString()> driveA;
    QString packer; // the pack9 program
};

} // namespace kivo
