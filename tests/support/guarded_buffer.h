// A caller's buffer with guard bytes on both sides, every byte holding a
// known value (its own, by position) that a write would change.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace quorvel::test {

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

    // The caller's area holds `text` and its NUL, and nothing else changed.
    bool Holds(const std::string& text) const
    {
        return size_ > text.size() && std::memcmp(bytes_.data() + kGuard, text.data(), text.size()) == 0 &&
               bytes_[kGuard + text.size()] == 0 && UntouchedOutside(text.size() + 1);
    }

private:
    static unsigned char Filler(std::size_t i) { return static_cast<unsigned char>(0xA5 ^ (i * 37)); }

    std::size_t size_;
    std::vector<unsigned char> bytes_;
};

}  // namespace quorvel::test
