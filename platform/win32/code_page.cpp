// Characters of the active ANSI code page.
#include <windows.h>

#include "platform/platform.h"

namespace quorvel::platform {

bool IsLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

bool UpperCaseCharacters(const char* text, std::size_t length, char* upper)
{
    // The system default locale's ANSI code page is the active one.
    const int size = static_cast<int>(length);
    return ::LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_UPPERCASE, text, size, upper, size) == size;
}

}  // namespace quorvel::platform
