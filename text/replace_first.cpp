#include "text/replace_first.h"

#include <cstdint>
#include <cstring>

#include "text/ansi_text.h"

namespace quorvel {

namespace {

// Working texts carry a few spare zero bytes past their NUL.
constexpr std::size_t kSlack = 4;

// a + b + kSlack, or 0 when that does not fit in a size_t.
std::size_t BlockSize(std::size_t a, std::size_t b)
{
    if (a > SIZE_MAX - kSlack - b)
        return 0;
    return a + b + kSlack;
}

}  // namespace

HeapText ReplaceFirst(const char* text, const char* pattern, const char* replacement)
{
    const std::size_t textLength = std::strlen(text);
    const std::size_t patternLength = std::strlen(pattern);
    const std::size_t at = FindText(text, textLength, pattern, patternLength);
    if (at == kNotFound)
        return HeapText::Copy(text, textLength, BlockSize(textLength, 0));

    const std::size_t replacementLength = std::strlen(replacement);
    const std::size_t blockSize = BlockSize(textLength, replacementLength);
    if (blockSize == 0)
        return {};
    platform::HeapBlock block(blockSize);
    if (!block)
        return {};
    char* out = block.data();
    std::memcpy(out, text, at);
    std::memcpy(out + at, replacement, replacementLength);
    const std::size_t tail = textLength - at - patternLength;
    std::memcpy(out + at + replacementLength, text + at + patternLength, tail);
    return HeapText(std::move(block), at + replacementLength + tail);
}

}  // namespace quorvel
