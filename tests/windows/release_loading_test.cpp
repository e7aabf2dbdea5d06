// The module loads and serves on every Windows release the installer runs
// on: each case starts the quorvel tool with the version Wine reports set to
// that release, and asks it for two texts.
#include <gtest/gtest.h>

#include <windows.h>

#include "support/child_process.h"
#include "support/registry_fixture.h"

namespace quorvel::test {
namespace {

constexpr char kTool[] = "quorvel.exe";

class ModuleLoading : public testing::TestWithParam<const char*> {};

TEST_P(ModuleLoading, ServesTextsOnTheRelease)
{
    const ScopedValue version(HKEY_CURRENT_USER, std::string("Software\\Wine\\AppDefaults\\") + kTool, "Version",
                              ScopedValue::Text(GetParam()));
    const ChildResult result = RunSibling(kTool, "--raw string 2 9 20004");
    EXPECT_EQ(result.exitCode, 0u);
    EXPECT_EQ(result.output, "Error\nNo <VorProviderName> MODEM FOUND\nFound New Hardware\n");
}

INSTANTIATE_TEST_SUITE_P(Releases, ModuleLoading, testing::Values("win95", "win98", "nt40", "win2k", "winxp"));

}  // namespace
}  // namespace quorvel::test
