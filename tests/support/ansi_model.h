// A plain reference model of the module's text rules, written from the rules
// and not from the module's code: character boundaries of the ANSI code pages
// the stand-in offers, the boundary-respecting search, ReplaceFirst, the
// ASCII part of upper-casing and the release classification, over the table
// of Windows releases (tools/machine/windows_releases.txt). The fuzzers and
// the evidence tests compare the module against it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/machine/releases.h"

namespace quorvel::model {

// The code pages of the stand-in, in the order the fuzzers pick them
// (fuzz/make_seeds.py reads them).
constexpr unsigned kCodePages[] = {1252, 932, 936, 949, 950};

inline bool IsLead(unsigned codePage, unsigned char byte)
{
    switch (codePage) {
    case 932: return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    case 936:
    case 949:
    case 950: return byte >= 0x81 && byte <= 0xFE;
    default: return false;
    }
}

// Byte length of the character at `at`: 2 for a lead byte followed by any
// byte inside the text, else 1.
inline std::size_t CharLength(unsigned codePage, const std::string& text, std::size_t at)
{
    return at + 1 < text.size() && IsLead(codePage, static_cast<unsigned char>(text[at])) ? 2 : 1;
}

// First occurrence of `pattern` starting on a character boundary.
inline std::optional<std::size_t> Find(unsigned codePage, const std::string& text, const std::string& pattern)
{
    if (pattern.empty())
        return 0;
    for (std::size_t at = 0; at + pattern.size() <= text.size(); at += CharLength(codePage, text, at)) {
        if (text.compare(at, pattern.size(), pattern) == 0)
            return at;
    }
    return std::nullopt;
}

inline std::string ReplaceFirst(unsigned codePage, const std::string& text, const std::string& pattern,
                                const std::string& replacement)
{
    const auto at = Find(codePage, text, pattern);
    if (!at)
        return text;
    return text.substr(0, *at) + replacement + text.substr(*at + pattern.size());
}

// The bytes before the first NUL.
inline std::string UpToNul(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

// ASCII letters that stand as characters of their own, upper-cased. Enough for
// every search the module makes: its patterns are upper-case ASCII, and an
// ASCII pattern can only match single-byte characters.
inline std::string UpperAscii(unsigned codePage, std::string text)
{
    for (std::size_t at = 0; at < text.size(); at += CharLength(codePage, text, at)) {
        if (text[at] >= 'a' && text[at] <= 'z')
            text[at] = static_cast<char>(text[at] - 'a' + 'A');
    }
    return text;
}

// ---- Release classification ------------------------------------------------------

using machine::RegistryValue;
using machine::ReleaseInputs;
using machine::Text;

inline std::int32_t ClassifyRelease(unsigned codePage, const ReleaseInputs& in)
{
    const auto text = [&](bool keyPresent, const RegistryValue& value) {
        return keyPresent && value.present ? UpperAscii(codePage, UpToNul(value.bytes)) : std::string();
    };
    const auto has = [&](const std::string& t, const char* p) { return Find(codePage, t, p).has_value(); };

    const std::string product = text(in.windowsKey, in.windowsProduct);
    const std::string sub = text(in.windowsKey, in.subVersion);
    std::int32_t code = 0;
    if (has(product, "MICROSOFT WINDOWS 95"))
        code = has(sub, "C") ? 103 : has(sub, "B") ? 102 : 101;
    if (has(product, "MICROSOFT WINDOWS 98"))
        code = has(sub, "A") ? 202 : 201;
    if (has(product, "MICROSOFT WINDOWS ME"))
        code = 301;
    if (!in.ntKey)
        return code;
    if (in.ntProduct.present) {
        const std::string nt = text(true, in.ntProduct);
        if (has(nt, "MICROSOFT WINDOWS 2000"))
            code = 5001;
        if (has(nt, "MICROSOFT WINDOWS XP"))
            code = 6001;
    } else if (!in.versionFails && in.platformId == 2 && in.majorVersion == 4) {
        code = 1002;
    }
    return code;
}

// Every release the classification tells apart (0: none), whether it is of
// the NT family, and a system that classifies as it: the table of Windows
// releases, and a system that none of its rows matches.
struct Release {
    std::int32_t code;
    bool ntFamily;
    ReleaseInputs system;
};

inline const std::vector<Release>& Releases()
{
    static const std::vector<Release> releases = [] {
        std::vector<Release> rows = {{0, false, ReleaseInputs{true, {}, {}, false, {}, false, 2, 5}}};
        for (const machine::WindowsRelease& release : machine::kWindowsReleases)
            rows.push_back({release.code, release.platformId == machine::kNtPlatform, machine::InputsOf(release)});
        return rows;
    }();
    return releases;
}

// The release of `code`; nullptr for a code the table lacks.
inline const Release* FindRelease(std::int32_t code)
{
    for (const Release& release : Releases()) {
        if (release.code == code)
            return &release;
    }
    return nullptr;
}

inline bool IsNtFamily(std::int32_t code) { return FindRelease(code) && FindRelease(code)->ntFamily; }

}  // namespace quorvel::model
