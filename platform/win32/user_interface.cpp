// The message box.
#include <windows.h>

#include "platform/platform.h"

namespace quorvel::platform {

void ShowOkMessageBox(const char* text, const char* caption) { ::MessageBoxA(nullptr, text, caption, MB_OK); }

}  // namespace quorvel::platform
