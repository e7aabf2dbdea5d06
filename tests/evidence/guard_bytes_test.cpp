// Guard bytes around every buffer size of every string export. For each
// locale (language and ANSI code page) and each ID, the buffer is given every
// size from 0 to the answer's length + 3, between guard areas: the plain
// requests must copy text and NUL exactly when the size exceeds the length
// (L + 1 rule), DllGetDynamicString exactly when the size reaches length + 2
// (L + 2 rule, the last byte left as it was), and nothing else may change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalog/catalog_table.h"
#include "tests/support/hex.h"
#include "tests/support/standin/standin_test.h"
#include "tests/support/standin/system.h"

namespace quorvel::test {
namespace {

// Every catalogue ID and a few around them that have no text.
std::vector<unsigned> IdsToTry()
{
    std::vector<unsigned> ids = {0, 38, 100, 119, 1000, 1006, 20000, 20012, 65535, 65536 + 9, 0xFFFFFFFFu};
    for (std::size_t i = 0; i < catalog::kEntryCount; ++i) {
        if (catalog::kEntries[i].language == 0x0409)
            ids.push_back(catalog::kEntries[i].id);
    }
    return ids;
}

// Checks one answer of length `length` for every buffer size from 0 to
// length + 3. `margin` is 1 for the plain requests, 2 for the dynamic string.
template <typename Request>
void EverySize(const std::string& expected, std::size_t margin, Request request)
{
    const QuorvelSize needed = static_cast<QuorvelSize>(expected.size() + margin);
    for (QuorvelSize size = 0; size <= expected.size() + 3; ++size) {
        SCOPED_TRACE(testing::Message() << "bufferSize " << size << " for " << Hex(expected));
        GuardedBuffer buffer(size);
        ASSERT_EQ(request(buffer.data(), size), needed);
        if (size >= needed) {
            ASSERT_TRUE(buffer.Holds(expected)) << "the text was not copied";
            ASSERT_TRUE(buffer.UntouchedOutside(expected.size() + 1)) << "written past the NUL";
        } else {
            ASSERT_TRUE(buffer.Untouched()) << "written although the buffer is too small";
            // The protocol allows a null buffer here; try the ends of the range.
            if (size <= 1 || size + 1 == needed) {
                ASSERT_EQ(request(nullptr, size), needed);
            }
        }
    }
}

class GuardBytes : public StandinTest, public testing::WithParamInterface<Locale> {
protected:
    void SetUp() override
    {
        StandinTest::SetUp();
        ApplyLocale(GetParam());
    }

    void PlainRequests(const char* release)
    {
        for (unsigned id : IdsToTry()) {
            SCOPED_TRACE(testing::Message() << release << ", ID " << id);
            const std::string expected = id == 20001 && !everyoneAnswer_.empty() ? everyoneAnswer_ : LoadedText(id);
            for (StringExport function : {&QuorvelDllGetString, &GetStringFromQuorvelDll}) {
                EverySize(expected, 1, [&](char* buffer, QuorvelSize size) { return function(id, buffer, size); });
                if (HasFatalFailure())
                    return;
            }
        }
    }

    std::string everyoneAnswer_;  // what 20001 answers instead of the catalogue
};

TEST_P(GuardBytes, PlainRequestsOn98)
{
    ApplyRelease(ReleaseFor(kWindows98A));
    PlainRequests("98");
}

TEST_P(GuardBytes, PlainRequestsOnXpWithTheAccountName)
{
    ApplyRelease(ReleaseFor(kWindowsXp));
    // A name in the code page's own characters where it has them.
    const unsigned codePage = GetParam().codePage;
    everyoneAnswer_ = codePage == 1252 ? "Jeder" : codePage == 949 ? "\xb8\xf0\xb5\xce" : "\x83\x41\x83\x5c";
    standin::SetEveryoneName(everyoneAnswer_);
    PlainRequests("XP");
}

TEST_P(GuardBytes, AccountNamesOfEveryLengthTheLookupTakes)
{
    ApplyRelease(ReleaseFor(kWindowsNt4));
    const auto everyone = [](char* buffer, QuorvelSize size) { return QuorvelDllGetString(20001, buffer, size); };
    for (std::size_t length : {1, 2, 8, 100, 258, 259}) {
        for (bool countsNul : {false, true}) {
            SCOPED_TRACE(testing::Message() << "name of " << length << " bytes, NUL counted " << countsNul);
            const std::string name(length, 'n');
            standin::SetEveryoneName(name);
            standin::SetNameLengthCountsNul(countsNul);
            EverySize(name, 1, everyone);
            if (HasFatalFailure())
                return;
        }
    }
    // A name the 260-byte buffer cannot take: the catalogue answers.
    standin::SetEveryoneName(std::string(260, 'n'));
    EverySize(LoadedText(20001), 1, everyone);
}

TEST_P(GuardBytes, DynamicString)
{
    ApplyRelease(ReleaseFor(kWindowsXp));
    const unsigned messages[] = {9, 18, 35, 38, 1002, 20001};
    const unsigned tokens[] = {1002, 1005, 2, 38};
    const std::string values[] = {"Acme", "", std::string(64, 'v'), "\x83\x41<>"};
    for (int present = 0; present < 2; ++present) {
        standin::CreateKey(kUninstallKey);
        for (const std::string& value : values) {
            for (const char* name : {"VorProviderName", "VorFile"})
                SetValueOrRemove(kUninstallKey, name, present ? value.c_str() : nullptr);
            for (unsigned message : messages) {
                for (unsigned token : tokens) {
                    SCOPED_TRACE(testing::Message() << "message " << message << ", token " << token << ", value "
                                                    << (present ? Hex(value) : "absent"));
                    const std::string tokenText = LoadedText(token);
                    const bool named = tokenText.find('<') != std::string::npos;
                    const std::string expected = named ? model::ReplaceFirst(GetParam().codePage, LoadedText(message),
                                                                             tokenText, present ? value : "TEZ")
                                                       : LoadedText(message);
                    EverySize(expected, 2, [&](char* buffer, QuorvelSize size) {
                        return QuorvelDllGetDynamicString(message, buffer, size, token);
                    });
                    if (HasFatalFailure())
                        return;
                }
            }
            if (!present)
                break;  // the values are absent whatever they would hold
        }
    }
}

// One locale of each code page, and German, served through its primary language.
INSTANTIATE_TEST_SUITE_P(Locales, GuardBytes,
                         testing::Values(*FindLocale("en_US"), *FindLocale("de_DE"), *FindLocale("ja_JP"),
                                         *FindLocale("zh_CN"), *FindLocale("ko_KR"), *FindLocale("zh_TW")),
                         [](const testing::TestParamInfo<Locale>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvel::test
