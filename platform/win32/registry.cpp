// Read-only registry access under HKEY_LOCAL_MACHINE.
#include <windows.h>

#include "platform/platform.h"

namespace quorvel::platform {

bool OpenLocalMachineKey(const char* subkey, KeyHandle* key)
{
    HKEY opened = nullptr;
    const bool ok = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_READ, &opened) == ERROR_SUCCESS;
    *key = ok ? reinterpret_cast<KeyHandle>(opened) : nullptr;
    return ok;
}

bool QueryValueSize(KeyHandle key, const char* valueName, std::uint32_t* size)
{
    DWORD type = 0;
    DWORD bytes = 0;
    const bool ok = ::RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName, nullptr, &type, nullptr, &bytes) ==
                    ERROR_SUCCESS;
    *size = ok ? bytes : 0;
    return ok;
}

bool QueryValue(KeyHandle key, const char* valueName, unsigned char* data, std::uint32_t* size)
{
    DWORD type = 0;
    DWORD bytes = *size;
    if (::RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName, nullptr, &type, data, &bytes) != ERROR_SUCCESS)
        return false;
    // The bytes stored never exceed the buffer on success; keep the bound anyway.
    if (bytes < *size)
        *size = bytes;
    return true;
}

void CloseKey(KeyHandle key) { ::RegCloseKey(reinterpret_cast<HKEY>(key)); }

}  // namespace quorvel::platform
