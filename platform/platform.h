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

using ModuleHandle = void*;
using KeyHandle = void*;
using LibraryHandle = void*;
using ProcAddress = void*;
using SidHandle = void*;

// ---- String resources -------------------------------------------------------

// LoadStringA on `module`: copies at most bufferSize - 1 bytes of the text of
// `id`, in the variant the resource loader picks for the calling thread and
// converted to the ANSI code page, plus a NUL. Returns the bytes copied
// without the NUL; 0 when the ID has no text (the buffer may be untouched).
int LoadResourceString(ModuleHandle module, unsigned id, char* buffer, int bufferSize);

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

struct VersionRecord {
    std::uint32_t platformId;  // 2: the NT family
    std::uint32_t majorVersion;
};

// GetVersionExA with an OSVERSIONINFOA whose size field is 148.
bool GetVersionRecord(VersionRecord* record);

// ---- Libraries and the SID services -----------------------------------------

LibraryHandle LoadSystemLibrary(const char* name);
ProcAddress GetProcedure(LibraryHandle library, const char* name);
void FreeLibrary(LibraryHandle library);

// Calls `convertStringSidToSid` (the address of ConvertStringSidToSidA) with
// `sidText`; the SID it yields is released with FreeSid (LocalFree).
bool ConvertStringSid(ProcAddress convertStringSidToSid, const char* sidText, SidHandle* sid);
void FreeSid(SidHandle sid);

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
