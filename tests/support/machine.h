// The machine as the quorvel tool describes it (tools/machine/): locales,
// variants and catalogue IDs, registry keys and Windows releases, named in
// the tests' namespace.
#pragma once

#include "tools/machine/locales.h"
#include "tools/machine/registry_keys.h"
#include "tools/machine/releases.h"

namespace quorvel::test {

using namespace machine;

}  // namespace quorvel::test
