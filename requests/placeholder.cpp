#include "requests/placeholder.h"

#include <cstring>

#include "catalog/load_catalog_string.h"
#include "platform/owned.h"
#include "platform/platform.h"
#include "probes/registry_text.h"
#include "text/ansi_text.h"
#include "text/buffer_protocol.h"
#include "text/replace_first.h"
#include "text/status.h"

namespace quorvel {

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\UninstallVorModem";
constexpr char kDefaultReplacement[] = "TEZ";

// The registry value name between the token's "<" and the ">" after it. A
// token without both brackets names no value (kAbsent), and the registry is
// not read.
Status CutValueName(const HeapText& token, HeapText* valueName)
{
    const char* text = token.c_str();
    const std::size_t open = FindCharacter(text, token.length(), '<');
    if (open == kNotFound)
        return Status::kAbsent;
    const char* name = text + open + 1;
    const std::size_t rest = token.length() - open - 1;
    const std::size_t close = FindCharacter(name, rest, '>');
    if (close == kNotFound)
        return Status::kAbsent;
    *valueName = HeapText::Copy(name, close, close + 1);
    return *valueName ? Status::kOk : Status::kNoMemory;
}

Status ReadUninstallValue(const char* valueName, HeapText* value)
{
    platform::UniqueKey key;
    if (!platform::OpenLocalMachineKey(kUninstallKey, key.put()))
        return Status::kAbsent;
    return ReadRegistryText(key.get(), valueName, value);
}

// The message with the token expanded; no block when memory ran out.
HeapText ExpandedText(unsigned messageId, unsigned tokenId)
{
    HeapText message = LoadCatalogString(messageId);
    const HeapText token = LoadCatalogString(tokenId);
    if (!message || !token)
        return {};

    HeapText valueName;
    const Status cut = CutValueName(token, &valueName);
    if (cut == Status::kNoMemory)
        return {};
    if (cut == Status::kAbsent)
        return message;

    // A value that cannot be read, whatever the reason, gives way to the default.
    HeapText value;
    const Status read = ReadUninstallValue(valueName.c_str(), &value);
    if (read == Status::kNoMemory)
        return {};
    return ReplaceFirst(message.c_str(), token.c_str(), read == Status::kOk ? value.c_str() : kDefaultReplacement);
}

}  // namespace

std::uint32_t ExpandPlaceholder(unsigned messageId, char* buffer, std::uint32_t bufferSize, unsigned tokenId)
{
    const HeapText expanded = ExpandedText(messageId, tokenId);
    if (!expanded)
        return kNoAnswer;
    // One byte more than the plain string requests need: a buffer of exactly
    // length + 1 bytes receives nothing.
    const std::uint32_t size = static_cast<std::uint32_t>(expanded.length() + 2);
    if (bufferSize >= size)
        std::memcpy(buffer, expanded.c_str(), expanded.length() + 1);
    return size;
}

}  // namespace quorvel
