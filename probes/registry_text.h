// A registry value read as 8-bit text.
#pragma once

#include "platform/platform.h"
#include "text/heap_text.h"
#include "text/status.h"

namespace quorvel {

// The value's bytes up to its first NUL, within the bytes actually read, in a
// block one byte larger than the value: a value stored without its NUL still
// ends in one. `text` is set only when the answer is kOk.
Status ReadRegistryText(platform::KeyHandle key, const char* valueName, HeapText* text);

}  // namespace quorvel
