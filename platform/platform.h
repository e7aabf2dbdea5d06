// The Windows services the module uses, and nothing else.
//
// Every call into the operating system goes through these functions. The
// Win32 build implements them over the real API (platform/win32); the native
// build implements them over an in-memory stand-in (platform/standin) that
// tests steer through platform/standin/control.h. No other part of the module
// includes <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvel::platform {

// Handles, each of its own type so that a key cannot be passed where a
// library or a SID belongs; only the implementations know what they point to.
struct ModuleObject;
struct KeyObject;
struct LibraryObject;
struct SidObject;
using ModuleHandle = ModuleObject*;
using KeyHandle = KeyObject*;
using LibraryHandle = LibraryObject*;
using SidHandle = SidObject*;
// A procedure found by name, called only after a cast to its own type.
using ProcAddress = void (*)();

// ---- The module's entry -----------------------------------------------------

// Why DllMain is called (DLL_PROCESS_DETACH, DLL_PROCESS_ATTACH).
constexpr unsigned long kProcessDetach = 0;
constexpr unsigned long kProcessAttach = 1;

// Remembers the module's own handle, given at attach: string resources are
// loaded from it, never from the host program.
void RememberOwnModule(ModuleHandle module);

// ---- String resources -------------------------------------------------------

// LoadStringA on the module's own handle: copies the text of `id`, in the
// variant the resource loader picks for the calling thread and converted to
// the ANSI code page, and a NUL. Only whole characters are copied, at most
// bufferSize - 1 bytes: a double-byte character that does not fit is left out.
// Returns the bytes copied without the NUL; 0 when the ID has no text (the
// buffer may be untouched).
int LoadResourceString(unsigned id, char* buffer, int bufferSize);

// ---- Registry: read-only access under HKEY_LOCAL_MACHINE --------------------

// RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_READ).
bool OpenLocalMachineKey(const char* subkey, KeyHandle* key);

// RegQueryValueExA with a null data pointer: the bytes the value needs.
bool QueryValueSize(KeyHandle key, const char* valueName, std::uint32_t* size);

// RegQueryValueExA into `data`, which holds *size bytes. On success *size is
// the number of bytes actually stored (never more than it was on entry).
bool QueryValue(KeyHandle key, const char* valueName, unsigned char* data, std::uint32_t* size);

void CloseKey(KeyHandle key);

// ---- Version record ----------------------------------------------------------

// Two fields of what GetVersionExA reports, and only these: the platform and
// the major version (4 on 95, 98, Me and NT 4.0; 5 on 2000 and XP). It does
// not carry the minor version, the build number or the service pack text, so
// it cannot tell 95 from 98 or Me, nor 2000 from XP; the release
// classification (probes/) reads it only to tell NT 4.0.
struct VersionRecord {
    std::uint32_t platformId;  // 2: the NT family
    std::uint32_t majorVersion;
};

// GetVersionExA with an OSVERSIONINFOA whose size field is 148.
bool GetVersionRecord(VersionRecord* record);

// ---- Libraries and the SID services -----------------------------------------

// LoadLibraryA, GetProcAddress and FreeLibrary.
LibraryHandle LoadSystemLibrary(const char* name);
ProcAddress GetProcedure(LibraryHandle library, const char* name);
void FreeSystemLibrary(LibraryHandle library);

// Calls `convertStringSidToSid` (the address of ConvertStringSidToSidA) with
// `sidText`. The SID it yields is released with FreeConvertedSid, which calls
// LocalFree as that function requires (not FreeSid, which is for SIDs that
// AllocateAndInitializeSid made).
bool ConvertStringSid(ProcAddress convertStringSidToSid, const char* sidText, SidHandle* sid);
void FreeConvertedSid(SidHandle sid);

// LookupAccountSidA on the local system. The sizes are in characters: in, the
// buffers' sizes; out, what the system reports.
bool LookupAccountNameOfSid(SidHandle sid, char* name, std::uint32_t* nameSize, char* domain,
                            std::uint32_t* domainSize);

// ---- User interface ------------------------------------------------------------

// MessageBoxA(NULL, text, caption, MB_OK): blocks until the box is dismissed.
void ShowOkMessageBox(const char* text, const char* caption);

// ---- Heap ------------------------------------------------------------------------

// A zero-filled block from the module's heap, or null when memory runs out.
void* AllocateZeroed(std::size_t size);
void FreeBlock(void* block);

// ---- ANSI code page -----------------------------------------------------------

// Whether `byte` starts a double-byte character in the active ANSI code page.
bool IsLeadByte(unsigned char byte);

// Writes the upper-case form of `length` bytes of whole characters to `upper`
// (room for `length` bytes), through the code page's own mapping. False when
// that form would have another length; `upper` is then of no use.
bool UpperCaseCharacters(const char* text, std::size_t length, char* upper);

// ---- Process ------------------------------------------------------------------------

// Adds SEM_FAILCRITICALERRORS and SEM_NOOPENFILEERRORBOX to the process error
// mode, keeping the flags already set.
void AddQuietErrorModeFlags();

}  // namespace quorvel::platform

// The calling convention of functions that Windows calls (WINAPI).
#ifdef _WIN32
#define QUORVEL_WINAPI __stdcall
#else
#define QUORVEL_WINAPI
#endif
