// The stand-in's heap: counts blocks, and fails the allocation a test names.
#include <atomic>
#include <cstdlib>

#include "platform/platform.h"
#include "platform/standin/control.h"
#include "platform/standin/state.h"

namespace quorvel::standin {

namespace {

std::atomic<std::size_t> g_allocations{0};
std::atomic<std::size_t> g_liveBlocks{0};
std::atomic<std::size_t> g_failAt{0};  // allocation number to fail; 0: none

}  // namespace

void FailAllocation(std::size_t nth) { g_failAt = nth ? g_allocations + nth : 0; }
std::size_t AllocationCount() { return g_allocations; }
std::size_t LiveBlockCount() { return g_liveBlocks; }

namespace detail {

void ResetHeap()
{
    g_allocations = 0;
    g_failAt = 0;
}

}  // namespace detail

}  // namespace quorvel::standin

namespace quorvel::platform {

void* AllocateZeroed(std::size_t size)
{
    const std::size_t number = ++standin::g_allocations;
    if (number == standin::g_failAt)
        return nullptr;
    void* block = std::calloc(size ? size : 1, 1);
    if (block)
        ++standin::g_liveBlocks;
    return block;
}

void FreeBlock(void* block)
{
    if (!block)
        return;
    std::free(block);
    --standin::g_liveBlocks;
}

}  // namespace quorvel::platform
