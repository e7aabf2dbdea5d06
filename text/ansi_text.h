// Substring search and upper-casing of 8-bit text in the active ANSI code page.
//
// Both walk the text character by character: in a double-byte code page a
// lead byte and its trail byte form one character, so a match never starts on
// a trail byte and a double-byte character is upper-cased as a whole. Texts
// are bounded by an explicit length, so a text without a NUL is never read
// past its end.
#pragma once

#include <cstddef>

namespace quorvel {

constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

// Bytes before the first NUL among the first `capacity` bytes of `text`.
std::size_t BoundedLength(const char* text, std::size_t capacity);

// Offset of the first occurrence of `pattern` in `text`, compared byte for
// byte (case-sensitive), starting only on character boundaries; kNotFound when
// there is none. An empty pattern matches at offset 0.
std::size_t FindText(const char* text, std::size_t textLength, const char* pattern,
                     std::size_t patternLength);

// Offset of the first character equal to the single-byte `character`.
std::size_t FindCharacter(const char* text, std::size_t textLength, char character);

// Upper-cases the first `length` bytes of `text` in place.
void UpperCaseText(char* text, std::size_t length);

}  // namespace quorvel
