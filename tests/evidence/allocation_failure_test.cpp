// Every allocation of every export, made to fail in turn. For each case the
// call is first made with memory to spare, which gives the right answer and
// the number N of allocations; then it is repeated N times with allocation
// 1, 2, ... N failing. Each time the answer must be the documented one for
// running out of memory (size 0, buffer untouched; a box not shown) or the
// right answer all the same, nothing may be written outside the answer, and
// every block, key, SID and library reference must be released.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "module/exports.h"
#include "tests/support/guarded_buffer.h"
#include "tests/support/hex.h"
#include "tests/support/standin/standin_test.h"
#include "tests/support/standin/system.h"

namespace quorvel::test {
namespace {

constexpr char kAccountName[] = "Tout le monde";  // not the English catalogue's "Everyone"

enum class Export {
    kDllGetString,
    kGetStringFromQuorvelDll,
    kDllGetDynamicString,
    kDllMessageBox,
    kDllMessageBoxWithSuppliedSubString,
    kDllDynamicMessageBox,
};

struct Case {
    const char* name;
    std::function<void()> system;  // run on a fresh stand-in
    Export function;
    unsigned id;
    unsigned tokenId = 0;
    const char* substitute = nullptr;
    std::string expected;  // the text answered or shown
    bool expectedAsLoaded = false;  // rather the message as the loader serves it, token expanded to "TEZ"
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

bool IsBox(Export function) { return function >= Export::kDllMessageBox; }

// The outcome of one call: its result and what the caller's buffer or the
// screen shows afterwards.
struct Outcome {
    QuorvelSize result = 0;
    bool bufferUntouched = true;
    bool bufferHoldsExpected = false;
    bool writtenOnlyWithinAnswer = true;
    std::vector<standin::ShownBox> boxes;
};

// Size query (bufferSize 0) or a fill with a buffer of `bufferSize` bytes.
Outcome Call(const Case& c, const std::string& expected, QuorvelSize bufferSize)
{
    Outcome outcome;
    GuardedBuffer buffer(bufferSize);
    char* data = bufferSize ? buffer.data() : nullptr;
    switch (c.function) {
    case Export::kDllGetString: outcome.result = QuorvelDllGetString(c.id, data, bufferSize); break;
    case Export::kGetStringFromQuorvelDll: outcome.result = GetStringFromQuorvelDll(c.id, data, bufferSize); break;
    case Export::kDllGetDynamicString:
        outcome.result = QuorvelDllGetDynamicString(c.id, data, bufferSize, c.tokenId);
        break;
    case Export::kDllMessageBox: QuorvelDllMessageBox(c.id); break;
    case Export::kDllMessageBoxWithSuppliedSubString:
        QuorvelDllMessageBoxWithSuppliedSubString(c.id, c.tokenId, const_cast<char*>(c.substitute));
        break;
    case Export::kDllDynamicMessageBox: QuorvelDllDynamicMessageBox(c.id, c.tokenId); break;
    }
    outcome.bufferUntouched = buffer.Untouched();
    outcome.bufferHoldsExpected = buffer.Holds(expected);
    outcome.writtenOnlyWithinAnswer = buffer.UntouchedOutside(expected.size() + 1);
    outcome.boxes = standin::TakeShownBoxes();
    return outcome;
}

class AllocationFailure : public testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        Fresh();
        const Case& c = GetParam();
        expected_ = c.expected;
        if (c.expectedAsLoaded) {
            expected_ = LoadedText(c.id);
            if (c.function == Export::kDllGetDynamicString)
                expected_ = model::ReplaceFirst(standin::CodePage(), expected_, LoadedText(c.tokenId), "TEZ");
        }
    }
    void TearDown() override { standin::FailAllocation(0); }

    // The size that the right answer has.
    QuorvelSize RightSize() const
    {
        const bool dynamic = GetParam().function == Export::kDllGetDynamicString;
        return static_cast<QuorvelSize>(expected_.size() + (dynamic ? 2 : 1));
    }
    Outcome Call(QuorvelSize bufferSize) const { return test::Call(GetParam(), expected_, bufferSize); }

    void Fresh() const
    {
        standin::Reset();
        standin::SetEveryoneName(kAccountName);
        GetParam().system();
    }

