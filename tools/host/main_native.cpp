// The quorvel program over the native build: the module's logic with the
// stand-in services, set up for one call as the invocation asks (language
// and code page, uninstall values, release); message boxes are recorded and
// printed.
#include <iconv.h>

#include <iostream>
#include <stdexcept>

#include "module/exports.h"
#include "tools/host/host.h"
#include "tools/machine/standin_setup.h"

namespace {

using namespace quorvel;

std::string ToUtf8(const std::string& ansi)
{
    const unsigned codePage = standin::CodePage();
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

// The stand-in as the invocation's machine; false, after saying why, when it
// cannot be.
bool SetUp(const host::Invocation& invocation, const machine::Locale& locale)
{
    try {
        machine::ApplyLocale(locale);
    } catch (const std::invalid_argument&) {
        std::cerr << "quorvel: the stand-in has no code page " << locale.codePage << " for '" << locale.name
                  << "'; the Windows builds serve every locale\n";
        return false;
    }
    for (const host::RegistryChange& change : invocation.registryChanges) {
        if (change.value)
            standin::SetStringValue(machine::kUninstallKey, change.name, *change.value);
        else
            standin::RemoveValue(machine::kUninstallKey, change.name);
    }
    if (invocation.release)
        machine::ApplyRelease(machine::InputsOf(*invocation.release));
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::optional<host::Invocation> invocation =
        host::ReadInvocation(std::vector<std::string>(argv + 1, argv + argc), std::cerr);
    if (!invocation)
        return 2;
    const machine::Locale& locale = invocation->locale ? *invocation->locale : *machine::FindLocale("en_US");
    if (!SetUp(*invocation, locale))
        return 2;

    host::HostServices services;
    services.functions = {QuorvelDllDynamicMessageBox,  QuorvelDllGetDynamicString,
                          QuorvelDllGetString,          QuorvelDllMessageBox,
                          QuorvelDllMessageBoxWithSuppliedSubString, GetStringFromQuorvelDll};
    services.runBox = [](const std::function<void()>& call) -> std::optional<std::string> {
        call();
        const auto boxes = standin::TakeShownBoxes();
        return boxes.empty() ? std::string() : boxes.back().text;
    };
    services.toUtf8 = ToUtf8;
    services.catalogueIn = [&services, &locale](const machine::Locale& in, std::ostream&) {
        machine::ApplyLocale(in);
        std::vector<std::string> texts = host::CatalogueTexts(services);
        machine::ApplyLocale(locale);
        return std::optional(texts);
    };
    return host::Run(*invocation, services, std::cout, std::cerr);
}
