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

#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/support/hex.h"
#include "tests/support/standin/standin_test.h"
#include "tests/support/standin/system.h"
#include "tests/support/thread_stress.h"

namespace quorvel::test {
namespace {

const Request kRequests[] = {
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
    {Export::kDllMessageBoxWithSuppliedSubString, 20001, 1005},
    {Export::kDllMessageBoxWithSuppliedSubString, 35, 1005, "C:\\SETUP.INF"},
    {Export::kDllDynamicMessageBox, 10, 1002},
    {Export::kDllMessageBox, 20001},
};

// ---- The registry's states ---------------------------------------------------------

// Each dimension changes on its own; any mix of their values may be seen.
const char* const kNtProducts[] = {"Microsoft Windows XP", nullptr, "Microsoft Windows 2000"};
const char* const kProviders[] = {nullptr, "Acme", "Zyxel Communications Corporation of Hsinchu", ""};
const char* const kFiles[] = {"C:\\A.INF", nullptr};

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

StressPlan Plan(const std::vector<std::uint16_t>& languages)
{
    StressPlan plan;
    plan.variants = languages.size();
    plan.requests = std::size(kRequests);
    plan.enterVariant = [&languages](std::size_t v) { standin::SetThreadLanguage(languages[v]); };
    plan.call = [](std::size_t i, char* buffer, std::uint32_t size) { return Make(kRequests[i], buffer, size); };
    plan.showsBox = [](std::size_t i) {
        if (!IsBox(kRequests[i]))
            return false;
        Make(kRequests[i]);
        return true;
    };
    plan.changeRegistry = [](std::mt19937& random) {
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
    };
    plan.iterations = StressIterations(1000);
    return plan;
}

// Every answer each request can have in each language, over every mix of
// the registry's values, and every text a box can show.
StressAnswers ValidAnswers(const StressPlan& plan, std::set<std::string>* boxes)
{
    StressAnswers answers;
    SetSystem();
    for (const char* nt : kNtProducts) {
        SetValueOrRemove(kNtKey, "ProductName", nt);
        for (const char* provider : kProviders) {
            SetValueOrRemove(kUninstallKey, "VorProviderName", provider);
            for (const char* file : kFiles) {
                SetValueOrRemove(kUninstallKey, "VorFile", file);
                RecordAnswers(plan, &answers);
                for (const auto& box : standin::TakeShownBoxes())
                    boxes->insert(box.text);
            }
        }
    }
    // The uninstall key gone: as if its values were absent.
    standin::RemoveKey(kUninstallKey);
    standin::CreateKey(kUninstallKey);
    // A box whose text grew between its size query and its fill is empty.
    boxes->insert("");
    return answers;
}

// The languages of the locales in `codePage`, and every variant's.
std::vector<std::uint16_t> ThreadLanguages(unsigned codePage)
{
    std::vector<std::uint16_t> languages;
    for (const Locale& locale : kLocales) {
        if (locale.codePage == codePage)
            languages.push_back(locale.language);
    }
    for (const Variant& variant : kVariants) {
        if (variant.locale.codePage != codePage)
            languages.push_back(variant.locale.language);
    }
    return languages;
}

class ThreadStress : public testing::TestWithParam<unsigned> {};

TEST_P(ThreadStress, EveryAnswerIsOneTheRegistryCanGive)
{
    standin::Reset();
    standin::SetCodePage(GetParam());
    const std::vector<std::uint16_t> languages = ThreadLanguages(GetParam());
    const StressPlan plan = Plan(languages);
    std::set<std::string> validBoxes;
    const StressAnswers valid = ValidAnswers(plan, &validBoxes);
    SetSystem();
    const Holdings before;

    const StressResult result = RunStress(plan, valid);
    for (const std::string& fault : result.faults)
        ADD_FAILURE() << fault;
    std::size_t boxes = 0;
    for (const auto& box : standin::TakeShownBoxes()) {
        ++boxes;
        EXPECT_TRUE(validBoxes.count(box.text)) << "a box showed " << Hex(box.text);
    }
    EXPECT_GT(boxes, 0u);
    ExpectHeldAsBefore(before);
}

INSTANTIATE_TEST_SUITE_P(CodePages, ThreadStress, testing::ValuesIn(model::kCodePages),
                         [](const testing::TestParamInfo<unsigned>& info) { return std::to_string(info.param); });

}  // namespace
}  // namespace quorvel::test
