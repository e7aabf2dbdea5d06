// The module under test, loaded by name and called through its exports as
// the installer calls it.
#pragma once

#include <string>

#include "quorvel_loader.h"

namespace quorvel::test {

// Loads Quorvel.dll once per process; fails the test run when it cannot.
const QuorvelFunctions& Quorvel();

// A plain string request as a host makes it: size query, then fill.
std::string GetString(QuorvelDllGetStringFn function, unsigned id);
// The same for the dynamic string, with its one-byte margin.
std::string GetDynamicString(unsigned messageId, unsigned tokenId);

}  // namespace quorvel::test
