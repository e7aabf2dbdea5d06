#include "tools/host/invocation.h"

#include <cstdint>
#include <ostream>

namespace quorvel::host {

namespace {

// The IDs that each command takes besides the catalogue, at least and at most.
struct CommandShape {
    const char* command;
    std::size_t minIds;
    std::size_t maxIds;
};

constexpr CommandShape kShapes[] = {{"string", 1, SIZE_MAX}, {"dynamic", 2, 2}, {"box", 1, 2}, {"dynamic-box", 2, 2}};

const CommandShape* FindShape(const std::string& command)
{
    for (const CommandShape& shape : kShapes) {
        if (command == shape.command)
            return &shape;
    }
    return nullptr;
}

bool ReadId(const std::string& text, unsigned* id)
{
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const std::uint64_t value = std::stoull(text);
    *id = static_cast<unsigned>(value);
    return value <= UINT32_MAX;
}

// Reads the option at args[*at] with its value and moves past them; false,
// without moving, when it is none of the form's.
bool ReadOption(const std::vector<std::string>& args, std::size_t* at, Invocation* invocation)
{
    const std::string& option = args[*at];
    if (option == "--show" || option == "--raw") {
        invocation->show = invocation->show || option == "--show";
        invocation->raw = invocation->raw || option == "--raw";
        ++*at;
        return true;
    }
    if (*at + 1 == args.size())
        return false;
    const std::string& value = args[*at + 1];
    const std::size_t equals = value.find('=');
    if (option == "--lang")
        invocation->locale = machine::FindLocale(value.c_str());
    else if (option == "--windows")
        invocation->release = machine::FindWindowsRelease(value.c_str());
    else if (option == "--set" && equals != std::string::npos && equals > 0)
        invocation->registryChanges.push_back({value.substr(0, equals), value.substr(equals + 1)});
    else if (option == "--unset")
        invocation->registryChanges.push_back({value, std::nullopt});
    else
        return false;
    if ((option == "--lang" && !invocation->locale) || (option == "--windows" && !invocation->release))
        return false;
    *at += 2;
    return true;
}

// Reads catalogue's options from args[at] on; where reading stopped, or
// nothing when all were read.
std::optional<std::size_t> ReadCatalogueOptions(const std::vector<std::string>& args, std::size_t at,
                                                Invocation* invocation)
{
    for (; at < args.size(); ++at) {
        const bool format = args[at] == "--format" && at + 1 < args.size();
        if (format && (args[at + 1] == "table" || args[at + 1] == "csv" || args[at + 1] == "json"))
            invocation->format = args[++at];
        else if (args[at] == "--all-languages")
            invocation->allLanguages = true;
        else
            return at;
    }
    return std::nullopt;
}

// Reads the command and its operands from args[at] on; where reading
// stopped, or nothing when all were read.
std::optional<std::size_t> ReadCommand(const std::vector<std::string>& args, std::size_t at, Invocation* invocation)
{
    invocation->command = args[at];
    if (invocation->command == "catalogue")
        return ReadCatalogueOptions(args, at + 1, invocation);
    const CommandShape* shape = FindShape(invocation->command);
    if (!shape)
        return at;
    ++at;
    unsigned id = 0;
    for (; at < args.size() && invocation->ids.size() < shape->maxIds && ReadId(args[at], &id); ++at)
        invocation->ids.push_back(id);
    if (invocation->command == "box" && invocation->ids.size() == 2 && at < args.size())
        invocation->substitute = args[at++];
    if (invocation->ids.size() < shape->minIds || at < args.size())
        return at;
    return std::nullopt;
}

}  // namespace

std::optional<Invocation> ReadInvocation(const std::vector<std::string>& args, std::ostream& err)
{
    Invocation invocation;
    std::size_t at = 0;
    while (at < args.size() && args[at].rfind("--", 0) == 0 && ReadOption(args, &at, &invocation)) {
    }
    const std::optional<std::size_t> stop = at < args.size() ? ReadCommand(args, at, &invocation) : at;
    if (!stop)
        return invocation;
    err << "quorvel: cannot read the command line "
        << (*stop < args.size() ? "at '" + args[*stop] + "'" : std::string("at its end"))
        << ": this program takes the form that tools/quorvel checks and passes on (tools/quorvel --help lists "
           "the options and commands)\n";
    return std::nullopt;
}

}  // namespace quorvel::host
