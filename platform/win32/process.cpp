// The process error mode.
#include <windows.h>

#include "platform/platform.h"

namespace quorvel::platform {

static_assert(kProcessAttach == DLL_PROCESS_ATTACH && kProcessDetach == DLL_PROCESS_DETACH,
              "DllMain's reasons as Windows passes them");

void AddQuietErrorModeFlags()
{
    // SetErrorMode returns the previous mode; GetErrorMode is Vista's.
    const UINT current = ::SetErrorMode(0);
    ::SetErrorMode(current | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

}  // namespace quorvel::platform
