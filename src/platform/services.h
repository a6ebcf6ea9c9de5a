#pragma once

#include <QString>

namespace kivo {

class Messages;
class Clock;
class Files;
class Printing;

// The outside world as the windows see it; the program hands in the real ones, tests doubles.
struct Services
{
    Messages *messages = nullptr;
    Clock *clock = nullptr;
    Files *files = nullptr;
    Printing *printing = nullptr;
    QString dataFolder; // holds the seven tables and considera.txt
    QString driveA;     // the folder standing for the removable medium; empty when none
    QString packer;     // the pack9 program
};

} // namespace kivo
