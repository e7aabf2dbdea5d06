// The stand-in set up as the systems of the tests' model, and what its
// string loader serves; setting it up as a machine is the tool's
// (tools/machine/standin_setup.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "catalog/catalog_table.h"
#include "platform/platform.h"
#include "platform/standin/control.h"
#include "probes/release_classification.h"
#include "tests/support/ansi_model.h"
#include "tests/support/machine.h"
#include "tools/machine/standin_setup.h"

namespace quorvel::test {

namespace standin = quorvel::standin;

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
