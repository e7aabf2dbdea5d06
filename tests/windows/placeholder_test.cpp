// Placeholder expansion against the real registry of the test's prefix.
#include <gtest/gtest.h>

#include "tests/support/machine.h"
#include "tests/support/windows/quorvel_module.h"
#include "tools/machine/windows/scoped_value.h"

namespace quorvel::test {
namespace {

constexpr unsigned kNoModemFound = 9;
constexpr unsigned kProviderToken = 1002;

class Placeholder : public testing::Test {
protected:
    // Each test starts without the value, whatever the prefix held.
    ScopedValue provider_{HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName", std::nullopt};
};

TEST_F(Placeholder, DefaultWhenTheValueIsAbsentAndTheOneByteMargin)
{
    EXPECT_EQ(Quorvel().DllGetDynamicString(kNoModemFound, nullptr, 0, kProviderToken), 20u);
    char buffer[24];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    EXPECT_EQ(Quorvel().DllGetDynamicString(kNoModemFound, buffer, 19, kProviderToken), 20u);
    EXPECT_EQ(buffer[0], '#') << "a buffer of length + 1 receives nothing";
    EXPECT_EQ(Quorvel().DllGetDynamicString(kNoModemFound, buffer, 20, kProviderToken), 20u);
    EXPECT_STREQ(buffer, "No TEZ MODEM FOUND");
    EXPECT_EQ(buffer[19], '#') << "the last byte keeps its content";
}

TEST_F(Placeholder, ValueFromTheUninstallKey)
{
    const ScopedValue value(HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName", ScopedValue::Text("Acme DSL"));
    EXPECT_EQ(GetDynamicString(kNoModemFound, kProviderToken), "No Acme DSL MODEM FOUND");
    EXPECT_EQ(Quorvel().DllGetDynamicString(kNoModemFound, nullptr, 0, kProviderToken), 25u);
    EXPECT_EQ(GetDynamicString(kProviderToken, kProviderToken), "Acme DSL");
}

TEST_F(Placeholder, EmptyValueRemovesTheToken)
{
    const ScopedValue value(HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName", ScopedValue::Text(""));
    EXPECT_EQ(GetDynamicString(kNoModemFound, kProviderToken), "No  MODEM FOUND");
}

TEST_F(Placeholder, ValueOfAnotherTypeOrWithoutNulIsReadOnlyAsFarAsItGoes)
{
    {
        const ScopedValue value(HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName", std::string("Zyx"), REG_BINARY);
        EXPECT_EQ(GetDynamicString(kNoModemFound, kProviderToken), "No Zyx MODEM FOUND");
    }
    const ScopedValue value(HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName", std::string("AB\0\0", 4), REG_DWORD);
    EXPECT_EQ(GetDynamicString(kNoModemFound, kProviderToken), "No AB MODEM FOUND");
}

TEST_F(Placeholder, FileTokenAndTokensThatNameNoValue)
{
    const ScopedValue file(HKEY_LOCAL_MACHINE, kUninstallKey, "VorFile", ScopedValue::Text("setup.inf"));
    EXPECT_EQ(GetDynamicString(35, 1005), "Could not find setup.inf");
    EXPECT_EQ(GetDynamicString(35, 2), "Could not find <VorFile>") << "a token without \"<\" reads nothing";
    EXPECT_EQ(GetDynamicString(35, 38), "Could not find <VorFile>") << "a token ID without text";
    EXPECT_EQ(Quorvel().DllGetDynamicString(38, nullptr, 0, 1005), 2u) << "a message ID without text";
}

}  // namespace
}  // namespace quorvel::test
