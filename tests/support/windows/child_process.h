// Starting a program that lies next to the test program, and collecting its
// output.
#pragma once

#include <string>

namespace quorvel::test {

struct ChildResult {
    unsigned long exitCode = ~0ul;
    std::string output;  // standard output and error together
};

// The test program's own directory, with a trailing separator.
std::string OwnDirectory();

// Runs `program` from the test program's own directory with `arguments`.
ChildResult RunSibling(const std::string& program, const std::string& arguments);

}  // namespace quorvel::test
