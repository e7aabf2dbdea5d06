// Setting the stand-in services up as a given machine: its language and code
// page, and what the release classification reads.
#pragma once

#include "platform/standin/control.h"
#include "tools/machine/locales.h"
#include "tools/machine/registry_keys.h"
#include "tools/machine/releases.h"

namespace quorvel::machine {

inline void ApplyRelease(const ReleaseInputs& in)
{
    standin::RemoveKey(kWindowsKey);
    standin::RemoveKey(kNtKey);
    const auto store = [](const char* key, const char* name, const RegistryValue& value) {
        if (value.present)
            standin::SetValue(key, name, value.bytes);
    };
    if (in.windowsKey) {
        standin::CreateKey(kWindowsKey);
        store(kWindowsKey, "ProductName", in.windowsProduct);
        store(kWindowsKey, "SubVersionNumber", in.subVersion);
    }
    if (in.ntKey) {
        standin::CreateKey(kNtKey);
        store(kNtKey, "ProductName", in.ntProduct);
    }
    standin::SetVersionRecord(in.platformId, in.majorVersion);
    if (in.versionFails)
        standin::FailVersionQuery();
}

// Throws std::invalid_argument for a code page that the stand-in lacks.
inline void ApplyLocale(const Locale& locale)
{
    standin::SetCodePage(locale.codePage);
    standin::SetThreadLanguage(locale.language);
}

}  // namespace quorvel::machine
