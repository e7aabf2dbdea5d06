#include "tests/support/windows/expected_texts.h"

#include <windows.h>

#include "catalog/catalog_table.h"

namespace quorvel::test {

namespace {

bool HasVariant(std::uint16_t language)
{
    for (std::size_t i = 0; i < catalog::kEntryCount; ++i) {
        if (catalog::kEntries[i].language == language)
            return true;
    }
    return false;
}

std::string ToAnsi(const char16_t* text)
{
    const auto* wide = reinterpret_cast<const wchar_t*>(text);
    const int size = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi.data(), size, nullptr, nullptr);
    ansi.resize(size - 1);
    return ansi;
}

}  // namespace

std::uint16_t VariantFor(std::uint16_t language)
{
    if (HasVariant(language))
        return language;
    const std::uint16_t primary = language & 0x03FF;
    return HasVariant(primary) ? primary : 0;
}

std::string VariantText(std::uint16_t variant, unsigned id)
{
    for (std::size_t i = 0; i < catalog::kEntryCount; ++i) {
        const catalog::Entry& entry = catalog::kEntries[i];
        if (entry.language == variant && entry.id == id)
            return ToAnsi(entry.text);
    }
    return {};
}

std::vector<std::string> AllVariantTexts(unsigned id)
{
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < catalog::kEntryCount; ++i) {
        if (catalog::kEntries[i].id == id)
            texts.push_back(ToAnsi(catalog::kEntries[i].text));
    }
    return texts;
}

}  // namespace quorvel::test
