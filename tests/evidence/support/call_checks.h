// What every piece of evidence checks around a call: a caller's buffer with
// guard bytes on both sides, an allocation failure injected at a chosen
// allocation, and the stand-in's counts of what can leak (heap blocks, open
// keys, SIDs, library references).
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/standin/control.h"
#include "tests/evidence/support/ansi_model.h"

namespace quorvel::evidence {

// A caller's buffer of `size` bytes between two guard areas; every byte holds
// a known value that a write would change.
class GuardedBuffer {
public:
    static constexpr std::size_t kGuard = 32;

    explicit GuardedBuffer(std::size_t size) : size_(size), bytes_(size + 2 * kGuard)
    {
        for (std::size_t i = 0; i < bytes_.size(); ++i)
            bytes_[i] = Filler(i);
    }

    char* data() { return reinterpret_cast<char*>(bytes_.data() + kGuard); }
    std::size_t size() const { return size_; }

    // No byte changed except among the first `written` of the caller's area.
    bool UntouchedOutside(std::size_t written) const
    {
        for (std::size_t i = 0; i < bytes_.size(); ++i) {
            const bool allowed = i >= kGuard && i < kGuard + written;
            if (!allowed && bytes_[i] != Filler(i))
                return false;
        }
        return true;
    }
    bool Untouched() const { return UntouchedOutside(0); }

    // The caller's area starts with `text` and its NUL.
    bool Holds(const std::string& text) const
    {
        return size_ > text.size() && std::memcmp(bytes_.data() + kGuard, text.data(), text.size()) == 0 &&
               bytes_[kGuard + text.size()] == 0;
    }

private:
    static unsigned char Filler(std::size_t i) { return static_cast<unsigned char>(0xA5 ^ (i * 37)); }

    std::size_t size_;
    std::vector<unsigned char> bytes_;
};

// Fails the nth allocation from now on (0: none) for the object's lifetime,
// and tells whether the code under test got that far.
class InjectedFailure {
public:
    explicit InjectedFailure(std::size_t nth) : nth_(nth), start_(standin::AllocationCount())
    {
        standin::FailAllocation(nth);
    }
    ~InjectedFailure() { standin::FailAllocation(0); }
    InjectedFailure(const InjectedFailure&) = delete;
    InjectedFailure& operator=(const InjectedFailure&) = delete;

    bool Reached() const { return nth_ != 0 && standin::AllocationCount() - start_ >= nth_; }

private:
    std::size_t nth_;
    std::size_t start_;
};

// What a call could leave behind.
struct Holdings {
    std::size_t blocks = standin::LiveBlockCount();
    std::size_t keys = standin::OpenKeyCount();
    std::size_t sids = standin::LiveSidCount();
    std::size_t libraries = standin::LoadedLibraryCount();

    bool operator==(const Holdings& other) const
    {
        return blocks == other.blocks && keys == other.keys && sids == other.sids && libraries == other.libraries;
    }
    std::string Describe() const
    {
        return std::to_string(blocks) + " blocks, " + std::to_string(keys) + " keys, " + std::to_string(sids) +
               " SIDs, " + std::to_string(libraries) + " libraries";
    }
};

// What the string loader serves for `id` in the calling thread's language and
// the active code page, up to its first NUL: the text the module loads.
inline std::string LoadedText(unsigned id)
{
    if (id > 0xFFFF)
        return {};  // the module never asks the loader for an ID beyond 16 bits
    std::vector<char> buffer(1 << 16);
    const int count = platform::LoadResourceString(id, buffer.data(), static_cast<int>(buffer.size()));
    return model::UpToNul(std::string(buffer.data(), count > 0 ? static_cast<std::size_t>(count) : 0));
}

inline std::string Hex(const std::string& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char byte : bytes) {
        out += kDigits[byte >> 4];
        out += kDigits[byte & 15];
        out += ' ';
    }
    return out;
}

}  // namespace quorvel::evidence
