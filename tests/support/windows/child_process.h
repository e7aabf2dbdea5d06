// Starting a program that lies next to the test program, and collecting its
// output.
#pragma once

#include <functional>
#include <string>

namespace quorvel::test {

struct ChildResult {
    unsigned long exitCode = ~0ul;  // ~0 when it did not start or end in time
    std::string output;             // standard output and error together
};

// Called with the child's process ID at each poll, every 20 ms while it runs.
using ChildPoll = std::function<void(unsigned long processId)>;

constexpr unsigned long kNoTimeLimit = ~0ul;

// The test program's own directory, with a trailing separator.
std::string OwnDirectory();

// Runs `program` from the test program's own directory with `arguments`,
// calling `poll` (when given) while it runs, and ends it once the waits
// between polls add up to `timeLimitMs`.
ChildResult RunSibling(const std::string& program, const std::string& arguments, const ChildPoll& poll = nullptr,
                       unsigned long timeLimitMs = kNoTimeLimit);

}  // namespace quorvel::test
