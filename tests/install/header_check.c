/* Compiled as C89, C99 and C11 with every warning an error: a host's view of
 * the kit's headers. The initialisers below only compile when each function
 * and typedef agree exactly, calling convention included. */
#include <quorvel_loader.h>

typedef char QuorvelSizeIs32Bits[sizeof(QuorvelSize) == 4 ? 1 : -1];

static const QuorvelGetStringFromQuorvelDllFn plainGetString = &GetStringFromQuorvelDll;

int main(void)
{
    QuorvelFunctions functions;
    QuorvelSizeIs32Bits check;
    const char* missing = QuorvelResolve(GetModuleHandleA("Quorvel.dll"), &functions);
    (void)check;
    (void)plainGetString;
    return missing != NULL;
}
