// GoogleTest over the stand-in: a fixture on a fresh system that must leave
// nothing held, a release that must classify as meant, and the walk that makes each allocation of a call fail in turn.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>

#include "platform/standin/control.h"
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

}  // namespace quorvel::test
