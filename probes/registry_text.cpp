#include "probes/registry_text.h"

#include <cstdint>

#include "text/ansi_text.h"

namespace quorvel {

Status ReadRegistryText(platform::KeyHandle key, const char* valueName, HeapText* text)
{
    std::uint32_t size = 0;
    if (!key || !platform::QueryValueSize(key, valueName, &size))
        return Status::kAbsent;
    // The spare byte must not wrap a 32-bit size_t to an empty block.
    if (size == UINT32_MAX)
        return Status::kUnreadable;
    platform::HeapBlock block(static_cast<std::size_t>(size) + 1);
    if (!block)
        return Status::kNoMemory;
    // A value that grew since the size query does not fit, and is not read.
    if (!platform::QueryValue(key, valueName, reinterpret_cast<unsigned char*>(block.data()), &size))
        return Status::kUnreadable;
    const std::size_t length = BoundedLength(block.data(), size);
    *text = HeapText(std::move(block), length);
    return Status::kOk;
}

}  // namespace quorvel
