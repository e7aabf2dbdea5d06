// ReplaceFirst: the first occurrence only, found on character boundaries of
// the code page, and the replacement never searched again.
#include "tests/support/standin/standin_test.h"
#include "text/replace_first.h"

namespace quorvel::test {
namespace {

using ReplaceFirstTest = StandinTest;

TEST_F(ReplaceFirstTest, Cases)
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
        {1252, "abcabc", "abc", "X", "Xabc"},             // the first occurrence only
        {1252, "aXa", "a", "aa", "aaXa"},                  // the replacement is not searched
        {1252, "abc", "b", "<b>", "a<b>c"},
        {1252, "abc", "", "R", "Rabc"},                    // an empty pattern matches at the start
        {1252, "", "", "R", "R"},
        {1252, "", "a", "R", ""},
        {1252, "abc", "abcd", "R", "abc"},
        {1252, "abc", "ABC", "R", "abc"},                  // case-sensitive
        {1252, "abc", "abc", "", ""},
        {1252, "\x82\xa0\x82\xa0", "\xa0\x82", "R", "\x82R\xa0"},
        {932, "\x82\xa0\x82\xa0", "\xa0\x82", "R", "\x82\xa0\x82\xa0"},
        {932, "\x83\x41" "A", "A", "R", "\x83\x41R"},
        {936, "\xb0\xa1\xb0\xa1", "\xa1\xb0", "R", "\xb0\xa1\xb0\xa1"},
        {949, "x\xb0\xa1y", "\xb0\xa1", "\xc7\xd1", "x\xc7\xd1y"},
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

TEST_F(ReplaceFirstTest, NoBlockLeftWhenMemoryRunsOut)
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
