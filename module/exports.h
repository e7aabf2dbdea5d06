// The module's six entry points. The export table gives the first five the
// names Microsoft's C++ compiler gives these signatures (see Quorvel32.def and
// Quorvel64.def).
#pragma once

// The module defines these functions; it does not import them.
#define QUORVEL_IMPORT
#include "quorvel.h"

extern "C" {

void QUORVEL_CALL QuorvelDllDynamicMessageBox(unsigned int messageId, unsigned int tokenId);
QuorvelSize QUORVEL_CALL QuorvelDllGetDynamicString(unsigned int messageId, char* buffer, QuorvelSize bufferSize,
                                                    unsigned int tokenId);
QuorvelSize QUORVEL_CALL QuorvelDllGetString(unsigned int id, char* buffer, QuorvelSize bufferSize);
void QUORVEL_CALL QuorvelDllMessageBox(unsigned int messageId);
void QUORVEL_CALL QuorvelDllMessageBoxWithSuppliedSubString(unsigned int messageId, unsigned int tokenId,
                                                            char* substitute);
QuorvelSize QUORVEL_CALL GetStringFromQuorvelDll(unsigned int id, char* buffer, QuorvelSize bufferSize);

}
