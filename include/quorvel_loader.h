/*
 * Resolving Quorvel.dll's six functions at run time. This is the way for C
 * hosts to reach the five Dll* functions (C cannot name them), and for any
 * host that must start without the module, load it from a path of its own
 * choosing, or tell the user which function a module lacks. It needs no import
 * library.
 *
 *     QuorvelFunctions quorvel;
 *     HMODULE module = LoadLibraryA("Quorvel.dll");
 *     const char* missing = QuorvelResolve(module, &quorvel);
 *     if (missing != NULL)
 *         fprintf(stderr, "cannot use Quorvel.dll: %s is missing\n", missing);
 *     else
 *         quorvel.DllMessageBox(2);
 *
 * QuorvelResolve fills every member and returns NULL, or returns the export
 * name of the first function the module lacks (or "Quorvel.dll" for a null
 * module) and leaves the members it could not resolve null. The pointers stay
 * valid until the module is freed. Works in C (C89 and later) and C++.
 */
#ifndef QUORVEL_LOADER_H
#define QUORVEL_LOADER_H

#include <windows.h>

#include "quorvel.h"

#if defined(__cplusplus) || (defined(__STDC_VERSION__) && __STDC_VERSION__ >= 199901L)
#define QUORVEL_LOADER_FUNCTION static inline
#else
#define QUORVEL_LOADER_FUNCTION static __inline
#endif

/* The export names, which carry the pointer size in their decoration. */
#if defined(_WIN64)
#define QUORVEL_EXPORT_DllDynamicMessageBox "?DllDynamicMessageBox@@YAXII@Z"
#define QUORVEL_EXPORT_DllGetDynamicString "?DllGetDynamicString@@YAKIPEADKI@Z"
#define QUORVEL_EXPORT_DllGetString "?DllGetString@@YAKIPEADK@Z"
#define QUORVEL_EXPORT_DllMessageBox "?DllMessageBox@@YAXI@Z"
#define QUORVEL_EXPORT_DllMessageBoxWithSuppliedSubString "?DllMessageBoxWithSuppliedSubString@@YAXIIPEAD@Z"
#else
#define QUORVEL_EXPORT_DllDynamicMessageBox "?DllDynamicMessageBox@@YAXII@Z"
#define QUORVEL_EXPORT_DllGetDynamicString "?DllGetDynamicString@@YAKIPADKI@Z"
#define QUORVEL_EXPORT_DllGetString "?DllGetString@@YAKIPADK@Z"
#define QUORVEL_EXPORT_DllMessageBox "?DllMessageBox@@YAXI@Z"
#define QUORVEL_EXPORT_DllMessageBoxWithSuppliedSubString "?DllMessageBoxWithSuppliedSubString@@YAXIIPAD@Z"
#endif
#define QUORVEL_EXPORT_GetStringFromQuorvelDll "GetStringFromQuorvelDll"

QUORVEL_LOADER_FUNCTION FARPROC QuorvelResolveOne(HMODULE module, const char* name, const char** missing)
{
    FARPROC address = GetProcAddress(module, name);
    if (address == NULL && *missing == NULL)
        *missing = name;
    return address;
}

QUORVEL_LOADER_FUNCTION const char* QuorvelResolve(HMODULE module, QuorvelFunctions* functions)
{
    const char* missing = NULL;
    ZeroMemory(functions, sizeof *functions);
    if (module == NULL)
        return "Quorvel.dll";
#define QUORVEL_RESOLVE(name)                                                                                   \
    functions->name = (Quorvel##name##Fn)(void (*)(void))QuorvelResolveOne(module, QUORVEL_EXPORT_##name, &missing)
    QUORVEL_RESOLVE(DllDynamicMessageBox);
    QUORVEL_RESOLVE(DllGetDynamicString);
    QUORVEL_RESOLVE(DllGetString);
    QUORVEL_RESOLVE(DllMessageBox);
    QUORVEL_RESOLVE(DllMessageBoxWithSuppliedSubString);
    QUORVEL_RESOLVE(GetStringFromQuorvelDll);
#undef QUORVEL_RESOLVE
    return missing;
}

#endif /* QUORVEL_LOADER_H */
