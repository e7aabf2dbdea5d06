#include "tools/host/host.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <iterator>
#include <ostream>

namespace quorvel::host {

namespace {

struct Context {
    const HostServices& services;
    const Invocation& invocation;
    std::ostream& out;
    std::ostream& err;

    std::string Shown(const std::string& text) const { return invocation.raw ? text : services.toUtf8(text); }
};

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

int StringCommand(const Context& context)
{
    for (unsigned id : context.invocation.ids)
        context.out << context.Shown(FetchString(context.services.functions, id)) << '\n';
    return 0;
}

int DynamicCommand(const Context& context)
{
    const std::vector<unsigned>& ids = context.invocation.ids;
    context.out << context.Shown(FetchDynamicString(context.services.functions, ids[0], ids[1])) << '\n';
    return 0;
}

int ReportBox(const Context& context, const std::function<void()>& show)
{
    if (const std::optional<std::string> text = context.services.runBox(show))
        context.out << "box: " << context.Shown(*text) << '\n';
    return 0;
}

int BoxCommand(const Context& context)
{
    const QuorvelFunctions& functions = context.services.functions;
    const std::vector<unsigned>& ids = context.invocation.ids;
    if (ids.size() == 1)
        return ReportBox(context, [&] { functions.DllMessageBox(ids[0]); });
    std::string substitute = context.invocation.substitute.value_or("");
    char* substitutePointer = context.invocation.substitute ? substitute.data() : nullptr;
    return ReportBox(context, [&] { functions.DllMessageBoxWithSuppliedSubString(ids[0], ids[1], substitutePointer); });
}

int DynamicBoxCommand(const Context& context)
{
    const std::vector<unsigned>& ids = context.invocation.ids;
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

int CatalogCommand(const Context& context)
{
    Rows rows{{"id"}};
    for (unsigned id : machine::kCatalogIds)
        rows.push_back({std::to_string(id)});
    const auto addColumn = [&](const std::string& heading, const std::vector<std::string>& texts) {
        rows[0].push_back(heading);
        for (std::size_t i = 0; i < texts.size(); ++i)
            rows[i + 1].push_back(texts[i]);
    };
    if (!context.invocation.allLanguages)
        addColumn("text", CatalogueTexts(context.services, context.invocation.raw));
    // Each variant's column as a host in its locale gets it.
    for (std::size_t v = 0; context.invocation.allLanguages && v < std::size(machine::kVariants); ++v) {
        const std::optional<std::vector<std::string>> texts =
            context.services.catalogueIn(machine::kVariants[v].locale, context.err);
        if (!texts)
            return 1;
        char heading[8];
        std::snprintf(heading, sizeof heading, "0x%04X", machine::kVariants[v].language);
        addColumn(heading, *texts);
    }

    if (context.invocation.format == "json")
        WriteJson(context.out, rows);
    else
        WriteTableOrCsv(context.out, rows, context.invocation.format == "csv");
    return 0;
}

}  // namespace

std::vector<std::string> CatalogueTexts(const HostServices& services, bool raw)
{
    std::vector<std::string> texts;
    for (unsigned id : machine::kCatalogIds) {
        const std::string text = FetchString(services.functions, id);
        texts.push_back(raw ? text : services.toUtf8(text));
    }
    return texts;
}

int Run(const Invocation& invocation, const HostServices& services, std::ostream& out, std::ostream& err)
{
    const Context context{services, invocation, out, err};
    const std::string& command = invocation.command;
    if (command == "string")
        return StringCommand(context);
    if (command == "dynamic")
        return DynamicCommand(context);
    if (command == "box")
        return BoxCommand(context);
    if (command == "dynamic-box")
        return DynamicBoxCommand(context);
    return CatalogCommand(context);
}

}  // namespace quorvel::host
