// Replacing the first occurrence of a pattern in an 8-bit ANSI text.
#pragma once

#include "text/heap_text.h"

namespace quorvel {

// A new text in which the first occurrence of `pattern` in `text` gives way to
// `replacement`; later occurrences, and the replacement itself, are not
// searched. The search starts only on character boundaries of the ANSI code
// page and is case-sensitive. An empty pattern matches at the start of any
// text, so ReplaceFirst("", "", r) is r. No block when memory runs out.
HeapText ReplaceFirst(const char* text, const char* pattern, const char* replacement);

}  // namespace quorvel
