#include "tests/support/windows/quorvel_module.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace quorvel::test {

const QuorvelFunctions& Quorvel()
{
    static const QuorvelFunctions functions = [] {
        QuorvelFunctions loaded;
        const char* missing = QuorvelResolve(LoadLibraryA("Quorvel.dll"), &loaded);
        if (missing) {
            std::fprintf(stderr, "Quorvel.dll: cannot resolve %s\n", missing);
            std::exit(3);
        }
        return loaded;
    }();
    return functions;
}

std::string GetString(QuorvelDllGetStringFn function, unsigned id)
{
    const QuorvelSize size = function(id, nullptr, 0);
    std::vector<char> buffer(size);
    function(id, buffer.data(), size);
    return std::string(buffer.data(), size ? size - 1 : 0);
}

std::string GetDynamicString(unsigned messageId, unsigned tokenId)
{
    const QuorvelSize size = Quorvel().DllGetDynamicString(messageId, nullptr, 0, tokenId);
    std::vector<char> buffer(size);
    Quorvel().DllGetDynamicString(messageId, buffer.data(), size, tokenId);
    return std::string(buffer.data(), size >= 2 ? size - 2 : 0);
}

}  // namespace quorvel::test
