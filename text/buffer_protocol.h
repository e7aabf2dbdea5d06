// The buffer protocol shared by the plain string requests: the answer's size
// with its NUL is returned whether or not it was copied, and the answer is
// copied only when it fits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace quorvel {

// Returned when an answer could not be produced for want of memory: no answer
// has size 0, so a host can tell it from every real size.
constexpr std::uint32_t kNoAnswer = 0;

// Copies `length` bytes of `text` and a NUL into `buffer` when length is
// smaller than `bufferSize`; returns length + 1.
inline std::uint32_t AnswerWithText(const char* text, std::size_t length, char* buffer,
                                    std::uint32_t bufferSize)
{
    if (length < bufferSize) {
        std::memcpy(buffer, text, length);
        buffer[length] = '\0';
    }
    return static_cast<std::uint32_t>(length + 1);
}

}  // namespace quorvel
