// The quorvel tool's commands, over whichever build of the module the
// program was linked with: Quorvel.dll loaded by name on Windows, or the
// native build over the stand-in services.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "quorvel.h"

namespace quorvel::host {

struct HostServices {
    QuorvelFunctions functions;
    // Runs a call that shows a message box. Returns the box's text when the
    // box was read and dismissed by the program, nothing when a person
    // dismissed it.
    std::function<std::optional<std::string>(const std::function<void()>&)> runBox;
    // The module's ANSI text as UTF-8, for the terminal.
    std::function<std::string(const std::string&)> toUtf8;
    // Every catalogue ID, for the catalogue listing.
    std::vector<unsigned> catalogIds;
};

// Runs one command line (without the program name); returns the exit code.
int Run(const std::vector<std::string>& args, const HostServices& services, std::ostream& out, std::ostream& err);

}  // namespace quorvel::host
