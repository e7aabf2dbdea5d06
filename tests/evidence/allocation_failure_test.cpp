// Every allocation of every export, made to fail in turn. For each case the
// call is first made with memory to spare, which gives the right answer and
// the number N of allocations; then it is repeated N times with allocation
// 1, 2, ... N failing. Each time the answer must be the documented one for
// running out of memory (size 0, buffer untouched; a box not shown) or the
// right answer all the same, nothing may be written outside the answer, and
// every block, key, SID and library reference must be released.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/standin/standin_test.h"
#include "tests/support/standin/system.h"

namespace quorvel::test {
namespace {

constexpr char kAccountName[] = "Tout le monde";  // not the English catalogue's "Everyone"

struct Case {
    const char* name;
    std::function<void()> system;  // run on a fresh stand-in
    Request request;
    std::string expected;  // the text answered or shown
    bool expectedAsLoaded = false;  // rather the message as the loader serves it, token expanded to "TEZ"
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// The outcome of one call: its result and what the caller's buffer or the
// screen shows afterwards.
struct Outcome {
    QuorvelSize result = 0;
    bool bufferUntouched = true;
    bool bufferHoldsExpected = false;
    bool writtenOnlyWithinAnswer = true;
    std::vector<standin::ShownBox> boxes;
};

class AllocationFailure : public testing::TestWithParam<Case> {
protected:
    void SetUp() override
    {
        Fresh();
        const Request& r = GetParam().request;
        expected_ = GetParam().expected;
        if (GetParam().expectedAsLoaded) {
            expected_ = LoadedText(r.id);
            if (r.function == Export::kDllGetDynamicString)
                expected_ = model::ReplaceFirst(standin::CodePage(), expected_, LoadedText(r.token), "TEZ");
        }
    }
    void TearDown() override { standin::FailAllocation(0); }

    // The size that the right answer has.
    QuorvelSize RightSize() const
    {
        const bool dynamic = GetParam().request.function == Export::kDllGetDynamicString;
        return static_cast<QuorvelSize>(expected_.size() + (dynamic ? 2 : 1));
    }

    // Size query (bufferSize 0) or a fill with a buffer of `bufferSize` bytes.
    Outcome Call(QuorvelSize bufferSize) const
    {
        Outcome outcome;
        GuardedBuffer buffer(bufferSize);
        outcome.result = Make(GetParam().request, bufferSize ? buffer.data() : nullptr, bufferSize);
        outcome.bufferUntouched = buffer.Untouched();
        outcome.bufferHoldsExpected = buffer.Holds(expected_);
        outcome.writtenOnlyWithinAnswer = buffer.UntouchedOutside(expected_.size() + 1);
        outcome.boxes = standin::TakeShownBoxes();
        return outcome;
    }

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
        if (IsBox(GetParam().request)) {
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
    return {
        {"DllGetString_OrdinaryIdOnXp", OnXp, {Export::kDllGetString, 9}, "No <VorProviderName> MODEM FOUND"},
        {"DllGetString_OrdinaryIdOn98", On98, {Export::kDllGetString, 2}, "Error"},
        {"DllGetString_EveryoneOnXp", OnXp, {Export::kDllGetString, 20001}, kAccountName},
        {"DllGetString_EveryoneOnNt4", OnNt4, {Export::kDllGetString, 20001}, kAccountName},
        {"DllGetString_EveryoneOn98", On98, {Export::kDllGetString, 20001}, "Everyone"},
        {"DllGetString_MissingId", OnXp, {Export::kDllGetString, 38}, ""},
        {"DllGetString_TextLongerThanFirstLoad",
         [] {
             OnXp();
             standin::OverrideText(11, std::u16string(kLongText.begin(), kLongText.end()));
         },
         {Export::kDllGetString, 11}, kLongText},
        {"GetStringFromQuorvelDll_EveryoneOnXp", OnXp, {Export::kGetStringFromQuorvelDll, 20001}, kAccountName},
        {"GetStringFromQuorvelDll_OrdinaryIdOn98", On98, {Export::kGetStringFromQuorvelDll, 17},
         "We found the PPPoA Mode"},
        {"DllGetDynamicString_ValuePresent", [] { OnXpWithProvider(std::string("Acme") + '\0'); },
         {Export::kDllGetDynamicString, 9, 1002}, "No Acme MODEM FOUND"},
        {"DllGetDynamicString_ValueWithoutNul", [] { OnXpWithProvider("Acme"); },
         {Export::kDllGetDynamicString, 9, 1002}, "No Acme MODEM FOUND"},
        {"DllGetDynamicString_ValueAbsent", [] { OnXp(); standin::CreateKey(kUninstallKey); },
         {Export::kDllGetDynamicString, 9, 1002}, "No TEZ MODEM FOUND"},
        {"DllGetDynamicString_KeyAbsent", OnXp, {Export::kDllGetDynamicString, 10, 1002},
         "TEZ ADSL Modem Present in system"},
        {"DllGetDynamicString_TokenWithoutBrackets", OnXp, {Export::kDllGetDynamicString, 9, 2},
         "No <VorProviderName> MODEM FOUND"},
        {"DllGetDynamicString_WholeMessageIsTheToken", [] { OnXpWithProvider(std::string("Acme") + '\0'); },
         {Export::kDllGetDynamicString, 1002, 1002}, "Acme"},
        {"DllMessageBox", OnXp, {Export::kDllMessageBox, 9}, "No <VorProviderName> MODEM FOUND"},
        {"DllMessageBoxWithSuppliedSubString_File", OnXp,
         {Export::kDllMessageBoxWithSuppliedSubString, 35, 1005, "C:\\MODEM.INF"}, "Could not find C:\\MODEM.INF"},
        {"DllMessageBoxWithSuppliedSubString_NoSubstitute", OnXp,
         {Export::kDllMessageBoxWithSuppliedSubString, 35, 1005}, "Could not find <VorFile>"},
        {"DllMessageBoxWithSuppliedSubString_EveryoneOnXp", OnXp,
         {Export::kDllMessageBoxWithSuppliedSubString, 20001, 1005}, kAccountName},
        {"DllDynamicMessageBox", [] { OnXpWithProvider(std::string("Acme") + '\0'); },
         {Export::kDllDynamicMessageBox, 9, 1002}, "No Acme MODEM FOUND"},
        {"Japanese_DllGetString", Japanese, {Export::kDllGetString, 20003}, "", true},
        {"Japanese_DllGetDynamicString", Japanese, {Export::kDllGetDynamicString, 18, 1002}, "", true},
    };
}

std::vector<Case> Only(bool boxes)
{
    std::vector<Case> chosen;
    for (const Case& c : Cases()) {
        if (IsBox(c.request) == boxes)
            chosen.push_back(c);
    }
    return chosen;
}

std::string Name(const testing::TestParamInfo<Case>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(EveryCall, StringExport, testing::ValuesIn(Only(false)), Name);
INSTANTIATE_TEST_SUITE_P(EveryCall, MessageBoxExport, testing::ValuesIn(Only(true)), Name);

}  // namespace
}  // namespace quorvel::test
