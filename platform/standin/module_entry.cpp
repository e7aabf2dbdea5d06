// Outside Windows nothing loads the module as a library: a static object
// stands in for the attach and detach notifications.
#include "services/module_lifecycle.h"

namespace {

struct ModuleEntry {
    ModuleEntry() { quorvel::OnProcessAttach(nullptr); }
    ~ModuleEntry() { quorvel::OnProcessDetach(); }
};

const ModuleEntry g_moduleEntry;

}  // namespace
