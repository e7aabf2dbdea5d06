// Threads making string requests at once, each switching its variant (thread
// language or locale) from call to call, while one more thread keeps changing
// the registry the module reads. Every answer must be one that some state of
// the registry gives, sizes and texts alike; a fill whose text grew since its
// size query must leave the buffer as it was.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/support/guarded_buffer.h"
#include "tests/support/hex.h"

namespace quorvel::test {

// What a string request answered: its size and the text it filled in.
struct StringAnswer {
    std::uint32_t size;
    std::string text;
    bool operator<(const StringAnswer& other) const
    {
        return size != other.size ? size < other.size : text < other.text;
    }
};

// Every answer each request may give in each variant: (variant, request).
using StressAnswers = std::map<std::pair<std::size_t, std::size_t>, std::set<StringAnswer>>;

struct StressPlan {
    std::size_t variants = 0;
    std::size_t requests = 0;
    std::function<void(std::size_t variant)> enterVariant;  // on the calling thread
    // Makes string request `request`; without a buffer, the size query.
    std::function<std::uint32_t(std::size_t request, char* buffer, std::uint32_t size)> call;
    // Makes `request` if it shows a message box instead; false for a string request.
    std::function<bool(std::size_t request)> showsBox = [](std::size_t) { return false; };
    std::function<void(std::mt19937& random)> changeRegistry;
    int callers = 4;
    int iterations = 0;
};

// Adds what every request answers in every variant with the registry as it
// stands, the registry still.
inline void RecordAnswers(const StressPlan& plan, StressAnswers* answers)
{
    for (std::size_t v = 0; v < plan.variants; ++v) {
        plan.enterVariant(v);
        for (std::size_t i = 0; i < plan.requests; ++i) {
            if (plan.showsBox(i))
                continue;
            const std::uint32_t size = plan.call(i, nullptr, 0);
            std::vector<char> buffer(size + 1);
            plan.call(i, buffer.data(), size);
            (*answers)[{v, i}].insert({size, buffer.data()});
        }
    }
}

// One request as a host makes it, size query then fill: what went wrong, or
// nothing.
inline std::string CheckedRequest(const StressPlan& plan, std::size_t i, const std::set<StringAnswer>& answers)
{
    const auto validSize = [&](std::uint32_t size) {
        for (const StringAnswer& answer : answers) {
            if (answer.size == size)
                return true;
        }
        return false;
    };
    const std::uint32_t size = plan.call(i, nullptr, 0);
    if (!validSize(size))
        return "size query gave " + std::to_string(size);
    GuardedBuffer buffer(size);
    const std::uint32_t filled = plan.call(i, buffer.data(), size);
    if (!validSize(filled))
        return "fill gave " + std::to_string(filled);
    if (filled > size)
        return buffer.Untouched() ? "" : "a fill that did not fit wrote";
    const char* nul = static_cast<const char*>(std::memchr(buffer.data(), 0, size));
    const std::string text(buffer.data(), nul ? nul - buffer.data() : 0);
    if (!nul || !answers.count({filled, text}) || !buffer.UntouchedOutside(text.size() + 1))
        return "fill wrote " + Hex(text);
    return {};
}

// Calls per thread: QUORVEL_STRESS_ITERATIONS, else `fallback`.
inline int StressIterations(int fallback)
{
    const char* set = std::getenv("QUORVEL_STRESS_ITERATIONS");
    return set ? std::atoi(set) : fallback;
}

struct StressResult {
    std::vector<std::string> faults;  // the first 20
    long changes = 0;                 // registry changes made meanwhile
};

inline StressResult RunStress(const StressPlan& plan, const StressAnswers& answers)
{
    StressResult result;
    std::atomic<int> running{plan.callers};
    std::atomic<long> changes{0};
    std::mutex faultLock;
    std::vector<std::thread> threads;
    threads.emplace_back([&] {
        std::mt19937 random(1);
        while (running > 0) {
            plan.changeRegistry(random);
            ++changes;
            std::this_thread::yield();
        }
    });
    for (int t = 0; t < plan.callers; ++t) {
        threads.emplace_back([&, t] {
            std::mt19937 random(100 + t);
            for (int n = 0; n < plan.iterations; ++n) {
                const std::size_t v = random() % plan.variants;
                plan.enterVariant(v);
                const std::size_t i = random() % plan.requests;
                if (plan.showsBox(i))
                    continue;
                const std::string fault = CheckedRequest(plan, i, answers.at({v, i}));
                if (fault.empty())
                    continue;
                const std::lock_guard<std::mutex> guard(faultLock);
                if (result.faults.size() < 20)
                    result.faults.push_back("request " + std::to_string(i) + ": " + fault);
            }
            --running;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    result.changes = changes;
    return result;
}

}  // namespace quorvel::test
