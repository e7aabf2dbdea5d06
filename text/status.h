// How a read of something that may not be there ended: the one vocabulary of
// the catalogue, the probes and the requests. Operations that only make a
// text (LoadCatalogString, ReplaceFirst) say "out of memory" by a HeapText
// without block instead.
#pragma once

namespace quorvel {

enum class Status {
    kOk,
    kAbsent,      // nothing there: no key, no value, no such library or procedure
    kUnreadable,  // there, but the system would not give it (or it changed meanwhile)
    kNoMemory,    // memory ran out: what is there is unknown
};

}  // namespace quorvel
