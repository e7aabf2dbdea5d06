// What the fuzz targets share: picking code pages, languages and IDs from the
// input, catalogue texts built from an alphabet that reaches every code
// page's interesting characters, caller buffers with guard bytes, and a
// check that stops the run with a message.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/standin/control.h"
#include "tests/evidence/support/ansi_model.h"

namespace quorvel::fuzz {

[[noreturn]] inline void Fail(const char* what, const std::string& detail = {})
{
    std::fprintf(stderr, "INVARIANT BROKEN: %s %s\n", what, detail.c_str());
    std::abort();
}

#define FUZZ_CHECK(condition, ...)                                                                                \
    do {                                                                                                          \
        if (!(condition))                                                                                         \
            ::quorvel::fuzz::Fail(#condition, ##__VA_ARGS__);                                                     \
    } while (0)

inline std::string Hex(const std::string& bytes)
{
    std::string out;
    char digits[4];
    for (unsigned char byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x ", byte);
        out += digits;
    }
    return out;
}

inline unsigned PickCodePage(FuzzedDataProvider& in)
{
    const unsigned codePage = in.PickValueInArray(model::kCodePages);
    standin::SetCodePage(codePage);
    return codePage;
}

// The catalogue's variants, two languages served through their primary
// language, and one without a variant.
inline std::uint16_t PickLanguage(FuzzedDataProvider& in)
{
    static constexpr std::uint16_t kLanguages[] = {0x0409, 0x0407, 0x040A, 0x040C, 0x0410, 0x0413, 0x0416,
                                                   0x0411, 0x0412, 0x0804, 0x0404, 0x0807, 0x0419};
    return in.PickValueInArray(kLanguages);
}

// Mostly IDs near those the catalogue holds, sometimes any 32-bit value.
inline unsigned PickId(FuzzedDataProvider& in)
{
    static constexpr unsigned kIds[] = {0, 1, 2, 9, 10, 11, 18, 35, 37, 38, 101, 118, 1001, 1002, 1003,
                                        1004, 1005, 1006, 20001, 20011, 65535, 65536 + 9, 0xFFFFFFFF};
    if (in.ConsumeBool())
        return in.PickValueInArray(kIds);
    return in.ConsumeIntegral<unsigned>();
}

// UTF-16 text in which each input byte picks a character: ASCII stands for
// itself; the others pick Latin letters, full-width forms and CJK characters
// whose encodings have ASCII trail bytes in one code page or another, and
// characters that one code page or another lacks (served as "?").
inline std::u16string TextFromBytes(const std::string& bytes)
{
    static constexpr char16_t kAlphabet[] = {
        u'\u00E9', u'\u00DF', u'\u00FF', u'\u00B5', u'\u20AC', u'\u0178', u'\u00C0', u'\u0131', u'\u017F',
        u'\uFF41', u'\uFF5A', u'\uFF21', u'\uFF1C', u'\uFF1E', u'\u03B1', u'\u03A9', u'\u0434', u'\u30A2',
        u'\u30BD', u'\uFF71', u'\u8868', u'\u80FD', u'\u4E2D', u'\u6587', u'\uD55C', u'\uAC00', u'\uAC02',
        u'\u529F', u'\u8A31', u'\u4E02', u'\u4E04', u'\u3042', u'\u00E0', u'\u01C5', u'\u0000'};
    std::u16string text;
    for (unsigned char byte : bytes)
        text += byte < 0x80 ? static_cast<char16_t>(byte) : kAlphabet[byte % (sizeof kAlphabet / sizeof *kAlphabet)];
    return text;
}

// What the string loader serves for `id` in the current language and code
// page, up to its first NUL: the message or token text as the module loads it.
inline std::string LoadedText(unsigned id)
{
    if (id > 0xFFFF)
        return {};  // the module never asks the loader for an ID beyond 16 bits
    std::vector<char> buffer(1 << 16);
    const int count = platform::LoadResourceString(nullptr, id, buffer.data(), static_cast<int>(buffer.size()));
    return model::UpToNul(std::string(buffer.data(), count > 0 ? static_cast<std::size_t>(count) : 0));
}

// A caller's buffer of `size` bytes between two guard areas, every byte
// holding a known value that a write would change.
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

    // True when no byte changed outside [0, length) of the caller's area.
    bool UntouchedOutside(std::size_t from) const
    {
        for (std::size_t i = 0; i < bytes_.size(); ++i) {
            const bool written = i >= kGuard && i < kGuard + from;
            if (!written && bytes_[i] != Filler(i))
                return false;
        }
        return true;
    }
    bool Untouched() const { return UntouchedOutside(0); }

    // True when the caller's area starts with `text` and its NUL.
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

// Allocation failure: fail the nth allocation from now, and tell afterwards
// whether the call got that far.
class InjectedFailure {
public:
    explicit InjectedFailure(std::size_t nth) : nth_(nth), start_(standin::AllocationCount())
    {
        standin::FailAllocation(nth);
    }
    ~InjectedFailure() { standin::FailAllocation(0); }
    bool Reached() const { return nth_ != 0 && standin::AllocationCount() - start_ >= nth_; }

private:
    std::size_t nth_;
    std::size_t start_;
};

// Blocks, keys, SIDs and libraries: the same after a call as before.
class LeakCheck {
public:
    LeakCheck()
        : blocks_(standin::LiveBlockCount()), keys_(standin::OpenKeyCount()), sids_(standin::LiveSidCount()),
          libraries_(standin::LoadedLibraryCount())
    {
    }
    void Verify() const
    {
        FUZZ_CHECK(standin::LiveBlockCount() == blocks_, "heap block leaked");
        FUZZ_CHECK(standin::OpenKeyCount() == keys_, "registry key left open");
        FUZZ_CHECK(standin::LiveSidCount() == sids_, "SID not freed");
        FUZZ_CHECK(standin::LoadedLibraryCount() == libraries_, "library not freed");
    }

private:
    std::size_t blocks_, keys_, sids_, libraries_;
};

}  // namespace quorvel::fuzz
