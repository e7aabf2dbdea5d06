#include "requests/placeholder.h"

#include <cstring>

#include "catalog/load_catalog_string.h"
#include "text/ansi_text.h"
#include "platform/owned.h"
#include "platform/platform.h"
#include "text/buffer_protocol.h"
#include "text/replace_first.h"

namespace quorvel {

namespace {

using platform::HeapText;

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\UninstallVorModem";
constexpr char kDefaultReplacement[] = "TEZ";

enum class Outcome { kDone, kNoMemory };

// The registry value name between the token's "<" and the ">" after it. A
// token without both brackets names no value, and the registry is not read.
Outcome CutValueName(const HeapText& token, HeapText* valueName)
{
    const char* text = token.c_str();
    const std::size_t open = platform::FindCharacter(text, token.length(), '<');
    if (open == platform::kNotFound)
        return Outcome::kDone;
    const char* name = text + open + 1;
    const std::size_t rest = token.length() - open - 1;
    const std::size_t close = platform::FindCharacter(name, rest, '>');
    if (close == platform::kNotFound)
        return Outcome::kDone;
    *valueName = HeapText::Copy(name, close, close + 1);
    return *valueName ? Outcome::kDone : Outcome::kNoMemory;
}

// The value's text up to its first NUL, within the bytes actually read; left
// empty (no block) when the key or value cannot be read, or when the value
// changed size between the size query and the read.
Outcome ReadValueText(const char* valueName, HeapText* value)
{
    platform::UniqueKey key;
    if (!platform::OpenLocalMachineKey(kUninstallKey, key.put()))
        return Outcome::kDone;
    std::uint32_t size = 0;
    if (!platform::QueryValueSize(key.get(), valueName, &size) || size == UINT32_MAX)
        return Outcome::kDone;
    // One spare zero byte, so that data stored without a NUL still ends inside.
    platform::HeapBlock data(static_cast<std::size_t>(size) + 1);
    if (!data)
        return Outcome::kNoMemory;
    if (!platform::QueryValue(key.get(), valueName, reinterpret_cast<unsigned char*>(data.data()), &size))
        return Outcome::kDone;
    const std::size_t length = platform::BoundedLength(data.data(), size);
    *value = HeapText(std::move(data), length);
    return Outcome::kDone;
}

// The message with the token expanded; no block when memory ran out.
HeapText ExpandedText(unsigned messageId, unsigned tokenId)
{
    HeapText message = LoadCatalogString(messageId);
    const HeapText token = LoadCatalogString(tokenId);
    if (!message || !token)
        return {};

    HeapText valueName;
    if (CutValueName(token, &valueName) == Outcome::kNoMemory)
        return {};
    if (!valueName)
        return message;

    HeapText value;
    if (ReadValueText(valueName.c_str(), &value) == Outcome::kNoMemory)
        return {};
    return ReplaceFirst(message.c_str(), token.c_str(), value ? value.c_str() : kDefaultReplacement);
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
