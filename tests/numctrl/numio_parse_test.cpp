#include "numio_parse.h"

#include <gtest/gtest.h>

#include "../scaling.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <iostream>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace znq;

namespace {

constexpr int32_t int32Min = std::numeric_limits<int32_t>::min();
constexpr int32_t int32Max = std::numeric_limits<int32_t>::max();

struct IntegerRow {
    const char* name;
    int32_t (*scanner)(const std::string&, int32_t&);
    std::string text;
    int32_t startPos;
    int32_t expected;
    int32_t expectedPos;
};

struct TextRow {
    const char* name;
    std::string text;
    TInFormat format;
    TDecPSep sep;
    bool valid;
    double expected;
};

void checkTextRows(const std::vector<TextRow>& rows, char localeSeparator = '.')
{
    for (const TextRow& row : rows) {
        SCOPED_TRACE(row.name);
        double value = 99;
        EXPECT_EQ(TextToNumber(row.text, value, row.format, row.sep, localeSeparator), row.valid);
        if (row.valid) {
            EXPECT_EQ(value, row.expected);
        }
    }
}

} // namespace

TEST(IntegerScanners, DigitsPositionsAndWrapping)
{
    const IntegerRow rows[] = {
        { "decimal with sign and trailing text", ParseInt, "  -12x", 1, -12, 6 },
        { "plus sign", ParseInt, "+7", 1, 7, 3 },
        { "sign alone", ParseInt, "+", 1, 0, 2 },
        { "second sign stops", ParseInt, "--1", 1, 0, 2 },
        { "empty text", ParseInt, "", 1, 0, 1 },
        { "lowest", ParseInt, "-2147483648", 1, int32Min, 12 },
        { "one above the highest wraps", ParseInt, "2147483648", 1, int32Min, 11 },
        { "wraps modulo 2^32", ParseInt, "99999999999", 1, 1215752191, 12 },
        { "position below 1 counts as 1", ParseInt, "5", -7, 5, 2 },
        { "single space not skipped", ParseInt, " ", 1, 0, 1 },
        { "last space not skipped", ParseHex, "  ", 1, 0, 2 },
        { "space before the last skipped", ParseHex, " a", 1, 10, 3 },
        { "hex dollar at position 1", ParseHex, "$ff", 1, 255, 4 },
        { "hex dollar elsewhere stops", ParseHex, "a$ff", 1, 10, 2 },
        { "hex dollar after a space stops", ParseHex, " $ff", 1, 0, 2 },
        { "hex sign bit", ParseHex, "80000000", 1, int32Min, 9 },
        { "hex wraps", ParseHex, "123456789", 1, 0x23456789, 10 },
        { "octal stops at 8", ParseOct, "178", 1, 15, 3 },
        { "binary stops at 2", ParseBin, "1012", 1, 5, 4 },
        { "binary 32 ones", ParseBin, std::string(32, '1'), 1, -1, 33 },
        { "position past the end", ParseOct, "17", 9, 0, 9 },
    };
    for (const IntegerRow& row : rows) {
        SCOPED_TRACE(row.name);
        int32_t pos = row.startPos;
        EXPECT_EQ(row.scanner(row.text, pos), row.expected);
        EXPECT_EQ(pos, row.expectedPos);
    }
}

