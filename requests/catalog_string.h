// The plain string request behind DllGetString and GetStringFromQuorvelDll.
#pragma once

#include <cstdint>

namespace quorvel {

// The text of `id` under the buffer protocol; on NT-family Windows ID 20001
// answers the system's name of the Everyone group instead.
std::uint32_t GetCatalogString(unsigned id, char* buffer, std::uint32_t bufferSize);

}  // namespace quorvel
