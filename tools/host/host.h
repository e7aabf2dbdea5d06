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
#include "tests/support/ansi_model.h"
#include "tests/support/locales.h"

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
    // CatalogueTexts() as a host in `locale` gets them; nothing after saying
    // on `err` why they cannot be had.
    std::function<std::optional<std::vector<std::string>>(const test::Locale& locale, std::ostream& err)> catalogueIn;
};

// Every catalogue text in the current language, in the order of catalogIds,
// as UTF-8 or, `raw`, as the module serves it.
std::vector<std::string> CatalogueTexts(const HostServices& services, bool raw = false);

// A system that the release classification reports as the release that
// --windows names (95, 95b, 95c, 98, 98a, me, nt4, 2000, xp); nullptr for a
// name it does not take, after saying so on `err`.
const model::Release* FindRelease(const std::string& name, std::ostream& err);

// Runs one command line (without the program name); returns the exit code.
int Run(const std::vector<std::string>& args, const HostServices& services, std::ostream& out, std::ostream& err);

}  // namespace quorvel::host
