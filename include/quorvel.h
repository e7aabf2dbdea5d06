/*
 * Quorvel.dll: catalogue texts, placeholder expansion and message boxes for
 * the modem installer, for 32-bit Windows 95/98/Me and NT 4.0 and later (a
 * 64-bit build of the same module serves testing).
 *
 * All six functions use the C calling convention (__cdecl: the caller removes
 * the arguments) on every compiler; QUORVEL_CALL spells it.
 *
 *
 * Linking
 * -------
 *
 *   host                  what it declares and links
 *   MSVC, C++             this header, Quorvel.lib: all six functions
 *   MinGW (GCC, Clang),   this header, libQuorvel.dll.a: all six functions;
 *     C++                 the import library maps the names this compiler
 *                         gives the five Dll* functions to the module's exports
 *   C, any compiler       this header and either import library:
 *                         GetStringFromQuorvelDll only; the five Dll*
 *                         functions through quorvel_loader.h
 *   any                   quorvel_loader.h: LoadLibraryA("Quorvel.dll") and
 *                         QuorvelResolve, which fills a QuorvelFunctions and
 *                         names the first export the module lacks
 *
 * The five Dll* functions are C++ functions, exported under the names that
 * Microsoft's C++ compiler gives these exact signatures (for instance
 * ?DllGetString@@YAKIPADK@Z on 32-bit Windows). Declaring them with any other
 * parameter or return type makes a different name that the module does not
 * export. Define QUORVEL_NO_CXX_FUNCTIONS before including this header to
 * leave them undeclared (the typedefs below still describe them).
 *
 *
 * Strings: ask for the size, then fill
 * ------------------------------------
 *
 * Each string function returns the number of bytes its answer needs, the
 * terminating NUL included, whether or not it copied anything. Ask first with
 * a null buffer and size 0, then call again with a buffer of that size:
 *
 *     QuorvelSize size = DllGetString(9, NULL, 0);
 *     char* text = (char*)malloc(size);
 *     if (size != 0 && text != NULL && DllGetString(9, text, size) == size)
 *         puts(text);
 *
 * - A buffer too small receives nothing at all: not a shortened text, not even
 *   a NUL. The caller's bytes after the copied NUL keep their contents.
 * - DllGetDynamicString answers one byte more than its text and NUL need
 *   (length + 2), and copies only into a buffer at least that large. A buffer
 *   of exactly length + 1 bytes receives nothing. Use the size it returns, not
 *   strlen() + 1.
 * - An ID without a text answers the empty text (size 1).
 * - A size of 0 means the module ran out of memory; the buffer was not
 *   touched.
 * - A text can change between the two calls (a registry value rewritten, the
 *   thread's language changed): compare the second answer with the first and
 *   ask again when it grew.
 *
 * All texts are 8-bit text in the system's ANSI code page (for example 1252,
 * 932 Japanese, 936 Simplified Chinese, 949 Korean); catalogue texts come in
 * the calling thread's user interface language.
 *
 *
 * Message boxes
 * -------------
 *
 * The message-box functions show an owner-less box (MessageBoxA with no
 * owner window and MB_OK) with an empty caption and an OK button, and return
 * when the user has dismissed it. When memory runs out no box is shown.
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

/* The module's own build defines QUORVEL_IMPORT as nothing before including
 * this header; hosts leave it alone. */
#ifndef QUORVEL_IMPORT
#if defined(_WIN32)
#define QUORVEL_IMPORT __declspec(dllimport)
#else
#define QUORVEL_IMPORT
#endif
#endif

/* Catalogue IDs with a meaning of their own to the module. */
#define QUORVEL_ID_EVERYONE 20001u        /* on NT-family Windows: the system's name */
#define QUORVEL_TOKEN_PROVIDER_NAME 1002u /* "<VorProviderName>" */
#define QUORVEL_TOKEN_FILE 1005u          /* "<VorFile>" */

#if defined(__cplusplus) && (defined(_MSC_VER) || defined(__MINGW32__)) && !defined(QUORVEL_NO_CXX_FUNCTIONS)
/* Copies the catalogue text of `id` (ordinal 3). On Windows NT 4.0, 2000 and
 * XP, ID 20001 answers the system's own name of the Everyone group. */
QUORVEL_IMPORT QuorvelSize QUORVEL_CALL DllGetString(unsigned int id, char* buffer, QuorvelSize bufferSize);

/* Copies message `messageId` with the first occurrence of token `tokenId`'s
 * text replaced by the registry value the token names (the text between its
 * "<" and ">") under
 * HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\UninstallVorModem,
 * or by "TEZ" when the value cannot be read (ordinal 2). Answers length + 2:
 * one byte more than the text and its NUL. */
QUORVEL_IMPORT QuorvelSize QUORVEL_CALL DllGetDynamicString(unsigned int messageId, char* buffer,
                                                            QuorvelSize bufferSize, unsigned int tokenId);

/* Shows the catalogue text of `messageId` as stored (ordinal 4). */
QUORVEL_IMPORT void QUORVEL_CALL DllMessageBox(unsigned int messageId);

/* Shows message `messageId` with token `tokenId`'s text replaced by
 * `substitute`, or unchanged when `substitute` is null (ordinal 5). The module
 * does not write to `substitute`. */
QUORVEL_IMPORT void QUORVEL_CALL DllMessageBoxWithSuppliedSubString(unsigned int messageId, unsigned int tokenId,
                                                                    char* substitute);

/* Shows what DllGetDynamicString answers (ordinal 1). */
QUORVEL_IMPORT void QUORVEL_CALL DllDynamicMessageBox(unsigned int messageId, unsigned int tokenId);
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The same as DllGetString, under an undecorated name that C hosts can link
 * (ordinal 6). */
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
