/*
 * Resolving Quorvel.dll's six functions at run time, for hosts whose compiler
 * cannot link the decorated names (C hosts, MinGW hosts).
 *
 *     QuorvelFunctions quorvel;
 *     HMODULE module = LoadLibraryA("Quorvel.dll");
 *     const char* missing = QuorvelResolve(module, &quorvel);
 *     if (missing == NULL)
 *         quorvel.DllMessageBox(2);
 *
 * QuorvelResolve fills every member and returns NULL, or returns the export
 * name of the first function the module lacks (or "Quorvel.dll" for a null
 * module) and leaves the members it could not resolve null.
 */
#ifndef QUORVEL_LOADER_H
#define QUORVEL_LOADER_H

#include <windows.h>

#include "quorvel.h"


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

static FARPROC QuorvelResolveOne(HMODULE module, const char* name, const char** missing)
{
    FARPROC address = GetProcAddress(module, name);
    if (address == NULL && *missing == NULL)
        *missing = name;
    return address;
}

static const char* QuorvelResolve(HMODULE module, QuorvelFunctions* functions)
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