    // Runs the call with allocation n failing, for n = 1, 2, ... until the
    // call makes fewer than n allocations, and checks each outcome.
    void FailEachAllocation(QuorvelSize bufferSize)
    {
        SCOPED_TRACE(testing::Message() << "bufferSize " << bufferSize);
        std::size_t rightAnyway = 0;
        const auto check = [&](const InjectedFailure& failure) {
            const Outcome outcome = Call(bufferSize);
            if (failure.Reached() && RightAnyway(outcome, bufferSize))
                ++rightAnyway;
        };
        const std::size_t allocations = ForEachFailedAllocation(check, [this] { Fresh(); });
        RecordProperty("allocations", static_cast<int>(allocations));
        RecordProperty("right_answer_despite_failure", static_cast<int>(rightAnyway));
    }

    // Checks the outcome of a call that ran out of memory: whether it gave
    // the right answer all the same.
    bool RightAnyway(const Outcome& outcome, QuorvelSize bufferSize) const
    {
        if (IsBox(GetParam().function)) {
            EXPECT_LE(outcome.boxes.size(), 1u);
            if (outcome.boxes.empty())
                return false;
            EXPECT_EQ(outcome.boxes[0].text, expected_) << "a box with a wrong text";
            return true;
        }
        EXPECT_TRUE(outcome.writtenOnlyWithinAnswer) << "written outside the answer";
        if (outcome.result == 0) {
            EXPECT_TRUE(outcome.bufferUntouched) << "size 0, but the buffer was written";
            return false;
        }
        // Memory ran out where the answer did not need it: it must be the
        // right answer all the same.
        EXPECT_EQ(outcome.result, RightSize()) << "a wrong size";
        if (bufferSize >= RightSize())
            EXPECT_TRUE(outcome.bufferHoldsExpected) << "a wrong text";
        else
            EXPECT_TRUE(outcome.bufferUntouched);
        return true;
    }

