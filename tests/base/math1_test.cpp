#include "ZNQ_math1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <limits>
#include <random>

using namespace znq;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

} // namespace

TEST(Log10, ExactPowersOfTenGiveExactIntegers)
{
    double power = 1;
    for (int k = 0; k <= 22; ++k, power *= 10) {
        SCOPED_TRACE(k);
        EXPECT_EQ(Log10(power), static_cast<long double>(k));
        // Snapping to the integer must not reach the neighbours below.
        if (k > 0) {
            EXPECT_LT(Log10(std::nextafter(power, 0.0)), static_cast<long double>(k));
        }
    }
}

TEST(Log10, OtherArgumentsInExtendedPrecision)
{
    EXPECT_NEAR(static_cast<double>(Log10(2)), 0.30102999566398119521, 1e-17);
    EXPECT_EQ(FloorInt(static_cast<double>(Log10(0.001))), -3);
    EXPECT_NEAR(static_cast<double>(Log10(4.9e-324)), -323.3062153431158, 1e-12);
    EXPECT_EQ(Log10(infinity), std::numeric_limits<long double>::infinity());
}

TEST(Log10, InvalidArgumentsRaise)
{
    for (const double x : { 0.0, -0.0, -1.0, -1e-310, -infinity, notANumber }) {
        SCOPED_TRACE(x);
        try {
            Log10(x);
            ADD_FAILURE() << "no EMathError";
        } catch (const EMathError& error) {
            EXPECT_STREQ(error.what(), "logarithm: invalid argument");
        }
    }
}

TEST(RoundHalfEven, HalvesGoToEvenAndBadInputSaturates)
{
    struct Row {
        const char* name;
        long double x;
        int64_t expected;
    };
    constexpr int64_t max = std::numeric_limits<int64_t>::max();
    constexpr int64_t min = std::numeric_limits<int64_t>::min();
    const Row rows[] = {
        { "half to even below", 2.5L, 2 },
        { "half to even above", 3.5L, 4 },
        { "negative half", -2.5L, -2 },
        { "negative half up in magnitude", -3.5L, -4 },
        { "half of zero", -0.5L, 0 },
        { "half above 2^62", 4611686018427387904.5L, 4611686018427387904 },
        { "odd half above 2^62", 4611686018427387905.5L, 4611686018427387906 },
        { "lowest int64", -9223372036854775808.0L, min },
        { "beyond int64", 1e19L, max },
        { "below int64", -1e19L, min },
        { "infinity", std::numeric_limits<long double>::infinity(), max },
        { "NaN", std::numeric_limits<long double>::quiet_NaN(), 0 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(RoundHalfEven(row.x), row.expected);
    }
}

TEST(FloorInt, RoundsDownAndSaturates)
{
    struct Row {
        const char* name;
        double x;
        int32_t expected;
    };
    constexpr int32_t max = std::numeric_limits<int32_t>::max();
    constexpr int32_t min = std::numeric_limits<int32_t>::min();
    const Row rows[] = {
        { "negative half", -2.5, -3 },
        { "positive half", 2.5, 2 },
        { "small negative", -0.5, -1 },
        { "negative zero", -0.0, 0 },
        { "just below int32 max + 1", 2147483647.75, max },
        { "lowest int32", -2147483648.0, min },
        { "half above lowest", -2147483647.5, min },
        { "int32 max + 1", 2147483648.0, max },
        { "below lowest", -2147483648.5, min },
        { "huge", 1e300, max },
        { "infinity", infinity, max },
        { "minus infinity", -infinity, min },
        { "NaN", notANumber, 0 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FloorInt(row.x), row.expected);
    }
}

TEST(FloorInt, MatchesFloorOnRandomValues)
{
    const unsigned seed = 20240611;
    std::cout << "random seed " << seed << '\n';
    std::mt19937_64 generator(seed);
    std::uniform_real_distribution<double> spread(-3e9, 3e9);
    std::uniform_int_distribution<int> scale(0, 9);
    for (int i = 0; i < 100000; ++i) {
        const double x = spread(generator) / std::pow(10.0, scale(generator));
        const double floored = std::clamp(std::floor(x), -2147483648.0, 2147483647.0);
        ASSERT_EQ(FloorInt(x), static_cast<int32_t>(floored)) << "x = " << x;
    }
}

TEST(SwapInts, ExchangesValues)
{
    int32_t a = std::numeric_limits<int32_t>::min();
    int32_t b = 7;
    SwapInts(a, b);
    EXPECT_EQ(a, 7);
    EXPECT_EQ(b, std::numeric_limits<int32_t>::min());
}
