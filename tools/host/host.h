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
#include "tools/host/invocation.h"
#include "tools/machine/locales.h"

namespace quorvel::host {

struct HostServices {
    QuorvelFunctions functions;
    // Runs a call that shows a message box. Returns the box's text when the
    // box was read and dismissed by the program, nothing when a person
    // dismissed it.
    std::function<std::optional<std::string>(const std::function<void()>&)> runBox;
    // The module's ANSI text as UTF-8, for the terminal.
    std::function<std::string(const std::string&)> toUtf8;
    // CatalogueTexts() as a host in `locale` gets them; nothing after saying
    // on `err` why they cannot be had.
    std::function<std::optional<std::vector<std::string>>(const machine::Locale& locale, std::ostream& err)>
        catalogueIn;
};

// Every catalogue text in the current language, in the order of kCatalogIds,
// as UTF-8 or, `raw`, as the module serves it.
std::vector<std::string> CatalogueTexts(const HostServices& services, bool raw = false);

// Runs the invocation's command; returns the exit code.
int Run(const Invocation& invocation, const HostServices& services, std::ostream& out, std::ostream& err);

}  // namespace quorvel::host
