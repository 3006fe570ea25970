#include "ZNQ_math1.h"

#include "base_helpers.h"

#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace znq {

long double Log10(double x)
{
    // The negated test also turns NaN away.
    if (!(x > 0))
        throw EMathError("logarithm: invalid argument");
    const long double result = std::log10(static_cast<long double>(x));
    // The library logarithm misses some exact powers of ten by an ulp (10^7 gives 7 + 4e-19);
    // callers take the floor of the result, so those must come out as exact integers.
    if (result >= 0 && result < helpers::PowersOfTen.size()) {
        const auto power = static_cast<size_t>(std::lround(result));
        if (power < helpers::PowersOfTen.size() && x == helpers::PowersOfTen[power])
            return static_cast<long double>(power);
    }
    return result;
}

int64_t RoundHalfEven(long double x)
{
    // 2^63 is exact in extended precision; anything at or beyond it does not fit.
    constexpr long double limit = 9223372036854775808.0L;
    if (std::isnan(x))
        return 0;
    if (x >= limit)
        return std::numeric_limits<int64_t>::max();
    if (x <= -limit)
        return std::numeric_limits<int64_t>::min();
    // Done by hand rather than with nearbyint so that a changed rounding mode cannot leak in.
    long double whole = std::trunc(x);
    const long double fraction = std::fabs(x - whole); // Exact: both share the binade of x.
    const long double step = x < 0 ? -1.0L : 1.0L;
    if (fraction > 0.5L || (fraction == 0.5L && std::fmod(whole, 2.0L) != 0))
        whole += step;
    if (whole >= limit)
        return std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(whole);
}

int32_t FloorInt(double x)
{
    if (std::isnan(x))
        return 0;
    if (x >= 2147483648.0)
        return std::numeric_limits<int32_t>::max();
    if (x < -2147483648.0)
        return std::numeric_limits<int32_t>::min();
    const int64_t rounded = RoundHalfEven(x);
    return static_cast<int32_t>(static_cast<double>(rounded) > x ? rounded - 1 : rounded);
}

void SwapInts(int32_t& a, int32_t& b)
{
    std::swap(a, b);
}

} // namespace znq
