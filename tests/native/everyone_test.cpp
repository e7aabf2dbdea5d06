// ID 20001: the system's name of the Everyone group on the NT family, the
// catalogue's text everywhere else and whenever the system cannot tell it.
#include "tests/support/standin/standin_test.h"

namespace quorvel::test {
namespace {

constexpr unsigned kEveryone = 20001;

// The answer by both exports, which must agree byte for byte.
std::string Get(unsigned id)
{
    const std::string text = Served(QuorvelDllGetString, id);
    EXPECT_EQ(Served(GetStringFromQuorvelDll, id), text);
    return text;
}

using Everyone = StandinTest;

TEST_F(Everyone, SystemNameOnTheNtFamilyOnly)
{
    for (const model::Release& release : model::Releases()) {
        SCOPED_TRACE(release.code);
        standin::Reset();
        standin::SetEveryoneName("Alle");
        standin::SetThreadLanguage(0x0407);
        BecomeRelease(release.code);
        EXPECT_EQ(Get(kEveryone), release.ntFamily ? "Alle" : "Jeder");
        EXPECT_EQ(Get(20002), "Microsoft PPP \xfc" "ber ATM-Adapter");
        EXPECT_EQ(Get(2), "Error");
        EXPECT_EQ(standin::ConvertCallCount() > 0, release.ntFamily) << "only 20001 on NT asks the system";
    }
}

TEST_F(Everyone, CatalogWhenTheSystemCannotTellTheName)
{
    const struct {
        const char* name;
        void (*fail)();
    } failures[] = {
        {"no Advapi32.dll", [] { standin::SetAdvapiMissing(true); }},
        {"no ConvertStringSidToSidA", [] { standin::SetConvertStringSidMissing(true); }},
        {"conversion fails", [] { standin::FailSidConversion(true); }},
        {"lookup fails", [] { standin::FailAccountLookup(true); }},
        {"name of 260 bytes", [] { standin::SetEveryoneName(std::string(260, 'e')); }},
        {"empty name", [] { standin::SetEveryoneName(""); }},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.name);
        standin::Reset();
        standin::SetThreadLanguage(0x0407);
        BecomeRelease(kWindowsXp);
        failure.fail();
        EXPECT_EQ(Get(kEveryone), "Jeder");
        EXPECT_EQ(standin::LiveSidCount(), 0u);
        EXPECT_EQ(standin::LoadedLibraryCount(), 0u);
    }
}

TEST_F(Everyone, NameLengthAsTheSystemReportsIt)
{
    BecomeRelease(kWindows2000);
    const std::string longest(259, 'e');
    for (const bool countsNul : {false, true}) {
        SCOPED_TRACE(countsNul ? "length counts the NUL" : "length without the NUL");
        standin::SetNameLengthCountsNul(countsNul);
        standin::SetEveryoneName("Everyone");
        EXPECT_EQ(QuorvelDllGetString(kEveryone, nullptr, 0), 9u);
        EXPECT_EQ(Get(kEveryone), "Everyone");
        standin::SetEveryoneName(longest);
        EXPECT_EQ(Get(kEveryone), longest);
    }
}

TEST_F(Everyone, BufferProtocolOfTheName)
{
    BecomeRelease(kWindowsXp);
    standin::SetEveryoneName("Alle");
    for (auto get : {QuorvelDllGetString, GetStringFromQuorvelDll}) {
        EXPECT_EQ(get(kEveryone, nullptr, 0), 5u);
        EXPECT_EQ(get(kEveryone, nullptr, 4), 5u);
        for (std::uint32_t size = 1; size <= 8; ++size) {
            GuardedBuffer buffer(size);
            EXPECT_EQ(get(kEveryone, buffer.data(), size), 5u);
            EXPECT_TRUE(size >= 5 ? buffer.Holds("Alle") : buffer.Untouched()) << size;
        }
    }
}

}  // namespace
}  // namespace quorvel::test
