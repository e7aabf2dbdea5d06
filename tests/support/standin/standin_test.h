// GoogleTest over the stand-in: a fixture on a fresh system that must leave
// nothing held, a release that must classify as meant, the walk that makes
// each allocation of a call fail in turn, and the six exports called as a
// host calls them.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>

#include "module/exports.h"
#include "platform/standin/control.h"
#include "tests/support/guarded_buffer.h"
#include "tests/support/standin/holdings.h"
#include "tests/support/standin/system.h"

namespace quorvel::test {

inline void ExpectHeldAsBefore(const Holdings& before)
{
    const Holdings now;
    EXPECT_EQ(now, before) << "held before: " << before.Describe() << "; after: " << now.Describe();
}

// Every test starts on a fresh system and must leave no key, block, SID or
// library behind.
class StandinTest : public testing::Test {
protected:
    void SetUp() override
    {
        standin::Reset();
        held_ = Holdings();
    }
    void TearDown() override { ExpectHeldAsBefore(held_); }

private:
    Holdings held_;
};

inline void BecomeRelease(WindowsReleaseCode code)
{
    ApplyRelease(ReleaseFor(code));
    ASSERT_EQ(ClassifyWindowsRelease(), code);
}

// Runs `call` with the 1st, 2nd, 3rd ... allocation failing, each run after
// `setUp`, until a run no longer reaches the failing allocation, and checks
// after each run that nothing more is held. `call` asks the failure whether
// its run reached it. Returns the number of allocations the call makes.
inline std::size_t ForEachFailedAllocation(const std::function<void(const InjectedFailure&)>& call,
                                           const std::function<void()>& setUp = [] {})
{
    for (std::size_t nth = 1;; ++nth) {
        SCOPED_TRACE("allocation " + std::to_string(nth) + " failing");
        setUp();
        const Holdings before;
        bool reached = false;
        {
            const InjectedFailure failure(nth);
            call(failure);
            reached = failure.Reached();
        }
        ExpectHeldAsBefore(before);
        if (!reached)
            return nth - 1;
    }
}

using StringExport = QuorvelSize (*)(unsigned, char*, QuorvelSize);

// The text of `id` as a host gets it: size query, then a buffer of that size.
inline std::string Served(StringExport get, unsigned id)
{
    const QuorvelSize size = get(id, nullptr, 0);
    GuardedBuffer buffer(size);
    EXPECT_EQ(get(id, buffer.data(), size), size);
    const std::string text(buffer.data(), size ? size - 1 : 0);
    EXPECT_TRUE(buffer.Holds(text)) << "id " << id;
    return text;
}

enum class Export {
    kDllGetString,
    kGetStringFromQuorvelDll,
    kDllGetDynamicString,
    kDllMessageBox,
    kDllMessageBoxWithSuppliedSubString,
    kDllDynamicMessageBox,
};

// One call of an export, by kind.
struct Request {
    Export function;
    unsigned id;
    unsigned token = 0;
    const char* substitute = nullptr;
};

inline bool IsBox(const Request& r) { return r.function >= Export::kDllMessageBox; }

// Makes the request: a string request's answer, or 0 once the box is shown.
inline QuorvelSize Make(const Request& r, char* buffer = nullptr, QuorvelSize size = 0)
{
    switch (r.function) {
    case Export::kDllGetString: return QuorvelDllGetString(r.id, buffer, size);
    case Export::kGetStringFromQuorvelDll: return GetStringFromQuorvelDll(r.id, buffer, size);
    case Export::kDllGetDynamicString: return QuorvelDllGetDynamicString(r.id, buffer, size, r.token);
    case Export::kDllMessageBox: QuorvelDllMessageBox(r.id); break;
    case Export::kDllMessageBoxWithSuppliedSubString:
        QuorvelDllMessageBoxWithSuppliedSubString(r.id, r.token, const_cast<char*>(r.substitute));
        break;
    case Export::kDllDynamicMessageBox: QuorvelDllDynamicMessageBox(r.id, r.token); break;
    }
    return 0;
}

}  // namespace quorvel::test
