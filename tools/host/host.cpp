#include "tools/host/host.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ostream>

namespace quorvel::host {

namespace {

constexpr int kUsageError = 2;

const char kHelp[] =
    "usage: quorvel [--raw] COMMAND [ARGS...]\n"
    "\n"
    "Calls Quorvel.dll as the installer does and prints what it answers.\n"
    "\n"
    "commands:\n"
    "  string ID...                       the catalogue text of each ID (DllGetString)\n"
    "                                       quorvel string 9 20001\n"
    "  dynamic MESSAGE TOKEN              MESSAGE with TOKEN expanded from the registry\n"
    "                                     (DllGetDynamicString)\n"
    "                                       quorvel dynamic 9 1002\n"
    "  box MESSAGE [TOKEN [SUBSTITUTE]]   a message box: DllMessageBox, or with TOKEN\n"
    "                                     DllMessageBoxWithSuppliedSubString\n"
    "                                       quorvel box 35 1005 setup.inf\n"
    "  dynamic-box MESSAGE TOKEN          a message box with TOKEN expanded from the\n"
    "                                     registry (DllDynamicMessageBox)\n"
    "                                       quorvel dynamic-box 9 1002\n"
    "  catalogue [--format table|csv|json]\n"
    "                                     every catalogue ID with its text in the\n"
    "                                     current language; line feeds show as \\n\n"
    "                                       quorvel catalogue --format csv\n"
    "\n"
    "options:\n"
    "  --raw     print texts as the module serves them (ANSI code page), not UTF-8\n"
    "  --help    this text\n";

struct Context {
    const HostServices& services;
    std::ostream& out;
    std::ostream& err;
    bool raw = false;

