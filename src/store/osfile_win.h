#pragma once

// Windows only: the errno value (or the reason code systemReason() knows) for a Windows error.
namespace kivo::osfile {

int errorFromWindows(unsigned long code);
int lastError(); // errorFromWindows(GetLastError())

} // namespace kivo::osfile
