// Loading one catalogue text in the calling thread's language variant.
#pragma once

#include "text/heap_text.h"

namespace quorvel {

// The text of `id` as 8-bit ANSI text, or the empty text when the ID has none.
// The result has no block only when memory ran out.
HeapText LoadCatalogString(unsigned id);

}  // namespace quorvel
