// The catalogue as the plain string requests serve it: every ID of every
// variant in its code page, IDs without text, the variant for a thread's
// language, and how a text longer than the first load is read.
#include <algorithm>

#include "tests/catalog/fingerprints.h"
#include "tests/support/standin/standin_test.h"

namespace quorvel::test {
namespace {

using Catalog = StandinTest;

TEST_F(Catalog, EveryIdOfEveryVariantInItsCodePage)
{
    for (const Variant& variant : kVariants) {
        standin::SetCodePage(variant.locale.codePage);
        standin::SetThreadLanguage(variant.language);
        for (const unsigned id : kCatalogIds) {
            SCOPED_TRACE(testing::Message() << "variant " << variant.language << " id " << id);
            const std::string expected = CatalogText(variant.language, id);
            EXPECT_FALSE(expected.empty());
            EXPECT_LE(expected.size(), 239u);
            // The variant's own code page represents every character.
            EXPECT_EQ(expected.find('?'), std::string::npos);
            EXPECT_EQ(Served(QuorvelDllGetString, id), expected);
            EXPECT_EQ(Served(GetStringFromQuorvelDll, id), expected);
            // Texts before kFirstLocalizedId are the English ones everywhere.
            if (id < kFirstLocalizedId) {
                EXPECT_EQ(expected, CatalogText(0x0409, id));
            }
        }
    }
}

// An edit of a text fails here, with the variant and ID, until its
// fingerprint is rewritten (see fingerprints.txt).
TEST_F(Catalog, EveryVariantAsItsCommittedFingerprint)
{
    for (const auto& committed : CommittedFingerprints())
        EXPECT_NE(FindVariant(committed.first.first), nullptr) << "no variant " << committed.first.first;
    for (const Variant& variant : kVariants) {
        standin::SetCodePage(variant.locale.codePage);
        standin::SetThreadLanguage(variant.language);
        EXPECT_EQ(FingerprintMismatch(variant.language, [](unsigned id) { return Served(QuorvelDllGetString, id); }),
                  "");
    }
}

TEST_F(Catalog, IdsWithoutTextAnswerTheEmptyText)
{
    // On an NT-family system, so that an ID that merely aliases 20001 in its
    // low 16 bits would show up as the account name.
    BecomeRelease(kWindowsXp);
    for (const unsigned id : {0u, 38u, 100u, 119u, 1000u, 1006u, 20000u, 20012u, 61439u, 65535u, 65536u,
                              65536u + 9, 65536u + 20001, 0xFFFFFFFFu}) {
        SCOPED_TRACE(id);
        GuardedBuffer buffer(4);
        EXPECT_EQ(QuorvelDllGetString(id, buffer.data(), buffer.size()), 1u);
        EXPECT_TRUE(buffer.Holds(""));
        EXPECT_EQ(GetStringFromQuorvelDll(id, nullptr, 0), 1u);
    }
}

TEST_F(Catalog, VariantForTheThreadLanguage)
{
    const struct {
        std::uint16_t thread;
        std::uint16_t variant;
    } cases[] = {{0x0807, 0x0007}, {0x0804, 0x0004}, {0x0404, 0x0004}, {0x0416, 0x0016}, {0x0411, 0x0411},
                 // No variant of their own: English (United States).
                 {0x0809, 0x0409}, {0x0419, 0x0409}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << "thread " << c.thread);
        standin::SetCodePage(FindVariant(c.variant)->locale.codePage);
        standin::SetThreadLanguage(c.thread);
        for (unsigned id = kFirstLocalizedId; id <= kCatalogIds[std::size(kCatalogIds) - 1]; ++id)
            EXPECT_EQ(Served(QuorvelDllGetString, id), CatalogText(c.variant, id)) << id;
    }
    standin::SetCodePage(1252);
    standin::SetThreadLanguage(0x0807);
    EXPECT_EQ(Served(QuorvelDllGetString, 20001), "Jeder");
}

TEST_F(Catalog, LocalizedNamesWithTheirOwnRules)
{
    // The Japanese name of the VPN adapter, unit for unit.
    const std::u16string japaneseVpn =
        u"Microsoft \u4EEE'z\uFF8C\uFF9F\uFF97\uFF72\uFF8D\uFF9E\uFF70\uFF84 \uFF88\uFF6F\uFF84\uFF9C\uFF70\uFF78"
        u" \uFF71\uFF80\uFF9E\uFF8C\uFF9F\uFF80";
    ASSERT_EQ(japaneseVpn.size(), 35u);
    standin::SetCodePage(932);
    standin::SetThreadLanguage(0x0411);
    EXPECT_EQ(Served(QuorvelDllGetString, 20009), standin::ConvertToCodePage(japaneseVpn));

    // The second new-hardware caption is the first one, except in Portuguese.
    standin::SetCodePage(1252);
    standin::SetThreadLanguage(0x0416);
    EXPECT_EQ(Served(QuorvelDllGetString, 20011), Served(QuorvelDllGetString, 20006));
    EXPECT_NE(Served(QuorvelDllGetString, 20011), Served(QuorvelDllGetString, 20003));
    for (const Variant& variant : kVariants) {
        if (variant.language != 0x0016) {
            EXPECT_EQ(CatalogText(variant.language, 20011), CatalogText(variant.language, 20003));
        }
    }
}

TEST_F(Catalog, SpacesLineFeedsAndQuotationMarksAreKept)
{
    const std::string setupHelp = Served(QuorvelDllGetString, 25);
    EXPECT_EQ(setupHelp.size(), 239u) << "the longest text";
    EXPECT_EQ(std::count(setupHelp.begin(), setupHelp.end(), '\n'), 5);
    EXPECT_NE(setupHelp.find("connections \nwindow"), std::string::npos);
    EXPECT_NE(setupHelp.find("PPPoE \nfolder"), std::string::npos);
    EXPECT_EQ(Served(QuorvelDllGetString, 3).back(), ' ');
    EXPECT_EQ(Served(QuorvelDllGetString, 27).back(), ' ');
    EXPECT_NE(Served(QuorvelDllGetString, 14).find("the  system"), std::string::npos);
    const std::string readMe = Served(QuorvelDllGetString, 29);
    EXPECT_EQ(std::count(readMe.begin(), readMe.end(), '"'), 4);
    EXPECT_NE(readMe.find("\"ReadMe.txt\""), std::string::npos);
}

TEST_F(Catalog, ModuleAttachQuietsCriticalErrors)
{
    EXPECT_EQ(standin::ErrorMode() & 0x8001u, 0x8001u);
}

// ---- Texts longer than the first, fixed load ------------------------------------

using CatalogLoad = StandinTest;

TEST_F(CatalogLoad, LongTextsComeBackWhole)
{
    // Single-byte texts around the first load's 256 bytes and beyond, and
    // double-byte ones whose characters straddle it: the loader leaves out a
    // character that does not fit, so its count falls two bytes short.
    standin::SetCodePage(932);
    const struct {
        std::size_t singleByte;
        std::size_t doubleByte;  // after the single-byte characters
    } cases[] = {{0, 0},   {253, 0}, {254, 0}, {255, 0}, {509, 0}, {510, 0}, {1100, 0},
                 {0, 127}, {0, 128}, {1, 127}, {1, 128}, {2, 127}, {3, 300}, {0, 600}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.singleByte << " + 2 x " << c.doubleByte << " bytes");
        const std::u16string text = std::u16string(c.singleByte, u'a') + std::u16string(c.doubleByte, u'\u3042');
        standin::OverrideText(7, text);
        const std::string expected = standin::ConvertToCodePage(text);
        ASSERT_EQ(expected.size(), c.singleByte + 2 * c.doubleByte);
        EXPECT_EQ(Served(QuorvelDllGetString, 7), expected);
    }
}

}  // namespace
}  // namespace quorvel::test
