// The quorvel tool over the native build: the module's logic with the
// stand-in services. --lang picks the thread language and code page,
// --set NAME=VALUE stores a value under the uninstall key for this call,
// --unset NAME removes one; message boxes are recorded and printed.
#include <iconv.h>

#include <algorithm>
#include <iostream>
#include <map>

#include "catalog/catalog_table.h"
#include "host.h"
#include "module/exports.h"
#include "platform/standin/control.h"

namespace {

struct Locale {
    std::uint16_t language;
    unsigned codePage;
};

const std::map<std::string, Locale> kLocales = {
    {"en_US", {0x0409, 1252}}, {"en_GB", {0x0809, 1252}}, {"de_DE", {0x0407, 1252}}, {"de_CH", {0x0807, 1252}},
    {"fr_FR", {0x040C, 1252}}, {"es_ES", {0x0C0A, 1252}}, {"it_IT", {0x0410, 1252}}, {"nl_NL", {0x0413, 1252}},
    {"pt_BR", {0x0416, 1252}}, {"pt_PT", {0x0816, 1252}}, {"ja_JP", {0x0411, 932}},  {"ko_KR", {0x0412, 949}},
    {"zh_CN", {0x0804, 936}},  {"zh_TW", {0x0404, 950}},
};

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\UninstallVorModem";

std::string ToUtf8(const std::string& ansi)
{
    const unsigned codePage = quorvel::standin::CodePage();
    const std::string from = codePage == 950 ? "BIG5" : "CP" + std::to_string(codePage);
    const iconv_t converter = iconv_open("UTF-8", from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return ansi;
    std::string utf8(ansi.size() * 4 + 4, '\0');
    char* in = const_cast<char*>(ansi.data());
    std::size_t inLeft = ansi.size();
    char* out = utf8.data();
    std::size_t outLeft = utf8.size();
    iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    utf8.resize(utf8.size() - outLeft);
    return utf8;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--lang" && i + 1 < argc) {
            const auto locale = kLocales.find(argv[++i]);
            if (locale == kLocales.end()) {
                std::cerr << "quorvel: unknown locale '" << argv[i] << "'\n";
                return 2;
            }
            quorvel::standin::SetThreadLanguage(locale->second.language);
            quorvel::standin::SetCodePage(locale->second.codePage);
        } else if (arg == "--set" && i + 1 < argc) {
            const std::string assignment = argv[++i];
            const std::size_t equals = assignment.find('=');
            if (equals == std::string::npos) {
                std::cerr << "quorvel: --set takes NAME=VALUE\n";
                return 2;
            }
            quorvel::standin::SetStringValue(kUninstallKey, assignment.substr(0, equals), assignment.substr(equals + 1));
        } else if (arg == "--unset" && i + 1 < argc) {
            quorvel::standin::RemoveValue(kUninstallKey, argv[++i]);
        } else {
            args.push_back(arg);
        }
    }

    quorvel::host::HostServices services;
    services.functions = {QuorvelDllDynamicMessageBox,  QuorvelDllGetDynamicString,
                          QuorvelDllGetString,          QuorvelDllMessageBox,
                          QuorvelDllMessageBoxWithSuppliedSubString, GetStringFromQuorvelDll};
    services.runBox = [](const std::function<void()>& call) -> std::optional<std::string> {
        call();
        const auto boxes = quorvel::standin::TakeShownBoxes();
        return boxes.empty() ? std::string() : boxes.back().text;
    };
    services.toUtf8 = ToUtf8;
    for (std::size_t i = 0; i < quorvel::catalog::kEntryCount; ++i)
        services.catalogIds.push_back(quorvel::catalog::kEntries[i].id);
    std::sort(services.catalogIds.begin(), services.catalogIds.end());
    services.catalogIds.erase(std::unique(services.catalogIds.begin(), services.catalogIds.end()),
                                services.catalogIds.end());
    return quorvel::host::Run(args, services, std::cout, std::cerr);
}
