#include "probes/release_classification.h"

#include <cstring>

#include "platform/owned.h"
#include "platform/platform.h"
#include "probes/registry_text.h"
#include "text/ansi_text.h"
#include "text/heap_text.h"

namespace quorvel {

namespace {

constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kNtKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr std::uint32_t kNtPlatform = 2;

// Every release the classification tells apart: its code, whether it is of
// the NT family, and how it is recognised. A release of the 95/98/Me family
// by the Windows key's product name containing `product` (upper case), and
// its sub-version containing `subVersion`; an NT-family release by the NT
// key's product name containing `product` or, where that key holds no
// product name, by the version record's major version. Every row is tried in
// order and a later match replaces an earlier one, so a release with a
// sub-version follows the one without. The rows hold their texts rather than
// point to them, so that the table needs no relocation.
struct WindowsRelease {
    WindowsReleaseCode code;
    bool ntFamily;
    char product[24];           // "": told by the version record
    char subVersion[2];         // "": any
    std::uint8_t majorVersion;  // of an NT-family release without product name
};

constexpr WindowsRelease kReleases[] = {
    {kWindows95, false, "MICROSOFT WINDOWS 95", "", 0},
    {kWindows95B, false, "MICROSOFT WINDOWS 95", "B", 0},
    {kWindows95C, false, "MICROSOFT WINDOWS 95", "C", 0},
    {kWindows98, false, "MICROSOFT WINDOWS 98", "", 0},
    {kWindows98A, false, "MICROSOFT WINDOWS 98", "A", 0},
    {kWindowsMe, false, "MICROSOFT WINDOWS ME", "", 0},
    {kWindowsNt4, true, "", "", 4},
    {kWindows2000, true, "MICROSOFT WINDOWS 2000", "", 0},
    {kWindowsXp, true, "MICROSOFT WINDOWS XP", "", 0},
};

// The code of the last release that `matches`, or `code` when none does.
template <typename Matches>
WindowsReleaseCode LastMatch(WindowsReleaseCode code, Matches matches)
{
    for (const WindowsRelease& release : kReleases) {
        if (matches(release))
            code = release.code;
    }
    return code;
}

// Whether the upper-cased `text` contains `pattern` (upper-case ASCII).
bool Contains(const HeapText& text, const char* pattern)
{
    return FindText(text.c_str(), text.length(), pattern, std::strlen(pattern)) != kNotFound;
}

void UpperCase(HeapText& text) { UpperCaseText(text.data(), text.length()); }

// A value of the Windows key, upper-cased. A value that cannot be had, for
// whatever reason, reads as the empty text.
HeapText ReadWindowsKeyText(platform::KeyHandle key, const char* valueName)
{
    HeapText text;
    ReadRegistryText(key, valueName, &text);
    UpperCase(text);
    return text;
}

WindowsReleaseCode ClassifyByWindowsKey()
{
    platform::UniqueKey key;
    platform::OpenLocalMachineKey(kWindowsKey, key.put());  // a missing key reads as empty texts
    const HeapText product = ReadWindowsKeyText(key.get(), "ProductName");
    const HeapText subVersion = ReadWindowsKeyText(key.get(), "SubVersionNumber");

    return LastMatch(kUnknownRelease, [&](const WindowsRelease& release) {
        return !release.ntFamily && Contains(product, release.product) && Contains(subVersion, release.subVersion);
    });
}

}  // namespace

WindowsReleaseCode ClassifyWindowsRelease(Status* status)
{
    if (status)
        *status = Status::kOk;
    WindowsReleaseCode code = ClassifyByWindowsKey();

    platform::UniqueKey ntKey;
    if (!platform::OpenLocalMachineKey(kNtKey, ntKey.put()))
        return code;  // the 95/98/Me family has no NT key

    platform::VersionRecord version{};
    const bool haveVersion = platform::GetVersionRecord(&version);

    // A value stored without its NUL ends where the bytes read end.
    HeapText ntProduct;
    switch (ReadRegistryText(ntKey.get(), "ProductName", &ntProduct)) {
    case Status::kOk:
        UpperCase(ntProduct);
        code = LastMatch(code, [&](const WindowsRelease& release) {
            return release.ntFamily && release.product[0] && Contains(ntProduct, release.product);
        });
        break;
    case Status::kAbsent:
    case Status::kUnreadable:
        // NT 4.0 keeps no product name; only its version record tells it.
        code = LastMatch(code, [&](const WindowsRelease& release) {
            return release.ntFamily && !release.product[0] && haveVersion && version.platformId == kNtPlatform &&
                   version.majorVersion == release.majorVersion;
        });
        break;
    case Status::kNoMemory:
        if (status)
            *status = Status::kNoMemory;
        break;  // the Windows key's answer stands
    }
    return code;
}

bool IsNtFamily(WindowsReleaseCode code)
{
    for (const WindowsRelease& release : kReleases) {
        if (release.code == code)
            return release.ntFamily;
    }
    return false;
}

}  // namespace quorvel
