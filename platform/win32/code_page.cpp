// Characters of the active ANSI code page.
#include <windows.h>

#include "platform/platform.h"

namespace quorvel::platform {

bool IsLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

void UpperCaseCharacter(char* character, std::size_t length)
{
    // The system default locale's ANSI code page is the active one.
    char upper[2];
    const int mapped = ::LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_UPPERCASE, character, static_cast<int>(length),
                                      upper, sizeof upper);
    if (mapped == static_cast<int>(length)) {
        for (std::size_t i = 0; i < length; ++i)
            character[i] = upper[i];
    }
}

}  // namespace quorvel::platform
