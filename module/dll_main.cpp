// The module's entry point on Windows.
#include "module/lifecycle.h"
#include "platform/platform.h"

/***********************************************************************
 *      DllMain
 *
 * Declared with plain types so that no <windows.h> is needed here; the
 * name and the convention (_DllMain@12 on i686) are what the loader's
 * start-up code calls.
 */
extern "C" int QUORVEL_WINAPI DllMain(quorvel::platform::ModuleHandle instance, unsigned long reason,
                                      void* /*reserved*/)
{
    switch (reason) {
    case quorvel::platform::kProcessAttach:
        quorvel::OnProcessAttach(instance);
        break;
    case quorvel::platform::kProcessDetach:
        quorvel::OnProcessDetach();
        break;
    default:
        break;  // threads keep no data of the module's
    }
    return 1;  // TRUE: the module stays loaded
}
