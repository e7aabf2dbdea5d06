// Bytes as hexadecimal, for messages about texts in any code page.
#pragma once

#include <string>

namespace quorvel::test {

inline std::string Hex(const std::string& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char byte : bytes) {
        out += kDigits[byte >> 4];
        out += kDigits[byte & 15];
    }
    return out;
}

}  // namespace quorvel::test
