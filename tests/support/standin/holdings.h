// What a call could leave behind on the stand-in, and an allocation failure
// injected at a chosen allocation.
#pragma once

#include <cstddef>
#include <string>

#include "platform/standin/control.h"

namespace quorvel::test {

// Heap blocks, open keys, SIDs and library references, as they stand now.
struct Holdings {
    std::size_t blocks = standin::LiveBlockCount();
    std::size_t keys = standin::OpenKeyCount();
    std::size_t sids = standin::LiveSidCount();
    std::size_t libraries = standin::LoadedLibraryCount();

    bool operator==(const Holdings& other) const
    {
        return blocks == other.blocks && keys == other.keys && sids == other.sids && libraries == other.libraries;
    }
    std::string Describe() const
    {
        return std::to_string(blocks) + " blocks, " + std::to_string(keys) + " keys, " + std::to_string(sids) +
               " SIDs, " + std::to_string(libraries) + " libraries";
    }
};

// Fails the nth allocation from now on (0: none) for the object's lifetime,
// and tells whether the code under test got that far.
class InjectedFailure {
public:
    explicit InjectedFailure(std::size_t nth) : nth_(nth), start_(standin::AllocationCount())
    {
        standin::FailAllocation(nth);
    }
    ~InjectedFailure() { standin::FailAllocation(0); }
    InjectedFailure(const InjectedFailure&) = delete;
    InjectedFailure& operator=(const InjectedFailure&) = delete;

    bool Reached() const { return nth_ != 0 && standin::AllocationCount() - start_ >= nth_; }

private:
    std::size_t nth_;
    std::size_t start_;
};

}  // namespace quorvel::test
