#include "platform/drives.h"

#include <windows.h>

namespace kivo {

QString driveALocation()
{
    if (qEnvironmentVariableIsSet("KIVO_DRIVE_A"))
        return qEnvironmentVariable("KIVO_DRIVE_A");
    // A drive without a disk answers "not ready": the same as no medium at all. The system's
    // own "insert a disk" box must not come up meanwhile.
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const bool ready = ::GetDriveTypeW(L"A:\\") != DRIVE_NO_ROOT_DIR
        && ::GetVolumeInformationW(L"A:\\", nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
    ::SetErrorMode(previous);
    return ready ? QStringLiteral("A:/") : QString();
}

} // namespace kivo
