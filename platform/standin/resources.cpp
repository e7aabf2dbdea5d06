// The stand-in's string loader: the string tables the module's entry hands
// it, the calling thread's language, and the variant choice of the system's
// resource loader.
#include <cstring>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/standin/control.h"
#include "platform/standin/state.h"

namespace quorvel::standin {

namespace {

constexpr std::uint16_t kEnglishUnitedStates = 0x0409;

thread_local std::uint16_t t_language = kEnglishUnitedStates;

// Guards the tables and the overrides.
std::mutex g_lock;
std::map<unsigned, std::u16string> g_overrides;

std::vector<StringResource>& Resources()
{
    static std::vector<StringResource> resources;
    return resources;
}

bool HasVariant(std::uint16_t language)
{
    for (const StringResource& resource : Resources()) {
        if (resource.language == language)
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

std::u16string TextFor(unsigned id)
{
    std::lock_guard<std::mutex> guard(g_lock);
    const auto found = g_overrides.find(id);
    if (found != g_overrides.end())
        return found->second;
    const std::uint16_t variant = ChosenVariant(t_language);
    for (const StringResource& resource : Resources()) {
        if (resource.language == variant && resource.id == id)
            return resource.text;
    }
    return {};
}

// The bytes of whole characters at the start of `text` that fit in `room`: a
// double-byte character that would be cut is left out, as the system's
// loader leaves it.
std::size_t WholeCharactersWithin(const std::string& text, std::size_t room)
{
    std::size_t end = 0;
    while (end < text.size()) {
        const bool pair = platform::IsLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size();
        const std::size_t next = end + (pair ? 2 : 1);
        if (next > room)
            break;
        end = next;
    }
    return end;
}

}  // namespace

void SetStringResources(std::vector<StringResource> resources)
{
    std::lock_guard<std::mutex> guard(g_lock);
    Resources() = std::move(resources);
}

void SetThreadLanguage(std::uint16_t language) { t_language = language; }

void OverrideText(unsigned id, const std::u16string& text)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_overrides[id] = text;
}

namespace detail {

void ResetResources()
{
    t_language = kEnglishUnitedStates;
    SetCodePage(1252);
    std::lock_guard<std::mutex> guard(g_lock);
    g_overrides.clear();
}

}  // namespace detail

}  // namespace quorvel::standin

namespace quorvel::platform {

void RememberOwnModule(ModuleHandle /*module*/)
{
    // One module, one set of tables: the stand-in serves them whatever the handle.
}

int LoadResourceString(unsigned id, char* buffer, int bufferSize)
{
    // Like the system's loader, only the low 16 bits of the ID count.
    const std::string converted = standin::ConvertToCodePage(standin::TextFor(id & 0xFFFF));
    if (converted.empty() || bufferSize <= 0)
        return 0;
    const std::size_t count = standin::WholeCharactersWithin(converted, static_cast<std::size_t>(bufferSize) - 1);
    std::memcpy(buffer, converted.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

}  // namespace quorvel::platform
