// What the quorvel program is asked to do. tools/quorvel defines the tool's
// options and commands, checks a command line and passes it on in this fixed
// form, the only one the program reads:
//
//   [--lang LOCALE] [--windows RELEASE] [--set NAME=VALUE | --unset NAME]... [--show] [--raw]
//   string ID... | dynamic MESSAGE TOKEN | box MESSAGE [TOKEN [SUBSTITUTE]] |
//   dynamic-box MESSAGE TOKEN | catalogue [--format table|csv|json] [--all-languages]
//
// --lang is the native program's alone: a Windows program runs in the
// locale that its process was started in (tools/wine/wine-run --locale).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "tools/machine/locales.h"
#include "tools/machine/releases.h"

namespace quorvel::host {

// --set NAME=VALUE, or --unset NAME (no value).
struct RegistryChange {
    std::string name;
    std::optional<std::string> value;
};

struct Invocation {
    const machine::Locale* locale = nullptr;           // nullptr: the process's own
    const machine::WindowsRelease* release = nullptr;  // nullptr: the machine's own
    std::vector<RegistryChange> registryChanges;       // in their order
    bool show = false;                                 // message boxes wait for a person
    bool raw = false;                                  // texts in the module's code page
    std::string command;
    std::vector<unsigned> ids;
    std::optional<std::string> substitute;  // box's SUBSTITUTE
    std::string format = "table";
    bool allLanguages = false;
};

// The invocation that `args` (without the program's name) ask for; nothing,
// after saying so on `err`, for arguments off that form.
std::optional<Invocation> ReadInvocation(const std::vector<std::string>& args, std::ostream& err);

}  // namespace quorvel::host
