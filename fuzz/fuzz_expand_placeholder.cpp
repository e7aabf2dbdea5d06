// DllGetDynamicString's expansion with any message and token (catalogue IDs,
// any 32-bit ID, or texts of any shape served in their place), any bytes
// under the uninstall key (or none, or a value that changes between the size
// query and the read), any buffer size, and allocation failures. The answer
// must be the reference model's, written only as the L + 2 rule allows, and
// nothing may be left allocated or open.
#include "fuzz/fuzz_support.h"
#include "requests/placeholder.h"
#include "tests/support/standin/system.h"

using namespace quorvel;

namespace {

// The value name the token names: between its first "<" and the next ">";
// none when either is missing.
std::optional<std::string> ValueName(unsigned codePage, const std::string& token)
{
    const auto open = model::Find(codePage, token, "<");
    if (!open)
        return std::nullopt;
    const std::string rest = token.substr(*open + 1);
    const auto close = model::Find(codePage, rest, ">");
    if (!close)
        return std::nullopt;
    return rest.substr(0, *close);
}

// The stand-in folds value names to lower case; so does the registry.
bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (fold(a[i]) != fold(b[i]))
            return false;
    }
    return true;
}

}  // namespace

QUORVEL_FUZZ_TARGET(codePage, in)
{
    standin::SetThreadLanguage(fuzz::PickLanguage(in));
    const unsigned messageId = fuzz::PickId(in);
    const unsigned tokenId = fuzz::PickId(in);
    if (in.ConsumeBool())
        standin::OverrideText(messageId & 0xFFFF, fuzz::TextFromBytes(in.ConsumeRandomLengthString(700)));
    if (in.ConsumeBool())
        standin::OverrideText(tokenId & 0xFFFF, fuzz::TextFromBytes(in.ConsumeRandomLengthString(48)));

    const std::string message = fuzz::LoadedText(messageId);
    const std::string token = fuzz::LoadedText(tokenId);
    const std::optional<std::string> name = ValueName(codePage, token);

    // The uninstall key, the value the token names, and a decoy.
    const bool keyPresent = in.ConsumeBool();
    const bool valuePresent = in.ConsumeBool();
    const std::string stored = in.ConsumeRandomLengthString(300);
    const bool changes = in.ConsumeBool();
    const std::string changed = in.ConsumeRandomLengthString(300);
    const std::string decoyName = in.ConsumeRandomLengthString(16);
    if (keyPresent) {
        standin::CreateKey(test::kUninstallKey);
        standin::SetValue(test::kUninstallKey, decoyName, "decoy");
        if (name && valuePresent) {
            standin::SetValue(test::kUninstallKey, *name, stored);
            if (changes)
                standin::ChangeValueAfterSizeQuery(test::kUninstallKey, *name, changed);
        }
    }

    // The replacement: the value as read, up to its first NUL; "TEZ" when it
    // cannot be read, or grew past the size first reported.
    std::string expected = message;
    if (name) {
        std::string replacement = "TEZ";
        if (keyPresent && valuePresent) {
            if (!changes || changed.size() <= stored.size())
                replacement = model::UpToNul(changes ? changed : stored);
        } else if (keyPresent && SameName(*name, decoyName)) {
            replacement = "decoy";
        }
        expected = model::ReplaceFirst(codePage, message, token, replacement);
    }
    const std::uint32_t needed = static_cast<std::uint32_t>(expected.size() + 2);

    // The caller's buffer: a size query, a size near the one needed, or any
    // smaller size with no buffer at all.
    std::uint32_t bufferSize = 0;
    bool nullBuffer = false;
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: nullBuffer = true; break;
    case 1: bufferSize = needed - 3 + in.ConsumeIntegralInRange<std::uint32_t>(needed < 3 ? 3 - needed : 0, 6); break;
    case 2: bufferSize = in.ConsumeIntegralInRange<std::uint32_t>(0, needed - 1); nullBuffer = true; break;
    default: bufferSize = in.ConsumeIntegralInRange<std::uint32_t>(0, 2 * needed + 8); break;
    }
    const std::size_t failAt = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::size_t>(1, 10) : 0;

    fuzz::GuardedBuffer buffer(bufferSize);
    std::uint32_t result = 0;
    const bool failed = fuzz::RunFailingAllocation(failAt, [&](auto&) {
        result = ExpandPlaceholder(messageId, nullBuffer ? nullptr : buffer.data(), bufferSize, tokenId);
    });

    if (failed) {
        FUZZ_CHECK(result == 0, "an answer despite a failed allocation");
        FUZZ_CHECK(buffer.Untouched(), "buffer written despite a failed allocation");
        return;
    }
    FUZZ_CHECK(result == needed, "size " + std::to_string(result) + " for " + fuzz::Hex(expected));
    if (!nullBuffer && bufferSize >= needed) {
        FUZZ_CHECK(buffer.Holds(expected), "wrong text for " + fuzz::Hex(expected));
        FUZZ_CHECK(buffer.UntouchedOutside(expected.size() + 1), "written past the text's NUL");
    } else {
        FUZZ_CHECK(buffer.Untouched(), "buffer written although too small");
    }
}
