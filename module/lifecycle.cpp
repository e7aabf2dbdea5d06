#include "module/lifecycle.h"

#include "services/module_state.h"

namespace quorvel {

namespace {

platform::ModuleHandle g_instance = nullptr;

}  // namespace

void SetModuleInstance(platform::ModuleHandle instance) { g_instance = instance; }

platform::ModuleHandle ModuleInstance() { return g_instance; }

void OnProcessAttach(platform::ModuleHandle instance)
{
    // Texts come from this module's resources, never from the host's.
    SetModuleInstance(instance);
    // A missing drive or disk must not stop an unattended installer with a
    // system dialog.
    platform::AddQuietErrorModeFlags();
}

void OnProcessDetach()
{
    // Nothing was set up that needs undoing, and nothing is saved.
}

}  // namespace quorvel
