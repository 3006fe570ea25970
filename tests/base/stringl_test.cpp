#include "ZNQ_stringl.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>
#include <iostream>
#include <limits>
#include <random>
#include <string>

using namespace znq;

namespace {

constexpr long double notANumber = std::numeric_limits<long double>::quiet_NaN();
constexpr long double infinity = std::numeric_limits<long double>::infinity();

struct TextRow {
    const char* name;
    long double value;
    int width;
    int decimals;
    std::string expected;
};

} // namespace

TEST(DecimalText, FixedNotation)
{
    const TextRow rows[] = {
        { "exact half rounds up", 2.5L, 1, 0, "3" },
        { "negative exact half", -2.5L, 1, 0, "-3" },
        { "exact half at a decimal", 0.125L, 1, 2, "0.13" },
        { "double just below the half", 1.005, 1, 2, "1.00" },
        { "18 digits make it a half", std::nextafter(0.5L, 0.0L), 1, 0, "1" },
        { "extended 0.1 has 18 digits", 0.1L, 1, 20, "0.10000000000000000000" },
        { "double 0.1 has 18 digits", 0.1, 1, 20, "0.10000000000000000600" },
        { "carry through the point", 9.996L, 1, 2, "10.00" },
        { "leading fraction zeros", 0.000123L, 1, 8, "0.00012300" },
        { "negative rounds to zero", -0.001L, 1, 2, "-0.00" },
        { "tiny negative", -1e-4000L, 1, 3, "-0.000" },
        { "negative zero has no sign", -0.0L, 1, 2, "0.00" },
        { "padded", 3.14159L, 8, 2, "    3.14" },
        { "not cut", 12345.678L, 3, 1, "12345.7" },
        { "large double", 1e300, 1, 1, "100000000000000005" + std::string(283, '0') + ".0" },
        { "beyond double", 1e4000L, 1, 0, "1" + std::string(4000, '0') },
        { "NaN", notANumber, 1, 2, "NAN" },
        { "infinity", infinity, 6, 2, "   INF" },
        { "minus infinity", -infinity, 1, 0, "-INF" },
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(DecimalText(row.value, row.width, row.decimals), row.expected);
    }
}

TEST(DecimalText, ScientificNotation)
{
    const TextRow rows[] = {
        { "two digits", 1234.5L, 10, -1, " 1.2E+0003" },
        { "exact half rounds up", -1234.5L, 12, -1, "-1.235E+0003" },
        { "carry raises the exponent", 9.96L, 10, -1, " 1.0E+0001" },
        { "negative exponent", 1e-5L, 10, -1, " 1.0E-0005" },
        { "zero", 0.0L, 10, -3, " 0.0E+0000" },
        { "at least two digits", 1.5L, 1, -1, " 1.5E+0000" },
        { "at most 18 digits", 1.0L / 3, 30, -1, "     3.33333333333333333E-0001" },
        { "four-digit exponent", 1e4000L, 10, -1, " 1.0E+4000" },
        { "smallest extended", std::numeric_limits<long double>::denorm_min(), 10, -1,
            " 3.6E-4951" },
        { "NaN", notANumber, 10, -1, "       NAN" },
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(DecimalText(row.value, row.width, row.decimals), row.expected);
    }
}

TEST(DecimalText, IgnoresTheLocaleSeparator)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const char* commaLocale = nullptr;
    for (const char* name : { "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE" }) {
        if (std::setlocale(LC_NUMERIC, name)) {
            commaLocale = name;
            break;
        }
    }
    if (!commaLocale)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    const std::string fixed = DecimalText(-12.5L, 1, 2);
    const std::string scientific = DecimalText(1234.5L, 10, -1);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(fixed, "-12.50");
    EXPECT_EQ(scientific, " 1.2E+0003");
}

TEST(FormatFixed, WidthPaddingAndExponentRules)
{
    const TextRow rows[] = {
        { "zero padding moves the sign", -12.5L, -8, 1, "-00012.5" },
        { "space padding", -12.5L, 8, 1, "   -12.5" },
        { "zero padding positive", 12.5L, -8, 1, "000012.5" },
        { "zero padding without room", -12.5L, -3, 1, "-12.5" },
        { "plain fixed text", 3.14159L, 1, 2, "3.14" },
        { "two-digit exponent", 1.5L, 1, -2, " 1.5E+00" },
        { "two-digit exponent in a field", -12345.678L, 10, -2, "-1.235E+04" },
        { "zero-padded scientific", 1.5L, -10, -2, "01.500E+00" },
        { "exponent too large", 1e123L, 1, -2, "********" },
        { "exponent too small", 1e-100L, 10, -2, "**********" },
        { "decimals -3", 1234.5L, 10, -3, " 1.2E+0003" },
        { "NaN", notANumber, 6, 2, "   NAN" },
        { "minus infinity is not zero-padded", -infinity, -6, 2, "  -INF" },
        { "infinity keeps its text", infinity, 1, -2, "INF" },
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FormatFixed(row.width, row.decimals, row.value), row.expected);
    }
}

