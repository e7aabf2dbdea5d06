// Placeholder expansion: the value a token names under the uninstall key, the
// default, values of odd shapes, tokens that name no value, the one-byte
// margin of the size, and running out of memory anywhere.
#include "module/exports.h"
#include "tests/support/guarded_buffer.h"
#include "tests/support/standin/standin_test.h"

namespace quorvel::test {
namespace {

constexpr unsigned kNoModemFound = 9;    // "No <VorProviderName> MODEM FOUND"
constexpr unsigned kCouldNotFind = 35;   // "Could not find <VorFile>"
constexpr unsigned kProviderToken = 1002;
constexpr unsigned kFileToken = 1005;

class Placeholder : public StandinTest {
protected:
    // What a host gets: size query, then a buffer of that size, of which the
    // last byte is never written.
    static std::string Expand(unsigned messageId, unsigned tokenId)
    {
        const QuorvelSize size = QuorvelDllGetDynamicString(messageId, nullptr, 0, tokenId);
        EXPECT_GE(size, 2u);
        GuardedBuffer buffer(size);
        EXPECT_EQ(QuorvelDllGetDynamicString(messageId, buffer.data(), size, tokenId), size);
        const std::string text(buffer.data(), size - 2);
        EXPECT_TRUE(buffer.Holds(text)) << messageId << "/" << tokenId;
        return text;
    }

    static void SetProvider(const std::string& bytes) { standin::SetValue(kUninstallKey, "VorProviderName", bytes); }
};

TEST_F(Placeholder, DefaultWithTheOneByteMargin)
{
    for (const bool keyExists : {false, true}) {
        if (keyExists)
            standin::SetStringValue(kUninstallKey, "VorFile", "a.inf");
        EXPECT_EQ(QuorvelDllGetDynamicString(kNoModemFound, nullptr, 0, kProviderToken), 20u);
        GuardedBuffer justTooSmall(19);
        EXPECT_EQ(QuorvelDllGetDynamicString(kNoModemFound, justTooSmall.data(), 19, kProviderToken), 20u);
        EXPECT_TRUE(justTooSmall.Untouched()) << "text and NUL would fit, but the margin does not";
        for (const std::uint32_t size : {20u, 64u}) {
            GuardedBuffer buffer(size);
            EXPECT_EQ(QuorvelDllGetDynamicString(kNoModemFound, buffer.data(), size, kProviderToken), 20u);
            EXPECT_TRUE(buffer.Holds("No TEZ MODEM FOUND"));
        }
        EXPECT_EQ(Expand(kProviderToken, kProviderToken), "TEZ") << "the whole message is the token";
    }
}

TEST_F(Placeholder, ValueUnderTheUninstallKey)
{
    standin::SetStringValue(kUninstallKey, "VorProviderName", "Acme DSL");
    standin::SetStringValue(kUninstallKey, "VorFile", "setup.inf");
    EXPECT_EQ(QuorvelDllGetDynamicString(kNoModemFound, nullptr, 0, kProviderToken), 25u);
    EXPECT_EQ(Expand(kNoModemFound, kProviderToken), "No Acme DSL MODEM FOUND");
    EXPECT_EQ(Expand(10, kProviderToken), "Acme DSL ADSL Modem Present in system");
    EXPECT_EQ(Expand(kProviderToken, kProviderToken), "Acme DSL");
    EXPECT_EQ(Expand(kCouldNotFind, kFileToken), "Could not find setup.inf");
    EXPECT_EQ(Expand(kCouldNotFind, kProviderToken), "Could not find <VorFile>") << "token not in the message";
    BecomeRelease(kWindowsXp);
    standin::SetEveryoneName("Alle");
    EXPECT_EQ(Expand(20001, kProviderToken), "Everyone") << "the catalogue's text even on NT";

    standin::SetStringValue(kUninstallKey, "VorProviderName", "");
    EXPECT_EQ(Expand(kNoModemFound, kProviderToken), "No  MODEM FOUND");
}

TEST_F(Placeholder, ValuesOfOddShapeAreReadOnlyAsFarAsTheyGo)
{
    const struct {
        std::string stored;
        std::string changedAfterSizeQuery;  // empty: unchanged
        std::string expected;
    } cases[] = {
        {"Zyx", "", "Zyx"},                               // stored without its NUL
        {std::string("ABC\0", 4), "", "ABC"},             // a DWORD 0x00434241
        {"DCBA", "", "DCBA"},                             // a DWORD without a zero byte
        {std::string("AB\0CD\0", 6), "", "AB"},
        {std::string("Ace\0", 4), std::string("Acme Longer\0", 12), "TEZ"},  // grew before the read
        {std::string("Acme Longer\0", 12), std::string("Ace\0", 4), "Ace"},  // shrank before the read
        {std::string("Acme Longer\0", 12), "Ace", "Ace"},
    };
    for (const auto& c : cases) {
        SetProvider(c.stored);
        if (!c.changedAfterSizeQuery.empty())
            standin::ChangeValueAfterSizeQuery(kUninstallKey, "VorProviderName", c.changedAfterSizeQuery);
        GuardedBuffer buffer(64);
        const std::string expected = "No " + c.expected + " MODEM FOUND";
        EXPECT_EQ(QuorvelDllGetDynamicString(kNoModemFound, buffer.data(), 64, kProviderToken), expected.size() + 2);
        EXPECT_TRUE(buffer.Holds(expected)) << expected;
    }
}

TEST_F(Placeholder, TextThatGrowsBetweenSizeQueryAndFillIsNotCopied)
{
    SetProvider(std::string("Ace\0", 4));
    const QuorvelSize size = QuorvelDllGetDynamicString(kNoModemFound, nullptr, 0, kProviderToken);
    SetProvider(std::string("Acme Longer\0", 12));
    GuardedBuffer buffer(size);
    EXPECT_EQ(QuorvelDllGetDynamicString(kNoModemFound, buffer.data(), size, kProviderToken), 28u);
    EXPECT_TRUE(buffer.Untouched());
}

TEST_F(Placeholder, TokensThatNameNoValueLeaveTheMessageAndTheRegistryAlone)
{
    // Values that would show if the wrong one were read.
    standin::SetStringValue(kUninstallKey, "", "DEFAULT");
    standin::SetStringValue(kUninstallKey, "Error", "ERR");
    standin::SetStringValue(kUninstallKey, "VorFile", "f.inf");
    const std::string message = "Could not find <VorFile>";
    EXPECT_EQ(Expand(kCouldNotFind, 2), message) << "\"Error\" has no \"<\"";
    EXPECT_EQ(Expand(kCouldNotFind, 38), message) << "a token ID without text";
    EXPECT_EQ(Expand(kCouldNotFind, 65536 + kFileToken), message) << "only 16-bit IDs have text";
    EXPECT_EQ(QuorvelDllGetDynamicString(38, nullptr, 0, kFileToken), 2u) << "a message ID without text";
    EXPECT_EQ(Expand(38, kFileToken), "");

    standin::OverrideText(kFileToken, u"<VorFile");
    EXPECT_EQ(Expand(kCouldNotFind, kFileToken), message) << "a \"<\" without \">\" names no value";
    // The whole token text is looked for, a word before the "<" included.
    standin::OverrideText(1004, u"find <VorFile>");
    EXPECT_EQ(Expand(kCouldNotFind, 1004), "Could not f.inf");
    // "<>" names the key's unnamed value.
    standin::OverrideText(1003, u"<>");
    EXPECT_EQ(Expand(1003, 1003), "DEFAULT");
}

}  // namespace
}  // namespace quorvel::test
