// The name under which the running system knows the Everyone group.
#pragma once

#include <cstdint>
#include <optional>

namespace quorvel {

// Resolves the well-known SID S-1-1-0 to its account name and answers it
// under the buffer protocol. Empty when the system cannot tell the name: no
// Advapi32.dll, no ConvertStringSidToSidA in it (Windows NT 4.0), a failed
// conversion or a failed lookup.
std::optional<std::uint32_t> GetEveryoneAccountName(char* buffer, std::uint32_t bufferSize);

}  // namespace quorvel
