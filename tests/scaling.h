// How a cost grows with the size of its input, as a ratio of processor times measured in the same
// thread: robust under the sanitizers and on a loaded machine, where a bound in seconds is not.
#pragma once

#include <algorithm>
#include <cstddef>
#include <ctime>
#include <functional>

namespace znq::testing_support {

// The two sizes compared lie this far apart: a linear cost grows by 8, a quadratic one by 64.
constexpr size_t GrowthFactor = 8;
// A ratio below this is linear growth: three times the linear ratio, well under the quadratic.
constexpr double LinearGrowthLimit = 24;

// The processor time of the calling thread in seconds. Time the thread waits while other
// processes run does not count, so a busy machine changes it little.
inline double ThreadSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The best of five measurements of run(GrowthFactor * n) over the best of five of run(n). Each
// measurement repeats run as often as the small size needs to take a few milliseconds, so that
// the clock's resolution and the cost of reading it play no part.
inline double GrowthRatio(const std::function<void(size_t)>& run, size_t n)
{
    int repeats = 1;
    for (;;) {
        const double start = ThreadSeconds();
        for (int i = 0; i < repeats; ++i)
            run(n);
        if (ThreadSeconds() - start >= 0.002 || repeats >= 1 << 16)
            break;
        repeats *= 2;
    }
    auto best = [&](size_t size) {
        double fastest = 1e300;
        for (int attempt = 0; attempt < 5; ++attempt) {
            const double start = ThreadSeconds();
            for (int i = 0; i < repeats; ++i)
                run(size);
            fastest = std::min(fastest, ThreadSeconds() - start);
        }
        return fastest;
    };
    return best(GrowthFactor * n) / std::max(best(n), 1e-9);
}

} // namespace znq::testing_support
