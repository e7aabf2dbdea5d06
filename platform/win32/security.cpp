// Libraries, the SID conversion looked up at run time, and the account lookup.
#include <windows.h>

#include "platform/platform.h"

namespace quorvel::platform {

namespace {

// ConvertStringSidToSidA: Windows 2000 and later only, so never imported.
using ConvertStringSidToSidProc = BOOL(WINAPI*)(LPCSTR, PSID*);

}  // namespace

LibraryHandle LoadSystemLibrary(const char* name) { return reinterpret_cast<LibraryHandle>(::LoadLibraryA(name)); }

ProcAddress GetProcedure(LibraryHandle library, const char* name)
{
    return reinterpret_cast<ProcAddress>(::GetProcAddress(reinterpret_cast<HMODULE>(library), name));
}

void FreeSystemLibrary(LibraryHandle library) { ::FreeLibrary(reinterpret_cast<HMODULE>(library)); }

bool ConvertStringSid(ProcAddress convertStringSidToSid, const char* sidText, SidHandle* sid)
{
    const auto convert = reinterpret_cast<ConvertStringSidToSidProc>(convertStringSidToSid);
    PSID converted = nullptr;
    const bool ok = convert(sidText, &converted) != FALSE;
    *sid = ok ? static_cast<SidHandle>(converted) : nullptr;
    return ok && converted;
}

void FreeConvertedSid(SidHandle sid) { ::LocalFree(sid); }

bool LookupAccountNameOfSid(SidHandle sid, char* name, std::uint32_t* nameSize, char* domain,
                            std::uint32_t* domainSize)
{
    DWORD nameChars = *nameSize;
    DWORD domainChars = *domainSize;
    SID_NAME_USE use = SidTypeUnknown;
    const bool ok = ::LookupAccountSidA(nullptr, sid, name, &nameChars, domain, &domainChars, &use) != FALSE;
    *nameSize = nameChars;
    *domainSize = domainChars;
    return ok;
}

}  // namespace quorvel::platform
