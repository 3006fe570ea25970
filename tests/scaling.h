// How a cost grows with the size of its input, as a ratio of times measured in the same process:
// robust under the sanitizers and on a busy machine, where a bound in seconds is not.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>

namespace znq::testing_support {

// The best of three runs of run(4 n) over the best of three runs of run(n): about 4 for a linear
// cost, about 16 for a quadratic one.
inline double GrowthRatio(const std::function<void(size_t)>& run, size_t n)
{
    auto best = [&](size_t size) {
        double fastest = 1e300;
        for (int i = 0; i < 3; ++i) {
            const auto start = std::chrono::steady_clock::now();
            run(size);
            fastest = std::min(fastest,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        return fastest;
    };
    return best(4 * n) / std::max(best(n), 1e-9);
}

} // namespace znq::testing_support
