// Owners for what the platform hands out: registry keys, libraries, SIDs and
// heap blocks are released on every path, whichever way a function returns.
#pragma once

#include <cstddef>
#include <utility>

#include "platform/platform.h"

namespace quorvel::platform {

// Holds one handle and releases it with `Release` unless it is null.
template <typename Handle, void (*Release)(Handle)>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

    // For functions that hand out a handle through an out-parameter.
    Handle* put()
    {
        reset();
        return &handle_;
    }

    Handle release() { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr)
    {
        if (handle_)
            Release(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

using UniqueKey = UniqueHandle<KeyHandle, CloseKey>;
using UniqueLibrary = UniqueHandle<LibraryHandle, FreeSystemLibrary>;
using UniqueSid = UniqueHandle<SidHandle, FreeConvertedSid>;

// A zero-filled block of the module's heap.
class HeapBlock {
public:
    HeapBlock() = default;
    explicit HeapBlock(std::size_t size) : data_(static_cast<char*>(AllocateZeroed(size)))
    {
        if (data_)
            size_ = size;
    }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    HeapBlock(HeapBlock&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0))
    {
    }
    HeapBlock& operator=(HeapBlock&& other) noexcept
    {
        HeapBlock(std::move(other)).swap(*this);
        return *this;
    }
    ~HeapBlock() { FreeBlock(data_); }

    // False when the allocation failed.
    explicit operator bool() const { return data_ != nullptr; }
    char* data() const { return data_; }
    std::size_t size() const { return size_; }

    void swap(HeapBlock& other) noexcept
    {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
    }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace quorvel::platform
