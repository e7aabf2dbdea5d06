#include "probes/everyone_account.h"

#include <cstdint>

#include "platform/owned.h"
#include "platform/platform.h"
#include "text/ansi_text.h"

namespace quorvel {

Status GetEveryoneAccountName(AccountName* name)
{
    // Looked up by name on every call, never bound at load: Windows NT 4.0
    // lacks the service, and the module must still load and serve there.
    const platform::UniqueLibrary advapi(platform::LoadSystemLibrary("Advapi32.dll"));
    if (!advapi)
        return Status::kAbsent;
    const platform::ProcAddress convert = platform::GetProcedure(advapi.get(), "ConvertStringSidToSidA");
    if (!convert)
        return Status::kAbsent;

    platform::UniqueSid everyone;
    if (!platform::ConvertStringSid(convert, "S-1-1-0", everyone.put()))
        return Status::kUnreadable;

    *name = {};
    char domain[kAccountNameCapacity] = {};
    std::uint32_t nameSize = kAccountNameCapacity;
    std::uint32_t domainSize = kAccountNameCapacity;
    if (!platform::LookupAccountNameOfSid(everyone.get(), name->text, &nameSize, domain, &domainSize))
        return Status::kUnreadable;

    // Windows reports the name's length, Wine counts its NUL as well: the name
    // ends at its first NUL within what was reported, and within the buffer.
    const std::size_t limit = nameSize < kAccountNameCapacity ? nameSize : kAccountNameCapacity - 1;
    name->length = BoundedLength(name->text, limit);
    name->text[name->length] = '\0';
    return name->length == 0 ? Status::kUnreadable : Status::kOk;
}

}  // namespace quorvel
