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

    // Every test runs, and a later match replaces an earlier one.
    WindowsReleaseCode code = kUnknownRelease;
    if (Contains(product, "MICROSOFT WINDOWS 95")) {
        code = Contains(subVersion, "C")   ? kWindows95C
               : Contains(subVersion, "B") ? kWindows95B
                                           : kWindows95;
    }
    if (Contains(product, "MICROSOFT WINDOWS 98"))
        code = Contains(subVersion, "A") ? kWindows98A : kWindows98;
    if (Contains(product, "MICROSOFT WINDOWS ME"))
        code = kWindowsMe;
    return code;
}

bool IsNt4(const platform::VersionRecord& version)
{
    return version.platformId == kNtPlatform && version.majorVersion == 4;
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
        if (Contains(ntProduct, "MICROSOFT WINDOWS 2000"))
            code = kWindows2000;
        if (Contains(ntProduct, "MICROSOFT WINDOWS XP"))
            code = kWindowsXp;
        break;
    case Status::kAbsent:
    case Status::kUnreadable:
        // NT 4.0 keeps no product name; only its version record tells it.
        if (haveVersion && IsNt4(version))
            code = kWindowsNt4;
        break;
    case Status::kNoMemory:
        if (status)
            *status = Status::kNoMemory;
        break;  // the Windows key's answer stands
    }
    return code;
}

}  // namespace quorvel
