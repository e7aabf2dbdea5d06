// The version record.
#include <windows.h>

#include "platform/platform.h"

namespace quorvel::platform {

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is 148 bytes");

bool GetVersionRecord(VersionRecord* record)
{
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExA(&info))
        return false;
    record->platformId = info.dwPlatformId;
    record->majorVersion = info.dwMajorVersion;
    return true;
}

}  // namespace quorvel::platform
