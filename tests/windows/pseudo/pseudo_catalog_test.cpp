// The pseudo-localized module (bin/pseudo/Quorvel.dll) as the real resource
// loader serves it, run in each variant's own locale: every text is the real
// one, its letters swapped for look-alikes of the variant's code page, padded
// and bracketed, and served whole however long it grew.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>

#include "tests/support/ansi_model.h"
#include "tests/support/hex.h"
#include "tests/support/machine.h"
#include "tests/support/windows/expected_texts.h"
#include "tests/support/windows/quorvel_module.h"
#include "tools/machine/windows/scoped_value.h"

namespace quorvel::test {
namespace {

constexpr unsigned kFirstTokenId = 1001;
constexpr unsigned kLastTokenId = 1005;

// The text in the run's code page as UTF-16; nothing when it is not valid there.
std::optional<std::u16string> Wide(const std::string& ansi)
{
    if (ansi.empty())
        return std::u16string();
    const int size = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), static_cast<int>(ansi.size()),
                                         nullptr, 0);
    if (size == 0)
        return std::nullopt;
    std::u16string wide(size, u'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, ansi.data(), static_cast<int>(ansi.size()),
                        reinterpret_cast<wchar_t*>(wide.data()), size);
    return wide;
}

std::u16string FromUtf8(const std::string& utf8)
{
    std::u16string wide(utf8.size(), u'\0');
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                         reinterpret_cast<wchar_t*>(wide.data()), static_cast<int>(wide.size()));
    wide.resize(size);
    return wide;
}

// The end of the placeholder token at `at` ("<" up to the next ">" with no
// "<" between), or npos.
std::size_t TokenEnd(const std::u16string& text, std::size_t at)
{
    if (text[at] != u'<')
        return std::u16string::npos;
    const std::size_t end = text.find_first_of(u"<>", at + 1);
    return end != std::u16string::npos && text[end] == u'>' ? end : std::u16string::npos;
}

// The real text with the form's letters swapped, tokens left as they are.
std::u16string Swapped(const std::u16string& real, const PseudoForm& form)
{
    const std::u16string letters = form.letters;
    std::u16string swapped;
    for (std::size_t at = 0; at < real.size(); ++at) {
        if (const std::size_t end = TokenEnd(real, at); end != std::u16string::npos) {
            swapped += real.substr(at, end + 1 - at);
            at = end;
            continue;
        }
        const std::size_t letter = letters.find(real[at]);
        swapped += letter == std::u16string::npos ? real[at] : form.lookAlikes[letter];
    }
    return swapped;
}

std::u16string Padding(const PseudoForm& form, std::size_t length)
{
    const std::u16string cycle = form.padding;
    std::u16string padding;
    while (padding.size() < length)
        padding += cycle[padding.size() % cycle.size()];
    return padding;
}

// The second bytes of the text's double-byte characters.
std::string TrailBytes(unsigned codePage, const std::string& text)
{
    std::string trails;
    for (std::size_t at = 0; at < text.size(); at += model::CharLength(codePage, text, at)) {
        if (model::CharLength(codePage, text, at) == 2)
            trails += text[at + 1];
    }
    return trails;
}

class Pseudo : public testing::Test {
protected:
    void SetUp() override
    {
        variant_ = FindVariant(VariantFor(GetUserDefaultUILanguage()));
        ASSERT_TRUE(variant_ && variant_->locale.codePage == GetACP())
            << "runs in a variant's own locale, not code page " << GetACP();
        for (const PseudoForm& form : kPseudoForms) {
            if (form.codePage == GetACP())
                form_ = &form;
        }
        ASSERT_TRUE(form_) << "no pseudo form for code page " << GetACP();
    }

    const Variant* variant_ = nullptr;
    const PseudoForm* form_ = nullptr;
};

TEST_F(Pseudo, EveryIdIsTheRealTextInItsPseudoForm)
{
    const unsigned codePage = GetACP();
    for (unsigned id : kCatalogIds) {
        SCOPED_TRACE(testing::Message() << "ID " << id << ", variant 0x" << std::hex << variant_->language);
        const std::string real = VariantText(variant_->language, id);
        const std::string served = GetString(Quorvel().DllGetString, id);
        const std::optional<std::u16string> wide = Wide(served);
        ASSERT_TRUE(wide) << "not valid in code page " << codePage << ": " << Hex(served);
        if (id >= kFirstTokenId && id <= kLastTokenId) {
            EXPECT_EQ(Hex(served), Hex(real)) << "a token stays byte for byte";
            continue;
        }
        for (unsigned token = kFirstTokenId; token <= kLastTokenId; ++token) {
            const std::string text = VariantText(variant_->language, token);
            EXPECT_EQ(model::Find(codePage, served, text).has_value(), model::Find(codePage, real, text).has_value())
                << text;
        }
        const std::u16string realWide = *Wide(real);
        const std::u16string swapped = u"[" + Swapped(realWide, *form_);
        ASSERT_GT(wide->size(), swapped.size() + 1) << Hex(served);
        EXPECT_TRUE(wide->compare(0, swapped.size(), swapped) == 0) << "not the real text's letters: " << Hex(served);
        EXPECT_EQ(wide->back(), u']') << Hex(served);
        const std::size_t padding = wide->size() - swapped.size() - 1;
        EXPECT_TRUE(wide->compare(swapped.size(), padding, Padding(*form_, padding)) == 0) << Hex(served);
        if (realWide.size() >= 5)
            EXPECT_GE(10 * wide->size(), 14 * realWide.size()) << Hex(served);
        const std::string trails = TrailBytes(codePage, served);
        if (codePage == 932)
            EXPECT_NE(trails.find('\x5C'), std::string::npos) << Hex(served);
        else if (codePage != 1252)
            EXPECT_TRUE(std::any_of(trails.begin(), trails.end(), [](char b) { return static_cast<unsigned char>(b) < 0x80; })) << Hex(served);
    }
}

// One text spelled out per code page, against a mapping gone wrong in the
// generator and this test alike.
TEST_F(Pseudo, ErrorAsSpelledOut)
{
    const struct {
        unsigned codePage;
        const char* text;
    } kError[] = {{1252, u8"[Érrör·À]"}, {932, u8"[Ｅｒｒｏｒソ表]"}, {936, u8"[Ｅｒｒｏｒ開關]"}, {949, u8"[Ｅｒｒｏｒ똠햏]"}};
    for (const auto& expected : kError) {
        if (expected.codePage == GetACP())
            EXPECT_TRUE(Wide(GetString(Quorvel().DllGetString, 2)) == FromUtf8(expected.text)) << expected.text;
    }
}

// The token is found in the pseudo message however its neighbours' second
// bytes look, with the value and without.
TEST_F(Pseudo, MessageNineExpandsItsToken)
{
    const ScopedValue absent(HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName", std::nullopt);
    const std::string message = GetString(Quorvel().DllGetString, 9);
    ASSERT_TRUE(model::Find(GetACP(), message, "<VorProviderName>")) << Hex(message);
    EXPECT_EQ(Hex(GetDynamicString(9, 1002)), Hex(model::ReplaceFirst(GetACP(), message, "<VorProviderName>", "TEZ")));
    const ScopedValue value(HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName", ScopedValue::Text("Acme"));
    EXPECT_EQ(Hex(GetDynamicString(9, 1002)), Hex(model::ReplaceFirst(GetACP(), message, "<VorProviderName>", "Acme")));
}

}  // namespace
}  // namespace quorvel::test
