// The module's heap: the process heap, zero-filled blocks.
#include <windows.h>

#include "platform/platform.h"

namespace quorvel::platform {

void* AllocateZeroed(std::size_t size)
{
    return ::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, size ? size : 1);
}

void FreeBlock(void* block)
{
    if (block)
        ::HeapFree(::GetProcessHeap(), 0, block);
}

}  // namespace quorvel::platform
