// String resources through the system's loader, which picks the variant for
// the calling thread's language and converts it to the ANSI code page.
#include <windows.h>

#include "platform/platform.h"

namespace quorvel::platform {

int LoadResourceString(ModuleHandle module, unsigned id, char* buffer, int bufferSize)
{
    return ::LoadStringA(static_cast<HINSTANCE>(module), id, buffer, bufferSize);
}

}  // namespace quorvel::platform
