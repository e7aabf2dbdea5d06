// Catalogue messages shown in a message box.
#pragma once

namespace quorvel {

// MessageBoxA with no owner, the caption "" and an OK button; returns when the
// user has dismissed the box.
void ShowPlainMessage(const char* text);

// The catalogue text of `messageId`, straight from the catalogue.
void ShowCatalogMessage(unsigned messageId);

// Message `messageId` with the first occurrence of token `tokenId`'s text
// replaced by `substitute`; the message unchanged when `substitute` is null.
// Both texts come through the plain string request.
void ShowMessageWithSubstitute(unsigned messageId, unsigned tokenId, const char* substitute);

// Message `messageId` with token `tokenId` expanded from the registry.
void ShowExpandedMessage(unsigned messageId, unsigned tokenId);

}  // namespace quorvel
