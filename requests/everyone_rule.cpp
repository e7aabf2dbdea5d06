#include "requests/everyone_rule.h"

#include "probes/everyone_account.h"
#include "probes/release_classification.h"
#include "text/buffer_protocol.h"

namespace quorvel {

std::optional<std::uint32_t> ApplyEveryoneRule(unsigned id, char* buffer, std::uint32_t bufferSize)
{
    Status classified = Status::kOk;
    const WindowsReleaseCode release = ClassifyWindowsRelease(&classified);
    if (id != kEveryoneId)
        return std::nullopt;
    // Memory ran out before the release was known: the catalogue's entry might
    // stand in for the system's name, so there is no answer.
    if (classified == Status::kNoMemory)
        return kNoAnswer;
    if (!IsNtFamily(release))
        return std::nullopt;
    // Where the system cannot name the group, the catalogue's entry serves.
    AccountName name;
    if (GetEveryoneAccountName(&name) != Status::kOk)
        return std::nullopt;
    return AnswerWithText(name.text, name.length, buffer, bufferSize);
}

}  // namespace quorvel
