// The code-page text primitives on arbitrary bytes (the first input byte picks
// the code page): the search against the reference model, and upper-casing
// that keeps every character boundary, maps ASCII letters and nothing else in
// ASCII, and never touches a byte outside the text. The texts live in blocks
// of exactly their length, so a read or write past the end trips the
// AddressSanitizer.
#include <memory>

#include "fuzz/fuzz_support.h"
#include "text/ansi_text.h"

using namespace quorvel;

namespace {

std::unique_ptr<char[]> ExactCopy(const std::string& bytes)
{
    std::unique_ptr<char[]> copy(new char[bytes.size()]);
    std::memcpy(copy.get(), bytes.data(), bytes.size());
    return copy;
}

std::string Upper(const std::string& bytes)
{
    const auto copy = ExactCopy(bytes);
    UpperCaseText(copy.get(), bytes.size());
    return std::string(copy.get(), bytes.size());
}

}  // namespace

QUORVEL_FUZZ_TARGET(codePage, in)
{
    const std::string pattern = in.ConsumeRandomLengthString(16);
    const std::string text = in.ConsumeRemainingBytesAsString();

    const auto textCopy = ExactCopy(text);
    const auto patternCopy = ExactCopy(pattern);
    const std::size_t found = FindText(textCopy.get(), text.size(), patternCopy.get(), pattern.size());
    const auto expected = model::Find(codePage, text, pattern);
    FUZZ_CHECK(found == (expected ? *expected : kNotFound),
               "FindText on " + fuzz::Hex(text) + "for " + fuzz::Hex(pattern));
    for (char c : {'<', '>', 'A', '\\', '\0'}) {
        const auto one = model::Find(codePage, text, std::string(1, c));
        FUZZ_CHECK(FindCharacter(textCopy.get(), text.size(), c) == (one ? *one : kNotFound),
                   "FindCharacter on " + fuzz::Hex(text));
    }

    const std::string upper = Upper(text);
    for (std::size_t at = 0; at < text.size(); at += model::CharLength(codePage, text, at)) {
        const auto before = static_cast<unsigned char>(text[at]);
        const auto after = static_cast<unsigned char>(upper[at]);
        if (model::CharLength(codePage, text, at) == 2) {
            FUZZ_CHECK(model::IsLead(codePage, after), "a double-byte character lost its lead byte");
        } else if (before >= 'a' && before <= 'z') {
            FUZZ_CHECK(after == before - 'a' + 'A', "ASCII letter not upper-cased");
        } else if (before < 0x80) {
            FUZZ_CHECK(after == before, "ASCII non-letter changed");
        } else {
            // A lead byte may stand alone at the end of the text.
            FUZZ_CHECK(after >= 0x80 && model::IsLead(codePage, after) == model::IsLead(codePage, before),
                       "single-byte character changed kind");
        }
    }
    FUZZ_CHECK(Upper(upper) == upper, "upper-casing twice changed the text: " + fuzz::Hex(text));
    // Searching the upper-cased text for an upper-case ASCII pattern gives
    // what the model gives: the module's classification relies on it.
    const std::string asciiPattern = model::UpperAscii(1252, pattern);
    const auto upperCopy = ExactCopy(upper);
    const auto expectedUpper = model::Find(codePage, model::UpperAscii(codePage, text), asciiPattern);
    bool asciiOnly = true;
    for (char c : asciiPattern)
        asciiOnly = asciiOnly && static_cast<unsigned char>(c) < 0x80 && c != '\0';
    if (asciiOnly) {
        FUZZ_CHECK(FindText(upperCopy.get(), upper.size(), asciiPattern.data(), asciiPattern.size()) ==
                       (expectedUpper ? *expectedUpper : kNotFound),
                   "search in upper-cased text");
    }
}
