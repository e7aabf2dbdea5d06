// A host compiled as Microsoft's compiler compiles it (clang++ --target=
// *-windows-msvc): quorvel.h declares the five Dll* functions, and the
// compiler gives them Microsoft's decorated names, which only Quorvel.lib
// resolves. No C runtime exists for this target here, so the program brings
// its own entry point and writes through kernel32.
//
// It prints, in the examples' format:
//     DllGetString(9) = "..." (size N)
//     GetStringFromQuorvelDll(2) = "..." (size N)
//     DllGetDynamicString(9, 1002) = "..." (size N)
// and references the three message-box functions without calling them.
#include <quorvel.h>

extern "C" {
__declspec(dllimport) void* __stdcall GetStdHandle(unsigned long handle);
__declspec(dllimport) int __stdcall WriteFile(void* file, const void* data, unsigned long size, unsigned long* written,
                                              void* overlapped);
__declspec(dllimport) void __stdcall ExitProcess(unsigned int code);
}

namespace {

const unsigned long kStandardOutput = static_cast<unsigned long>(-11);
char answer[512];
volatile int neverTrue = 0;

void Write(const char* text)
{
    unsigned long length = 0;
    while (text[length])
        ++length;
    unsigned long written = 0;
    WriteFile(GetStdHandle(kStandardOutput), text, length, &written, nullptr);
}

void WriteNumber(unsigned long number)
{
    char digits[16];
    char* end = digits + sizeof digits - 1;
    *end = '\0';
    do {
        *--end = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number);
    Write(end);
}

void Report(const char* function, unsigned id, const unsigned* token, QuorvelSize size, QuorvelSize filled)
{
    Write(function);
    Write("(");
    WriteNumber(id);
    if (token) {
        Write(", ");
        WriteNumber(*token);
    }
    Write(") = \"");
    Write(filled == size ? answer : "<size changed>");
    Write("\" (size ");
    WriteNumber(size);
    Write(")\n");
}

}  // namespace

extern "C" void __cdecl HostMain()
{
    QuorvelSize size = DllGetString(9, nullptr, 0);
    Report("DllGetString", 9, nullptr, size, size <= sizeof answer ? DllGetString(9, answer, size) : 0);

    size = GetStringFromQuorvelDll(2, nullptr, 0);
    Report("GetStringFromQuorvelDll", 2, nullptr, size,
           size <= sizeof answer ? GetStringFromQuorvelDll(2, answer, size) : 0);

    const unsigned token = 1002;
    size = DllGetDynamicString(9, nullptr, 0, token);
    Report("DllGetDynamicString", 9, &token, size,
           size <= sizeof answer ? DllGetDynamicString(9, answer, size, token) : 0);

    if (neverTrue) {  // linked, not shown: a box would wait for a person
        DllMessageBox(2);
        DllMessageBoxWithSuppliedSubString(35, 1005, answer);
        DllDynamicMessageBox(9, 1002);
    }
    ExitProcess(0);
}
