// The module's instance: the source of its own string resources.
#pragma once

#include "platform/platform.h"

namespace quorvel {

// Set once when the module is attached to the process; read by every load.
void SetModuleInstance(platform::ModuleHandle instance);
platform::ModuleHandle ModuleInstance();

}  // namespace quorvel
