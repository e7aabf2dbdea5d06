// Which release code each combination of product names, sub-version and
// version record gives, with every key closed and every text freed.
#include <optional>

#include "probes/release_classification.h"
#include "tests/support/standin/standin_test.h"

namespace quorvel::test {
namespace {

struct Version {
    std::uint32_t platformId;
    std::uint32_t majorVersion;
    bool fails;
};
constexpr Version kWin9x{1, 4, false};
constexpr Version kNt4{2, 4, false};
constexpr Version kNt5{2, 5, false};
constexpr Version kNoVersion{2, 4, true};

struct System {
    const char* name;
    std::optional<std::string> product;     // Windows key "ProductName"
    std::optional<std::string> subVersion;  // Windows key "SubVersionNumber"
    bool ntKey;
    std::optional<std::string> ntProduct;   // NT key "ProductName"
    Version version;
    WindowsReleaseCode expected;
};

void Install(const System& system)
{
    if (system.product)
        standin::SetStringValue(kWindowsKey, "ProductName", *system.product);
    if (system.subVersion)
        standin::SetStringValue(kWindowsKey, "SubVersionNumber", *system.subVersion);
    if (system.ntKey)
        standin::CreateKey(kNtKey);
    if (system.ntProduct)
        standin::SetStringValue(kNtKey, "ProductName", *system.ntProduct);
    standin::SetVersionRecord(system.version.platformId, system.version.majorVersion);
    if (system.version.fails)
        standin::FailVersionQuery();
}

const std::string k95 = "Microsoft Windows 95";
const std::string k98 = "Microsoft Windows 98";
const std::nullopt_t kAbsent = std::nullopt;

const System kSystems[] = {
    {"95", k95, kAbsent, false, kAbsent, kWin9x, kWindows95},
    {"95 empty sub-version", k95, "", false, kAbsent, kWin9x, kWindows95},
    {"95 B", k95, " B", false, kAbsent, kWin9x, kWindows95B},
    {"95 C", k95, "C", false, kAbsent, kWin9x, kWindows95C},
    {"95 lower-case c", k95, "c", false, kAbsent, kWin9x, kWindows95C},
    {"95 B and C", k95, "BC", false, kAbsent, kWin9x, kWindows95C},
    {"95 A", k95, "A", false, kAbsent, kWin9x, kWindows95},
    {"98", k98, kAbsent, false, kAbsent, kWin9x, kWindows98},
    {"98 A", k98, " A ", false, kAbsent, kWin9x, kWindows98A},
    {"98 lower-case", "microsoft windows 98", "a", false, kAbsent, kWin9x, kWindows98A},
    {"98 C", k98, "C", false, kAbsent, kWin9x, kWindows98},
    {"Me", "Microsoft Windows Me", "A", false, kAbsent, kWin9x, kWindowsMe},
    {"95 and 98", k95 + " " + k98, "C", false, kAbsent, kWin9x, kWindows98},
    {"98 and 95 A", k98 + " " + k95, "A", false, kAbsent, kWin9x, kWindows98A},
    {"98 and Me", k98 + " Microsoft Windows ME", "A", false, kAbsent, kWin9x, kWindowsMe},
    {"inside a longer name", "Genuine " + k98 + " Second Edition", "", false, kAbsent, kWin9x, kWindows98},
    {"two spaces", "Microsoft  Windows 98", "", false, kAbsent, kWin9x, kUnknownRelease},
    {"nothing", kAbsent, kAbsent, false, kAbsent, kNt5, kUnknownRelease},
    {"2000", kAbsent, kAbsent, true, "Microsoft Windows 2000", kNt5, kWindows2000},
    {"XP", kAbsent, kAbsent, true, "Microsoft Windows XP Professional", kNt5, kWindowsXp},
    {"XP lower-case", kAbsent, kAbsent, true, "microsoft windows xp", kNt5, kWindowsXp},
    {"2000 then XP", kAbsent, kAbsent, true, "Microsoft Windows 2000 Microsoft Windows XP", kNt5, kWindowsXp},
    {"XP then 2000", kAbsent, kAbsent, true, "Microsoft Windows XP Microsoft Windows 2000", kNt5, kWindowsXp},
    {"NT over 98", k98, "A", true, "Microsoft Windows 2000", kNt5, kWindows2000},
    {"NT 4.0", kAbsent, kAbsent, true, kAbsent, kNt4, kWindowsNt4},
    {"NT 4.0 over 98", k98, "", true, kAbsent, kNt4, kWindowsNt4},
    {"no NT name on major 5", k98, "", true, kAbsent, kNt5, kWindows98},
    {"no NT name on platform 1", k98, "", true, kAbsent, kWin9x, kWindows98},
    {"no NT name, no version", k98, "", true, kAbsent, kNoVersion, kWindows98},
    {"no NT name, no version, nothing else", kAbsent, kAbsent, true, kAbsent, kNoVersion, kUnknownRelease},
    {"empty NT name counts as read", kAbsent, kAbsent, true, "", kNt4, kUnknownRelease},
    {"empty NT name over 95", k95, "", true, "", kNt4, kWindows95},
    {"other NT name over 98", k98, "", true, "Windows NT Workstation", kNt4, kWindows98},
    {"no NT key on NT 4.0's version", k95, "", false, kAbsent, kNt4, kWindows95},
};

using ReleaseClassification = StandinTest;

TEST_F(ReleaseClassification, EveryCodeAndWhichWins)
{
    for (const System& system : kSystems) {
        standin::Reset();
        Install(system);
        EXPECT_EQ(ClassifyWindowsRelease(), system.expected) << system.name;
        EXPECT_EQ(standin::OpenKeyCount(), 0u) << system.name;
    }
}

TEST_F(ReleaseClassification, ValuesStoredWithoutTheirNul)
{
    standin::SetValue(kWindowsKey, "ProductName", k98);
    standin::SetValue(kWindowsKey, "SubVersionNumber", "A");
    EXPECT_EQ(ClassifyWindowsRelease(), kWindows98A);
    standin::SetValue(kNtKey, "ProductName", "Microsoft Windows XP");
    EXPECT_EQ(ClassifyWindowsRelease(), kWindowsXp);
    standin::SetValue(kNtKey, "ProductName", std::string("Microsoft Windows 2000\0 XP", 26));
    EXPECT_EQ(ClassifyWindowsRelease(), kWindows2000) << "the name ends at its NUL";
    standin::SetCodePage(932);
    standin::SetValue(kNtKey, "ProductName", "Microsoft Windows XP\x82");
    EXPECT_EQ(ClassifyWindowsRelease(), kWindowsXp) << "a lead byte as the last byte";
}

TEST_F(ReleaseClassification, LettersAsTrailBytesOfDoubleByteCharacters)
{
    standin::SetCodePage(932);
    standin::SetStringValue(kWindowsKey, "ProductName", k95);
    for (const char* subVersion : {"\x83\x43", "\x83\x63", "\x83\x42"}) {  // 'C', 'c', 'B' as trail bytes
        standin::SetStringValue(kWindowsKey, "SubVersionNumber", subVersion);
        EXPECT_EQ(ClassifyWindowsRelease(), kWindows95);
    }
    standin::SetStringValue(kWindowsKey, "SubVersionNumber", "\x83\x43 C");
    EXPECT_EQ(ClassifyWindowsRelease(), kWindows95C);
}

TEST_F(ReleaseClassification, RunningOutOfMemoryNeverMakesNt4)
{
    // Where a text cannot be had, the code falls back to what the other
    // reads tell, but a name that could not be read for want of memory is not
    // the missing name of NT 4.0.
    Install({"XP over 98", k98, "A", true, "Microsoft Windows XP", kNt4, kWindowsXp});
    const std::size_t sites = ForEachFailedAllocation([](const InjectedFailure& failure) {
        const WindowsReleaseCode code = ClassifyWindowsRelease();
        if (failure.Reached())
            EXPECT_TRUE(code == kWindowsXp || code == kWindows98A || code == kWindows98 || code == kUnknownRelease)
                << code;
        else
            EXPECT_EQ(code, kWindowsXp);
    });
    EXPECT_GE(sites, 3u);
}

}  // namespace
}  // namespace quorvel::test
