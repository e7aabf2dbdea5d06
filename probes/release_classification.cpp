#include "probes/release_classification.h"

#include <cstring>

#include "text/ansi_text.h"
#include "text/heap_text.h"
#include "platform/owned.h"
#include "platform/platform.h"

namespace quorvel {

namespace {

using platform::HeapBlock;
using platform::HeapText;
using platform::KeyHandle;

constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kNtKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr std::uint32_t kNtPlatform = 2;

// Whether the upper-cased `text` contains `pattern` (upper-case ASCII).
bool Contains(const HeapText& text, const char* pattern)
{
    return platform::FindText(text.c_str(), text.length(), pattern, std::strlen(pattern)) !=
           platform::kNotFound;
}

void UpperCase(HeapText& text) { platform::UpperCaseText(text.data(), text.length()); }

// A value of the Windows key, read into a block two bytes larger than the
// value so that it always ends in a NUL. Unreadable values give the empty text.
HeapText ReadWindowsKeyText(KeyHandle key, const char* valueName)
{
    std::uint32_t size = 0;
    if (!key || !platform::QueryValueSize(key, valueName, &size) || size > UINT32_MAX - 2)
        return {};
    HeapBlock block(static_cast<std::size_t>(size) + 2);
    if (!block || !platform::QueryValue(key, valueName, reinterpret_cast<unsigned char*>(block.data()), &size))
        return {};
    const std::size_t length = platform::BoundedLength(block.data(), size);
    return HeapText(std::move(block), length);
}

WindowsReleaseCode ClassifyByWindowsKey()
{
    platform::UniqueKey key;
    platform::OpenLocalMachineKey(kWindowsKey, key.put());  // a missing key reads as empty texts
    HeapText product = ReadWindowsKeyText(key.get(), "ProductName");
    HeapText subVersion = ReadWindowsKeyText(key.get(), "SubVersionNumber");
    UpperCase(product);
    UpperCase(subVersion);

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

enum class ReadOutcome { kRead, kUnreadable, kNoMemory };

// The NT product name, read into a block of exactly the value's size: a value
// stored without a NUL ends at the block's end.
ReadOutcome ReadNtProductName(KeyHandle key, HeapText* text)
{
    std::uint32_t size = 0;
    if (!platform::QueryValueSize(key, "ProductName", &size))
        return ReadOutcome::kUnreadable;
    HeapBlock block(size);
    if (!block)
        return ReadOutcome::kNoMemory;
    if (!platform::QueryValue(key, "ProductName", reinterpret_cast<unsigned char*>(block.data()), &size))
        return ReadOutcome::kUnreadable;
    const std::size_t length = platform::BoundedLength(block.data(), size);
    *text = HeapText(std::move(block), length);
    return ReadOutcome::kRead;
}

bool IsNt4(const platform::VersionRecord& version)
{
    return version.platformId == kNtPlatform && version.majorVersion == 4;
}

}  // namespace

WindowsReleaseCode ClassifyWindowsRelease(bool* complete)
{
    if (complete)
        *complete = true;
    WindowsReleaseCode code = ClassifyByWindowsKey();

    platform::UniqueKey ntKey;
    if (!platform::OpenLocalMachineKey(kNtKey, ntKey.put()))
        return code;  // the 95/98/Me family has no NT key

    platform::VersionRecord version{};
    const bool haveVersion = platform::GetVersionRecord(&version);

    HeapText ntProduct;
    switch (ReadNtProductName(ntKey.get(), &ntProduct)) {
    case ReadOutcome::kRead:
        UpperCase(ntProduct);
        if (Contains(ntProduct, "MICROSOFT WINDOWS 2000"))
            code = kWindows2000;
        if (Contains(ntProduct, "MICROSOFT WINDOWS XP"))
            code = kWindowsXp;
        break;
    case ReadOutcome::kUnreadable:
        // NT 4.0 keeps no product name; only its version record tells it.
        if (haveVersion && IsNt4(version))
            code = kWindowsNt4;
        break;
    case ReadOutcome::kNoMemory:
        if (complete)
            *complete = false;
        break;  // the Windows key's answer stands
    }
    return code;
}

}  // namespace quorvel
