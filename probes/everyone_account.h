// The name under which the running system knows the Everyone group.
#pragma once

#include <cstddef>

#include "text/status.h"

namespace quorvel {

constexpr std::size_t kAccountNameCapacity = 260;

struct AccountName {
    char text[kAccountNameCapacity];  // NUL-terminated
    std::size_t length;
};

// Resolves the well-known SID S-1-1-0 to its account name. kAbsent when
// Advapi32.dll or its ConvertStringSidToSidA (Windows NT 4.0 has none) is
// missing; kUnreadable when the conversion or the lookup fails, or the name
// is empty: an empty group name would be no answer, so the catalogue's text
// serves instead.
Status GetEveryoneAccountName(AccountName* name);

}  // namespace quorvel
