// The Windows locales the project knows (tools/catalog/windows_languages.txt),
// each with its language and the ANSI code page a Windows system in it runs;
// the catalogue's variants, each with the locale it is tested in; and the
// catalogue's IDs. Generated at build time by tools/catalog/catalog.py.
#pragma once

#include <cstdint>
#include <cstring>
#include <ostream>

namespace quorvel::test {

struct Locale {
    const char* name;
    std::uint16_t language;
    unsigned codePage;
};

struct Variant {
    std::uint16_t language;  // its LANGUAGE statement's
    Locale locale;
};

// kLocales, kVariants, kCatalogIds (ascending) and kFirstLocalizedId: the
// first ID of the names that each variant words its own way.
#include "locales.inc"

// The locale called `name`; nullptr for one the table lacks.
inline const Locale* FindLocale(const char* name)
{
    for (const Locale& locale : kLocales) {
        if (std::strcmp(locale.name, name) == 0)
            return &locale;
    }
    return nullptr;
}

// For test names and messages.
inline void PrintTo(const Locale& locale, std::ostream* os) { *os << locale.name; }

}  // namespace quorvel::test
