#include "text/ansi_text.h"

#include <cstring>

#include "platform/platform.h"

namespace quorvel {

namespace {

// Length in bytes of the character at `offset`. A lead byte with no byte
// after it inside the text counts as a character of its own.
std::size_t CharacterLength(const char* text, std::size_t textLength, std::size_t offset)
{
    if (offset + 1 < textLength && platform::IsLeadByte(static_cast<unsigned char>(text[offset])))
        return 2;
    return 1;
}

// Longest stretch of text mapped by one call of the code page's upper-casing:
// one call per stretch rather than per character keeps a name of many
// accented letters cheap.
constexpr std::size_t kRunCapacity = 64;

// Bytes from `offset` of the characters that start with a non-ASCII byte,
// whole characters only, at most kRunCapacity (and at least one character).
std::size_t NonAsciiRunLength(const char* text, std::size_t textLength, std::size_t offset)
{
    std::size_t end = offset;
    while (end < textLength && static_cast<unsigned char>(text[end]) >= 0x80) {
        const std::size_t next = end + CharacterLength(text, textLength, end);
        if (next - offset > kRunCapacity && end > offset)
            break;
        end = next;
    }
    return end - offset;
}

// Whether both texts of `length` bytes divide into characters at the same offsets.
bool SameCharacterBoundaries(const char* first, const char* second, std::size_t length)
{
    for (std::size_t offset = 0; offset < length;) {
        const std::size_t characterLength = CharacterLength(first, length, offset);
        if (CharacterLength(second, length, offset) != characterLength)
            return false;
        offset += characterLength;
    }
    return true;
}

// Upper-cases `length` bytes of whole characters in place. Mapped as a whole
// when that keeps every character's length, else character by character, so
// that a character whose upper-case form has another length stays as it is.
void UpperCaseRun(char* run, std::size_t length)
{
    char upper[kRunCapacity];
    if (platform::UpperCaseCharacters(run, length, upper) && SameCharacterBoundaries(run, upper, length)) {
        std::memcpy(run, upper, length);
        return;
    }
    for (std::size_t offset = 0; offset < length;) {
        const std::size_t characterLength = CharacterLength(run, length, offset);
        if (platform::UpperCaseCharacters(run + offset, characterLength, upper))
            std::memcpy(run + offset, upper, characterLength);
        offset += characterLength;
    }
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
        char& first = text[offset];
        if (static_cast<unsigned char>(first) < 0x80) {
            if (first >= 'a' && first <= 'z')
                first = static_cast<char>(first - 'a' + 'A');  // ASCII needs no code page
            ++offset;
            continue;
        }
        const std::size_t runLength = NonAsciiRunLength(text, length, offset);
        UpperCaseRun(text + offset, runLength);
        offset += runLength;
    }
}

}  // namespace quorvel
