#include "catalog/load_catalog_string.h"

#include "text/ansi_text.h"

namespace quorvel {

namespace {

constexpr int kFirstLoadSize = 256;
constexpr int kGrowthStep = 256;

// The loader fills the buffer but for its NUL, or stops one byte earlier
// before a double-byte character that does not fit: a count within two bytes
// of the buffer's size may be a cut text, and is never taken as complete.
bool MayBeCut(int bufferSize, int count) { return bufferSize - count <= 2; }

HeapText LoadIntoGrowingBlock(unsigned id)
{
    for (int size = kFirstLoadSize + kGrowthStep;; size += kGrowthStep) {
        platform::HeapBlock block(static_cast<std::size_t>(size));
        if (!block)
            return {};
        const int count = platform::LoadResourceString(id, block.data(), size);
        if (count == 0)
            block.data()[0] = '\0';
        if (!MayBeCut(size, count)) {
            const std::size_t length = BoundedLength(block.data(), block.size());
            return HeapText(std::move(block), length);
        }
    }
}

}  // namespace

HeapText LoadCatalogString(unsigned id)
{
    // The string loader reads only the low 16 bits of an ID; a larger ID would
    // be served the text of an unrelated one.
    if (id > 0xFFFF)
        return HeapText::Copy("", 0, 1);

    char fixed[kFirstLoadSize] = {};
    const int count = platform::LoadResourceString(id, fixed, kFirstLoadSize);
    if (count == 0)
        fixed[0] = '\0';
    if (MayBeCut(kFirstLoadSize, count))
        return LoadIntoGrowingBlock(id);
    const std::size_t length = BoundedLength(fixed, sizeof fixed);
    return HeapText::Copy(fixed, length, length + 1);
}

}  // namespace quorvel
