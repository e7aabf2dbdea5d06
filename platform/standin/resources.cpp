// The stand-in's string loader: the catalogue table, the calling thread's
// language, and the variant choice of the system's resource loader.
#include <cstring>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "catalog/catalog_table.h"
#include "platform/platform.h"
#include "platform/standin/control.h"
#include "platform/standin/state.h"

namespace quorvel::standin {

namespace {

constexpr std::uint16_t kEnglishUnitedStates = 0x0409;

thread_local std::uint16_t t_language = kEnglishUnitedStates;

std::mutex g_overrideLock;
std::map<unsigned, std::u16string> g_overrides;
std::vector<int> g_loads;  // buffer sizes, guarded by g_overrideLock

bool HasVariant(std::uint16_t language)
{
    for (std::size_t i = 0; i < catalogue::kEntryCount; ++i) {
        if (catalogue::kEntries[i].language == language)
            return true;
    }
    return false;
}

// Exact language, then the primary language with neutral sublanguage, then
// English (United States).
std::uint16_t ChosenVariant(std::uint16_t language)
{
    if (HasVariant(language))
        return language;
    const std::uint16_t primary = language & 0x03FF;
    if (HasVariant(primary))
        return primary;
    return kEnglishUnitedStates;
}

const char16_t* CatalogueText(std::uint16_t variant, unsigned id)
{
    for (std::size_t i = 0; i < catalogue::kEntryCount; ++i) {
        const catalogue::Entry& entry = catalogue::kEntries[i];
        if (entry.language == variant && entry.id == id)
            return entry.text;
    }
    return nullptr;
}

}  // namespace

void SetThreadLanguage(std::uint16_t language) { t_language = language; }

void OverrideText(unsigned id, const std::u16string& text)
{
    std::lock_guard<std::mutex> guard(g_overrideLock);
    g_overrides[id] = text;
}

std::vector<int> TakeStringLoads()
{
    std::lock_guard<std::mutex> guard(g_overrideLock);
    return std::exchange(g_loads, {});
}

namespace detail {

void ResetResources()
{
    t_language = kEnglishUnitedStates;
    SetCodePage(1252);
    std::lock_guard<std::mutex> guard(g_overrideLock);
    g_overrides.clear();
    g_loads.clear();
}

}  // namespace detail

namespace {

std::u16string TextFor(unsigned id, int bufferSize)
{
    {
        std::lock_guard<std::mutex> guard(g_overrideLock);
        g_loads.push_back(bufferSize);
        const auto found = g_overrides.find(id);
        if (found != g_overrides.end())
            return found->second;
    }
    const char16_t* text = CatalogueText(ChosenVariant(t_language), id & 0xFFFF);
    return text ? std::u16string(text) : std::u16string();
}

}  // namespace

}  // namespace quorvel::standin

namespace quorvel::platform {

[[gnu::used]] static const void* const g_moduleEntryAnchor = standin::detail::kModuleEntry;

int LoadResourceString(ModuleHandle /*module*/, unsigned id, char* buffer, int bufferSize)
{
    // Like the system's loader, only the low 16 bits of the ID count.
    const std::string converted = standin::ConvertToCodePage(standin::TextFor(id & 0xFFFF, bufferSize));
    if (converted.empty() || bufferSize <= 0)
        return 0;
    const std::size_t count = converted.size() < static_cast<std::size_t>(bufferSize) - 1
                                  ? converted.size()
                                  : static_cast<std::size_t>(bufferSize) - 1;
    std::memcpy(buffer, converted.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

}  // namespace quorvel::platform
