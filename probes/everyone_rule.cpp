#include "probes/everyone_rule.h"

#include "probes/everyone_account.h"
#include "probes/release_classification.h"

namespace quorvel {

namespace {

bool IsNtFamily(WindowsReleaseCode code)
{
    return code == kWindows2000 || code == kWindowsXp || code == kWindowsNt4;
}

}  // namespace

std::optional<std::uint32_t> ApplyEveryoneRule(unsigned id, char* buffer, std::uint32_t bufferSize)
{
    const WindowsReleaseCode release = ClassifyWindowsRelease();
    if (id != kEveryoneId || !IsNtFamily(release))
        return std::nullopt;
    // Where the system cannot name the group, the catalogue's entry serves.
    return GetEveryoneAccountName(buffer, bufferSize);
}

}  // namespace quorvel
