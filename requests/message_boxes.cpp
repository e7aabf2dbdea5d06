#include "requests/message_boxes.h"

#include "catalog/load_catalog_string.h"
#include "platform/platform.h"
#include "requests/catalog_string.h"
#include "requests/placeholder.h"
#include "text/ansi_text.h"
#include "text/buffer_protocol.h"
#include "text/replace_first.h"

namespace quorvel {

namespace {

using platform::HeapBlock;

// A plain string request in two steps, size first, as a host makes it. A
// text that grew between the two calls leaves the zero-filled block empty.
HeapText FetchCatalogString(unsigned id)
{
    const std::uint32_t size = GetCatalogString(id, nullptr, 0);
    if (size == kNoAnswer)
        return {};
    HeapBlock block(size);
    if (!block || GetCatalogString(id, block.data(), size) == kNoAnswer)
        return {};
    const std::size_t length = BoundedLength(block.data(), size);
    return HeapText(std::move(block), length);
}

}  // namespace

void ShowPlainMessage(const char* text) { platform::ShowOkMessageBox(text, ""); }

// Where memory runs out, no box is shown rather than one with a wrong text.

void ShowCatalogMessage(unsigned messageId)
{
    const HeapText message = LoadCatalogString(messageId);
    if (message)
        ShowPlainMessage(message.c_str());
}

void ShowMessageWithSubstitute(unsigned messageId, unsigned tokenId, const char* substitute)
{
    const HeapText message = FetchCatalogString(messageId);
    const HeapText token = FetchCatalogString(tokenId);
    if (!message || !token)
        return;
    const HeapText shown = substitute ? ReplaceFirst(message.c_str(), token.c_str(), substitute)
                                      : HeapText::Copy(message.c_str(), message.length(), message.length() + 4);
    if (shown)
        ShowPlainMessage(shown.c_str());
}

void ShowExpandedMessage(unsigned messageId, unsigned tokenId)
{
    const std::uint32_t size = ExpandPlaceholder(messageId, nullptr, 0, tokenId);
    if (size == kNoAnswer)
        return;
    HeapBlock block(size);
    if (!block)
        return;
    // A text that grew since the size query is not copied: the box is empty.
    if (ExpandPlaceholder(messageId, block.data(), size, tokenId) == kNoAnswer)
        return;
    ShowPlainMessage(block.data());
}

}  // namespace quorvel
