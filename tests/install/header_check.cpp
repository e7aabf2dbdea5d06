// Compiled as C++98, C++11 and C++20 with every warning an error: a host's
// view of the kit's headers. Each declared function initialises the pointer
// type quorvel_loader.h resolves it as, which only compiles when the two agree
// exactly, calling convention included.
#include <quorvel_loader.h>

typedef char QuorvelSizeIs32Bits[sizeof(QuorvelSize) == 4 ? 1 : -1];

static const QuorvelDllDynamicMessageBoxFn dynamicMessageBox = &DllDynamicMessageBox;
static const QuorvelDllGetDynamicStringFn getDynamicString = &DllGetDynamicString;
static const QuorvelDllGetStringFn getString = &DllGetString;
static const QuorvelDllMessageBoxFn messageBox = &DllMessageBox;
static const QuorvelDllMessageBoxWithSuppliedSubStringFn messageBoxWithSubstitute =
    &DllMessageBoxWithSuppliedSubString;
static const QuorvelGetStringFromQuorvelDllFn plainGetString = &GetStringFromQuorvelDll;

int main()
{
    QuorvelFunctions functions;
    QuorvelSizeIs32Bits check;
    (void)check;
    (void)dynamicMessageBox;
    (void)getDynamicString;
    (void)getString;
    (void)messageBox;
    (void)messageBoxWithSubstitute;
    (void)plainGetString;
    return QuorvelResolve(GetModuleHandleA("Quorvel.dll"), &functions) != NULL;
}
