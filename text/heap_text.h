// NUL-terminated 8-bit text in a zero-filled block of the module's heap.
#pragma once

#include <cstddef>
#include <cstring>
#include <utility>

#include "platform/owned.h"

namespace quorvel {

class HeapText {
public:
    HeapText() = default;

    // A copy of the `length` bytes at `text` in a block of `blockSize` bytes
    // (at least length + 1). Fails, leaving a text without block, when memory
    // runs out.
    static HeapText Copy(const char* text, std::size_t length, std::size_t blockSize)
    {
        HeapText copy;
        if (blockSize <= length)
            return copy;
        copy.block_ = platform::HeapBlock(blockSize);
        if (copy.block_) {
            std::memcpy(copy.block_.data(), text, length);
            copy.length_ = length;
        }
        return copy;
    }

    // Takes a block that already holds a text of `length` bytes.
    HeapText(platform::HeapBlock block, std::size_t length) : block_(std::move(block)), length_(length) {}

    // False when the text could not be allocated.
    explicit operator bool() const { return static_cast<bool>(block_); }
    const char* c_str() const { return block_.data(); }
    char* data() { return block_.data(); }
    std::size_t length() const { return length_; }

private:
    platform::HeapBlock block_;
    std::size_t length_ = 0;
};

}  // namespace quorvel
