// Threads calling the DLL's string exports at once, each switching its thread
// locale (and with it the catalogue variant the resource loader picks) from
// call to call, while one more thread keeps changing the registry values the
// module reads: the NT product name (whether ID 20001 is the system's account
// name), and the provider and file names under the uninstall key. Every
// answer must be one that some state of the registry gives, sizes and texts
// alike; a fill whose text grew since its size query must leave the buffer as
// it was. Calls per thread: QUORVEL_STRESS_ITERATIONS (default 400).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "tests/support/machine.h"
#include "tests/support/thread_stress.h"
#include "tests/support/windows/quorvel_module.h"
#include "tools/machine/windows/scoped_value.h"

namespace quorvel::test {
namespace {

enum class Export { kDllGetString, kGetStringFromQuorvelDll, kDllGetDynamicString };

struct Request {
    Export function;
    unsigned id;
    unsigned token;
};

const Request kRequests[] = {
    {Export::kDllGetString, 2, 0},           {Export::kDllGetString, 20001, 0},
    {Export::kDllGetString, 20009, 0},       {Export::kDllGetString, 38, 0},
    {Export::kGetStringFromQuorvelDll, 20001, 0}, {Export::kGetStringFromQuorvelDll, 18, 0},
    {Export::kDllGetDynamicString, 9, 1002}, {Export::kDllGetDynamicString, 35, 1005},
    {Export::kDllGetDynamicString, 1002, 1002},
};
constexpr std::size_t kRequestCount = sizeof kRequests / sizeof *kRequests;

// Thread locales: exact variants, and locales the loader serves from the
// user's language instead.
const LCID kLocales[] = {MAKELCID(0x0409, SORT_DEFAULT), MAKELCID(0x0411, SORT_DEFAULT),
                         MAKELCID(0x0412, SORT_DEFAULT), MAKELCID(0x040C, SORT_DEFAULT),
                         MAKELCID(0x0807, SORT_DEFAULT)};
constexpr std::size_t kLocaleCount = sizeof kLocales / sizeof *kLocales;

// Each changes on its own; any mix of them may be seen.
const char* const kNtProducts[] = {"Microsoft Windows XP", "Microsoft Windows 7", "Microsoft Windows 2000"};
const char* const kProviders[] = {nullptr, "Acme", "Zyxel Communications Corporation of Hsinchu", ""};
const char* const kFiles[] = {"C:\\A.INF", nullptr};

QuorvelSize Call(const Request& r, char* buffer, QuorvelSize size)
{
    switch (r.function) {
    case Export::kDllGetString: return Quorvel().DllGetString(r.id, buffer, size);
    case Export::kGetStringFromQuorvelDll: return Quorvel().GetStringFromQuorvelDll(r.id, buffer, size);
    default: return Quorvel().DllGetDynamicString(r.id, buffer, size, r.token);
    }
}

// Writes or removes one value through a key held open by the changing thread.
void Store(HKEY key, const char* name, const char* text)
{
    if (text)
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(std::strlen(text) + 1));
    else
        RegDeleteValueA(key, name);
}

class RegistryKeys {
public:
    RegistryKeys()
    {
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kNtKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &nt, nullptr);
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &uninstall, nullptr);
    }
    ~RegistryKeys()
    {
        RegCloseKey(nt);
        RegCloseKey(uninstall);
    }
    HKEY nt = nullptr;
    HKEY uninstall = nullptr;
};

StressPlan Plan(const RegistryKeys& keys)
{
    StressPlan plan;
    plan.variants = kLocaleCount;
    plan.requests = kRequestCount;
    plan.enterVariant = [](std::size_t l) { SetThreadLocale(kLocales[l]); };
    plan.call = [](std::size_t i, char* buffer, std::uint32_t size) {
        return static_cast<std::uint32_t>(Call(kRequests[i], buffer, size));
    };
    plan.changeRegistry = [&keys](std::mt19937& random) {
        switch (random() % 3) {
        case 0: Store(keys.nt, "ProductName", kNtProducts[random() % 3]); break;
        case 1: Store(keys.uninstall, "VorProviderName", kProviders[random() % 4]); break;
        default: Store(keys.uninstall, "VorFile", kFiles[random() % 2]); break;
        }
    };
    plan.iterations = StressIterations(400);
    return plan;
}

TEST(ThreadStress, EveryAnswerIsOneTheRegistryCanGive)
{
    // Put back whatever the prefix held, afterwards.
    const ScopedValue ntProduct(HKEY_LOCAL_MACHINE, kNtKey, "ProductName", ScopedValue::Text(kNtProducts[0]));
    const ScopedValue provider(HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName", std::nullopt);
    const ScopedValue file(HKEY_LOCAL_MACHINE, kUninstallKey, "VorFile", std::nullopt);
    const RegistryKeys keys;
    const StressPlan plan = Plan(keys);

    // Every answer of every request in every thread locale, over every mix.
    StressAnswers valid;
    for (const char* nt : kNtProducts) {
        Store(keys.nt, "ProductName", nt);
        for (const char* name : kProviders) {
            Store(keys.uninstall, "VorProviderName", name);
            for (const char* path : kFiles) {
                Store(keys.uninstall, "VorFile", path);
                RecordAnswers(plan, &valid);
            }
        }
    }
    // The account name must be among the answers, or the case tells nothing.
    std::size_t mostAnswers = 0;
    for (std::size_t l = 0; l < kLocaleCount; ++l)
        mostAnswers = std::max(mostAnswers, valid[{l, 1}].size());
    ASSERT_GT(mostAnswers, 1u) << "ID 20001 answers the same on every release";

    const StressResult result = RunStress(plan, valid);
    for (const std::string& fault : result.faults)
        ADD_FAILURE() << fault;
    EXPECT_GT(result.changes, 0);
}

}  // namespace
}  // namespace quorvel::test
