// Proves that a 32-bit Windows program behaves in the emulated machine as the
// DLL's tests need: the reported Windows release follows the prefix's
// per-program setting, the ANSI code page follows LC_ALL, and a message box
// is a real window that another thread can find and dismiss with no display.
//
// Prints one "key=value" line per fact; exits 0 only when the box was found,
// dismissed with IDOK, and MessageBoxA returned IDOK. With the argument
// "crash" it faults at once instead.
#include <windows.h>

#include <cstdio>

namespace {

const char kCaption[] = "win32vm probe";
const DWORD kPollMs = 20;
const DWORD kWaitMs = 20000;

DWORD WINAPI ShowBox(void*)
{
    return static_cast<DWORD>(MessageBoxA(nullptr, "dismiss me", kCaption, MB_OK));
}

// The box's window exists before it is shown and before its buttons are made:
// wait until it is visible, so that IDOK reaches a ready dialog.
HWND WaitForBox()
{
    for (DWORD waited = 0; waited < kWaitMs; waited += kPollMs) {
        const HWND box = FindWindowA("#32770", kCaption);
        if (box && IsWindowVisible(box))
            return box;
        Sleep(kPollMs);
    }
    return nullptr;
}

// Writes through a shared file mapping, as programs that edit files in place
// do: the file lies in the shared folder, whose mounting must allow it.
bool WriteThroughMapping(const char* path, const char* text)
{
    const HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const DWORD size = static_cast<DWORD>(lstrlenA(text));
    const HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, size, nullptr);
    void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, size) : nullptr;
    if (view) {
        CopyMemory(view, text, size);
        UnmapViewOfFile(view);
    }
    if (mapping)
        CloseHandle(mapping);
    CloseHandle(file);
    return view != nullptr;
}

}  // namespace

int main(int argc, char** argv)
{
    // "crash": an unhandled fault, which must end the program rather than
    // leave a crash dialog waiting for a click.
    if (argc > 1 && lstrcmpA(argv[1], "crash") == 0) {
        volatile int* volatile nowhere = nullptr;
        *nowhere = 1;
    }

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) {
        std::printf("GetVersionExA failed: %lu\n", GetLastError());
        return 2;
    }
    std::printf("platform=%lu\n", version.dwPlatformId);
    std::printf("major=%lu\n", version.dwMajorVersion);
    std::printf("acp=%u\n", GetACP());
    std::printf("lcid=%04lx\n", static_cast<unsigned long>(GetUserDefaultLCID()));
    std::printf("mapping=%d\n", WriteThroughMapping("mapped.txt", "written through a mapping") ? 1 : 0);
    std::fflush(stdout);

    DWORD threadId = 0;
    const HANDLE thread = CreateThread(nullptr, 0, ShowBox, nullptr, 0, &threadId);
    if (!thread) {
        std::printf("CreateThread failed: %lu\n", GetLastError());
        return 2;
    }
    const HWND box = WaitForBox();
    std::printf("box_found=%d\n", box ? 1 : 0);
    if (box)
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

    // A box nobody dismissed would keep the thread forever: bound the wait.
    DWORD answer = 0;
    if (WaitForSingleObject(thread, kWaitMs) != WAIT_OBJECT_0 || !GetExitCodeThread(thread, &answer))
        answer = 0;
    CloseHandle(thread);
    std::printf("box_answer=%lu\n", answer);
    return box && answer == IDOK ? 0 : 1;
}
