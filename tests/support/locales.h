// Linux-style locale names, with the language and the ANSI code page that a
// Windows system in that locale runs: the code pages the stand-in offers.
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

constexpr Locale kLocales[] = {
    {"en_US", 0x0409, 1252}, {"en_GB", 0x0809, 1252}, {"de_DE", 0x0407, 1252}, {"de_CH", 0x0807, 1252},
    {"fr_FR", 0x040C, 1252}, {"es_ES", 0x0C0A, 1252}, {"it_IT", 0x0410, 1252}, {"nl_NL", 0x0413, 1252},
    {"pt_BR", 0x0416, 1252}, {"pt_PT", 0x0816, 1252}, {"ja_JP", 0x0411, 932},  {"ko_KR", 0x0412, 949},
    {"zh_CN", 0x0804, 936},  {"zh_TW", 0x0404, 950},
};

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
