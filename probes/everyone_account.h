// The name under which the running system knows the Everyone group.
#pragma once

#include <cstdint>
#include <optional>

namespace quorvel {

// Resolves the well-known SID S-1-1-0 to its account name and answers it
// under the buffer protocol. Empty when the system cannot tell the name: no
// Advapi32.dll, no ConvertStringSidToSidA in it (Windows NT 4.0), a failed
// conversion or a failed lookup. A lookup that succeeds with an empty name
// counts as a failed one, so the catalogue's text serves instead of an empty
// group name.
std::optional<std::uint32_t> GetEveryoneAccountName(char* buffer, std::uint32_t bufferSize);

}  // namespace quorvel
