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
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/quorvel_module.h"
#include "support/registry_fixture.h"

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

struct Answer {
    QuorvelSize size;
    std::string text;
    bool operator<(const Answer& other) const { return size != other.size ? size < other.size : text < other.text; }
};

int Iterations()
{
    const char* set = std::getenv("QUORVEL_STRESS_ITERATIONS");
    return set ? std::atoi(set) : 400;
}

TEST(ThreadStress, EveryAnswerIsOneTheRegistryCanGive)
{
    // Put back whatever the prefix held, afterwards.
    const ScopedValue ntProduct(HKEY_LOCAL_MACHINE, kNtKey, "ProductName", ScopedValue::Text(kNtProducts[0]));
    const ScopedValue provider(HKEY_LOCAL_MACHINE, kUninstallKey, "VorProviderName", std::nullopt);
    const ScopedValue file(HKEY_LOCAL_MACHINE, kUninstallKey, "VorFile", std::nullopt);
    const RegistryKeys keys;

    // Every answer of every request in every thread locale, over every mix.
    std::map<std::pair<std::size_t, std::size_t>, std::set<Answer>> valid;  // (locale, request)
    for (const char* nt : kNtProducts) {
        Store(keys.nt, "ProductName", nt);
        for (const char* name : kProviders) {
            Store(keys.uninstall, "VorProviderName", name);
            for (const char* path : kFiles) {
                Store(keys.uninstall, "VorFile", path);
                for (std::size_t l = 0; l < kLocaleCount; ++l) {
                    SetThreadLocale(kLocales[l]);
                    for (std::size_t i = 0; i < kRequestCount; ++i) {
                        const QuorvelSize size = Call(kRequests[i], nullptr, 0);
                        std::vector<char> buffer(size + 1);
                        Call(kRequests[i], buffer.data(), size);
                        valid[{l, i}].insert({size, buffer.data()});
                    }
                }
            }
        }
    }
    // The account name must be among the answers, or the case tells nothing.
    std::size_t mostAnswers = 0;
    for (std::size_t l = 0; l < kLocaleCount; ++l)
        mostAnswers = std::max(mostAnswers, valid[{l, 1}].size());
    ASSERT_GT(mostAnswers, 1u) << "ID 20001 answers the same on every release";

    constexpr int kCallers = 4;
    std::atomic<int> running{kCallers};
    std::mutex faultLock;
    std::vector<std::string> faults;
    const auto fault = [&](const std::string& what) {
        const std::lock_guard<std::mutex> guard(faultLock);
        if (faults.size() < 20)
            faults.push_back(what);
    };
    std::atomic<long> changes{0};

    std::vector<std::thread> threads;
    threads.emplace_back([&] {
        std::mt19937 random(1);
        while (running > 0) {
            switch (random() % 3) {
            case 0: Store(keys.nt, "ProductName", kNtProducts[random() % 3]); break;
            case 1: Store(keys.uninstall, "VorProviderName", kProviders[random() % 4]); break;
            default: Store(keys.uninstall, "VorFile", kFiles[random() % 2]); break;
            }
            ++changes;
        }
    });
    for (int t = 0; t < kCallers; ++t) {
        threads.emplace_back([&, t] {
            std::mt19937 random(100 + t);
            for (int n = 0; n < Iterations(); ++n) {
                const std::size_t l = random() % kLocaleCount;
                SetThreadLocale(kLocales[l]);
                const std::size_t i = random() % kRequestCount;
                const std::set<Answer>& answers = valid.at({l, i});
                const auto validSize = [&](QuorvelSize size) {
                    for (const Answer& answer : answers) {
                        if (answer.size == size)
                            return true;
                    }
                    return false;
                };
                const QuorvelSize size = Call(kRequests[i], nullptr, 0);
                if (!validSize(size)) {
                    fault("request " + std::to_string(i) + ": size query gave " + std::to_string(size));
                    continue;
                }
                // Guard bytes before and after the buffer.
                std::vector<char> block(size + 64, '\x5a');
                char* buffer = block.data() + 32;
                const QuorvelSize filled = Call(kRequests[i], buffer, size);
                const char* nul = static_cast<const char*>(std::memchr(buffer, 0, size));
                std::size_t changed = 0;
                for (std::size_t b = 0; b < block.size(); ++b)
                    changed += block[b] != '\x5a';
                if (!validSize(filled)) {
                    fault("request " + std::to_string(i) + ": fill gave " + std::to_string(filled));
                } else if (filled <= size) {
                    const std::string text(buffer, nul ? nul - buffer : 0);
                    std::size_t outside = 0;
                    for (std::size_t b = 0; b < block.size(); ++b)
                        outside += (b < 32 || b > 32 + text.size()) && block[b] != '\x5a';
                    if (!nul || !answers.count({filled, text}) || outside)
                        fault("request " + std::to_string(i) + ": fill wrote " + Hex(text));
                } else if (changed) {
                    fault("request " + std::to_string(i) + ": a fill that did not fit wrote");
                }
            }
            --running;
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    for (const std::string& f : faults)
        ADD_FAILURE() << f;
    EXPECT_GT(changes.load(), 0);
}

}  // namespace
}  // namespace quorvel::test