TEST(ParseFloat, StateMachine)
{
    struct Row {
        const char* name;
        std::string text;
        bool exponentAllowed;
        TSepMode mode;
        long double expected;
        int32_t expectedPos;
    };
    using enum TSepMode;
    const long double limit = 1.7e308;
    const Row rows[] = {
        { "leading spaces and trailing text", "  12.5x", true, smPoint, 12.5L, 7 },
        { "ends at a space", "12 34", true, smPoint, 12, 3 },
        { "second separator is malformed", "1.2.3", true, smPoint, 0, 4 },
        { "separator after the exponent ends it", "1e2.5", true, smPoint, 100, 4 },
        { "two signs", "+-1", true, smPoint, 0, 2 },
        { "space after the sign", "- 1", true, smPoint, 0, 2 },
        { "E at the start", "e5", true, smPoint, 0, 1 },
        { "exponent without digits", "1ex", true, smPoint, 1, 3 },
        { "exponent sign without digits", "1e+x", true, smPoint, 1, 4 },
        { "space after E", "1e 5", true, smPoint, 0, 3 },
        { "two exponent signs", "1e--5", true, smPoint, 0, 4 },
        { "E not allowed ends the number", "1e5", false, smPoint, 1, 2 },
        { "comma mode", "-1,25", true, smComma, -1.25L, 6 },
        { "point in comma mode ends", "1.25", true, smComma, 1, 2 },
        { "separator first", ".5", true, smPoint, 0.5L, 3 },
        { "trailing separator", "1.", true, smPoint, 1, 3 },
        { "separator after the sign", "-.5e1", true, smPoint, -5, 6 },
        { "sign alone", "-", true, smPoint, 0, 2 },
        { "separator and exponent without digits", ".e5", true, smPoint, 0, 4 },
        { "empty text", "", true, smPoint, 0, 1 },
        { "exponent digits cut above 4200", "1e5000", true, smPoint, limit, 7 },
        { "exponent 4200 kept", "1e-4200", true, smPoint, 1e-4200L, 8 },
        { "exponent 4201 cut to 420", "1e-4201", true, smPoint, 1e-420L, 8 },
        { "leading exponent zeros", "1e0000000000002", true, smPoint, 100, 16 },
        { "clamped above", "1.8e308", true, smPoint, limit, 8 },
        { "clamped below", "-1e309", true, smPoint, -limit, 7 },
        { "beyond double, within extended", "1e-400", true, smPoint, 1e-400L, 7 },
        { "below extended reads as zero", "0." + std::string(800, '0') + "1e-4200", true, smPoint,
            0, 810 },
        { "correctly rounded to extended", "0.1", true, smPoint, 0.1L, 4 },
        { "64-bit integer exact", "9007199254740993", true, smPoint, 9007199254740993.0L, 17 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        int32_t pos = 1;
        EXPECT_EQ(ParseFloat(row.text, row.exponentAllowed, row.mode, pos), row.expected);
        EXPECT_EQ(pos, row.expectedPos);
    }
}

TEST(ParseFloat, StartPositions)
{
    int32_t pos = 3;
    EXPECT_EQ(ParseFloat("ab12.5", true, TSepMode::smPoint, pos), 12.5L);
    EXPECT_EQ(pos, 7);
    pos = -5;
    EXPECT_EQ(ParseFloat("7", true, TSepMode::smPoint, pos), 7);
    EXPECT_EQ(pos, 2);
    pos = 20;
    EXPECT_EQ(ParseFloat("7", true, TSepMode::smPoint, pos), 0);
    EXPECT_EQ(pos, 20);
    pos = int32Max;
    EXPECT_EQ(ParseFloat("7", true, TSepMode::smPoint, pos), 0);
    EXPECT_EQ(pos, int32Max);
}

TEST(TextToNumber, IntegerAndDynamicFormats)
{
    using enum TInFormat;
    const TDecPSep dot = TDecPSep::dsDot;
    checkTextRows({
        { "trailing letter", "12a", itInt, dot, false, 0 },
        { "minus alone", "-", itInt, dot, true, 0 },
        { "plus alone", "+", itInt, dot, true, 0 },
        { "plus sign", "+7", itInt, dot, true, 7 },
        { "point in an integer", "1.5", itInt, dot, false, 0 },
        { "lowest", "-2147483648", itInt, dot, true, -2147483648.0 },
        { "hex of -1", "ffffffff", itHex, dot, true, -1 },
        { "hex with dollar", "$ff", itHex, dot, true, 255 },
        { "hex dollar alone", "$", itHex, dot, true, 0 },
        { "hex wrong digit", "fg", itHex, dot, false, 0 },
        { "octal", "&777", itOct, dot, true, 511 },
        { "octal wrong digit", "8", itOct, dot, false, 0 },
        { "binary", "%101", itBin, dot, true, 5 },
        { "binary wrong digit", "2", itBin, dot, false, 0 },
        { "dynamic hex", "$ff", itDynamic, dot, true, 255 },
        { "dynamic binary", "%101", itDynamic, dot, true, 5 },
        { "dynamic octal", "&17", itDynamic, dot, true, 15 },
        { "dynamic decimal", "12", itDynamic, dot, true, 12 },
        { "dynamic exponent", "1e2", itDynamic, dot, true, 100 },
        { "dynamic octal digit 9", "&19", itDynamic, dot, false, 0 },
    });
}

TEST(TextToNumber, RealFormatsAndSeparators)
{
    using enum TInFormat;
    using enum TDecPSep;
    checkTextRows({
        { "exponent", "1.5e3", itExp, dsDot, true, 1500 },
        { "comma refused with dot", "1,5", itExp, dsDot, false, 0 },
        { "comma accepted with comma", "1,5", itExp, dsComma, true, 1.5 },
        { "dot refused with comma", "1.5", itExp, dsComma, false, 0 },
        { "both: comma", "1,5", itExp, dsBoth, true, 1.5 },
        { "both: dot", "1.5", itExp, dsBoth, true, 1.5 },
        { "two points, exponent format", "1.2.3", itExp, dsDot, false, 0 },
        { "two points, fixed-point format", "1.2.3", itFixPoint, dsDot, false, 0 },
        { "trailing point, exponent format", "1.", itExp, dsDot, true, 1 },
        { "trailing point, fixed-point format", "1.", itFixPoint, dsDot, true, 1 },
        { "exponent not in float format", "1e5", itFloat, dsDot, false, 0 },
        { "exponent cut and clamped", "1e5000", itExp, dsDot, true, 1.7e308 },
        { "negative clamped", "-1e5000", itExp, dsDot, true, -1.7e308 },
        { "tiny reads as zero", "1e-5000", itExp, dsDot, true, 0 },
        { "trailing e left out", "1e", itExp, dsDot, true, 1 },
        { "trailing e and sign left out", "1e-", itExp, dsDot, true, 1 },
        { "e alone", "e", itExp, dsDot, true, 0 },
        { "e with two signs", "1e--", itExp, dsDot, false, 0 },
        { "e at the start with digits", "e5", itExp, dsDot, false, 0 },
        { "minus alone", "-", itExp, dsDot, true, 0 },
        { "point alone", ".", itFloat, dsDot, true, 0 },
        { "minus point", "-.", itFixPoint, dsDot, true, 0 },
        { "only the first e is looked at", "1e5e", itExp, dsDot, false, 0 },
        { "spaces only", "   ", itExp, dsDot, true, 0 },
        { "leading spaces", " 12", itExp, dsDot, true, 12 },
        { "inner space", "1 2", itExp, dsDot, false, 0 },
        { "trailing space", "12 ", itInt, dsDot, false, 0 },
        { "tab is no space", "\t12", itExp, dsDot, false, 0 },
    });
}

TEST(TextToNumber, SystemSeparatorFollowsTheLocale)
{
    using enum TInFormat;
    const TDecPSep system = TDecPSep::dsSystem;
    checkTextRows({ { "locale comma: comma", "1,5", itExp, system, true, 1.5 },
                      { "locale comma: dot", "1.5", itExp, system, false, 0 } },
        ',');
    checkTextRows({ { "locale dot: dot", "1.5", itExp, system, true, 1.5 },
                      { "locale dot: comma", "1,5", itExp, system, false, 0 } },
        '.');
    checkTextRows({ { "other locale separator: dot", "1.5", itExp, system, true, 1.5 } }, '\'');
}

TEST(TextToNumber, EmptyTextLeavesTheValueAlone)
{
    double value = 42;
    EXPECT_FALSE(TextToNumber("", value, TInFormat::itExp, TDecPSep::dsDot, '.'));
    EXPECT_EQ(value, 42);
}

TEST(TextToNumber, ShortestTextsOfDoublesReadBack)
{
    const unsigned seed = 8128;
    std::cout << "seed " << seed << '\n';
    std::mt19937_64 random(seed);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bits = random();
        double expected;
        std::memcpy(&expected, &bits, sizeof expected);
        if (!std::isfinite(expected) || std::fabs(expected) > 1.7e308)
            continue;
        char buffer[64];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, expected).ptr;
        const std::string text(buffer, end);
        double value = 0;
        ASSERT_TRUE(TextToNumber(text, value, TInFormat::itExp, TDecPSep::dsDot, '.')) << text;
        ASSERT_EQ(value, expected) << text;
    }
}

