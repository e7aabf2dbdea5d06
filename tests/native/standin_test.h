// What the native tests share: a fixture over a fresh stand-in system that
// checks nothing was left open or allocated, guarded caller buffers, the
// catalogue's expected texts and the set-up of each Windows release.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "catalog/catalog_table.h"
#include "platform/standin/control.h"
#include "probes/release_classification.h"

namespace quorvel::test {

namespace standin = quorvel::standin;

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\UninstallVorModem";
constexpr char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr char kNtKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

inline void ExpectNothingLeft(std::size_t blocksBefore)
{
    EXPECT_EQ(standin::LiveBlockCount(), blocksBefore) << "heap blocks leaked";
    EXPECT_EQ(standin::OpenKeyCount(), 0u) << "registry keys left open";
    EXPECT_EQ(standin::LiveSidCount(), 0u) << "SIDs not freed";
    EXPECT_EQ(standin::LoadedLibraryCount(), 0u) << "library references kept";
}

// Every test starts on a fresh system and must leave no key, block, SID or
// library behind.
class StandinTest : public testing::Test {
protected:
    void SetUp() override
    {
        standin::Reset();
        blocks_ = standin::LiveBlockCount();
    }
    void TearDown() override { ExpectNothingLeft(blocks_); }

private:
    std::size_t blocks_ = 0;
};

// A caller's buffer of `size` bytes between guard bytes; every byte starts as
// kFill, so what the module wrote, and where, can be told afterwards.
class GuardedBuffer {
public:
    static constexpr char kFill = '\x5A';
    static constexpr std::size_t kGuard = 16;

    explicit GuardedBuffer(std::size_t size) : bytes_(kGuard + size + kGuard, kFill), size_(size) {}
    char* data() { return bytes_.data() + kGuard; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(size_); }

    // Whether the buffer holds `text` and its NUL, with every other byte,
    // guards included, untouched.
    bool Holds(const std::string& text) const { return Matches(text + '\0'); }
    bool Untouched() const { return Matches(""); }

private:
    bool Matches(const std::string& written) const
    {
        std::string expected(bytes_.size(), kFill);
        expected.replace(kGuard, written.size(), written);
        return std::string(bytes_.data(), bytes_.size()) == expected;
    }

    std::vector<char> bytes_;
    std::size_t size_;
};

// The stored text of `id` in the variant `language`, converted to the active
// code page as the loader serves it; empty for an ID the variant lacks.
inline std::string CatalogueText(std::uint16_t language, unsigned id)
{
    for (std::size_t i = 0; i < catalog::kEntryCount; ++i) {
        if (catalog::kEntries[i].language == language && catalog::kEntries[i].id == id)
            return standin::ConvertToCodePage(catalog::kEntries[i].text);
    }
    return {};
}

// Sets up the registry and version record of a system that the release
// classification reports as `code` (0: one it recognises nothing on).
inline void BecomeRelease(WindowsReleaseCode code)
{
    const auto windows = [](const char* product, const char* subVersion) {
        standin::SetStringValue(kWindowsKey, "ProductName", product);
        standin::SetStringValue(kWindowsKey, "SubVersionNumber", subVersion);
    };
    switch (code) {
    case kWindows95: windows("Microsoft Windows 95", ""); break;
    case kWindows95B: windows("Microsoft Windows 95", " B"); break;
    case kWindows95C: windows("Microsoft Windows 95", " C"); break;
    case kWindows98: windows("Microsoft Windows 98", ""); break;
    case kWindows98A: windows("Microsoft Windows 98", " A "); break;
    case kWindowsMe: windows("Microsoft Windows ME", ""); break;
    case kWindowsNt4:
        standin::CreateKey(kNtKey);
        standin::SetVersionRecord(2, 4);
        break;
    case kWindows2000: standin::SetStringValue(kNtKey, "ProductName", "Microsoft Windows 2000"); break;
    case kWindowsXp: standin::SetStringValue(kNtKey, "ProductName", "Microsoft Windows XP"); break;
    default: break;
    }
    ASSERT_EQ(ClassifyWindowsRelease(), code);
}

// One run with one allocation made to fail: whether the run reached it.
struct FailedAllocation {
    std::size_t nth;
    std::size_t before;
    bool Happened() const { return standin::AllocationCount() - before >= nth; }
};

// Runs `call` with the 1st, 2nd, 3rd ... allocation failing, until a run
// completes without reaching the failing one, and checks after each run that
// nothing was left allocated or open. Returns the number of sites tried.
inline std::size_t ForEachFailedAllocation(const std::function<void(const FailedAllocation&)>& call)
{
    for (std::size_t nth = 1;; ++nth) {
        const FailedAllocation failure{nth, standin::AllocationCount()};
        const std::size_t blocks = standin::LiveBlockCount();
        standin::FailAllocation(nth);
        {
            SCOPED_TRACE("allocation " + std::to_string(nth) + " failing");
            call(failure);
            ExpectNothingLeft(blocks);
        }
        standin::FailAllocation(0);
        if (!failure.Happened())
            return nth - 1;
    }
}

}  // namespace quorvel::test
