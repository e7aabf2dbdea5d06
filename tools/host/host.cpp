#include "tools/host/host.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <ostream>

#include "probes/release_classification.h"

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
    "  catalogue [--all-languages] [--format table|csv|json]\n"
    "                                     every catalogue ID with its text in the\n"
    "                                     current language, or with --all-languages\n"
    "                                     in each variant's (a column per variant,\n"
    "                                     headed by its language ID); the table\n"
    "                                     shows line feeds as \\n, csv is RFC 4180\n"
    "                                       quorvel catalogue --all-languages --format csv\n"
    "\n"
    "options:\n"
    "  --raw     print texts as the module serves them (ANSI code page), not UTF-8;\n"
    "            not for csv, json or --all-languages, which are UTF-8\n"
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

using Rows = std::vector<std::vector<std::string>>;  // the heading first

// The table, for the terminal (fields between tabs, a line feed shown as
// \n), or RFC 4180 csv (texts quoted, their quotation marks doubled and their
// line feeds kept; a record ends in CRLF).
void WriteTableOrCsv(std::ostream& out, const Rows& rows, bool csv)
{
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t i = 0; i < rows[r].size(); ++i) {
            const bool quoted = csv && r > 0 && i > 0;  // the heading and the IDs need no quotes
            out << (i == 0 ? "" : csv ? "," : "\t") << (quoted ? "\"" : "");
            for (char c : rows[r][i])
                out << (!csv && c == '\n' ? "\\n" : quoted && c == '"' ? "\"\"" : std::string(1, c));
            out << (quoted ? "\"" : "");
        }
        out << (csv ? "\r\n" : "\n");
    }
}

// An array of objects, one per row, keyed by the heading; the ID is a number.
void WriteJson(std::ostream& out, const Rows& rows)
{
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (std::size_t r = 1; r < rows.size(); ++r) {
        nlohmann::ordered_json object;
        object[rows[0][0]] = std::stoul(rows[r][0]);
        for (std::size_t i = 1; i < rows[r].size(); ++i)
            object[rows[0][i]] = rows[r][i];
        array.push_back(std::move(object));
    }
    out << array.dump(2) << '\n';
}

int CatalogCommand(const Context& context, const std::vector<std::string>& args)
{
    std::string format = "table";
    bool allLanguages = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--all-languages")
            allLanguages = true;
        else if (args[i] == "--format" && i + 1 < args.size())
            format = args[++i];
        else
            return Usage(context, "catalogue takes only --all-languages and --format table|csv|json");
    }
    if (format != "table" && format != "csv" && format != "json")
        return Usage(context, "unknown format '" + format + "' (table, csv or json)");
    if (context.raw && format != "table")
        return Usage(context, format + " is UTF-8, and --raw gives the module's ANSI bytes: use the table format");
    if (context.raw && allLanguages)
        return Usage(context, "--all-languages shows each variant in UTF-8; --raw would mix their code pages");

    const std::vector<unsigned>& ids = context.services.catalogIds;
    Rows rows{{"id"}};
    for (unsigned id : ids)
        rows.push_back({std::to_string(id)});
    const auto addColumn = [&](const std::string& heading, const std::vector<std::string>& texts) {
        rows[0].push_back(heading);
        for (std::size_t i = 0; i < ids.size(); ++i)
            rows[i + 1].push_back(texts[i]);
    };
    if (!allLanguages)
        addColumn("text", CatalogueTexts(context.services, context.raw));
    // Each variant's column as a host in its locale gets it.
    for (std::size_t v = 0; allLanguages && v < std::size(test::kVariants); ++v) {
        const std::optional<std::vector<std::string>> texts =
            context.services.catalogueIn(test::kVariants[v].locale, context.err);
        if (!texts)
            return 1;
        char heading[8];
        std::snprintf(heading, sizeof heading, "0x%04X", test::kVariants[v].language);
        addColumn(heading, *texts);
    }

    if (format == "json")
        WriteJson(context.out, rows);
    else
        WriteTableOrCsv(context.out, rows, format == "csv");
    return 0;
}

// The names --windows takes.
constexpr struct {
    const char* name;
    WindowsReleaseCode code;
} kReleaseNames[] = {
    {"95", kWindows95}, {"95b", kWindows95B}, {"95c", kWindows95C},   {"98", kWindows98}, {"98a", kWindows98A},
    {"me", kWindowsMe}, {"nt4", kWindowsNt4}, {"2000", kWindows2000}, {"xp", kWindowsXp},
};

}  // namespace

std::vector<std::string> CatalogueTexts(const HostServices& services, bool raw)
{
    std::vector<std::string> texts;
    for (unsigned id : services.catalogIds) {
        const std::string text = FetchString(services.functions, id);
        texts.push_back(raw ? text : services.toUtf8(text));
    }
    return texts;
}

const model::Release* FindRelease(const std::string& name, std::ostream& err)
{
    for (const auto& release : kReleaseNames) {
        if (name == release.name)
            return model::FindRelease(release.code);
    }
    err << "quorvel: unknown Windows release '" << name << "'; --windows takes";
    for (const auto& release : kReleaseNames)
        err << ' ' << release.name;
    err << '\n';
    return nullptr;
}

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
