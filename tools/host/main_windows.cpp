// The quorvel tool on Windows: loads Quorvel.dll by name, as the installer
// does. With --show a message box waits for a person; otherwise the program
// reads the box, prints its text and dismisses it, which is what a headless
// run needs.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>

#include "catalog/catalog_table.h"
#include "host.h"
#include "message_box_watch.h"
#include "quorvel_loader.h"

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

std::vector<unsigned> CatalogueIds()
{
    std::vector<unsigned> ids;
    for (std::size_t i = 0; i < quorvel::catalog::kEntryCount; ++i) {
        const unsigned id = quorvel::catalog::kEntries[i].id;
        if (std::find(ids.begin(), ids.end(), id) == ids.end())
            ids.push_back(id);
    }
    std::sort(ids.begin(), ids.end());
    return ids;
}

}  // namespace

int main(int argc, char** argv)
{
    // Texts go out byte for byte: no translation of line feeds.
    _setmode(_fileno(stdout), _O_BINARY);

    std::vector<std::string> args(argv + 1, argv + argc);
    bool show = false;
    if (!args.empty() && args[0] == "--show") {
        show = true;
        args.erase(args.begin());
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
    services.catalogIds = CatalogueIds();
    return quorvel::host::Run(args, services, std::cout, std::cerr);
}
