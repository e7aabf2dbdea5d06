// The few C library routines the module calls, or the compiler calls for it.
// Quorvel.dll links no C runtime: Windows 95 as first shipped has no
// msvcrt.dll, and its loader would refuse a module that imports one. The texts
// these routines see are a few hundred bytes at most, so plain loops are as
// fast as anything a runtime offers.
//
// This file is compiled freestanding and without loop-pattern distribution:
// otherwise the compiler would recognise each loop below and compile it back
// into a call of the very routine it implements.
#include <cstddef>
#include <cstdint>

extern "C" {

void* memcpy(void* destination, const void* source, std::size_t size)
{
    auto* to = static_cast<unsigned char*>(destination);
    const auto* from = static_cast<const unsigned char*>(source);
    while (size--)
        *to++ = *from++;
    return destination;
}

// Overlapping ranges copy from the end when the destination lies above the source.
void* memmove(void* destination, const void* source, std::size_t size)
{
    auto* to = static_cast<unsigned char*>(destination);
    const auto* from = static_cast<const unsigned char*>(source);
    const auto gap = reinterpret_cast<std::uintptr_t>(to) - reinterpret_cast<std::uintptr_t>(from);
    if (gap >= size) {  // the destination starts below the source or beyond its end
        while (size--)
            *to++ = *from++;
    } else {
        while (size--)
            to[size] = from[size];
    }
    return destination;
}

void* memset(void* destination, int value, std::size_t size)
{
    auto* to = static_cast<unsigned char*>(destination);
    while (size--)
        *to++ = static_cast<unsigned char>(value);
    return destination;
}

int memcmp(const void* left, const void* right, std::size_t size)
{
    const auto* a = static_cast<const unsigned char*>(left);
    const auto* b = static_cast<const unsigned char*>(right);
    for (; size; --size, ++a, ++b) {
        if (*a != *b)
            return *a < *b ? -1 : 1;
    }
    return 0;
}

void* memchr(const void* block, int value, std::size_t size)
{
    const auto* at = static_cast<const unsigned char*>(block);
    for (; size; --size, ++at) {
        if (*at == static_cast<unsigned char>(value))
            return const_cast<unsigned char*>(at);
    }
    return nullptr;
}

std::size_t strlen(const char* text)
{
    const char* end = text;
    while (*end)
        ++end;
    return static_cast<std::size_t>(end - text);
}

}  // extern "C"
