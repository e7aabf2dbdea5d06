// A catalogue message with one placeholder token expanded from the registry.
#pragma once

#include <cstdint>

namespace quorvel {

// Loads message `messageId` and token `tokenId`, reads the registry value
// named between the token's "<" and ">" under the modem package's uninstall
// key ("TEZ" when it cannot be read) and puts it in place of the first
// occurrence of the token text. Returns the expanded length + 2 and copies the
// text with its NUL only when `bufferSize` is at least that. Returns 0, and
// writes nothing, when memory runs out.
std::uint32_t ExpandPlaceholder(unsigned messageId, char* buffer, std::uint32_t bufferSize,
                                unsigned tokenId);

}  // namespace quorvel
