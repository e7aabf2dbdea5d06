// The catalogue as a table, generated at build time from the same resource
// scripts that are compiled into the DLL. The native build's entry hands it
// to the stand-in's string loader, and the tests compare what the module
// serves against it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvel::catalog {

struct Entry {
    std::uint16_t language;  // the variant's language ID
    std::uint16_t id;
    const char16_t* text;    // UTF-16, as stored in the string table
};

extern const Entry kEntries[];
extern const std::size_t kEntryCount;

}  // namespace quorvel::catalog
