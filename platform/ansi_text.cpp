#include "platform/ansi_text.h"

#include <cstring>

#include "platform/platform.h"

namespace quorvel::platform {

namespace {

// Length in bytes of the character at `offset`. A lead byte with no byte
// after it inside the text counts as a character of its own.
std::size_t CharacterLength(const char* text, std::size_t textLength, std::size_t offset)
{
    if (offset + 1 < textLength && IsLeadByte(static_cast<unsigned char>(text[offset])))
        return 2;
    return 1;
}

}  // namespace

std::size_t BoundedLength(const char* text, std::size_t capacity)
{
    const void* nul = std::memchr(text, '\0', capacity);
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : capacity;
}

std::size_t FindText(const char* text, std::size_t textLength, const char* pattern,
                     std::size_t patternLength)
{
    if (patternLength == 0)
        return 0;
    for (std::size_t offset = 0; offset + patternLength <= textLength;
         offset += CharacterLength(text, textLength, offset)) {
        if (std::memcmp(text + offset, pattern, patternLength) == 0)
            return offset;
    }
    return kNotFound;
}

std::size_t FindCharacter(const char* text, std::size_t textLength, char character)
{
    return FindText(text, textLength, &character, 1);
}

void UpperCaseText(char* text, std::size_t length)
{
    for (std::size_t offset = 0; offset < length;) {
        const std::size_t characterLength = CharacterLength(text, length, offset);
        char& first = text[offset];
        if (characterLength == 1 && first >= 'a' && first <= 'z')
            first = static_cast<char>(first - 'a' + 'A');  // ASCII needs no code page
        else if (characterLength == 2 || static_cast<unsigned char>(first) >= 0x80)
            UpperCaseCharacter(text + offset, characterLength);
        offset += characterLength;
    }
}

}  // namespace quorvel::platform