TEST(NumberParsingRobustness, LongTextsTakeLinearTime)
{
    const std::string million(1000000, '1');
    const std::vector<std::pair<std::string, double>> texts = {
        { million, 1.7e308 },
        { "0." + std::string(1000000, '0') + "1", 0 },
        { million + "e-999999", 1.7e308 },
        { "-" + million + "e-4200", -1.7e308 },
        { std::string(1000000, ' '), 0 },
    };
    for (const auto& [text, expected] : texts) {
        double value = 1;
        EXPECT_TRUE(TextToNumber(text, value, TInFormat::itExp, TDecPSep::dsDot, '.'));
        EXPECT_EQ(value, expected);
    }
    double value = 0;
    EXPECT_FALSE(TextToNumber(million + "x", value, TInFormat::itDynamic, TDecPSep::dsBoth, ','));
    EXPECT_FALSE(
        TextToNumber(std::string(1000000, '-'), value, TInFormat::itInt, TDecPSep::dsDot, '.'));
    EXPECT_TRUE(TextToNumber("$" + million, value, TInFormat::itDynamic, TDecPSep::dsDot, '.'));
    int32_t pos = 1;
    ParseInt(std::string(1000000, ' ') + "7", pos);
    EXPECT_EQ(pos, 1000002);

    for (const char* tail : { "1", "0", " ", "-" }) {
        const double ratio = znq::testing_support::GrowthRatio(
            [&](size_t n) {
                double number = 0;
                TextToNumber(std::string(n, tail[0]) + "e-9", number, TInFormat::itDynamic,
                    TDecPSep::dsBoth, '.');
            },
            100000);
        EXPECT_LT(ratio, znq::testing_support::LinearGrowthLimit) << tail;
    }
}

