// Each string export per call over the stand-in services, and beside it its
// floor: the bare platform calls the export is required to make for the same
// request on the same system, with no work of the module's around them. The
// counter "allocs" is the module's heap allocations per call.
//
// The system: Windows XP as the release probes see it (the Windows key
// without product texts, the NT key naming XP), English, code page 1252.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "module/exports.h"
#include "platform/platform.h"
#include "platform/standin/control.h"
#include "tests/support/standin/system.h"

namespace {

using namespace quorvel;
namespace standin = quorvel::standin;

void SetUpXp(bool providerPresent)
{
    standin::Reset();
    test::ApplyRelease(test::ReleaseFor(kWindowsXp));
    standin::CreateKey(test::kUninstallKey);
    if (providerPresent)
        standin::SetStringValue(test::kUninstallKey, "VorProviderName", "Acme Communications");
}

// ---- Floors: the platform calls alone --------------------------------------------------

// A value read as the module must read it: its size first, then, when it is
// there, its bytes (into a buffer that costs nothing to get).
void ReadValue(platform::KeyHandle key, const char* name)
{
    static unsigned char data[4096];
    std::uint32_t size = 0;
    if (!platform::QueryValueSize(key, name, &size))
        return;
    platform::QueryValue(key, name, data, &size);
    benchmark::DoNotOptimize(data);
}

// The release classification's calls: two keys opened and closed, the three
// values, the version record.
void ClassificationFloor()
{
    platform::KeyHandle key = nullptr;
    if (platform::OpenLocalMachineKey(test::kWindowsKey, &key)) {
        ReadValue(key, "ProductName");
        ReadValue(key, "SubVersionNumber");
        platform::CloseKey(key);
    }
    if (platform::OpenLocalMachineKey(test::kNtKey, &key)) {
        platform::VersionRecord version{};
        platform::GetVersionRecord(&version);
        ReadValue(key, "ProductName");
        platform::CloseKey(key);
    }
}

void LoadString(unsigned id)
{
    char text[256];
    benchmark::DoNotOptimize(platform::LoadResourceString(id, text, sizeof text));
}

void AccountNameFloor()
{
    platform::LibraryHandle advapi = platform::LoadSystemLibrary("Advapi32.dll");
    platform::ProcAddress convert = platform::GetProcedure(advapi, "ConvertStringSidToSidA");
    platform::SidHandle sid = nullptr;
    platform::ConvertStringSid(convert, "S-1-1-0", &sid);
    char name[260];
    char domain[260];
    std::uint32_t nameSize = sizeof name;
    std::uint32_t domainSize = sizeof domain;
    platform::LookupAccountNameOfSid(sid, name, &nameSize, domain, &domainSize);
    benchmark::DoNotOptimize(name);
    platform::FreeConvertedSid(sid);
    platform::FreeSystemLibrary(advapi);
}

void DynamicStringFloor(unsigned messageId, unsigned tokenId, const char* valueName)
{
    LoadString(messageId);
    LoadString(tokenId);
    platform::KeyHandle key = nullptr;
    if (platform::OpenLocalMachineKey(test::kUninstallKey, &key)) {
        ReadValue(key, valueName);
        platform::CloseKey(key);
    }
}

// ---- Runs ------------------------------------------------------------------------------

template <typename Call>
void Run(benchmark::State& state, Call call)
{
    const std::size_t before = standin::AllocationCount();
    for (auto _ : state)
        call();
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(standin::AllocationCount() - before), benchmark::Counter::kAvgIterations);
}

char g_buffer[512];

void DllGetString_OrdinaryId(benchmark::State& state)
{
    SetUpXp(false);
    Run(state, [] { benchmark::DoNotOptimize(QuorvelDllGetString(9, g_buffer, sizeof g_buffer)); });
}
void Floor_DllGetString_OrdinaryId(benchmark::State& state)
{
    SetUpXp(false);
    Run(state, [] {
        ClassificationFloor();
        LoadString(9);
    });
}

void DllGetString_Everyone(benchmark::State& state)
{
    SetUpXp(false);
    Run(state, [] { benchmark::DoNotOptimize(QuorvelDllGetString(20001, g_buffer, sizeof g_buffer)); });
}
void Floor_DllGetString_Everyone(benchmark::State& state)
{
    SetUpXp(false);
    Run(state, [] {
        ClassificationFloor();
        AccountNameFloor();
    });
}

void GetStringFromQuorvelDll_OrdinaryId(benchmark::State& state)
{
    SetUpXp(false);
    Run(state, [] { benchmark::DoNotOptimize(GetStringFromQuorvelDll(9, g_buffer, sizeof g_buffer)); });
}
void Floor_GetStringFromQuorvelDll_OrdinaryId(benchmark::State& state) { Floor_DllGetString_OrdinaryId(state); }

void DllGetDynamicString_ValuePresent(benchmark::State& state)
{
    SetUpXp(true);
    Run(state, [] { benchmark::DoNotOptimize(QuorvelDllGetDynamicString(9, g_buffer, sizeof g_buffer, 1002)); });
}
void Floor_DllGetDynamicString_ValuePresent(benchmark::State& state)
{
    SetUpXp(true);
    Run(state, [] { DynamicStringFloor(9, 1002, "VorProviderName"); });
}

void DllGetDynamicString_ValueAbsent(benchmark::State& state)
{
    SetUpXp(false);
    Run(state, [] { benchmark::DoNotOptimize(QuorvelDllGetDynamicString(9, g_buffer, sizeof g_buffer, 1002)); });
}
void Floor_DllGetDynamicString_ValueAbsent(benchmark::State& state)
{
    SetUpXp(false);
    Run(state, [] { DynamicStringFloor(9, 1002, "VorProviderName"); });
}

// A product name of non-ASCII letters: upper-cased through the code page,
// character by character.
void SetUpAccentedXp()
{
    SetUpXp(false);
    standin::SetStringValue(test::kNtKey, "ProductName", "Microsoft Windows XP " + std::string(20, '\xe9'));
}
void DllGetString_AccentedProductName(benchmark::State& state)
{
    SetUpAccentedXp();
    Run(state, [] { benchmark::DoNotOptimize(QuorvelDllGetString(9, g_buffer, sizeof g_buffer)); });
}
void Floor_DllGetString_AccentedProductName(benchmark::State& state)
{
    SetUpAccentedXp();
    Run(state, [] {
        ClassificationFloor();
        LoadString(9);
    });
}

BENCHMARK(DllGetString_OrdinaryId);
BENCHMARK(Floor_DllGetString_OrdinaryId);
BENCHMARK(DllGetString_Everyone);
BENCHMARK(Floor_DllGetString_Everyone);
BENCHMARK(GetStringFromQuorvelDll_OrdinaryId);
BENCHMARK(Floor_GetStringFromQuorvelDll_OrdinaryId);
BENCHMARK(DllGetDynamicString_ValuePresent);
BENCHMARK(Floor_DllGetDynamicString_ValuePresent);
BENCHMARK(DllGetDynamicString_ValueAbsent);
BENCHMARK(Floor_DllGetDynamicString_ValueAbsent);
BENCHMARK(DllGetString_AccentedProductName);
BENCHMARK(Floor_DllGetString_AccentedProductName);

}  // namespace
