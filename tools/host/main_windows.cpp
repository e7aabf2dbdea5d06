// The quorvel tool on Windows: loads Quorvel.dll by name, as the installer
// does. With --show a message box waits for a person; otherwise the program
// reads the box, prints its text and dismisses it, which is what a headless
// run needs. --set and --unset change a value under the uninstall key first;
// --windows RELEASE sets the registry values of that release for the call.
// catalogue --all-languages runs the program again in each variant's locale.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <deque>
#include <iostream>
#include <iterator>
#include <map>

#include "quorvel_loader.h"
#include "tests/support/locales.h"
#include "tests/support/registry_keys.h"
#include "tests/support/windows/message_box_watch.h"
#include "tests/support/windows/registry_fixture.h"
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

using quorvel::test::ScopedValue;

// The values that the release classification reads, as `release` has them,
// until `values` go. A release of the 95/98/Me family has no NT key; removing
// its product name leaves the NT key's case to the version record, which
// tells NT 4.0 alone. Fails when the module would still see another release:
// the version record comes from Wine's Version for the program, which Wine
// reads at the program's start.
bool ApplyRelease(const std::string& name, std::deque<ScopedValue>* values)
{
    const quorvel::model::Release* release = quorvel::host::FindRelease(name, std::cerr);
    if (!release)
        return false;
    quorvel::model::ReleaseInputs seen = release->system;
    const auto store = [&](const char* key, const char* valueName, const quorvel::model::RegistryValue& value) {
        values->emplace_back(HKEY_LOCAL_MACHINE, key, valueName,
                             value.present ? std::optional(value.bytes) : std::nullopt);
    };
    store(quorvel::test::kWindowsKey, "ProductName", seen.windowsProduct);
    store(quorvel::test::kWindowsKey, "SubVersionNumber", seen.subVersion);
    store(quorvel::test::kNtKey, "ProductName", seen.ntProduct);

    HKEY ntKey = nullptr;
    seen.ntKey = RegOpenKeyExA(HKEY_LOCAL_MACHINE, quorvel::test::kNtKey, 0, KEY_READ, &ntKey) == ERROR_SUCCESS;
    if (ntKey)
        RegCloseKey(ntKey);
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    seen.versionFails = !GetVersionExA(&version);
    seen.platformId = version.dwPlatformId;
    seen.majorVersion = version.dwMajorVersion;
    if (quorvel::model::ClassifyRelease(1252, seen) == release->code)
        return true;
    std::cerr << "quorvel: with the version that Windows reports here (platform " << version.dwPlatformId
              << ", major version " << version.dwMajorVersion << ") the module would not see --windows " << name
              << "; under Wine, set Wine's Version for this program to that release before it starts\n";
    return false;
}

