/*
 * Quorvel.dll: catalogue texts, placeholder expansion and message boxes for
 * the modem installer.
 *
 * Every string function answers with the number of bytes its answer needs,
 * the terminating NUL included, whether or not it copied anything. Ask first
 * with a null buffer and size 0, then call again with a buffer of that size:
 *
 *     unsigned long size = DllGetString(9, NULL, 0);
 *     char* text = (char*)malloc(size);
 *     DllGetString(9, text, size);
 *
 * A buffer too small receives nothing, and the caller's bytes after the copied
 * NUL keep their contents. DllGetDynamicString asks for one byte more than its
 * text and NUL need, and copies only into a buffer at least that large.
 * An ID without a text answers the empty text. A size of 0 means the module
 * ran out of memory; the buffer was not touched.
 *
 * All texts are 8-bit text in the system's ANSI code page; catalogue texts come
 * in the calling thread's language. The message-box functions show an
 * owner-less box with an empty caption and an OK button and return when the
 * user has dismissed it.
 *
 * The five Dll* functions are C++ functions exported under the names that
 * Microsoft's compiler gives them; MSVC hosts link them through this header
 * and the import library. Hosts built with other compilers, and C hosts,
 * resolve them at run time with quorvel_loader.h.
 */
#ifndef QUORVEL_H
#define QUORVEL_H

#if defined(_WIN32)
#define QUORVEL_CALL __cdecl
typedef unsigned long QuorvelSize; /* 32 bits on every Windows */
#else
#define QUORVEL_CALL
typedef unsigned int QuorvelSize;
#endif

#ifndef QUORVEL_IMPORT
#if defined(_WIN32)
#define QUORVEL_IMPORT __declspec(dllimport)
#else
#define QUORVEL_IMPORT
#endif
#endif

/* Catalogue IDs with a meaning of their own to the module. */
#define QUORVEL_ID_EVERYONE 20001u     /* on NT-family Windows: the system's name */
#define QUORVEL_TOKEN_PROVIDER_NAME 1002u /* "<VorProviderName>" */
#define QUORVEL_TOKEN_FILE 1005u          /* "<VorFile>" */

#if defined(__cplusplus) && defined(_MSC_VER)
/* Copies the text of `id` (ordinal 3). On Windows NT 4.0, 2000 and XP, ID
 * 20001 answers the system's own name of the Everyone group. */
QUORVEL_IMPORT QuorvelSize QUORVEL_CALL DllGetString(unsigned int id, char* buffer, QuorvelSize bufferSize);

/* Copies message `messageId` with the first occurrence of token `tokenId`
 * replaced by the value the token names under
 * HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\UninstallVorModem,
 * or by "TEZ" when the value cannot be read (ordinal 2). Needs length + 2. */
QUORVEL_IMPORT QuorvelSize QUORVEL_CALL DllGetDynamicString(unsigned int messageId, char* buffer,
                                                            QuorvelSize bufferSize, unsigned int tokenId);

/* Shows the catalogue text of `messageId` as stored (ordinal 4). */
QUORVEL_IMPORT void QUORVEL_CALL DllMessageBox(unsigned int messageId);

/* Shows message `messageId` with token `tokenId`'s text replaced by
 * `substitute`, or unchanged when `substitute` is null (ordinal 5). */
QUORVEL_IMPORT void QUORVEL_CALL DllMessageBoxWithSuppliedSubString(unsigned int messageId, unsigned int tokenId,
                                                                    char* substitute);

/* Shows what DllGetDynamicString answers (ordinal 1). */
QUORVEL_IMPORT void QUORVEL_CALL DllDynamicMessageBox(unsigned int messageId, unsigned int tokenId);
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The same as DllGetString, under an undecorated name (ordinal 6). */
QUORVEL_IMPORT QuorvelSize QUORVEL_CALL GetStringFromQuorvelDll(unsigned int id, char* buffer,
                                                                QuorvelSize bufferSize);

#ifdef __cplusplus
}
#endif

/* The six functions as pointers, for hosts that resolve them at run time
 * (see quorvel_loader.h). */
typedef void(QUORVEL_CALL* QuorvelDllDynamicMessageBoxFn)(unsigned int messageId, unsigned int tokenId);
typedef QuorvelSize(QUORVEL_CALL* QuorvelDllGetDynamicStringFn)(unsigned int messageId, char* buffer,
                                                                 QuorvelSize bufferSize, unsigned int tokenId);
typedef QuorvelSize(QUORVEL_CALL* QuorvelDllGetStringFn)(unsigned int id, char* buffer, QuorvelSize bufferSize);
typedef void(QUORVEL_CALL* QuorvelDllMessageBoxFn)(unsigned int messageId);
typedef void(QUORVEL_CALL* QuorvelDllMessageBoxWithSuppliedSubStringFn)(unsigned int messageId,
                                                                         unsigned int tokenId, char* substitute);
typedef QuorvelSize(QUORVEL_CALL* QuorvelGetStringFromQuorvelDllFn)(unsigned int id, char* buffer,
                                                                     QuorvelSize bufferSize);

typedef struct QuorvelFunctions {
    QuorvelDllDynamicMessageBoxFn DllDynamicMessageBox;
    QuorvelDllGetDynamicStringFn DllGetDynamicString;
    QuorvelDllGetStringFn DllGetString;
    QuorvelDllMessageBoxFn DllMessageBox;
    QuorvelDllMessageBoxWithSuppliedSubStringFn DllMessageBoxWithSuppliedSubString;
    QuorvelGetStringFromQuorvelDllFn GetStringFromQuorvelDll;
} QuorvelFunctions;

#endif /* QUORVEL_H */
