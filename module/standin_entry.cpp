// Outside Windows nothing loads the module as a library: a static object
// stands in for the attach and detach notifications.
#include "platform/standin/state.h"
#include "module/lifecycle.h"

namespace {

struct ModuleEntry {
    ModuleEntry() { quorvel::OnProcessAttach(nullptr); }
    ~ModuleEntry() { quorvel::OnProcessDetach(); }
};

const ModuleEntry g_moduleEntry;

}  // namespace

namespace quorvel::standin::detail {

const void* const kModuleEntry = &g_moduleEntry;

}  // namespace quorvel::standin::detail
