// The quorvel tool on Windows: loads Quorvel.dll by name, as the installer
// does. With --show a message box waits for a person; otherwise the program
// reads the box, prints its text and dismisses it, which is what a headless
// run needs. --set and --unset change a value under the uninstall key first.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <iterator>

#include "quorvel_loader.h"
#include "tests/support/locales.h"
#include "tests/support/registry_keys.h"
#include "tests/support/windows/message_box_watch.h"
#include "tools/host/host.h"

namespace {

std::string AnsiToUtf8(const std::string& ansi)
{
    if (ansi.empty())
        return ansi;
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(wideLength, L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), wideLength);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

// --set NAME=VALUE and --unset NAME: a value under the uninstall key, which
// stays in the registry (Wine's prefix) for later calls.
bool StoreUninstallValue(const std::string& option, const std::string& operand)
{
    const std::size_t equals = operand.find('=');
    if (option == "--set" && (equals == std::string::npos || equals == 0)) {
        std::cerr << "quorvel: --set takes NAME=VALUE, not '" << operand << "'\n";
        return false;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, quorvel::test::kUninstallKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        std::cerr << "quorvel: cannot open the uninstall key\n";
        return false;
    }
    if (option == "--set") {
        const std::string value = operand.substr(equals + 1);
        RegSetValueExA(key, operand.substr(0, equals).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
    } else {
        RegDeleteValueA(key, operand.c_str());  // an absent value is no error
    }
    RegCloseKey(key);
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    // Texts go out byte for byte: no translation of line feeds.
    _setmode(_fileno(stdout), _O_BINARY);

    std::vector<std::string> args(argv + 1, argv + argc);
    bool show = false;
    while (!args.empty() && (args[0] == "--show" || args[0] == "--set" || args[0] == "--unset")) {
        if (args[0] == "--show") {
            show = true;
            args.erase(args.begin());
            continue;
        }
        if (args.size() < 2) {
            std::cerr << "quorvel: " << args[0] << " needs " << (args[0] == "--set" ? "NAME=VALUE" : "NAME") << "\n";
            return 2;
        }
        if (!StoreUninstallValue(args[0], args[1]))
            return 2;
        args.erase(args.begin(), args.begin() + 2);
    }

    quorvel::host::HostServices services;
    const char* missing = QuorvelResolve(LoadLibraryA("Quorvel.dll"), &services.functions);
    if (missing) {
        std::cerr << "quorvel: cannot use Quorvel.dll: " << missing << " is missing\n";
        return 3;
    }
    services.runBox = [show](const std::function<void()>& call) -> std::optional<std::string> {
        if (show) {
            call();
            return std::nullopt;
        }
        return quorvel::test::WatchMessageBox(call).text;
    };
    services.toUtf8 = AnsiToUtf8;
    services.catalogIds.assign(std::begin(quorvel::test::kCatalogIds), std::end(quorvel::test::kCatalogIds));
    return quorvel::host::Run(args, services, std::cout, std::cerr);
}
