// ReplaceFirst against the reference model, in every code page, with
// allocation failures: the right bytes in a block the caller can free, or no
// block at all, and never a block left behind.
#include "fuzz/fuzz_support.h"
#include "text/replace_first.h"

using namespace quorvel;

QUORVEL_FUZZ_TARGET(codePage, in)
{
    // The functions take C strings: each ends at its first NUL.
    const std::string text = model::UpToNul(in.ConsumeRandomLengthString(512));
    std::string pattern;
    if (in.ConsumeBool() && !text.empty()) {
        // A piece of the text, so that matches (and near misses on trail
        // bytes) are common.
        const std::size_t from = in.ConsumeIntegralInRange<std::size_t>(0, text.size() - 1);
        pattern = text.substr(from, in.ConsumeIntegralInRange<std::size_t>(0, 24));
    } else {
        pattern = model::UpToNul(in.ConsumeRandomLengthString(32));
    }
    const std::string replacement = model::UpToNul(in.ConsumeRandomLengthString(64));
    const std::size_t failAt = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::size_t>(1, 3) : 0;

    fuzz::RunFailingAllocation(failAt, [&](const fuzz::InjectedFailure& failure) {
        const HeapText result = ReplaceFirst(text.c_str(), pattern.c_str(), replacement.c_str());
        if (failure.Reached()) {
            FUZZ_CHECK(!result, "a result despite a failed allocation");
            return;
        }
        FUZZ_CHECK(static_cast<bool>(result), "no result without a failed allocation");
        const std::string expected = model::ReplaceFirst(codePage, text, pattern, replacement);
        const std::string got(result.c_str(), result.length());
        FUZZ_CHECK(got == expected, "text " + fuzz::Hex(text) + "pattern " + fuzz::Hex(pattern) + "got " +
                                        fuzz::Hex(got) + "expected " + fuzz::Hex(expected));
        FUZZ_CHECK(result.c_str()[result.length()] == '\0', "result not terminated");
    });
}
