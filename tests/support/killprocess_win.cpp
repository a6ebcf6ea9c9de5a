#include "support/killprocess.h"

#include <QProcess>

#include <windows.h>

namespace kivo::test {

bool killHard(QProcess &process)
{
    const HANDLE h = ::OpenProcess(PROCESS_TERMINATE, FALSE, DWORD(process.processId()));
    if (!h)
        return false;
    const bool done = ::TerminateProcess(h, 137);
    ::CloseHandle(h);
    return done;
}

} // namespace kivo::test
