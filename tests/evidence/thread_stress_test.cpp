// Several threads call every export at once, each switching its thread
// language from call to call, while another thread keeps changing the
// registry values the module reads: the NT product name (which decides
// whether ID 20001 is the system's account name), the provider name and the
// file name under the uninstall key, and the uninstall key itself. Every
// answer must be one that some registry state gives, sizes and texts alike,
// and a fill whose text grew since the size query must leave the buffer
// untouched. tools/test-all also runs this under ThreadSanitizer.
//
// QUORVEL_STRESS_ITERATIONS sets the calls per thread and code page (1000).
#include <gtest/gtest.h>

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

#include "module/exports.h"
#include "tests/evidence/support/call_checks.h"
#include "tests/evidence/support/standin_setup.h"

namespace quorvel::evidence {
namespace {

enum class Export { kDllGetString, kGetStringFromQuorvelDll, kDllGetDynamicString, kBoxWithSubstitute,
                    kDynamicBox, kPlainBox };

struct Request {
    Export function;
    unsigned id;
    unsigned token = 0;
    const char* substitute = nullptr;
};

const std::vector<Request>& Requests()
{
    static const std::vector<Request> requests = {
        {Export::kDllGetString, 2},
        {Export::kDllGetString, 18},
        {Export::kDllGetString, 20001},
        {Export::kDllGetString, 20009},
        {Export::kDllGetString, 38},
        {Export::kGetStringFromQuorvelDll, 20001},
        {Export::kGetStringFromQuorvelDll, 9},
        {Export::kDllGetDynamicString, 9, 1002},
        {Export::kDllGetDynamicString, 18, 1002},
        {Export::kDllGetDynamicString, 35, 1005},
        {Export::kDllGetDynamicString, 1002, 1002},
        {Export::kBoxWithSubstitute, 20001, 1005},
        {Export::kBoxWithSubstitute, 35, 1005, "C:\\SETUP.INF"},
        {Export::kDynamicBox, 10, 1002},
        {Export::kPlainBox, 20001},
    };
    return requests;
}

bool IsBox(const Request& r) { return r.function >= Export::kBoxWithSubstitute; }

// ---- The registry's states ---------------------------------------------------------

// Each dimension changes on its own; any mix of their values may be seen.
const char* const kNtProducts[] = {"Microsoft Windows XP", nullptr, "Microsoft Windows 2000"};
const char* const kProviders[] = {nullptr, "Acme", "Zyxel Communications Corporation of Hsinchu", ""};
const char* const kFiles[] = {"C:\\A.INF", nullptr};

void SetValueOrRemove(const char* key, const char* name, const char* value)
{
    if (value)
        standin::SetStringValue(key, name, value);
    else
        standin::RemoveValue(key, name);
}

void SetSystem()
{
    model::ReleaseInputs release;
    release.windowsKey = true;
    release.windowsProduct = Text("Microsoft Windows 98");
    release.ntKey = true;
    release.platformId = 2;
    release.majorVersion = 5;
    ApplyRelease(release);
    standin::SetEveryoneName("Tout le monde");
    standin::CreateKey(kUninstallKey);
}

// ---- One call as a host makes it: size query, then fill ------------------------------

struct Answer {
    QuorvelSize size;
    std::string text;
    bool operator<(const Answer& other) const
    {
        return size != other.size ? size < other.size : text < other.text;
    }
};

QuorvelSize CallString(const Request& r, char* buffer, QuorvelSize size)
{
    switch (r.function) {
    case Export::kDllGetString: return QuorvelDllGetString(r.id, buffer, size);
    case Export::kGetStringFromQuorvelDll: return GetStringFromQuorvelDll(r.id, buffer, size);
    default: return QuorvelDllGetDynamicString(r.id, buffer, size, r.token);
    }
}

void ShowBox(const Request& r)
{
    switch (r.function) {
    case Export::kBoxWithSubstitute:
        QuorvelDllMessageBoxWithSuppliedSubString(r.id, r.token, const_cast<char*>(r.substitute));
        break;
    case Export::kDynamicBox: QuorvelDllDynamicMessageBox(r.id, r.token); break;
    default: QuorvelDllMessageBox(r.id); break;
    }
}

// With the registry still: the size and the text.
Answer QuietAnswer(const Request& r)
{
    const QuorvelSize size = CallString(r, nullptr, 0);
    std::vector<char> buffer(size + 1);
    CallString(r, buffer.data(), size);
    return {size, buffer.data()};
}

// ---- The stress --------------------------------------------------------------------

struct Valid {
    std::map<std::pair<std::uint16_t, std::size_t>, std::set<Answer>> answers;  // (language, request)
    std::map<std::pair<std::uint16_t, std::size_t>, std::set<QuorvelSize>> sizes;
    std::set<std::string> boxes;
};

// Every answer each request can have in each language, over every mix of
// the registry's values.
Valid ValidAnswers(const std::vector<std::uint16_t>& languages)
{
    Valid valid;
    SetSystem();
    for (const char* nt : kNtProducts) {
        SetValueOrRemove(kNtKey, "ProductName", nt);
        for (const char* provider : kProviders) {
            SetValueOrRemove(kUninstallKey, "VorProviderName", provider);
            for (const char* file : kFiles) {
                SetValueOrRemove(kUninstallKey, "VorFile", file);
                for (std::uint16_t language : languages) {
                    standin::SetThreadLanguage(language);
                    for (std::size_t i = 0; i < Requests().size(); ++i) {
                        const Request& r = Requests()[i];
                        if (IsBox(r)) {
                            ShowBox(r);
                            for (const auto& box : standin::TakeShownBoxes())
                                valid.boxes.insert(box.text);
                            continue;
                        }
                        const Answer answer = QuietAnswer(r);
                        valid.answers[{language, i}].insert(answer);
                        valid.sizes[{language, i}].insert(answer.size);
                    }
                }
            }
        }
    }
    // The uninstall key gone: as if its values were absent.
    standin::RemoveKey(kUninstallKey);
    standin::CreateKey(kUninstallKey);
    // A box whose text grew between its size query and its fill is empty.
    valid.boxes.insert("");
    return valid;
}

int Iterations()
{
    const char* set = std::getenv("QUORVEL_STRESS_ITERATIONS");
    return set ? std::atoi(set) : 1000;
}

struct CodePageCase {
    const char* name;
    unsigned codePage;
    std::vector<std::uint16_t> languages;
};

void PrintTo(const CodePageCase& c, std::ostream* os) { *os << c.name; }

class ThreadStress : public testing::TestWithParam<CodePageCase> {};

TEST_P(ThreadStress, EveryAnswerIsOneTheRegistryCanGive)
{
    constexpr int kCallers = 4;
    standin::Reset();
    standin::SetCodePage(GetParam().codePage);
    const std::vector<std::uint16_t>& languages = GetParam().languages;
    const Valid valid = ValidAnswers(languages);
    SetSystem();
    const Holdings before;

    std::atomic<int> running{kCallers};
    std::mutex faultLock;
    std::vector<std::string> faults;
    const auto fault = [&](std::string what) {
        const std::lock_guard<std::mutex> guard(faultLock);
        if (faults.size() < 20)
            faults.push_back(std::move(what));
    };

    std::vector<std::thread> threads;
    threads.emplace_back([&] {
        std::mt19937 random(1);
        while (running > 0) {
            switch (random() % 4) {
            case 0: SetValueOrRemove(kNtKey, "ProductName", kNtProducts[random() % 3]); break;
            case 1: SetValueOrRemove(kUninstallKey, "VorProviderName", kProviders[random() % 4]); break;
            case 2: SetValueOrRemove(kUninstallKey, "VorFile", kFiles[random() % 2]); break;
            default:
                standin::RemoveKey(kUninstallKey);
                standin::CreateKey(kUninstallKey);
                SetValueOrRemove(kUninstallKey, "VorProviderName", kProviders[random() % 4]);
                break;
            }
            std::this_thread::yield();
        }
    });
    for (int t = 0; t < kCallers; ++t) {
        threads.emplace_back([&, t] {
            std::mt19937 random(100 + t);
            for (int n = 0; n < Iterations(); ++n) {
                const std::uint16_t language = languages[random() % languages.size()];
                standin::SetThreadLanguage(language);
                const std::size_t i = random() % Requests().size();
                const Request& r = Requests()[i];
                if (IsBox(r)) {
                    ShowBox(r);
                    continue;
                }
                const auto& sizes = valid.sizes.at({language, i});
                const QuorvelSize size = CallString(r, nullptr, 0);
                if (!sizes.count(size)) {
                    fault("request " + std::to_string(i) + ": size query gave " + std::to_string(size));
                    continue;
                }
                GuardedBuffer buffer(size);
                const QuorvelSize filled = CallString(r, buffer.data(), size);
                if (!sizes.count(filled)) {
                    fault("request " + std::to_string(i) + ": fill gave " + std::to_string(filled));
                } else if (filled <= size) {
                    const char* nul = static_cast<const char*>(std::memchr(buffer.data(), 0, size));
                    const std::string text(buffer.data(), nul ? nul - buffer.data() : 0);
                    if (!nul || !valid.answers.at({language, i}).count({filled, text}) ||
                        !buffer.UntouchedOutside(text.size() + 1))
                        fault("request " + std::to_string(i) + ": fill wrote " + Hex(text));
                } else if (!buffer.Untouched()) {
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
    std::size_t boxes = 0;
    for (const auto& box : standin::TakeShownBoxes()) {
        ++boxes;
        EXPECT_TRUE(valid.boxes.count(box.text)) << "a box showed " << Hex(box.text);
    }
    EXPECT_GT(boxes, 0u);
    EXPECT_EQ(Holdings(), before) << "before: " << before.Describe() << "; after: " << Holdings().Describe();
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, ThreadStress,
    testing::Values(CodePageCase{"Western", 1252, {0x0409, 0x0407, 0x040C, 0x0410, 0x0413, 0x0416, 0x040A, 0x0419}},
                    CodePageCase{"Japanese", 932, {0x0411, 0x0409}}, CodePageCase{"Korean", 949, {0x0412, 0x0409}},
                    CodePageCase{"SimplifiedChinese", 936, {0x0804, 0x0409}},
                    CodePageCase{"TraditionalChinese", 950, {0x0404, 0x0409}}),
    [](const testing::TestParamInfo<CodePageCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorvel::evidence
