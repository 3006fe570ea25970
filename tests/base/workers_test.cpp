// The worker threads: every part of a job runs once, on any number of threads, jobs from several
// threads at once take turns, and an exception from a part reaches the caller after the others.
#include "base_workers.h"

#include <gtest/gtest.h>

#include <atomic>
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
