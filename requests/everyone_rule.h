// The rule at the head of every plain string request: on NT-family Windows,
// ID 20001 is the system's own name of the Everyone group.
#pragma once

#include <cstdint>
#include <optional>

namespace quorvel {

constexpr unsigned kEveryoneId = 20001;

// Classifies the running release (on every call, whatever the ID) and, for
// ID 20001 on a release of the NT family (IsNtFamily, the table of releases
// in probes/), answers the account name under the buffer protocol. Empty when
// the catalogue answers instead.
std::optional<std::uint32_t> ApplyEveryoneRule(unsigned id, char* buffer, std::uint32_t bufferSize);

}  // namespace quorvel