    std::string Shown(const std::string& text) const { return raw ? text : services.toUtf8(text); }
};

bool ParseId(const std::string& text, unsigned* id)
{
    if (text.empty() || text.size() > 10)
        return false;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > UINT32_MAX)
        return false;
    *id = static_cast<unsigned>(value);
    return true;
}

// The IDs in args[from..], or false after saying which one is malformed.
bool ParseIds(const Context& context, const std::vector<std::string>& args, std::size_t from, std::vector<unsigned>* ids)
{
    for (std::size_t i = from; i < args.size(); ++i) {
        unsigned id = 0;
        if (!ParseId(args[i], &id)) {
            context.err << "quorvel: '" << args[i] << "' is not a catalogue ID (a number from 0 to 4294967295)\n";
            return false;
        }
        ids->push_back(id);
    }
    return true;
}

std::string FetchString(const QuorvelFunctions& functions, unsigned id)
{
    const QuorvelSize size = functions.DllGetString(id, nullptr, 0);
    std::vector<char> buffer(size ? size : 1);
    functions.DllGetString(id, buffer.data(), size);
    return std::string(buffer.data(), size ? size - 1 : 0);
}

std::string FetchDynamicString(const QuorvelFunctions& functions, unsigned messageId, unsigned tokenId)
{
    const QuorvelSize size = functions.DllGetDynamicString(messageId, nullptr, 0, tokenId);
    std::vector<char> buffer(size ? size : 1);
    functions.DllGetDynamicString(messageId, buffer.data(), size, tokenId);
    return std::string(buffer.data());
}

int Usage(const Context& context, const std::string& problem)
{
    context.err << "quorvel: " << problem << "\nRun 'quorvel --help' for the commands.\n";
    return kUsageError;
}

int StringCommand(const Context& context, const std::vector<std::string>& args)
{
    std::vector<unsigned> ids;
    if (args.size() < 2)
        return Usage(context, "string needs at least one ID");
    if (!ParseIds(context, args, 1, &ids))
        return kUsageError;
    for (unsigned id : ids)
        context.out << context.Shown(FetchString(context.services.functions, id)) << '\n';
    return 0;
}

// MESSAGE and TOKEN, the two IDs of the dynamic commands.
bool ParseMessageAndToken(const Context& context, const std::vector<std::string>& args, std::vector<unsigned>* ids)
{
    if (args.size() != 3) {
        Usage(context, args[0] + " needs MESSAGE and TOKEN");
        return false;
    }
    return ParseIds(context, args, 1, ids);
}

int DynamicCommand(const Context& context, const std::vector<std::string>& args)
{
    std::vector<unsigned> ids;
    if (!ParseMessageAndToken(context, args, &ids))
        return kUsageError;
    context.out << context.Shown(FetchDynamicString(context.services.functions, ids[0], ids[1])) << '\n';
    return 0;
}

int ReportBox(const Context& context, const std::function<void()>& show)
{
    if (const std::optional<std::string> text = context.services.runBox(show))
        context.out << "box: " << context.Shown(*text) << '\n';
    return 0;
}

int BoxCommand(const Context& context, const std::vector<std::string>& args)
{
    std::vector<unsigned> ids;
    if (args.size() < 2 || args.size() > 4)
        return Usage(context, "box needs MESSAGE, and optionally TOKEN and SUBSTITUTE");
    const std::vector<std::string> idArgs(args.begin(), args.begin() + std::min<std::size_t>(args.size(), 3));
    if (!ParseIds(context, idArgs, 1, &ids))
        return kUsageError;
    const QuorvelFunctions& functions = context.services.functions;
    if (ids.size() == 1)
        return ReportBox(context, [&] { functions.DllMessageBox(ids[0]); });
    std::string substitute = args.size() == 4 ? args[3] : std::string();
    char* substitutePointer = args.size() == 4 ? substitute.data() : nullptr;
    return ReportBox(context, [&] { functions.DllMessageBoxWithSuppliedSubString(ids[0], ids[1], substitutePointer); });
}

int DynamicBoxCommand(const Context& context, const std::vector<std::string>& args)
{
    std::vector<unsigned> ids;
    if (!ParseMessageAndToken(context, args, &ids))
        return kUsageError;
    return ReportBox(context, [&] { context.services.functions.DllDynamicMessageBox(ids[0], ids[1]); });
}

std::string Escaped(const std::string& text, bool json)
{
    std::string escaped;
    for (char c : text) {
        if (c == '\n')
            escaped += "\\n";
        else if (c == '"')
            escaped += json ? "\\\"" : "\"\"";
        else if (c == '\\' && json)
            escaped += "\\\\";
        else if (json && static_cast<unsigned char>(c) < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", c);
            escaped += code;
        } else
            escaped += c;
    }
    return escaped;
}

int CatalogCommand(const Context& context, const std::vector<std::string>& args)
{
    std::string format = "table";
    if (args.size() == 3 && args[1] == "--format")
        format = args[2];
    else if (args.size() != 1)
        return Usage(context, "catalogue takes only --format table|csv|json");
    if (format != "table" && format != "csv" && format != "json")
        return Usage(context, "unknown format '" + format + "' (table, csv or json)");

    const std::vector<unsigned>& ids = context.services.catalogIds;
    if (format == "csv")
        context.out << "id,text\n";
    if (format == "json")
        context.out << "[\n";
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const std::string text = context.Shown(FetchString(context.services.functions, ids[i]));
        if (format == "table")
            context.out << ids[i] << '\t' << Escaped(text, false) << '\n';
        else if (format == "csv")
            context.out << ids[i] << ",\"" << Escaped(text, false) << "\"\n";
        else
            context.out << "  {\"id\": " << ids[i] << ", \"text\": \"" << Escaped(text, true) << "\"}"
                        << (i + 1 < ids.size() ? ",\n" : "\n");
    }
    if (format == "json")
        context.out << "]\n";
    return 0;
}

}  // namespace

int Run(const std::vector<std::string>& args, const HostServices& services, std::ostream& out, std::ostream& err)
{
    Context context{services, out, err};
    std::vector<std::string> rest;
    for (const std::string& arg : args) {
        if (arg == "--raw" && rest.empty())
            context.raw = true;
        else if ((arg == "--help" || arg == "-h") && rest.empty()) {
            out << kHelp;
            return 0;
        } else
            rest.push_back(arg);
    }
    if (rest.empty())
        return Usage(context, "no command given");

    const std::string& command = rest[0];
    if (command == "string")
        return StringCommand(context, rest);
    if (command == "dynamic")
        return DynamicCommand(context, rest);
    if (command == "box")
        return BoxCommand(context, rest);
    if (command == "dynamic-box")
        return DynamicBoxCommand(context, rest);
    if (command == "catalogue")
        return CatalogCommand(context, rest);
    return Usage(context, "unknown command '" + command + "'");
}

}  // namespace quorvel::host
