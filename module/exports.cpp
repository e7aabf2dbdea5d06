#include "module/exports.h"

#include "requests/catalog_string.h"
#include "requests/message_boxes.h"
#include "requests/placeholder.h"

// QuorvelSize is 32 bits wide on every build, so sizes pass through unchanged.
static_assert(sizeof(QuorvelSize) == 4, "sizes are 32 bits wide");

/***********************************************************************
 *      DllDynamicMessageBox  (ordinal 1)
 */
extern "C" void QUORVEL_CALL QuorvelDllDynamicMessageBox(unsigned int messageId, unsigned int tokenId)
{
    quorvel::ShowExpandedMessage(messageId, tokenId);
}

/***********************************************************************
 *      DllGetDynamicString  (ordinal 2)
 */
extern "C" QuorvelSize QUORVEL_CALL QuorvelDllGetDynamicString(unsigned int messageId, char* buffer,
                                                               QuorvelSize bufferSize, unsigned int tokenId)
{
    return quorvel::ExpandPlaceholder(messageId, buffer, bufferSize, tokenId);
}

/***********************************************************************
 *      DllGetString  (ordinal 3)
 */
extern "C" QuorvelSize QUORVEL_CALL QuorvelDllGetString(unsigned int id, char* buffer, QuorvelSize bufferSize)
{
    return quorvel::GetCatalogString(id, buffer, bufferSize);
}

/***********************************************************************
 *      DllMessageBox  (ordinal 4)
 */
extern "C" void QUORVEL_CALL QuorvelDllMessageBox(unsigned int messageId)
{
    quorvel::ShowCatalogMessage(messageId);
}

/***********************************************************************
 *      DllMessageBoxWithSuppliedSubString  (ordinal 5)
 */
extern "C" void QUORVEL_CALL QuorvelDllMessageBoxWithSuppliedSubString(unsigned int messageId,
                                                                       unsigned int tokenId, char* substitute)
{
    quorvel::ShowMessageWithSubstitute(messageId, tokenId, substitute);
}

/***********************************************************************
 *      GetStringFromQuorvelDll  (ordinal 6)
 */
extern "C" QuorvelSize QUORVEL_CALL GetStringFromQuorvelDll(unsigned int id, char* buffer, QuorvelSize bufferSize)
{
    return QuorvelDllGetString(id, buffer, bufferSize);
}
