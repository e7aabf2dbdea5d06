// The quorvel tool over the native build: the module's logic with the
// stand-in services. --lang picks the thread language and code page,
// --set NAME=VALUE stores a value under the uninstall key for this call,
// --unset NAME removes one, --windows RELEASE sets up the registry values and
// version record of that release; message boxes are recorded and printed.
#include <iconv.h>

#include <iostream>
#include <iterator>
#include <stdexcept>

#include "module/exports.h"
#include "platform/standin/control.h"
#include "tests/support/locales.h"
#include "tests/support/registry_keys.h"
#include "tests/support/standin/system.h"
#include "tools/host/host.h"

namespace {

using quorvel::test::kUninstallKey;

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
    const quorvel::test::Locale* locale = quorvel::test::FindLocale("en_US");
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--lang" && i + 1 < argc) {
            locale = quorvel::test::FindLocale(argv[++i]);
            if (!locale) {
                std::cerr << "quorvel: unknown locale '" << argv[i] << "'\n";
                return 2;
            }
            try {
                quorvel::standin::SetCodePage(locale->codePage);
            } catch (const std::invalid_argument&) {
                std::cerr << "quorvel: the stand-in has no code page " << locale->codePage << " for '" << argv[i]
                          << "'\n";
                return 2;
            }
            quorvel::standin::SetThreadLanguage(locale->language);
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
        } else if (arg == "--windows" && i + 1 < argc) {
            const quorvel::model::Release* release = quorvel::host::FindRelease(argv[++i], std::cerr);
            if (!release)
                return 2;
            quorvel::test::ApplyRelease(release->system);
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
    services.catalogIds.assign(std::begin(quorvel::test::kCatalogIds), std::end(quorvel::test::kCatalogIds));
    services.catalogueIn = [&services, locale](const quorvel::test::Locale& in, std::ostream&) {
        quorvel::test::ApplyLocale(in);
        std::vector<std::string> texts = quorvel::host::CatalogueTexts(services);
        quorvel::test::ApplyLocale(*locale);
        return std::optional(texts);
    };
    return quorvel::host::Run(args, services, std::cout, std::cerr);
}