TEST(NumberParsingRobustness, ArbitraryTexts)
{
    const unsigned seed = 977;
    std::cout << "seed " << seed << '\n';
    std::mt19937 random(seed);
    const std::string alphabet = "0123456789+-.,eE$%&  abfgxzZ\t";
    const TInFormat formats[]
        = { TInFormat::itExp, TInFormat::itFloat, TInFormat::itFixPoint, TInFormat::itInt,
              TInFormat::itHex, TInFormat::itOct, TInFormat::itBin, TInFormat::itDynamic };
    const TDecPSep seps[]
        = { TDecPSep::dsSystem, TDecPSep::dsDot, TDecPSep::dsComma, TDecPSep::dsBoth };
    const TSepMode modes[] = { TSepMode::smPoint, TSepMode::smComma, TSepMode::smBoth };
    int32_t (*const scanners[])(const std::string&, int32_t&)
        = { ParseBin, ParseOct, ParseHex, ParseInt };

    for (int i = 0; i < 20000; ++i) {
        const size_t length = i % 100 == 0 ? random() % 5000 : random() % 24;
        const bool anyBytes = i % 3 == 0;
        std::string text;
        for (size_t k = 0; k < length; ++k) {
            text.push_back(anyBytes ? static_cast<char>(random() % 256)
                                    : alphabet[random() % alphabet.size()]);
        }
        SCOPED_TRACE(i);
        const auto end = static_cast<int32_t>(text.size()) + 1;

        for (const TInFormat format : formats) {
            for (const TDecPSep sep : seps) {
                double value = 0;
                TextToNumber(text, value, format, sep, i % 2 == 0 ? ',' : '.');
                ASSERT_TRUE(std::isfinite(value));
                ASSERT_LE(std::fabs(value), 1.7e308);
            }
        }
        for (const TSepMode mode : modes) {
            const int32_t startPos = static_cast<int32_t>(random() % (text.size() + 4)) - 1;
            for (const bool exponentAllowed : { false, true }) {
                int32_t pos = startPos;
                const long double result = ParseFloat(text, exponentAllowed, mode, pos);
                ASSERT_TRUE(std::isfinite(result));
                ASSERT_LE(std::fabs(result), 1.7e308L);
                ASSERT_GE(pos, std::min(std::max(startPos, 1), end));
                ASSERT_LE(pos, std::max(startPos, end));
            }
        }
        for (const auto scanner : scanners) {
            const int32_t startPos = static_cast<int32_t>(random() % (text.size() + 4)) - 1;
            int32_t pos = startPos;
            scanner(text, pos);
            ASSERT_GE(pos, std::min(std::max(startPos, 1), end));
            ASSERT_LE(pos, std::max(startPos, end));
        }
    }
}
