#include "app/console.h"

#include <cstdio>
#include <cstdlib>

#include <windows.h>

namespace kivo::console {

namespace {

UINT g_codePage = 0;

void restoreCodePage()
{
    ::SetConsoleOutputCP(g_codePage);
}

bool given(DWORD which)
{
    return ::GetFileType(::GetStdHandle(which)) != FILE_TYPE_UNKNOWN;
}

} // namespace

void attach()
{
    const bool out = given(STD_OUTPUT_HANDLE), err = given(STD_ERROR_HANDLE);
    if ((out && err) || !::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    // The console shows our UTF-8 as written, and is left with its own code page afterwards.
    g_codePage = ::GetConsoleOutputCP();
    if (::SetConsoleOutputCP(CP_UTF8))
        std::atexit(restoreCodePage);
    if (!out)
        std::freopen("CONOUT$", "w", stdout);
    if (!err)
        std::freopen("CONOUT$", "w", stderr);
}

} // namespace kivo::console
