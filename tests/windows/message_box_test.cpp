// The three message boxes as real dialogs: text, empty caption, one OK
// button, no icon, no owner, and the call returns once the box is dismissed.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/windows/message_box_watch.h"
#include "tests/support/windows/quorvel_module.h"
#include "tests/support/windows/registry_fixture.h"

namespace quorvel::test {
namespace {

void ExpectPlainBox(const ObservedBox& box, const std::string& text)
{
    ASSERT_TRUE(box.shown) << "no dialog appeared";
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, "");
    EXPECT_EQ(box.buttonIds, std::vector<int>{IDOK});
    EXPECT_FALSE(box.hasIcon);
    EXPECT_FALSE(box.hasOwner);
    EXPECT_FALSE(box.returnedBeforeDismiss) << "the call must wait for the user";
    EXPECT_TRUE(box.returnedAfterDismiss);
}

class MessageBoxes : public testing::Test {
protected:
    ScopedValue provider_{HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName", std::nullopt};
};

TEST_F(MessageBoxes, CatalogTextAsStored)
{
    ExpectPlainBox(WatchMessageBox([] { Quorvel().DllMessageBox(2); }), "Error");
    ExpectPlainBox(WatchMessageBox([] { Quorvel().DllMessageBox(38); }), "");
}

TEST_F(MessageBoxes, DynamicBoxExpandsFromTheRegistry)
{
    ExpectPlainBox(WatchMessageBox([] { Quorvel().DllDynamicMessageBox(9, 1002); }), "No TEZ MODEM FOUND");
    const ScopedValue value(HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName", ScopedValue::Text("Acme"));
    ExpectPlainBox(WatchMessageBox([] { Quorvel().DllDynamicMessageBox(9, 1002); }), "No Acme MODEM FOUND");
}

TEST_F(MessageBoxes, SuppliedSubstitute)
{
    const auto show = [](unsigned message, unsigned token, const char* substitute) {
        return WatchMessageBox([=] {
            Quorvel().DllMessageBoxWithSuppliedSubString(message, token, const_cast<char*>(substitute));
        });
    };
    ExpectPlainBox(show(35, 1005, "C:\\DRIVERS\\MODEM.INF"), "Could not find C:\\DRIVERS\\MODEM.INF");
    ExpectPlainBox(show(35, 1005, nullptr), "Could not find <VorFile>");
    ExpectPlainBox(show(35, 1005, ""), "Could not find ");
    // An ID without text is an empty token, which matches at the start.
    ExpectPlainBox(show(35, 38, "X: "), "X: Could not find <VorFile>");
    ExpectPlainBox(show(1002, 1002, "whole"), "whole");
    ExpectPlainBox(show(2, 1005, "unused"), "Error");
}

}  // namespace
}  // namespace quorvel::test
