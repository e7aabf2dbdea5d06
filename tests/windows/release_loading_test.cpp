// The module loads and serves on every Windows release the installer runs
// on: each case starts the quorvel tool with the version Wine reports set to
// that release, and asks it for three texts. Loading sets the error mode.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/machine.h"
#include "tests/support/windows/child_process.h"
#include "tests/support/windows/quorvel_module.h"
#include "tools/machine/windows/scoped_value.h"

namespace quorvel::test {
namespace {

constexpr char kTool[] = "quorvel.exe";

class ModuleLoading : public testing::TestWithParam<std::string> {};

TEST_P(ModuleLoading, ServesTextsOnTheRelease)
{
    const ScopedValue version(HKEY_CURRENT_USER, std::string("Software\\Wine\\AppDefaults\\") + kTool, "Version",
                              ScopedValue::Text(GetParam()));
    const ChildResult result = RunSibling(kTool, "--raw string 2 9 20004");
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.output, "Error\nNo <VorProviderName> MODEM FOUND\nFound New Hardware\n");
}

// Each version of Wine that a release of the table runs as, once.
std::vector<std::string> WineVersions()
{
    std::vector<std::string> versions;
    for (const WindowsRelease& release : kWindowsReleases) {
        if (std::find(versions.begin(), versions.end(), release.wineVersion) == versions.end())
            versions.push_back(release.wineVersion);
    }
    return versions;
}

INSTANTIATE_TEST_SUITE_P(Releases, ModuleLoading, testing::ValuesIn(WineVersions()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

// Loading the module quiets critical-error and open-file boxes and keeps the
// host's own flags. The check runs in a fresh process of this program, since
// this one may have loaded the module already.
TEST(ErrorMode, DISABLED_SetByTheHostThenLoad)
{
    ASSERT_EQ(GetModuleHandleA("Quorvel.dll"), nullptr) << "the module is loaded already";
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    Quorvel();
    EXPECT_EQ(SetErrorMode(0), static_cast<UINT>(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS |
                                                  SEM_NOOPENFILEERRORBOX));
}

TEST(ErrorMode, QuietFlagsAddedToTheHostsOnLoad)
{
    const ChildResult child = RunSibling("quorvel_windows_tests.exe",
                                         "--gtest_also_run_disabled_tests --gtest_filter=ErrorMode.DISABLED_*");
    EXPECT_EQ(child.exitCode, 0u) << child.output;
    EXPECT_NE(child.output.find("[  PASSED  ] 1 test"), std::string::npos) << child.output;
}

}  // namespace
}  // namespace quorvel::test
