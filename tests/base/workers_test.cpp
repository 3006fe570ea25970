// The worker threads: every part of a job runs once, on any number of threads, jobs from several
// threads at once take turns, an exception from a part reaches the caller after the others, and
// a job whose parts are consumed in order on the calling thread.
#include "base_workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <numeric>
#include <stdexcept>
#include <thread>
#include <vector>

using namespace znq;

TEST(Workers, EveryPartRunsOnceOnAnyNumberOfThreads)
{
    for (const int threads : { 0, 1, 2, 5 })
        for (const int parts : { 0, 1, 3, 64 }) {
            std::vector<std::atomic<int>> runs(size_t(parts) + 1);
            helpers::RunParts(
                parts, [&](int part) { ++runs[size_t(part)]; }, threads);
            for (int part = 0; part < parts; ++part)
                ASSERT_EQ(runs[size_t(part)], 1) << threads << " threads, part " << part;
            EXPECT_EQ(runs[size_t(parts)], 0);
        }
    // Two askers at once: each job finishes whole.
    std::vector<std::thread> askers;
    std::atomic<int> total = 0;
    for (int asker = 0; asker < 2; ++asker)
        askers.emplace_back([&] {
            for (int job = 0; job < 50; ++job)
                helpers::RunParts(8, [&](int) { ++total; });
        });
    for (std::thread& asker : askers)
        asker.join();
    EXPECT_EQ(total, 2 * 50 * 8);
    std::atomic<int> done = 0;
    EXPECT_THROW(helpers::RunParts(16,
                     [&](int part) {
                         if (part == 3)
                             throw std::runtime_error("part 3");
                         ++done;
                     }),
        std::runtime_error);
    EXPECT_EQ(done, 15) << "the other parts ran";
}

// Consumed in order: each part once, after its work and the part before, on the calling thread,
// with the parts' durations varied so that they finish out of order; an exception from a part or
// from the consumer stops the consuming and reaches the caller.
TEST(Workers, PartsAreConsumedInOrderOnTheCallingThread)
{
    const std::thread::id caller = std::this_thread::get_id();
    for (const int threads : { 1, 2, 5 })
        for (const int parts : { 0, 1, 7, 200 }) {
            std::vector<std::atomic<bool>> worked(static_cast<size_t>(parts));
            std::vector<int> consumed;
            bool elsewhere = false, early = false;
            helpers::RunPartsInOrder(
                parts,
                [&](int part) {
                    if (part % 3 == 0)
                        std::this_thread::sleep_for(std::chrono::microseconds(200));
                    worked[size_t(part)] = true;
                },
                [&](int part) {
                    elsewhere |= std::this_thread::get_id() != caller;
                    early |= !worked[size_t(part)];
                    consumed.push_back(part);
                },
                threads);
            std::vector<int> expected(static_cast<size_t>(parts));
            std::iota(expected.begin(), expected.end(), 0);
            EXPECT_EQ(consumed, expected) << threads << " threads";
            EXPECT_FALSE(elsewhere);
            EXPECT_FALSE(early);
        }
    for (const int threads : { 2, 5 })
        for (const bool inConsumer : { false, true }) {
            int last = -1;
            EXPECT_THROW(helpers::RunPartsInOrder(
                             64,
                             [&](int part) {
                                 if (!inConsumer && part == 5)
                                     throw std::runtime_error("part 5");
                             },
                             [&](int part) {
                                 if (inConsumer && part == 5)
                                     throw std::runtime_error("consumer");
                                 last = part;
                             },
                             threads),
                std::runtime_error);
            EXPECT_LT(last, 5) << "nothing after the failure is consumed";
        }
}
