#include "module/lifecycle.h"

namespace quorvel {

void OnProcessAttach(platform::ModuleHandle instance)
{
    // Texts come from this module's resources, never from the host's.
    platform::RememberOwnModule(instance);
    // A missing drive or disk must not stop an unattended installer with a
    // system dialog.
    platform::AddQuietErrorModeFlags();
}

void OnProcessDetach()
{
    // Nothing was set up that needs undoing, and nothing is saved.
}

}  // namespace quorvel
