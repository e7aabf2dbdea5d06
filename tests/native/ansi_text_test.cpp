// Search, upper-casing and ReplaceFirst over 8-bit text, character by
// character in the active code page: a trail byte never starts a match and is
// never changed on its own, and a replacement is never searched again.
#include "tests/support/standin/standin_test.h"
#include "tests/support/upper_casing_cases.h"
#include "text/ansi_text.h"
#include "text/replace_first.h"

namespace quorvel::test {
namespace {

using AnsiText = StandinTest;

TEST_F(AnsiText, FindTextStartsOnlyOnCharacterBoundaries)
{
    const struct {
        unsigned codePage;
        std::string text;
        std::string pattern;
        std::size_t expected;
    } cases[] = {
        {1252, "abcabc", "cab", 2},
        {1252, "abc", "", 0},
        {1252, "", "", 0},
        {1252, "", "a", kNotFound},
        {1252, "abc", "abcd", kNotFound},
        {1252, "abc", "B", kNotFound},                       // case-sensitive
        {1252, "\x82\xa0\x82\xa0", "\xa0\x82", 1},           // single-byte page: any byte
        {932, "\x82\xa0\x82\xa0", "\xa0\x82", kNotFound},    // trail byte + next lead byte
        {932, "A\x82\xa0\x82\xa0", "\x82\xa0\x82", 1},
        {932, "\x83\x41", "A", kNotFound},                   // 'A' as a trail byte
        {932, "\x83\x41" "A", "A", 2},
        {932, "\xb1" "A", "A", 1},                           // half-width katakana is one byte
        {932, "\x82\xa0<Vor>", "<", 2},
        {936, "\xb0\xa1\xb0\xa1", "\xa1\xb0", kNotFound},
        {936, "a\xb0\xa1", "\xa1", kNotFound},
        {949, "\xb0\xa1\xb0\xa1", "\xb0\xa1", 0},
        {949, "\x81\x41\x41", "A", 2},                     // Latin letters as trail bytes
        {950, "\xa5\\", "\\", kNotFound},                   // a backslash as trail byte
        {950, "\xa5\\\\", "\\", 2},
        {932, "\x82<Vor>", "<Vor>", kNotFound},            // right after a lead byte
        {932, "\x82<Vor><Vor>", "<Vor>", 6},
        {932, "abc\x82", "\x82", 3},                        // a lead byte as the last byte
        {936, "ab\x81", "b\x81", 1},
    };
    for (const auto& c : cases) {
        standin::SetCodePage(c.codePage);
        EXPECT_EQ(FindText(c.text.data(), c.text.size(), c.pattern.data(), c.pattern.size()),
                  c.expected)
            << c.codePage << " \"" << c.text << "\" / \"" << c.pattern << "\"";
    }
}

TEST_F(AnsiText, UpperCasingThroughTheCodePage)
{
    for (const UpperCasingCase& c : kUpperCasingCases) {
        standin::SetCodePage(c.codePage);
        std::string text = c.text;
        UpperCaseText(text.data(), text.size());
        EXPECT_EQ(text, c.expected) << c.codePage << " \"" << c.text << "\"";
    }
}

TEST_F(AnsiText, ReplaceFirstReplacesTheFirstMatchOnly)
{
    const struct {
        unsigned codePage;
        const char* text;
        const char* pattern;
        const char* replacement;
        const char* expected;
    } cases[] = {
        {1252, "No <VorProviderName> MODEM FOUND", "<VorProviderName>", "Acme", "No Acme MODEM FOUND"},
        {1252, "No <VorProviderName> MODEM FOUND", "<VorProviderName>", "", "No  MODEM FOUND"},
        {1252, "abcabc", "abc", "X", "Xabc"},
        {1252, "aXa", "a", "aa", "aaXa"},                  // the replacement is not searched
        {1252, "abc", "", "R", "Rabc"},                    // an empty pattern matches at the start
        {1252, "", "", "R", "R"},
        {1252, "abc", "abcd", "R", "abc"},
        {1252, "abc", "abc", "", ""},
        {932, "\x83\x41" "A", "A", "R", "\x83\x41R"},        // searched on character boundaries
    };
    for (const auto& c : cases) {
        standin::SetCodePage(c.codePage);
        const HeapText result = ReplaceFirst(c.text, c.pattern, c.replacement);
        ASSERT_TRUE(result);
        EXPECT_EQ(std::string(result.c_str(), result.length()), c.expected)
            << c.codePage << " \"" << c.text << "\" \"" << c.pattern << "\" \"" << c.replacement << "\"";
        EXPECT_EQ(std::strlen(result.c_str()), result.length());
    }
}

TEST_F(AnsiText, ReplaceFirstLeavesNoBlockWhenMemoryRunsOut)
{
    const std::size_t sites = ForEachFailedAllocation([](const InjectedFailure& failure) {
        const HeapText result = ReplaceFirst("No <VorFile> here", "<VorFile>", "a.inf");
        if (failure.Reached())
            EXPECT_FALSE(result);
        else
            EXPECT_STREQ(result.c_str(), "No a.inf here");
    });
    EXPECT_GE(sites, 1u);
}

}  // namespace
}  // namespace quorvel::test
