// What the module does when it is attached to and detached from a process.
#pragma once

#include "platform/platform.h"

namespace quorvel {

void OnProcessAttach(platform::ModuleHandle instance);
void OnProcessDetach();

}  // namespace quorvel
