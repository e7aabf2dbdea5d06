// The Everyone rule on each release the module tells apart. Each case sets
// the registry and Wine's reported Windows version for a fresh child process
// (everyone_probe.exe), and puts both back afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <sstream>
#include <vector>

#include "tests/support/hex.h"
#include "tests/support/machine.h"
#include "tests/support/windows/child_process.h"
#include "tests/support/windows/expected_texts.h"
#include "tests/support/windows/quorvel_module.h"
#include "tools/machine/windows/scoped_value.h"

namespace quorvel::test {
namespace {

constexpr char kProbe[] = "quorvel_everyone_probe.exe";

// Runs the probe and returns its lines as name -> value.
std::map<std::string, std::string> RunProbe()
{
    const std::string output = RunSibling(kProbe, "").output;
    std::map<std::string, std::string> lines;
    std::istringstream stream(output);
    std::string name;
    std::string value;
    while (stream >> name) {
        std::getline(stream, value);
        value.erase(0, value.find_first_not_of(' '));
        value.erase(value.find_last_not_of("\r\n ") + 1);
        lines[name] = value;
    }
    return lines;
}

struct ReleaseCase {
    std::string name;
    const WindowsRelease* release;              // whose version Wine reports to the probe
    std::optional<std::string> windowsProduct;  // value under the Windows key
    std::optional<std::string> subVersion;
    std::optional<std::string> ntProduct;       // value under the NT key
    bool ntFamily;                              // the account name answers
};

// Each release of the table as it is, then systems that mix or stretch them.
std::vector<ReleaseCase> Cases()
{
    const auto text = [](const char* value) { return value ? std::optional<std::string>(value) : std::nullopt; };
    std::vector<ReleaseCase> cases;
    for (const WindowsRelease& release : kWindowsReleases) {
        cases.push_back({std::string("Windows") + release.name, &release, text(release.windowsProduct),
                         text(release.subVersion), text(release.ntProduct), release.platformId == kNtPlatform});
    }
    const WindowsRelease* xp = FindWindowsRelease("xp");
    const WindowsRelease* windows98 = FindWindowsRelease("98");
    cases.push_back({"NtKeyWinsOverWindows95", xp, "Microsoft Windows 95", "C", "Microsoft Windows XP", true});
    cases.push_back({"NtVersion5WithoutProductName", FindWindowsRelease("2000"), "Microsoft Windows 98", std::nullopt,
                     std::nullopt, false});
    cases.push_back({"UnknownRelease", xp, std::nullopt, std::nullopt, "Microsoft Windows 7", false});
    // Longer than the patterns and holding none of them: compared in full
    // against each, as a product name of a later release is.
    cases.push_back({"LongUnknownNtProductName", xp, std::nullopt, std::nullopt, "Microsoft Windows Vista Business",
                     false});
    cases.push_back({"LongUnknownWindowsProductName", windows98, "Microsoft Windows Millennium Edition", std::nullopt,
                     std::nullopt, false});
    // Upper-cased through the code page: a long stretch of accented letters
    // before the lower-case name.
    cases.push_back({"AccentedLowerCaseProductName", xp, std::nullopt, std::nullopt,
                     std::string(70, '\xe9') + " microsoft windows xp \xe9" "dition", true});
    return cases;
}

class EveryoneRule : public testing::TestWithParam<ReleaseCase> {};

TEST_P(EveryoneRule, AccountNameOnlyOnNtFamilyReleases)
{
    const ReleaseCase& release = GetParam();
    const auto text = [](const std::optional<std::string>& value) {
        return value ? ScopedValue::Text(*value) : std::nullopt;
    };
    const ScopedValue version(HKEY_CURRENT_USER, std::string("Software\\Wine\\AppDefaults\\") + kProbe, "Version",
                              ScopedValue::Text(release.release->wineVersion));
    const ScopedValue windowsProduct(HKEY_LOCAL_MACHINE, kWindowsKey, "ProductName", text(release.windowsProduct));
    const ScopedValue subVersion(HKEY_LOCAL_MACHINE, kWindowsKey, "SubVersionNumber", text(release.subVersion));
    const ScopedValue ntProduct(HKEY_LOCAL_MACHINE, kNtKey, "ProductName", text(release.ntProduct));

    auto report = RunProbe();
    ASSERT_FALSE(report["account"].empty()) << "the probe did not run";
    const std::uint16_t variant = VariantFor(static_cast<std::uint16_t>(std::stoul(report["language"], nullptr, 16)));
    ASSERT_NE(variant, 0) << "run this test in a locale with a variant of its own";
    const std::string catalogue = Hex(VariantText(variant, 20001));
    const std::string answer = release.ntFamily ? report["account"] : catalogue;
    SCOPED_TRACE(testing::Message() << "version " << report["version"] << ", account " << report["account"]
                                    << ", catalogue " << catalogue);

    EXPECT_EQ(report["version"], std::to_string(release.release->platformId) + "." +
                                     std::to_string(release.release->majorVersion))
        << "Wine did not report the chosen version";
    if (release.ntFamily)
        ASSERT_NE(report["account"], catalogue) << "the case cannot tell the account from the catalogue";
    EXPECT_EQ(report["DllGetString"], answer);
    EXPECT_EQ(report["GetStringFromQuorvelDll"], answer);
    EXPECT_EQ(report["DllMessageBoxWithSuppliedSubString"], answer);
    EXPECT_EQ(report["DllMessageBox"], catalogue) << "the plain box always shows the catalogue";
    EXPECT_EQ(report["other"], Hex(VariantText(variant, 20002)));
}

INSTANTIATE_TEST_SUITE_P(Releases, EveryoneRule, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<ReleaseCase>& info) { return info.param.name; });

}  // namespace
}  // namespace quorvel::test
