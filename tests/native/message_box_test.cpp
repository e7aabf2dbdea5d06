// The three message boxes: which text each shows, from which source, and with
// an empty caption.
#include "module/exports.h"
#include "tests/support/standin/standin_test.h"

namespace quorvel::test {
namespace {

class MessageBox : public StandinTest {
protected:
    // The texts of the boxes shown since the last call; each caption is "".
    static std::vector<std::string> Shown()
    {
        std::vector<std::string> texts;
        for (const standin::ShownBox& box : standin::TakeShownBoxes()) {
            EXPECT_EQ(box.caption, "");
            EXPECT_FALSE(box.captionWasNull);
            texts.push_back(box.text);
        }
        return texts;
    }
    using Texts = std::vector<std::string>;
};

TEST_F(MessageBox, CatalogMessage)
{
    QuorvelDllMessageBox(2);
    EXPECT_EQ(Shown(), Texts{"Error"});
    QuorvelDllMessageBox(38);
    EXPECT_EQ(Shown(), Texts{""});
}

TEST_F(MessageBox, EveryoneComesFromTheCatalogOnlyInThePlainBox)
{
    BecomeRelease(kWindowsXp);
    standin::SetEveryoneName("Alle");
    standin::SetThreadLanguage(0x0407);
    char marker[] = "X";
    QuorvelDllMessageBox(20001);
    QuorvelDllMessageBoxWithSuppliedSubString(20001, 1005, nullptr);
    QuorvelDllMessageBoxWithSuppliedSubString(20001, 20001, marker);  // the token text is the name too
    QuorvelDllDynamicMessageBox(20001, 1005);
    EXPECT_EQ(Shown(), (Texts{"Jeder", "Alle", "X", "Jeder"}));
}

TEST_F(MessageBox, SuppliedSubstitute)
{
    char file[] = "a.inf";
    char empty[] = "";
    char marker[] = "X";
    QuorvelDllMessageBoxWithSuppliedSubString(35, 1005, file);
    QuorvelDllMessageBoxWithSuppliedSubString(35, 1005, nullptr);
    QuorvelDllMessageBoxWithSuppliedSubString(35, 1005, empty);
    QuorvelDllMessageBoxWithSuppliedSubString(35, 38, marker);  // an empty token matches at the start
    QuorvelDllMessageBoxWithSuppliedSubString(35, 2, marker);   // "Error" is not in the message
    QuorvelDllMessageBoxWithSuppliedSubString(9, 1002, marker);
    EXPECT_EQ(Shown(), (Texts{"Could not find a.inf", "Could not find <VorFile>", "Could not find ",
                              "XCould not find <VorFile>", "Could not find <VorFile>", "No X MODEM FOUND"}));
    EXPECT_EQ(file, std::string("a.inf"));
}

TEST_F(MessageBox, DynamicMessage)
{
    QuorvelDllDynamicMessageBox(9, 1002);
    standin::SetStringValue(kUninstallKey, "VorProviderName", "Acme");
    QuorvelDllDynamicMessageBox(9, 1002);
    QuorvelDllDynamicMessageBox(38, 1002);
    // The value grows between the size query and the fill: an empty box.
    standin::SetStringValue(kUninstallKey, "VorProviderName", "ab");
    standin::ChangeValueAfterSizeQuery(kUninstallKey, "VorProviderName", std::string("a much longer name", 19));
    QuorvelDllDynamicMessageBox(9, 1002);
    EXPECT_EQ(Shown(), (Texts{"No TEZ MODEM FOUND", "No Acme MODEM FOUND", "", ""}));
}

}  // namespace
}  // namespace quorvel::test