TEST(FormatEngineering, DigitsAndPrefixes)
{
    struct Row {
        const char* name;
        double value;
        int a;
        std::string expected;
    };
    const Row rows[] = {
        { "kilo, 3 digits", 12345.678, 3, "12.3k" },
        { "kilo, 4 digits", 12345.678, 4, "12.35k" },
        { "prefix as point", 12345.678, -4, "12k35" },
        { "negative", -12345.678, 3, "-12.3k" },
        { "milli", 0.0047, 2, "4.7m" },
        { "milli as point", 0.0047, -2, "4m7" },
        { "no prefix", 47, 2, "47" },
        { "no prefix as point", 47, -3, "47.0" },
        { "prefix appended without a point", 47000, -2, "47k" },
        { "zero", 0, 3, "0.00" },
        { "zero as point", 0, -3, "0.00" },
        { "negative zero", -0.0, 3, "0.00" },
        { "integer mantissa, a = 1", 12345.678, 1, "12k" },
        { "integer mantissa, a = 0", 12345.678, 0, "12k" },
        { "integer mantissa, a = -1", 12345.678, -1, "12k" },
        { "micro", 4.7e-6, 2, "4.7u" },
        { "no renormalisation", 999960, 3, "1000k" },
        { "beyond tera", 2.2e15, 3, "2200T" },
        { "below atto", 1e-20, 3, "0.0100a" },
        { "exact thousand", 1000, 3, "1.00k" },
        { "exact ten", 10, 3, "10.0" },
        { "exact 1e13", 1e13, 3, "10.0T" },
        { "thousandth", 0.001, 3, "1.00m" },
        { "NaN", std::numeric_limits<double>::quiet_NaN(), 3, "NAN" },
        { "infinity", std::numeric_limits<double>::infinity(), 3, "INF" },
        { "minus infinity", -std::numeric_limits<double>::infinity(), -3, "-INF" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FormatEngineering(row.a, row.value), row.expected);
    }
    EXPECT_EQ(FormatEngineering(20, 12345.678), FormatEngineering(9, 12345.678));
    EXPECT_EQ(FormatEngineering(-20, 12345.678), FormatEngineering(-9, 12345.678));
}

TEST(FormatEngineering, ExtremeMagnitudes)
{
    const std::string tiny = FormatEngineering(3, 1e-320);
    EXPECT_EQ(tiny.substr(0, 4), "0.00");
    EXPECT_EQ(tiny.back(), 'a');
    const std::string huge = FormatEngineering(3, -1e308);
    EXPECT_EQ(huge.substr(0, 19), "-100000000000000001");
    EXPECT_EQ(huge.back(), 'T');
    EXPECT_EQ(huge.size(), 299u); // "-", 297 integer digits, "T"
}

TEST(NthPos, FindsNonOverlappingOccurrences)
{
    struct Row {
        const char* name;
        std::string sub;
        std::string s;
        int32_t start;
        bool ignoreCase;
        int32_t n;
        int32_t expected;
    };
    const Row rows[] = {
        { "second occurrence", "ab", "xxabyyabzz", 1, false, 2, 7 },
        { "start after the first", "ab", "xxabyyabzz", 4, false, 2, 0 },
        { "n = 0", "ab", "xxabyyabzz", 1, false, 0, 0 },
        { "first occurrence", "ab", "xxabyyabzz", 1, false, 1, 3 },
        { "start below 1", "ab", "xxabyyabzz", -5, false, 1, 3 },
        { "case matters", "AB", "xxabyyABzz", 1, false, 1, 7 },
        { "case ignored", "AB", "xxabyyABzz", 1, true, 2, 7 },
        { "no overlap", "aa", "aaaa", 1, false, 2, 3 },
        { "too few without overlap", "aa", "aaaa", 1, false, 3, 0 },
        { "byte positions", "AB", "x\u00B0ab", 1, true, 1, 4 },
        { "empty sub", "", "abc", 1, false, 1, 0 },
        { "start on the last character", "c", "abc", 3, false, 1, 3 },
        { "start beyond the end", "a", "abc", 5, false, 1, 0 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(NthPos(row.sub, row.s, row.start, row.ignoreCase, row.n), row.expected);
    }
}

// Random bit patterns reach every class of double: NaN, infinities, denormals and the largest
// magnitudes. Finite fixed texts must read back within half a unit of their last decimal.
TEST(NumberTextRobustness, RandomDoubles)
{
    const unsigned seed = 1234;
    std::cout << "random seed " << seed << '\n';
    std::mt19937_64 generator(seed);
    std::uniform_int_distribution<int> widths(-30, 30);
    std::uniform_int_distribution<int> decimalCounts(-3, 12);
    std::uniform_int_distribution<int> digitCounts(-12, 12);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bits = generator();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        SCOPED_TRACE(testing::Message() << "value " << value << " bits " << bits);

        const std::string engineering = FormatEngineering(digitCounts(generator), value);
        ASSERT_FALSE(engineering.empty());
        ASSERT_FALSE(FormatFixed(widths(generator), decimalCounts(generator), value).empty());

        if (!std::isfinite(value))
            continue;
        const int decimals = i % 7;
        const std::string text = FormatFixed(1, decimals, value);
        long double parsed = 0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), parsed);
        ASSERT_EQ(result.ptr, text.data() + text.size()) << text;
        const long double tolerance = 0.5L * std::pow(10.0L, -decimals)
            + 1e-17L * std::fabs(static_cast<long double>(value));
        ASSERT_LE(std::fabs(parsed - value), tolerance) << text;
    }
}
