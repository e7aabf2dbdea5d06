// String resources through the system's loader, which picks the variant for
// the calling thread's language and converts it to the ANSI code page.
#include <windows.h>

#include "platform/platform.h"

namespace quorvel::platform {

namespace {

// Set once at attach, before any request can run.
HINSTANCE g_ownModule = nullptr;

}  // namespace

void RememberOwnModule(ModuleHandle module) { g_ownModule = reinterpret_cast<HINSTANCE>(module); }

int LoadResourceString(unsigned id, char* buffer, int bufferSize)
{
    return ::LoadStringA(g_ownModule, id, buffer, bufferSize);
}

}  // namespace quorvel::platform
