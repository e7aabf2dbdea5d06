// The Windows releases of windows_releases.txt, and the system that the
// release classification reads: registry values and version record.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace quorvel::machine {

struct WindowsRelease {
    const char* name;  // as --windows takes it
    std::int32_t code;
    std::uint32_t platformId;
    std::uint32_t majorVersion;
    const char* wineVersion;
    // The registry values that tell it; nullptr: absent.
    const char* windowsProduct;
    const char* subVersion;
    const char* ntProduct;
};

constexpr std::uint32_t kNtPlatform = 2;

// kWindowsReleases, in the table's order.
#include "windows_releases.inc"

// The release called `name`; nullptr for one the table lacks.
inline const WindowsRelease* FindWindowsRelease(const char* name)
{
    for (const WindowsRelease& release : kWindowsReleases) {
        if (std::strcmp(release.name, name) == 0)
            return &release;
    }
    return nullptr;
}

struct RegistryValue {
    bool present = false;
    std::string bytes;  // as stored; may lack a NUL or hold several
};

// What the release classification reads.
struct ReleaseInputs {
    bool windowsKey = false;
    RegistryValue windowsProduct;
    RegistryValue subVersion;
    bool ntKey = false;
    RegistryValue ntProduct;
    bool versionFails = false;
    std::uint32_t platformId = kNtPlatform;
    std::uint32_t majorVersion = 5;
};

// A text stored with its NUL.
inline RegistryValue Text(const std::string& text) { return {true, text + '\0'}; }

// The system of a row: the Windows key, and the NT key on the NT family.
inline ReleaseInputs InputsOf(const WindowsRelease& release)
{
    const auto value = [](const char* text) { return text ? Text(text) : RegistryValue{}; };
    return ReleaseInputs{true,
                         value(release.windowsProduct),
                         value(release.subVersion),
                         release.platformId == kNtPlatform,
                         value(release.ntProduct),
                         false,
                         release.platformId,
                         release.majorVersion};
}

}  // namespace quorvel::machine
