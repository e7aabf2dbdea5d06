// The C library routines that the Windows module carries instead of a C
// runtime, held against this machine's C library. They are built here under
// names of their own (quorvel_memcpy...), from the very source the module uses.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

extern "C" {
void* quorvel_memcpy(void* destination, const void* source, std::size_t size);
void* quorvel_memmove(void* destination, const void* source, std::size_t size);
void* quorvel_memset(void* destination, int value, std::size_t size);
int quorvel_memcmp(const void* left, const void* right, std::size_t size);
void* quorvel_memchr(const void* block, int value, std::size_t size);
std::size_t quorvel_strlen(const char* text);
}

namespace {

using Block = std::array<unsigned char, 64>;

// Every byte differs from its neighbours, and bytes above 0x7F are included.
Block Pattern()
{
    Block block{};
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<unsigned char>(i * 37 + 1);
    return block;
}

int Sign(int value) { return (value > 0) - (value < 0); }

struct Copy {
    std::size_t to, from, size;
};

// Within one block: the destination just below and just above the source,
// far from it, on it, and nothing at all.
const Copy kCopies[] = {{8, 9, 20}, {9, 8, 20}, {0, 1, 63}, {1, 0, 63}, {0, 32, 32},
                        {32, 0, 32}, {4, 4, 12}, {10, 3, 0}};

TEST(StandaloneRuntime, MemmoveAndMemcpyCopyAsTheCLibraryDoes)
{
    for (const Copy& copy : kCopies) {
        SCOPED_TRACE(testing::Message() << "to " << copy.to << ", from " << copy.from << ", " << copy.size << " bytes");
        Block expected = Pattern(), actual = Pattern();
        std::memmove(expected.data() + copy.to, expected.data() + copy.from, copy.size);
        EXPECT_EQ(quorvel_memmove(actual.data() + copy.to, actual.data() + copy.from, copy.size),
                  actual.data() + copy.to);
        EXPECT_EQ(actual, expected);

        // memcpy between two blocks, which never overlap.
        const Block source = Pattern();
        Block copied{}, copiedByLibrary{};
        std::memcpy(copiedByLibrary.data() + copy.to, source.data() + copy.from, copy.size);
        EXPECT_EQ(quorvel_memcpy(copied.data() + copy.to, source.data() + copy.from, copy.size),
                  copied.data() + copy.to);
        EXPECT_EQ(copied, copiedByLibrary);
    }
}

TEST(StandaloneRuntime, MemsetStoresTheValueAsAnUnsignedChar)
{
    for (const int value : {0, 0x41, 0xFF, 0x141, -1}) {
        for (const std::size_t size : {0, 1, 17, 64}) {
            SCOPED_TRACE(testing::Message() << "value " << value << ", " << size << " bytes");
            Block expected = Pattern(), actual = Pattern();
            std::memset(expected.data(), value, size);
            EXPECT_EQ(quorvel_memset(actual.data(), value, size), actual.data());
            EXPECT_EQ(actual, expected);
        }
    }
}

TEST(StandaloneRuntime, MemcmpAndStrlenAnswerAsTheCLibraryDoes)
{
    struct Comparison {
        const char* left;
        const char* right;
        std::size_t size;
    };
    // Bytes compare as unsigned: 0x80 is greater than 0x01.
    const Comparison comparisons[] = {{"abc", "abc", 3}, {"abc", "abd", 3}, {"abd", "abc", 3}, {"a\x80", "a\x01", 2},
                                      {"a\x01", "a\x80", 2}, {"abc", "xyz", 0}, {"ab\0c", "ab\0d", 4}};
    for (const Comparison& c : comparisons) {
        SCOPED_TRACE(testing::Message() << "'" << c.left << "' and '" << c.right << "', " << c.size << " bytes");
        EXPECT_EQ(Sign(quorvel_memcmp(c.left, c.right, c.size)), Sign(std::memcmp(c.left, c.right, c.size)));
        EXPECT_EQ(quorvel_strlen(c.left), std::strlen(c.left));
    }
    EXPECT_EQ(quorvel_strlen(""), 0u);
}

TEST(StandaloneRuntime, MemchrFindsTheFirstMatchWithinTheSize)
{
    const Block block = Pattern();
    // The first byte, a byte above 0x7F, an int that truncates to a byte that
    // is there, a byte past the size, and one that is nowhere.
    const int values[] = {block[0], block[5], 0x100 | block[7], block[40], 0x00};
    for (const int value : values) {
        for (const std::size_t size : {0, 8, 64}) {
            SCOPED_TRACE(testing::Message() << "value " << value << ", " << size << " bytes");
            EXPECT_EQ(quorvel_memchr(block.data(), value, size), std::memchr(block.data(), value, size));
        }
    }
}

}  // namespace
