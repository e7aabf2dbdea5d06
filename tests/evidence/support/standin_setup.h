// Setting the stand-in up as a given system: the release probes' registry
// values and version record, the uninstall key's values, and the language.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "platform/standin/control.h"
#include "tests/evidence/support/ansi_model.h"

namespace quorvel::evidence {

constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kNtKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\UninstallVorModem";

inline void ApplyRelease(const model::ReleaseInputs& in)
{
    namespace standin = quorvel::standin;
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

inline model::RegistryValue Text(const std::string& text) { return {true, text + '\0'}; }

// The releases the evidence runs on.
inline model::ReleaseInputs WindowsXp()
{
    model::ReleaseInputs in;
    in.windowsKey = true;
    in.ntKey = true;
    in.ntProduct = Text("Microsoft Windows XP");
    in.platformId = 2;
    in.majorVersion = 5;
    return in;
}

inline model::ReleaseInputs WindowsNt4()
{
    model::ReleaseInputs in;
    in.windowsKey = true;
    in.ntKey = true;
    in.platformId = 2;
    in.majorVersion = 4;
    return in;
}

inline model::ReleaseInputs Windows98()
{
    model::ReleaseInputs in;
    in.windowsKey = true;
    in.windowsProduct = Text("Microsoft Windows 98");
    in.subVersion = Text(" A ");
    in.platformId = 1;
    in.majorVersion = 4;
    return in;
}

// A language and the ANSI code page a system in that language runs.
struct Locale {
    const char* name;
    std::uint16_t language;
    unsigned codePage;
};

constexpr Locale kLocales[] = {
    {"en_US", 0x0409, 1252}, {"de_DE", 0x0407, 1252}, {"ja_JP", 0x0411, 932}, {"zh_CN", 0x0804, 936},
    {"ko_KR", 0x0412, 949},  {"zh_TW", 0x0404, 950},
};

// For test names and messages.
inline void PrintTo(const Locale& locale, std::ostream* os) { *os << locale.name; }

inline void ApplyLocale(const Locale& locale)
{
    standin::SetCodePage(locale.codePage);
    standin::SetThreadLanguage(locale.language);
}

}  // namespace quorvel::evidence
