// Catalogue texts as the real resource loader serves them, in whatever
// locale the test run was started with (LC_ALL picks Wine's language and ANSI
// code page).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "tests/catalog/fingerprints.h"
#include "tests/support/hex.h"
#include "tests/support/machine.h"
#include "tests/support/windows/expected_texts.h"
#include "tests/support/windows/quorvel_module.h"

namespace quorvel::test {
namespace {

// On releases where the Everyone rule applies, 20001 is the account's name;
// Wine's default registry classifies as none of them.
TEST(Catalog, EveryIdInTheThreadsVariantThroughBothExports)
{
    const LANGID language = GetUserDefaultUILanguage();
    const std::uint16_t variant = VariantFor(language);
    SCOPED_TRACE(testing::Message() << "UI language 0x" << std::hex << language << ", code page " << std::dec
                                    << GetACP() << ", variant 0x" << std::hex << variant);
    for (unsigned id : kCatalogIds) {
        SCOPED_TRACE(testing::Message() << "ID " << id);
        const std::string viaDllGetString = GetString(Quorvel().DllGetString, id);
        const std::string viaPlainName = GetString(Quorvel().GetStringFromQuorvelDll, id);
        EXPECT_EQ(Hex(viaDllGetString), Hex(viaPlainName));
        if (variant != 0 || id < kFirstLocalizedId) {
            // IDs below 20001 hold the same text in every variant.
            const std::string expected = VariantText(variant ? variant : 0x0409, id);
            EXPECT_EQ(Hex(viaDllGetString), Hex(expected)) << viaDllGetString;
        } else {
            const std::vector<std::string> candidates = AllVariantTexts(id);
            EXPECT_NE(std::find(candidates.begin(), candidates.end(), viaDllGetString), candidates.end())
                << "not the text of any variant: " << Hex(viaDllGetString);
        }
    }
}

// Against the committed fingerprints of the thread's variant, where the run's
// code page is the variant's own.
TEST(Catalog, TextsAsTheCommittedFingerprint)
{
    const Variant* variant = FindVariant(VariantFor(GetUserDefaultUILanguage()));
    if (!variant || variant->locale.codePage != GetACP())
        GTEST_SKIP() << "no variant of its own in code page " << GetACP();
    EXPECT_EQ(FingerprintMismatch(variant->language, [](unsigned id) { return GetString(Quorvel().DllGetString, id); }),
              "");
}

TEST(Catalog, IdsWithoutTextAnswerTheEmptyText)
{
    // 65545 and 85537 would reach texts 9 and 20001 if only the low 16 bits counted.
    for (unsigned id : {0u, 38u, 100u, 119u, 1000u, 1006u, 20000u, 20012u, 61440u, 65535u, 65545u, 85537u}) {
        char buffer[4] = {'x', 'x', 'x', 'x'};
        EXPECT_EQ(Quorvel().DllGetString(id, buffer, sizeof buffer), 1u) << id;
        EXPECT_EQ(buffer[0], '\0') << id;
        EXPECT_EQ(buffer[1], 'x') << id;
        EXPECT_EQ(Quorvel().GetStringFromQuorvelDll(id, nullptr, 0), 1u) << id;
    }
}

// Guard bytes around the buffer: only the text and its NUL may change, and
// only when they fit.
TEST(BufferProtocol, WritesOnlyWhatFits)
{
    const QuorvelDllGetStringFn exports[] = {Quorvel().DllGetString, Quorvel().GetStringFromQuorvelDll};
    for (QuorvelDllGetStringFn function : exports) {
        for (unsigned id : {3u, 25u, 29u, 20005u}) {
            const std::string text = GetString(function, id);
            const QuorvelSize needed = static_cast<QuorvelSize>(text.size() + 1);
            EXPECT_EQ(function(id, nullptr, 0), needed);
            for (QuorvelSize size = 1; size <= needed + 2; ++size) {
                std::string guarded(size + 16, '\x5A');
                const QuorvelSize result = function(id, guarded.data() + 8, size);
                EXPECT_EQ(result, needed) << "ID " << id << " size " << size;
                std::string expected(size + 16, '\x5A');
                if (size >= needed)
                    expected.replace(8, needed, text.c_str(), needed);
                EXPECT_EQ(Hex(guarded), Hex(expected)) << "ID " << id << " size " << size;
            }
        }
    }
}

TEST(BufferProtocol, TooSmallBufferMayBeNull)
{
    EXPECT_EQ(Quorvel().DllGetString(2, nullptr, 3), 6u);  // "Error"
    EXPECT_EQ(Quorvel().GetStringFromQuorvelDll(2, nullptr, 5), 6u);
}

}  // namespace
}  // namespace quorvel::test
