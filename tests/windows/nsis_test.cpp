// NSIS installers that reach the module through quorvel.nsh: every text
// they get equals the module's own answer byte for byte (converted from the
// ANSI code page in Unicode installers), the boxes are shown and dismissed,
// a missing module or export sets the error flag and leaves the text empty,
// and the module beside the installer serves when $PLUGINSDIR holds none.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "tests/support/machine.h"
#include "tests/support/windows/child_process.h"
#include "tests/support/windows/quorvel_module.h"
#include "tools/machine/windows/message_box_watch.h"
#include "tools/machine/windows/scoped_value.h"

namespace quorvel::test {
namespace {

struct Installer {
    const char* program;
    bool unicode;
};

#if defined(_WIN64)
constexpr Installer kInstallers[] = {{"quorvel_nsis_host_amd64-unicode.exe", true}};
#else
constexpr Installer kInstallers[] = {{"quorvel_nsis_host_x86-ansi.exe", false},
                                     {"quorvel_nsis_host_x86-unicode.exe", true}};
#endif

// A hung installer fails its case after two minutes.
constexpr unsigned long kInstallerTimeLimitMs = 120000;

// The installer's texts as UTF-16, whichever kind it is.
std::wstring Widened(const std::string& ansi)
{
    std::wstring wide(ansi.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(),
                                           static_cast<int>(wide.size()));
    wide.resize(length);
    return wide;
}

// "what<TAB>text" lines, keyed by what.
std::map<std::wstring, std::wstring> ReadResults(const std::string& path, bool unicode)
{
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::wstring text;
    if (unicode)
        text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    else
        text = Widened(bytes);
    std::map<std::wstring, std::wstring> results;
    for (size_t start = 0, end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        const std::wstring line = text.substr(start, end - start);
        const size_t tab = line.find(L'\t');
        results[line.substr(0, tab)] = tab == std::wstring::npos ? L"" : line.substr(tab + 1);
    }
    return results;
}

class NsisInstaller : public testing::Test {
protected:
    ScopedValue provider_{HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName", std::nullopt};
};

TEST_F(NsisInstaller, TextsBoxesAndErrorFlagThroughTheMacros)
{
    // As nsis_host.nsi asks for them; 500 has no text.
    const unsigned ranges[][2] = {{0, 38}, {100, 119}, {500, 500}, {1000, 1006}, {20000, 20012}};
    for (const Installer& installer : kInstallers) {
        SCOPED_TRACE(installer.program);
        // One file per locale: the runs in each locale may go side by side.
        const std::string results =
            OwnDirectory() + installer.program + "." + std::to_string(GetUserDefaultLCID()) + ".txt";
        DeleteFileA(results.c_str());
        std::vector<ObservedBox> boxes;
        const ChildResult run =
            RunSibling(installer.program, "/S /out=" + results, DismissingBoxes(&boxes), kInstallerTimeLimitMs);
        ASSERT_EQ(run.exitCode, 0u) << run.output;

        const auto got = ReadResults(results, installer.unicode);
        const auto expect = [&](const std::string& what, const std::string& ansi) {
            const auto found = got.find(Widened(what));
            ASSERT_NE(found, got.end()) << what << ": no line";
            EXPECT_TRUE(found->second == Widened(ansi)) << what;
        };
        for (const auto& range : ranges) {
            for (unsigned id = range[0]; id <= range[1]; ++id)
                expect("string " + std::to_string(id), GetString(Quorvel().DllGetString, id));
        }
        expect("dynamic 9 1002", GetDynamicString(9, 1002));
        expect("dynamic 18 1002", GetDynamicString(18, 1002));
        expect("registers", std::to_string(std::end(ranges)[-1][1] + 1) + " kept");
        expect("no export", "error flag set, []");
        expect("no module", "error flag set, []");
        expect("no module, dynamic", "error flag set, []");
        expect("no module, box", "error flag set, []");
        expect("beside the installer", GetString(Quorvel().DllGetString, 9));

        ASSERT_EQ(boxes.size(), 3u);
        EXPECT_EQ(boxes[0].text, GetString(Quorvel().DllGetString, 2));
        EXPECT_EQ(boxes[1].text, GetDynamicString(9, 1002));
        EXPECT_EQ(boxes[2].text, "Could not find C:\\DRIVERS\\MODEM.INF");
        for (const ObservedBox& box : boxes) {
            EXPECT_EQ(box.caption, "");
            EXPECT_FALSE(box.hasOwner);
        }
    }
}

}  // namespace
}  // namespace quorvel::test
