// The Everyone rule on each release the module tells apart. Each case sets
// the registry and Wine's reported Windows version for a fresh child process
// (everyone_probe.exe), and puts both back afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <sstream>

#include "tests/support/hex.h"
#include "tests/support/windows/child_process.h"
#include "tests/support/windows/expected_texts.h"
#include "tests/support/windows/quorvel_module.h"
#include "tests/support/windows/registry_fixture.h"

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
    const char* name;
    const char* wineVersion;
    const char* versionRecord;                  // platform.major the probe should see
    std::optional<std::string> windowsProduct;  // value under the Windows key
    std::optional<std::string> subVersion;
    std::optional<std::string> ntProduct;       // value under the NT key
    bool ntFamily;                              // the account name answers
};

class EveryoneRule : public testing::TestWithParam<ReleaseCase> {};

TEST_P(EveryoneRule, AccountNameOnlyOnNtFamilyReleases)
{
    const ReleaseCase& release = GetParam();
    const auto text = [](const std::optional<std::string>& value) {
        return value ? ScopedValue::Text(*value) : std::nullopt;
    };
    const ScopedValue version(HKEY_CURRENT_USER, std::string("Software\\Wine\\AppDefaults\\") + kProbe, "Version",
                              ScopedValue::Text(release.wineVersion));
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

    EXPECT_EQ(report["version"], release.versionRecord) << "Wine did not report the chosen version";
    if (release.ntFamily)
        ASSERT_NE(report["account"], catalogue) << "the case cannot tell the account from the catalogue";
    EXPECT_EQ(report["DllGetString"], answer);
    EXPECT_EQ(report["GetStringFromQuorvelDll"], answer);
    EXPECT_EQ(report["DllMessageBoxWithSuppliedSubString"], answer);
    EXPECT_EQ(report["DllMessageBox"], catalogue) << "the plain box always shows the catalogue";
    EXPECT_EQ(report["other"], Hex(VariantText(variant, 20002)));
}

INSTANTIATE_TEST_SUITE_P(
    Releases, EveryoneRule,
    testing::Values(
        ReleaseCase{"WindowsXp", "winxp", "2.5", std::nullopt, std::nullopt, "Microsoft Windows XP", true},
        ReleaseCase{"Windows2000", "win2k", "2.5", std::nullopt, std::nullopt, "Microsoft Windows 2000", true},
        ReleaseCase{"WindowsNt4WithoutProductName", "nt40", "2.4", std::nullopt, std::nullopt, std::nullopt, true},
        ReleaseCase{"NtKeyWinsOverWindows95", "winxp", "2.5", "Microsoft Windows 95", "C", "Microsoft Windows XP", true},
        ReleaseCase{"NtVersion5WithoutProductName", "win2k", "2.5", "Microsoft Windows 98", std::nullopt, std::nullopt,
                    false},
        ReleaseCase{"Windows98A", "win98", "1.4", "Microsoft Windows 98", " A ", std::nullopt, false},
        ReleaseCase{"WindowsMe", "winme", "1.4", "Microsoft Windows ME", std::nullopt, std::nullopt, false},
        ReleaseCase{"UnknownRelease", "win7", "2.6", std::nullopt, std::nullopt, "Microsoft Windows 7", false},
        // Longer than the patterns and holding none of them: compared in full
        // against each, as a product name of a later release is.
        ReleaseCase{"LongUnknownNtProductName", "vista", "2.6", std::nullopt, std::nullopt,
                    "Microsoft Windows Vista Business", false},
        ReleaseCase{"LongUnknownWindowsProductName", "win98", "1.4", "Microsoft Windows Millennium Edition", std::nullopt,
                    std::nullopt, false},
        // Upper-cased through the code page: a long stretch of accented
        // letters before the lower-case name.
        ReleaseCase{"AccentedLowerCaseProductName", "winxp", "2.5", std::nullopt, std::nullopt,
                    std::string(70, '\xe9') + " microsoft windows xp \xe9" "dition", true}),
    [](const testing::TestParamInfo<ReleaseCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvel::test
