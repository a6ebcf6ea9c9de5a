#pragma once

#include <QString>

namespace kivo {

// The folder standing for the removable medium: $KIVO_DRIVE_A when set, otherwise A:\ on Windows
// when it holds a disk, and elsewhere the one
// removable volume mounted under /media/<user>/ or /run/media/<user>/. Empty when there is
// none, or more than one and we cannot tell which the user means.
QString driveALocation();

} // namespace kivo
