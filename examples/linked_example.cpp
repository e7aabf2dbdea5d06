// A C++ host that links Quorvel.dll through its import library and calls the
// functions by their names in quorvel.h: Quorvel.lib with Microsoft's
// compiler, libQuorvel.dll.a with MinGW.
//
//     quorvel_linked_example [ID | MESSAGE:TOKEN | box:ID]...
//
// The same commands and output as quorvel_loader_example.
#include <cstdio>
#include <string>
#include <vector>

#include <quorvel.h>

namespace {

// One text, size first. `fetch` calls the module with a buffer and its size.
// Returns false when the module ran out of memory.
template <typename Fetch>
bool FetchText(Fetch fetch, std::string* text, QuorvelSize* answeredSize)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QuorvelSize size = fetch(nullptr, 0);
        if (size == 0)
            return false;
        std::vector<char> buffer(size);
        const QuorvelSize again = fetch(buffer.data(), size);
        if (again == 0)  // out of memory this time: nothing copied
            return false;
        if (again <= size) {  // copied; otherwise it grew and nothing was copied
            *text = buffer.data();
            *answeredSize = again;
            return true;
        }
    }
    return false;
}

int Show(const char* argument)
{
    unsigned int id = 0, token = 0;
    std::string text;
    QuorvelSize size = 0;

    if (std::sscanf(argument, "box:%u", &id) == 1) {
        DllMessageBox(id);
        std::printf("DllMessageBox(%u) dismissed\n", id);
        return 0;
    }
    if (std::sscanf(argument, "%u:%u", &id, &token) == 2) {
        const auto fetch = [&](char* buffer, QuorvelSize bufferSize) {
            return DllGetDynamicString(id, buffer, bufferSize, token);
        };
        if (!FetchText(fetch, &text, &size))
            return 1;
        std::printf("DllGetDynamicString(%u, %u) = \"%s\" (size %lu)\n", id, token, text.c_str(),
                    static_cast<unsigned long>(size));
        return 0;
    }
    if (std::sscanf(argument, "%u", &id) != 1) {
        std::fprintf(stderr, "not an ID or MESSAGE:TOKEN: %s\n", argument);
        return 2;
    }
    const auto fetch = [&](char* buffer, QuorvelSize bufferSize) { return DllGetString(id, buffer, bufferSize); };
    if (!FetchText(fetch, &text, &size))
        return 1;
    std::printf("DllGetString(%u) = \"%s\" (size %lu)\n", id, text.c_str(), static_cast<unsigned long>(size));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<const char*> arguments(argv + 1, argv + argc);
    if (arguments.empty())
        arguments = {"2", "9", "9:1002"};
    int status = 0;
    for (const char* argument : arguments)
        status |= Show(argument);
    return status;
}
