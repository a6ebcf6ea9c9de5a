#pragma once

// Windows only: the errno value (or the reason code systemReason() knows) for a Windows error.
namespace kivo::osfile {

// Windows reasons without an errno of their own, kept apart from errno's small numbers.
constexpr int kNotReady = 0x4000 + 21;      // ERROR_NOT_READY
constexpr int kNetwork = 0x4000 + 64;       // ERROR_NETNAME_DELETED
constexpr int kOtherWindowsError = 0x10000; // + the Windows code

int errorFromWindows(unsigned long code);
int lastError(); // errorFromWindows(GetLastError())

} // namespace kivo::osfile
