// The process error mode, and the module's entry point.
#include <windows.h>

#include "platform/platform.h"
#include "module/lifecycle.h"

namespace quorvel::platform {

void AddQuietErrorModeFlags()
{
    // SetErrorMode returns the previous mode; GetErrorMode is Vista's.
    const UINT current = ::SetErrorMode(0);
    ::SetErrorMode(current | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

}  // namespace quorvel::platform

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        quorvel::OnProcessAttach(instance);
        break;
    case DLL_PROCESS_DETACH:
        quorvel::OnProcessDetach();
        break;
    default:
        break;  // threads keep no data of the module's
    }
    return TRUE;
}
