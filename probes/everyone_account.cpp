#include "probes/everyone_account.h"

#include "text/ansi_text.h"
#include "platform/owned.h"
#include "platform/platform.h"
#include "text/buffer_protocol.h"

namespace quorvel {

namespace {

constexpr std::uint32_t kNameBufferSize = 260;

}  // namespace

std::optional<std::uint32_t> GetEveryoneAccountName(char* buffer, std::uint32_t bufferSize)
{
    // Looked up by name on every call, never bound at load: Windows NT 4.0
    // lacks the service, and the module must still load and serve there.
    const platform::UniqueLibrary advapi(platform::LoadSystemLibrary("Advapi32.dll"));
    if (!advapi)
        return std::nullopt;
    const platform::ProcAddress convert = platform::GetProcedure(advapi.get(), "ConvertStringSidToSidA");
    if (!convert)
        return std::nullopt;

    platform::UniqueSid everyone;
    if (!platform::ConvertStringSid(convert, "S-1-1-0", everyone.put()))
        return std::nullopt;

    char name[kNameBufferSize] = {};
    char domain[kNameBufferSize] = {};
    std::uint32_t nameSize = kNameBufferSize;
    std::uint32_t domainSize = kNameBufferSize;
    if (!platform::LookupAccountNameOfSid(everyone.get(), name, &nameSize, domain, &domainSize))
        return std::nullopt;

    // Windows reports the name's length, Wine counts its NUL as well: the name
    // ends at its first NUL within what was reported, and within the buffer.
    const std::size_t limit = nameSize < kNameBufferSize ? nameSize : kNameBufferSize - 1;
    const std::size_t length = platform::BoundedLength(name, limit);
    if (length == 0)
        return std::nullopt;
    return AnswerWithText(name, length, buffer, bufferSize);
}

}  // namespace quorvel
