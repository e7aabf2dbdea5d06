// The 32-bit exports are __cdecl: the caller removes the arguments. A callee
// that popped them itself (__stdcall) would leave an installer's stack off by
// the arguments' size after every call.
#include <gtest/gtest.h>

#include <cstdint>

#include "tests/support/machine.h"
#include "tests/support/windows/quorvel_module.h"
#include "tools/machine/windows/message_box_watch.h"

extern "C" std::uint32_t QuorvelCallCdecl(const void* function, const std::uint32_t* arguments, std::uint32_t count,
                                          std::int32_t* stackDelta);

namespace quorvel::test {
namespace {

std::int32_t StackDelta(const void* function, std::initializer_list<std::uint32_t> arguments)
{
    std::int32_t delta = -1;
    QuorvelCallCdecl(function, arguments.begin(), static_cast<std::uint32_t>(arguments.size()), &delta);
    return delta;
}

std::uint32_t __stdcall PopsItsArguments(std::uint32_t, std::uint32_t, std::uint32_t) { return 0; }
std::uint32_t __cdecl LeavesItsArguments(std::uint32_t, std::uint32_t, std::uint32_t) { return 0; }

TEST(CallingConvention, TheCheckTellsTheConventionsApart)
{
    EXPECT_EQ(StackDelta(reinterpret_cast<const void*>(&LeavesItsArguments), {1, 2, 3}), 0);
    EXPECT_EQ(StackDelta(reinterpret_cast<const void*>(&PopsItsArguments), {1, 2, 3}), 12);
}

TEST(CallingConvention, EveryExportLeavesItsArgumentsToTheCaller)
{
    char buffer[64] = {};
    const auto address = reinterpret_cast<std::uintptr_t>(buffer);
    const auto text = static_cast<std::uint32_t>(address);
    const QuorvelFunctions& quorvel = Quorvel();
    EXPECT_EQ(StackDelta(reinterpret_cast<const void*>(quorvel.DllGetString), {2, text, sizeof buffer}), 0);
    EXPECT_STREQ(buffer, "Error");
    EXPECT_EQ(StackDelta(reinterpret_cast<const void*>(quorvel.GetStringFromQuorvelDll), {9, 0, 0}), 0);
    EXPECT_EQ(StackDelta(reinterpret_cast<const void*>(quorvel.DllGetDynamicString), {9, text, sizeof buffer, 1002}),
              0);

    // The boxes wait for a person: each is read and dismissed by the watcher.
    std::int32_t delta = -1;
    WatchMessageBox([&] { delta = StackDelta(reinterpret_cast<const void*>(quorvel.DllMessageBox), {2}); });
    EXPECT_EQ(delta, 0) << "DllMessageBox";
    delta = -1;
    WatchMessageBox([&] {
        delta = StackDelta(reinterpret_cast<const void*>(quorvel.DllMessageBoxWithSuppliedSubString), {35, 1005, text});
    });
    EXPECT_EQ(delta, 0) << "DllMessageBoxWithSuppliedSubString";
    delta = -1;
    WatchMessageBox([&] { delta = StackDelta(reinterpret_cast<const void*>(quorvel.DllDynamicMessageBox), {9, 1002}); });
    EXPECT_EQ(delta, 0) << "DllDynamicMessageBox";
}

}  // namespace
}  // namespace quorvel::test
