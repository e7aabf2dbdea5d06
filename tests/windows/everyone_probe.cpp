// Child program of the Everyone tests: started with a Windows version chosen
// by the parent, it reports what the module answers for ID 20001 next to
// what the system itself says, one "name hex-bytes" line each.
#include <windows.h>

#include <sddl.h>

#include <cstdio>
#include <string>

#include "tests/support/hex.h"
#include "tests/support/machine.h"
#include "tests/support/windows/quorvel_module.h"
#include "tools/machine/windows/message_box_watch.h"

namespace {

using namespace quorvel::test;

std::string SystemEveryoneName()
{
    PSID sid = nullptr;
    if (!ConvertStringSidToSidA("S-1-1-0", &sid))
        return "(no SID)";
    char name[260] = {};
    char domain[260] = {};
    DWORD nameSize = sizeof name;
    DWORD domainSize = sizeof domain;
    SID_NAME_USE use;
    const BOOL ok = LookupAccountSidA(nullptr, sid, name, &nameSize, domain, &domainSize, &use);
    LocalFree(sid);
    return ok ? std::string(name) : "(lookup failed)";
}

void Report(const char* what, const std::string& bytes) { std::printf("%s %s\n", what, Hex(bytes).c_str()); }

}  // namespace

int main()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    std::printf("version %lu.%lu\n", version.dwPlatformId, version.dwMajorVersion);
    std::printf("language %04x\n", GetUserDefaultUILanguage());

    Report("account", SystemEveryoneName());
    Report("DllGetString", GetString(Quorvel().DllGetString, 20001));
    Report("GetStringFromQuorvelDll", GetString(Quorvel().GetStringFromQuorvelDll, 20001));
    Report("other", GetString(Quorvel().DllGetString, 20002));
    Report("DllMessageBox", WatchMessageBox([] { Quorvel().DllMessageBox(20001); }).text);
    Report("DllMessageBoxWithSuppliedSubString", WatchMessageBox([] {
                                                     Quorvel().DllMessageBoxWithSuppliedSubString(20001, 1005, nullptr);
                                                 }).text);
    return 0;
}
