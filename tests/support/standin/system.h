// Setting the stand-in up as a given system: the release probes' registry
// values and version record, and the language; and what its string loader
// serves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalog/catalog_table.h"
#include "platform/platform.h"
#include "platform/standin/control.h"
#include "probes/release_classification.h"
#include "tests/support/ansi_model.h"
#include "tests/support/locales.h"
#include "tests/support/registry_keys.h"

namespace quorvel::test {

namespace standin = quorvel::standin;

inline void ApplyRelease(const model::ReleaseInputs& in)
{
    standin::RemoveKey(kWindowsKey);
    standin::RemoveKey(kNtKey);
    const auto store = [](const char* key, const char* name, const model::RegistryValue& value) {
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

using model::Text;

// Stores the text with its NUL; nullptr removes the value.
inline void SetValueOrRemove(const char* key, const char* name, const char* value)
{
    if (value)
        standin::SetStringValue(key, name, value);
    else
        standin::RemoveValue(key, name);
}

// The registry and version record of a system that the release
// classification reports as `code` (model::Releases()); kUnknownRelease: one
// it recognises nothing on.
inline model::ReleaseInputs ReleaseFor(WindowsReleaseCode code)
{
    const model::Release* release = model::FindRelease(code);
    return release ? release->system : model::ReleaseInputs{};
}

inline void ApplyLocale(const Locale& locale)
{
    standin::SetCodePage(locale.codePage);
    standin::SetThreadLanguage(locale.language);
}

// What the string loader serves for `id` in the calling thread's language and
// the active code page, up to its first NUL: the text the module loads.
inline std::string LoadedText(unsigned id)
{
    if (id > 0xFFFF)
        return {};  // the module never asks the loader for an ID beyond 16 bits
    std::vector<char> buffer(1 << 16);
    const int count = platform::LoadResourceString(id, buffer.data(), static_cast<int>(buffer.size()));
    return model::UpToNul(std::string(buffer.data(), count > 0 ? static_cast<std::size_t>(count) : 0));
}

// The stored text of `id` in the variant `language`, converted to the active
// code page; empty for an ID the variant lacks.
inline std::string CatalogText(std::uint16_t language, unsigned id)
{
    for (std::size_t i = 0; i < catalog::kEntryCount; ++i) {
        if (catalog::kEntries[i].language == language && catalog::kEntries[i].id == id)
            return standin::ConvertToCodePage(catalog::kEntries[i].text);
    }
    return {};
}

}  // namespace quorvel::test
