// What the fuzz targets share: picking code pages, languages and IDs from the
// input, catalogue texts built from an alphabet that reaches every code
// page's interesting characters, and a check that stops the run with a
// message, run around a call that may run out of memory. Guarded buffers,
// injected failures, leak counts and locales come from the test support.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/standin/control.h"
#include "tests/support/ansi_model.h"
#include "tests/support/guarded_buffer.h"
#include "tests/support/hex.h"
#include "tests/support/machine.h"
#include "tests/support/standin/holdings.h"
#include "tests/support/standin/system.h"

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

// Defines the target's entry point, which reads every input alike: the first
// byte picks the code page of a fresh stand-in, the rest goes to the body that
// follows, as `in`.
#define QUORVEL_FUZZ_TARGET(codePage, in)                                                                         \
    static void FuzzOne(unsigned codePage, FuzzedDataProvider& in);                                                \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)                             \
    {                                                                                                             \
        if (size == 0)                                                                                            \
            return 0;                                                                                             \
        ::quorvel::standin::Reset();                                                                              \
        const unsigned selected = ::quorvel::fuzz::UseCodePage(data[0]);                                          \
        FuzzedDataProvider provider(data + 1, size - 1);                                                          \
        FuzzOne(selected, provider);                                                                              \
        return 0;                                                                                                 \
    }                                                                                                             \
    static void FuzzOne([[maybe_unused]] unsigned codePage, FuzzedDataProvider& in)

// Makes the code page that `selector` picks the active one.
inline unsigned UseCodePage(std::uint8_t selector)
{
    const unsigned codePage = model::kCodePages[selector % (sizeof model::kCodePages / sizeof *model::kCodePages)];
    standin::SetCodePage(codePage);
    return codePage;
}

// The language of a locale of the table of Windows languages: variants of the
// catalogue, languages served through their primary language, and languages
// with no variant (fuzz/make_seeds.py reads the same table).
inline std::uint16_t PickLanguage(FuzzedDataProvider& in) { return in.PickValueInArray(test::kLocales).language; }

// Mostly IDs near those the catalogue holds (make_seeds.py reads kIds),
// sometimes any 32-bit value.
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

using test::GuardedBuffer;
using test::Hex;
using test::InjectedFailure;
using test::LoadedText;

// Runs `call(failure)` with the nth allocation failing (0: none) and stops the
// run if it leaves a block, key, SID or library held; tells whether the call
// reached the failing allocation.
template <typename Call>
bool RunFailingAllocation(std::size_t nth, Call call)
{
    const test::Holdings before;
    bool reached;
    {
        const InjectedFailure failure(nth);
        call(failure);
        reached = failure.Reached();
    }
    const test::Holdings now;
    FUZZ_CHECK(now == before, "held before: " + before.Describe() + "; after: " + now.Describe());
    return reached;
}

}  // namespace quorvel::fuzz