    std::string expected_;
};

class StringExport : public AllocationFailure {};
class MessageBoxExport : public AllocationFailure {};

TEST_P(StringExport, WithMemoryToSpareTheAnswerIsRight)
{
    EXPECT_EQ(Call(0).result, RightSize());
    const Outcome filled = Call(RightSize());
    EXPECT_EQ(filled.result, RightSize());
    EXPECT_TRUE(filled.bufferHoldsExpected);
    EXPECT_TRUE(filled.writtenOnlyWithinAnswer);
}

TEST_P(StringExport, SizeQuery) { FailEachAllocation(0); }
TEST_P(StringExport, Fill) { FailEachAllocation(RightSize()); }
TEST_P(StringExport, BufferOneByteShort) { FailEachAllocation(RightSize() - 1); }

TEST_P(MessageBoxExport, WithMemoryToSpareTheBoxIsRight)
{
    const Outcome outcome = Call(0);
    ASSERT_EQ(outcome.boxes.size(), 1u);
    EXPECT_EQ(outcome.boxes[0].text, expected_);
}

TEST_P(MessageBoxExport, NotShownOrRight) { FailEachAllocation(0); }

void OnXp() { ApplyRelease(ReleaseFor(kWindowsXp)); }
void OnNt4() { ApplyRelease(ReleaseFor(kWindowsNt4)); }
void On98() { ApplyRelease(ReleaseFor(kWindows98A)); }
void OnXpWithProvider(const std::string& bytes)
{
    OnXp();
    standin::CreateKey(kUninstallKey);
    standin::SetValue(kUninstallKey, "VorProviderName", bytes);
}
void Japanese()
{
    OnXp();
    ApplyLocale(*FindLocale("ja_JP"));
}

const std::string kLongText(700, 'x');

std::vector<Case> Cases()
{
    const std::string longText = kLongText;
    return {
        {"DllGetString_OrdinaryIdOnXp", OnXp, Export::kDllGetString, 9, 0, nullptr,
         "No <VorProviderName> MODEM FOUND"},
        {"DllGetString_OrdinaryIdOn98", On98, Export::kDllGetString, 2, 0, nullptr, "Error"},
        {"DllGetString_EveryoneOnXp", OnXp, Export::kDllGetString, 20001, 0, nullptr, kAccountName},
        {"DllGetString_EveryoneOnNt4", OnNt4, Export::kDllGetString, 20001, 0, nullptr, kAccountName},
        {"DllGetString_EveryoneOn98", On98, Export::kDllGetString, 20001, 0, nullptr, "Everyone"},
        {"DllGetString_MissingId", OnXp, Export::kDllGetString, 38, 0, nullptr, ""},
        {"DllGetString_TextLongerThanFirstLoad",
         [] {
             OnXp();
             standin::OverrideText(11, std::u16string(kLongText.begin(), kLongText.end()));
         },
         Export::kDllGetString, 11, 0, nullptr, longText},
        {"GetStringFromQuorvelDll_EveryoneOnXp", OnXp, Export::kGetStringFromQuorvelDll, 20001, 0, nullptr,
         kAccountName},
        {"GetStringFromQuorvelDll_OrdinaryIdOn98", On98, Export::kGetStringFromQuorvelDll, 17, 0, nullptr,
         "We found the PPPoA Mode"},
        {"DllGetDynamicString_ValuePresent", [] { OnXpWithProvider(std::string("Acme") + '\0'); },
         Export::kDllGetDynamicString, 9, 1002, nullptr, "No Acme MODEM FOUND"},
        {"DllGetDynamicString_ValueWithoutNul", [] { OnXpWithProvider("Acme"); }, Export::kDllGetDynamicString, 9,
         1002, nullptr, "No Acme MODEM FOUND"},
        {"DllGetDynamicString_ValueAbsent", [] { OnXp(); standin::CreateKey(kUninstallKey); },
         Export::kDllGetDynamicString, 9, 1002, nullptr, "No TEZ MODEM FOUND"},
        {"DllGetDynamicString_KeyAbsent", OnXp, Export::kDllGetDynamicString, 10, 1002, nullptr,
         "TEZ ADSL Modem Present in system"},
        {"DllGetDynamicString_TokenWithoutBrackets", OnXp, Export::kDllGetDynamicString, 9, 2, nullptr,
         "No <VorProviderName> MODEM FOUND"},
        {"DllGetDynamicString_WholeMessageIsTheToken", [] { OnXpWithProvider(std::string("Acme") + '\0'); },
         Export::kDllGetDynamicString, 1002, 1002, nullptr, "Acme"},
        {"DllMessageBox", OnXp, Export::kDllMessageBox, 9, 0, nullptr, "No <VorProviderName> MODEM FOUND"},
        {"DllMessageBoxWithSuppliedSubString_File", OnXp, Export::kDllMessageBoxWithSuppliedSubString, 35, 1005,
         "C:\\MODEM.INF", "Could not find C:\\MODEM.INF"},
        {"DllMessageBoxWithSuppliedSubString_NoSubstitute", OnXp, Export::kDllMessageBoxWithSuppliedSubString, 35,
         1005, nullptr, "Could not find <VorFile>"},
        {"DllMessageBoxWithSuppliedSubString_EveryoneOnXp", OnXp, Export::kDllMessageBoxWithSuppliedSubString,
         20001, 1005, nullptr, kAccountName},
        {"DllDynamicMessageBox", [] { OnXpWithProvider(std::string("Acme") + '\0'); }, Export::kDllDynamicMessageBox,
         9, 1002, nullptr, "No Acme MODEM FOUND"},
        {"Japanese_DllGetString", Japanese, Export::kDllGetString, 20003, 0, nullptr, "", true},
        {"Japanese_DllGetDynamicString", Japanese, Export::kDllGetDynamicString, 18, 1002, nullptr, "", true},
    };
}

std::vector<Case> Only(bool boxes)
{
    std::vector<Case> chosen;
    for (const Case& c : Cases()) {
        if (IsBox(c.function) == boxes)
            chosen.push_back(c);
    }
    return chosen;
}

std::string Name(const testing::TestParamInfo<Case>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(EveryCall, StringExport, testing::ValuesIn(Only(false)), Name);
INSTANTIATE_TEST_SUITE_P(EveryCall, MessageBoxExport, testing::ValuesIn(Only(true)), Name);

}  // namespace
}  // namespace quorvel::test