// What this program writes for `arguments` when started in `locale`. Wine
// fixes a process's language and ANSI code page at its start, from the Unix
// LC_ALL, and a Windows child inherits its parent's Unix environment whatever
// its Windows one says. A Unix program started from Windows gets the Windows
// environment as its own, so the child is started through Wine's loader.
// Wine gives such a child no process handle and no standard output: it
// writes to a named pipe instead, whose end tells that it is done.
std::optional<std::string> RunSelfInLocale(const quorvel::test::Locale& locale, const std::string& arguments,
                                           std::ostream& err)
{
    char loader[MAX_PATH] = {};
    using DosFileName = WCHAR*(CDECL*)(const char*);
    const auto toDos = reinterpret_cast<DosFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_dos_file_name")));
    WCHAR* dosLoader = nullptr;
    if (!GetEnvironmentVariableA("WINELOADER", loader, sizeof loader) || !toDos || !(dosLoader = toDos(loader))) {
        err << "quorvel: --all-languages needs Wine, which can start a process in each variant's locale\n";
        return std::nullopt;
    }
    char application[MAX_PATH] = {};
    WideCharToMultiByte(CP_ACP, 0, dosLoader, -1, application, MAX_PATH, nullptr, nullptr);
    HeapFree(GetProcessHeap(), 0, dosLoader);
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);

    const std::string pipeName = "\\\\.\\pipe\\quorvel-" + std::to_string(GetCurrentProcessId()) + "-" + locale.name;
    HANDLE pipe = CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE, 1, 0,
                                   1 << 16, 0, nullptr);
    OVERLAPPED overlapped = {};
    overlapped.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ConnectNamedPipe(pipe, &overlapped);  // pending until the child opens it

    char previous[256] = {};
    const bool hadPrevious = GetEnvironmentVariableA("LC_ALL", previous, sizeof previous) != 0;
    SetEnvironmentVariableA("LC_ALL", (std::string(locale.name) + ".UTF-8").c_str());
    // The loader finds the rest of Wine from its argv[0]: its Unix path.
    std::string commandLine =
        "\"" + std::string(loader) + "\" \"" + program + "\" --output " + pipeName + " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(application, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                        &startup, &process);
    SetEnvironmentVariableA("LC_ALL", hadPrevious ? previous : nullptr);

    std::optional<std::string> output;
    DWORD read = 0;
    if (started && WaitForSingleObject(overlapped.hEvent, 120000) == WAIT_OBJECT_0) {
        output.emplace();
        char chunk[4096];
        while ((ReadFile(pipe, chunk, sizeof chunk, nullptr, &overlapped) || GetLastError() == ERROR_IO_PENDING) &&
               GetOverlappedResult(pipe, &overlapped, &read, TRUE) && read)
            output->append(chunk, read);
    } else {
        err << "quorvel: the program started in " << locale.name << " did not answer\n";
    }
    CloseHandle(overlapped.hEvent);
    CloseHandle(pipe);
    return output;
}

// CatalogueTexts() as a host in `locale` gets them: this program's own
// `catalogue --format json`, run in that locale.
std::optional<std::vector<std::string>> CatalogueIn(const quorvel::test::Locale& locale,
                                                    const std::vector<unsigned>& ids, std::ostream& err)
{
    const std::optional<std::string> output = RunSelfInLocale(locale, "catalogue --format json", err);
    if (!output)
        return std::nullopt;
    std::map<unsigned, std::string> byId;
    try {
        for (const nlohmann::json& entry : nlohmann::json::parse(*output))
            byId[entry.at("id").get<unsigned>()] = entry.at("text").get<std::string>();
    } catch (const nlohmann::json::exception&) {
        err << "quorvel: the catalogue in " << locale.name << " could not be had; the program answered:\n" << *output;
        return std::nullopt;
    }
    std::vector<std::string> texts;
    for (unsigned id : ids)
        texts.push_back(byId[id]);
    return texts;
}

}  // namespace

int main(int argc, char** argv)
{
    // Texts go out byte for byte: no translation of line feeds.
    _setmode(_fileno(stdout), _O_BINARY);

    std::vector<std::string> args(argv + 1, argv + argc);
    // --output NAME: what a parent in another locale reads (RunSelfInLocale).
    if (args.size() >= 2 && args[0] == "--output") {
        if (!std::freopen(args[1].c_str(), "wb", stdout)) {
            std::cerr << "quorvel: cannot write to " << args[1] << "\n";
            return 2;
        }
        args.erase(args.begin(), args.begin() + 2);
    }
    bool show = false;
    std::deque<ScopedValue> release;  // put back as they were when the program ends
    while (!args.empty() &&
           (args[0] == "--show" || args[0] == "--set" || args[0] == "--unset" || args[0] == "--windows")) {
        if (args[0] == "--show") {
            show = true;
            args.erase(args.begin());
            continue;
        }
        if (args.size() < 2) {
            std::cerr << "quorvel: " << args[0] << " needs " << (args[0] == "--set" ? "NAME=VALUE" : "an operand")
                      << "\n";
            return 2;
        }
        if (args[0] == "--windows" ? !ApplyRelease(args[1], &release) : !StoreUninstallValue(args[0], args[1]))
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
    services.catalogueIn = [&services](const quorvel::test::Locale& locale, std::ostream& err) {
        return CatalogueIn(locale, services.catalogIds, err);
    };
    return quorvel::host::Run(args, services, std::cout, std::cerr);
}
