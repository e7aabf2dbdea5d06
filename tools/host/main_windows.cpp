// The quorvel program on Windows: loads Quorvel.dll by name, as the installer
// does, in the locale that its process was started in. With --show a message
// box waits for a person; otherwise the program reads the box, prints its
// text and dismisses it, which is what a headless run needs. --set and
// --unset change a value under the uninstall key first; --windows RELEASE
// sets the registry values of that release for the call. catalogue
// --all-languages runs the program again in each variant's locale.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <nlohmann/json.hpp>

#include <cstdio>
#include <deque>
#include <iostream>
#include <map>

#include "quorvel_loader.h"
#include "tools/host/host.h"
#include "tools/machine/registry_keys.h"
#include "tools/machine/windows/message_box_watch.h"
#include "tools/machine/windows/scoped_value.h"

namespace {

using namespace quorvel;

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
bool StoreUninstallValue(const host::RegistryChange& change)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, machine::kUninstallKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        std::cerr << "quorvel: cannot open the uninstall key\n";
        return false;
    }
    if (change.value) {
        RegSetValueExA(key, change.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(change.value->c_str()),
                       static_cast<DWORD>(change.value->size() + 1));
    } else {
        RegDeleteValueA(key, change.name.c_str());  // an absent value is no error
    }
    RegCloseKey(key);
    return true;
}

// The registry values that tell `release`, until `values` go. The version
// record comes from Wine's Version for the program, which Wine reads at the
// program's start: when it is another release's, the module would not see
// `release`, and the call fails.
bool ApplyRelease(const machine::WindowsRelease& release, std::deque<machine::ScopedValue>* values)
{
    const auto store = [&](const char* key, const char* valueName, const char* text) {
        values->emplace_back(HKEY_LOCAL_MACHINE, key, valueName,
                             text ? machine::ScopedValue::Text(text) : std::nullopt);
    };
    store(machine::kWindowsKey, "ProductName", release.windowsProduct);
    store(machine::kWindowsKey, "SubVersionNumber", release.subVersion);
    store(machine::kNtKey, "ProductName", release.ntProduct);

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version) && version.dwPlatformId == release.platformId &&
        version.dwMajorVersion == release.majorVersion)
        return true;
    std::cerr << "quorvel: Windows reports version " << version.dwPlatformId << "." << version.dwMajorVersion
              << " here, and --windows " << release.name << " needs " << release.platformId << "."
              << release.majorVersion << ": under Wine, tools/wine/wine-run --windows " << release.name
              << " sets Wine's version for the program before it starts\n";
    return false;
}

// What this program writes for `arguments` when started in `locale`. Wine
// fixes a process's language and ANSI code page at its start, from the Unix
// LC_ALL, and a Windows child inherits its parent's Unix environment whatever
// its Windows one says. A Unix program started from Windows gets the Windows
// environment as its own, so the child is started through Wine's loader.
// Wine gives such a child no process handle and no standard output: it
// writes to a named pipe instead, whose end tells that it is done.
std::optional<std::string> RunSelfInLocale(const machine::Locale& locale, const std::string& arguments,
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
std::optional<std::vector<std::string>> CatalogueIn(const machine::Locale& locale, std::ostream& err)
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
    for (unsigned id : machine::kCatalogIds)
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
    const std::optional<host::Invocation> invocation = host::ReadInvocation(args, std::cerr);
    if (!invocation)
        return 2;
    if (invocation->locale) {
        std::cerr << "quorvel: a Windows program runs in the locale that its process was started in; "
                     "tools/quorvel starts it in the one that --lang names\n";
        return 2;
    }
    for (const host::RegistryChange& change : invocation->registryChanges) {
        if (!StoreUninstallValue(change))
            return 2;
    }
    std::deque<machine::ScopedValue> release;  // put back as they were when the program ends
    if (invocation->release && !ApplyRelease(*invocation->release, &release))
        return 2;

    host::HostServices services;
    const char* missing = QuorvelResolve(LoadLibraryA("Quorvel.dll"), &services.functions);
    if (missing) {
        std::cerr << "quorvel: cannot use Quorvel.dll: " << missing << " is missing\n";
        return 3;
    }
    services.runBox = [show = invocation->show](const std::function<void()>& call) -> std::optional<std::string> {
        if (show) {
            call();
            return std::nullopt;
        }
        return machine::WatchMessageBox(call).text;
    };
    services.toUtf8 = AnsiToUtf8;
    services.catalogueIn = CatalogueIn;
    return host::Run(*invocation, services, std::cout, std::cerr);
}
