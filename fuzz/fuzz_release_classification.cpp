// The release classification with any bytes for the three registry values
// (each possibly absent, or stored without a NUL), either key missing, any
// version record, any code page, and allocation failures: always a code of
// the model's table of releases, the model's code whenever memory was there,
// and every key and text released.
#include "fuzz/fuzz_support.h"
#include "probes/release_classification.h"
#include "tests/support/standin/system.h"

using namespace quorvel;

namespace {

model::RegistryValue Value(FuzzedDataProvider& in)
{
    model::RegistryValue value;
    value.present = in.ConsumeBool();
    value.bytes = in.ConsumeRandomLengthString(96);
    return value;
}

}  // namespace

QUORVEL_FUZZ_TARGET(codePage, in)
{
    model::ReleaseInputs inputs;
    inputs.windowsKey = in.ConsumeBool();
    inputs.windowsProduct = Value(in);
    inputs.subVersion = Value(in);
    inputs.ntKey = in.ConsumeBool();
    inputs.ntProduct = Value(in);
    inputs.versionFails = in.ConsumeBool();
    inputs.platformId = in.ConsumeIntegralInRange<std::uint32_t>(0, 3);
    inputs.majorVersion = in.ConsumeIntegralInRange<std::uint32_t>(3, 6);
    const std::size_t failAt = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::size_t>(1, 4) : 0;
    test::ApplyRelease(inputs);

    WindowsReleaseCode code = kUnknownRelease;
    Status status = Status::kNoMemory;
    const bool failed = fuzz::RunFailingAllocation(failAt, [&](auto&) { code = ClassifyWindowsRelease(&status); });
    const bool complete = status == Status::kOk;

    FUZZ_CHECK(model::FindRelease(code), "code " + std::to_string(code));
    const std::int32_t expected = model::ClassifyRelease(codePage, inputs);
    FUZZ_CHECK(complete || failed, "incomplete without a failed allocation");
    // Memory may run short for the Windows key's texts, but a code that the
    // caller takes as complete is right about the NT family.
    if (complete)
        FUZZ_CHECK(model::IsNtFamily(code) == model::IsNtFamily(expected), "NT family missed");
    if (!failed) {
        FUZZ_CHECK(code == expected, "code " + std::to_string(code) + ", expected " + std::to_string(expected) +
                                         " for " + fuzz::Hex(inputs.windowsProduct.bytes) + "/ " +
                                         fuzz::Hex(inputs.subVersion.bytes) + "/ " + fuzz::Hex(inputs.ntProduct.bytes));
    }
}
