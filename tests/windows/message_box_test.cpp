// The three message boxes as real dialogs: text, empty caption, one OK
// button, no icon, no owner, and the call returns once the box is dismissed.
// And every export, boxes included, gives back each heap block it takes.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/machine.h"
#include "tests/support/windows/quorvel_module.h"
#include "tools/machine/windows/message_box_watch.h"
#include "tools/machine/windows/scoped_value.h"

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

// Blocks in use in the process heap, where the module keeps its texts.
std::size_t ProcessHeapBlocks()
{
    const HANDLE heap = GetProcessHeap();
    std::size_t blocks = 0;
    HeapLock(heap);
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            ++blocks;
    }
    HeapUnlock(heap);
    return blocks;
}

// Each export over each of its paths: size query and fill, the account name
// and the catalogue's text, the value present and absent, each box shown and
// dismissed.
void CallEveryExport(bool boxes)
{
    char buffer[64];
    for (unsigned id : {9u, 20001u}) {
        Quorvel().DllGetString(id, nullptr, 0);
        Quorvel().DllGetString(id, buffer, sizeof buffer);
        Quorvel().GetStringFromQuorvelDll(id, nullptr, 0);
        Quorvel().GetStringFromQuorvelDll(id, buffer, sizeof buffer);
    }
    for (const char* provider : {"Acme", static_cast<const char*>(nullptr)}) {
        const ScopedValue value(HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName",
                                provider ? ScopedValue::Text(provider) : std::nullopt);
        Quorvel().DllGetDynamicString(9, nullptr, 0, 1002);
        Quorvel().DllGetDynamicString(9, buffer, sizeof buffer, 1002);
        if (boxes)
            WatchMessageBox([] { Quorvel().DllDynamicMessageBox(9, 1002); });
    }
    if (boxes) {
        WatchMessageBox([] { Quorvel().DllMessageBox(2); });
        WatchMessageBox([] { Quorvel().DllMessageBoxWithSuppliedSubString(35, 1005, const_cast<char*>("a.inf")); });
        WatchMessageBox([] { Quorvel().DllMessageBoxWithSuppliedSubString(35, 1005, nullptr); });
    }
}

TEST(ProcessHeap, NoExportKeepsABlock)
{
    const ScopedValue ntProduct(HKEY_LOCAL_MACHINE, kNtKey, "ProductName", ScopedValue::Text("Microsoft Windows XP"));
    CallEveryExport(true);  // what the system sets up on first use stays
    const std::size_t before = ProcessHeapBlocks();
    for (int round = 0; round < 50; ++round)
        CallEveryExport(round % 10 == 0);  // boxes are slow: in one round of ten
    EXPECT_EQ(ProcessHeapBlocks(), before);
}

}  // namespace
}  // namespace quorvel::test
