#include "numlab_format.h"

#include "znq_application.h"

#include "../scaling.h"

#include <gtest/gtest.h>

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <iostream>
#include <limits>
#include <random>
#include <string>

using namespace znq;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();
const std::string degree = "\xC2\xB0";

TLocaleInfo englishLocale()
{
    const char* shortMonths[]
        = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    const char* longMonths[] = { "January", "February", "March", "April", "May", "June", "July",
        "August", "September", "October", "November", "December" };
    const char* shortDays[] = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
    const char* longDays[]
        = { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" };
    TLocaleInfo info;
    for (int i = 0; i < 12; ++i) {
        info.ShortMonthNames[i] = shortMonths[i];
        info.LongMonthNames[i] = longMonths[i];
    }
    for (int i = 0; i < 7; ++i) {
        info.ShortDayNames[i] = shortDays[i];
        info.LongDayNames[i] = longDays[i];
    }
    return info;
}

const TLocaleInfo english = englishLocale();

// Ten pixels per character; the degree sign counts once.
int tenPixelsPerCharacter(const std::string& text)
{
    int characters = 0;
    for (const char c : text)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return 10 * characters;
}

std::string labelText(TDisplay type, double value, int precision)
{
    TNumLabSettings settings;
    settings.DisplayType = type;
    settings.Value = value;
    settings.Precision = precision;
    return NumLabText(settings, english, nullptr, nullptr);
}

struct BaseRow {
    const char* name;
    TDisplay type;
    double value;
    int precision;
    std::string expected;
};

void checkBaseRows(const std::vector<BaseRow>& rows)
{
    for (const BaseRow& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(labelText(row.type, row.value, row.precision), row.expected);
    }
}

const std::string indicator = "*********";

} // namespace

TEST(NumLabBaseText, GeneralNotation)
{
    using enum TDisplay;
    checkBaseRows({
        { "scientific above P digits", dtFloat, 12345.678, 4, "1.235E004" },
        { "fixed down to E = -3", dtFloat, 0.000123456, 4, "0.0001235" },
        { "scientific below E = -3", dtFloat, 0.0000123456, 4, "1.235E-005" },
        { "precision 0 acts as 2", dtFloat, 12345.678, 0, "1.2E004" },
        { "precision 1 acts as 2", dtFloat, 12345.678, 1, "1.2E004" },
        { "E equal to P stays fixed", dtFloat, 99.96, 3, "100" },
        { "E one above P", dtFloat, 100, 2, "1E002" },
        { "integer filled with zeros", dtFloat, 1200, 4, "1200" },
        { "exact half away from zero", dtFloat, 1234.5, 4, "1235" },
        { "zero", dtFloat, 0, 2, "0" },
        { "negative zero", dtFloat, -0.0, 2, "0" },
        { "three-digit exponent", dtFloat, 1e300, 15, "1E300" },
        { "smallest subnormal", dtFloat, 4.9406564584124654e-324, 2, "4.9E-324" },
        { "NaN", dtFloat, notANumber, 2, "NAN" },
        { "minus infinity", dtFloat, -infinity, 2, "-INF" },
    });
}

TEST(NumLabBaseText, FixedNotation)
{
    using enum TDisplay;
    checkBaseRows({
        { "two decimals", dtFixP, 3.14159, 2, "3.14" },
        { "negative half away from zero", dtFixP, -2.5, 0, "-3" },
        { "negative rounding to zero keeps the sign", dtFixP, -0.001, 2, "-0.00" },
        { "18 significant digits", dtFixP, 123456789012345678.0, 2, "123456789012345680.00" },
        { "10^18 in general notation", dtFixP, 1e18, 2, "1E18" },
        { "exponent with precision digits", dtFixP, 1e20, 4, "1E0020" },
        { "no exponent minimum above 4", dtFixP, 1e20, 5, "1E20" },
        { "no exponent minimum at 0", dtFixP, -1.5e20, 0, "-1.5E20" },
        { "18 digits of a large value", dtFixP, 1.0 / 3 * 1e20, 2, "3.3333333333333332E19" },
        { "NaN", dtFixP, notANumber, 2, "NAN" },
        { "minus infinity", dtFixP, -infinity, 2, "-INF" },
    });
}

TEST(NumLabBaseText, ScientificNotation)
{
    using enum TDisplay;
    checkBaseRows({
        { "three digits", dtExp, 1234.5, 3, "1.23E+003" },
        { "precision 0 acts as 2", dtExp, 1234.5, 0, "1.2E+003" },
        { "half away from zero", dtExp, -1234.5, 4, "-1.235E+003" },
        { "carry raises the exponent", dtExp, 9.96, 2, "1.0E+001" },
        { "trailing zeros kept", dtExp, 1e-5, 4, "1.000E-005" },
        { "zero", dtExp, 0, 2, "0.0E+000" },
        { "large exponent", dtExp, 1.5e300, 2, "1.5E+300" },
    });
}

TEST(NumLabBaseText, IntegerTypes)
{
    using enum TDisplay;
    checkBaseRows({
        { "hex padded", dtHex, 255, 4, "00FF" },
        { "hex cut to the last digits", dtHex, 4660, 2, "34" },
        { "hex of -1", dtHex, -1, 8, "FFFFFFFF" },
        { "hex precision 0 is empty", dtHex, 255, 0, "" },
        { "hex at most 8 digits", dtHex, 255, 15, "000000FF" },
        { "hex half to even", dtHex, 2.5, 2, "02" },
        { "hex top of range", dtHex, 4294967295.0, 8, "FFFFFFFF" },
        { "hex above range unrounded", dtHex, 4294967295.4, 8, indicator },
        { "hex bottom of range", dtHex, -2147483648.0, 8, "80000000" },
        { "hex below range", dtHex, -2147483648.5, 8, indicator },
        { "hex out of range with precision 0", dtHex, 1e10, 0, indicator },
        { "hex NaN", dtHex, notANumber, 4, indicator },
        { "zero-padded", dtZeroInt, 42, 5, "00042" },
        { "zero-padded after the sign", dtZeroInt, -42, 5, "-00042" },
        { "zero-padded half to even", dtZeroInt, 2.5, 3, "002" },
        { "zero-padded rounding to zero has no sign", dtZeroInt, -0.4, 2, "00" },
        { "zero-padded top unrounded", dtZeroInt, 2147483647.4, 2, indicator },
        { "zero-padded top", dtZeroInt, 2147483647.0, 2, "2147483647" },
        { "zero-padded bottom", dtZeroInt, -2147483648.0, 0, "-2147483648" },
        { "zero-padded below", dtZeroInt, -2147483648.1, 0, indicator },
        { "integer half to even up", dtInt, 3.5, 2, "4" },
        { "integer half to even down", dtInt, 2.5, 2, "2" },
        { "integer negative", dtInt, -7.6, 2, "-8" },
        { "integer beyond 32 bits", dtInt, 1e15, 2, "1000000000000000" },
        { "integer lowest 64-bit", dtInt, -9223372036854775808.0, 2, "-9223372036854775808" },
        { "integer 2^63", dtInt, 9223372036854775808.0, 2, indicator },
        { "integer huge", dtInt, -1e300, 2, indicator },
        { "integer NaN", dtInt, notANumber, 2, indicator },
        { "integer infinity", dtInt, infinity, 2, indicator },
        { "binary padded", dtBin, 5, 8, "00000101" },
        { "binary cut", dtBin, -1, 4, "1111" },
        { "binary precision 0 is empty", dtBin, 5, 0, "" },
        { "binary above range", dtBin, 4294967296.0, 8, indicator },
        { "octal padded", dtOct, 8, 3, "010" },
        { "octal 11 digits cover 33 bits", dtOct, -1, 12, "37777777777" },
        { "octal precision 0 is empty", dtOct, 8, 0, "" },
    });
}

TEST(NumLabBaseText, OtherTypes)
{
    using enum TDisplay;
    checkBaseRows({
        { "date", dtDateTime, 45000.0, 2, "Mar-15, 2023" },
        { "date out of range", dtDateTime, 1e7, 2, indicator },
        { "date NaN", dtDateTime, notANumber, 2, indicator },
        { "state", dtState, 12.5, 2, "undefined" },
        { "degrees", dtDeg, 12.3456, 2, "12.35" + degree },
        { "degrees and minutes", dtDegMin, 12.3456, 2, "12" + degree + " 20.74'" },
        { "whole minutes", dtDegMin, 12.3456, 0, "12" + degree + "  21'" },
        { "degrees, minutes and seconds", dtDegMinSec, 12.3456, 1, "12" + degree + " 20' 44.2\"" },
        { "engineering", dtEEng, 12345.678, 4, "12.35k" },
        { "engineering milli", dtEEng, 0.0047, 2, "4.7m" },
        { "engineering letter as point", dtEEngNoDP, 12345.678, 4, "12k35" },
        { "engineering letter as point milli", dtEEngNoDP, 0.0047, 2, "4m7" },
        { "engineering NaN", dtEEng, notANumber, 2, "NAN" },
    });
}

TEST(NumLabPipeline, SeparatorAndPlusSign)
{
    struct Row {
        const char* name;
        TDisplay type;
        double value;
        int precision;
        bool comma;
        bool plus;
        char localeSeparator;
        std::string expected;
    };
    using enum TDisplay;
    const Row rows[] = {
        { "comma", dtFixP, 3.14159, 2, true, false, '.', "3,14" },
        { "comma and plus", dtFixP, 3.14159, 2, true, true, '.', "+3,14" },
        { "locale comma normalised", dtFixP, 3.14159, 2, false, false, ',', "3.14" },
        { "locale comma kept", dtExp, 1234.5, 3, true, false, ',', "1,23E+003" },
        { "plus tests the value, not the text", dtFixP, 0.001, 2, false, true, '.', "+0.00" },
        { "no plus for negative", dtFixP, -0.001, 2, false, true, '.', "-0.00" },
        { "no plus for NaN", dtFloat, notANumber, 2, false, true, '.', "NAN" },
        { "plus for infinity", dtFloat, infinity, 2, false, true, '.', "+INF" },
        { "octal gets a plus", dtOct, 8, 3, false, true, '.', "+010" },
        { "hex gets no plus", dtHex, 255, 2, false, true, '.', "FF" },
        { "degrees get comma and plus", dtDeg, 12.3456, 2, true, true, '.', "+12,35" + degree },
        { "engineering gets comma and plus", dtEEng, 12345.678, 4, true, true, '.', "+12,35k" },
        { "date gets neither", dtDateTime, 45000, 2, true, true, '.', "Mar-15, 2023" },
        { "range indicator gets no plus", dtZeroInt, 3e9, 2, false, true, '.', indicator },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TLocaleInfo locale = english;
        locale.DecimalSeparator = row.localeSeparator;
        TNumLabSettings settings;
        settings.DisplayType = row.type;
        settings.Value = row.value;
        settings.Precision = row.precision;
        settings.Comma = row.comma;
        settings.ForcePlusSign = row.plus;
        EXPECT_EQ(NumLabText(settings, locale, nullptr, nullptr), row.expected);
    }
}

TEST(NumLabPipeline, TextOfDateAndStateIsNotNormalised)
{
    TNumLabSettings settings;
    settings.Comma = true;
    settings.DisplayType = TDisplay::dtDateTime;
    settings.DTFormat = "d.m.yyyy";
    settings.Value = 45000;
    EXPECT_EQ(NumLabText(settings, english, nullptr, nullptr), "15.3.2023");
    settings.DisplayType = TDisplay::dtState;
    settings.StateText = "1.5, 2.5";
    settings.Comma = false;
    EXPECT_EQ(NumLabText(settings, english, nullptr, nullptr), "1.5, 2.5");
}

TEST(NumLabPipeline, HookSeesTheDecoratedTextAndIsFitTested)
{
    TNumLabSettings settings;
    settings.Value = 3.14159;
    settings.Comma = true;
    settings.ForcePlusSign = true;
    settings.LabelWidth = 86; // room for 8 characters of 10 pixels
    std::string seen;
    int calls = 0;
    const auto addUnit = [&](std::string& text) {
        seen = text;
        ++calls;
        text += " m";
    };
    EXPECT_EQ(NumLabText(settings, english, addUnit, tenPixelsPerCharacter), "+3,14 m");
    EXPECT_EQ(seen, "+3,14");
    EXPECT_EQ(calls, 1);

    const auto addLongUnit = [](std::string& text) { text += " metres"; };
    EXPECT_EQ(NumLabText(settings, english, addLongUnit, tenPixelsPerCharacter), indicator);

    // The hook runs for every type, the state text included.
    settings.DisplayType = TDisplay::dtState;
    EXPECT_EQ(
        NumLabText(settings, english, addLongUnit, tenPixelsPerCharacter), "undefined metres");
}

TEST(NumLabPipeline, FitTestAtTheBoundary)
{
    struct Row {
        const char* name;
        TDisplay type;
        double value;
        int labelWidth;
        std::string expected;
    };
    using enum TDisplay;
    const Row rows[] = {
        { "eight characters fit in 86", dtFixP, 12345.67, 86, "12345.67" },
        { "nine characters do not", dtFixP, 123456.78, 86, indicator },
        { "degree sign measured as text", dtDeg, 1234.56, 86, "1234.56" + degree },
        { "state never replaced", dtState, 0, 10, "undefined" },
        { "indicator not tested again", dtFixP, 1, 0, indicator },
        { "empty hex fits no room", dtHex, 255, 6, "" },
        { "no overflow for the lowest width", dtFixP, 1, std::numeric_limits<int>::min(),
            indicator },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TNumLabSettings settings;
        settings.DisplayType = row.type;
        settings.Value = row.value;
        settings.Precision = row.type == dtHex ? 0 : 2;
        settings.LabelWidth = row.labelWidth;
        EXPECT_EQ(NumLabText(settings, english, nullptr, tenPixelsPerCharacter), row.expected);
    }
}

TEST(NumLabPipeline, PrecisionOutsideTheSetterRangeIsLimited)
{
    EXPECT_EQ(labelText(TDisplay::dtFixP, 0.5, 40), "0.500000000000000");
    EXPECT_EQ(labelText(TDisplay::dtFixP, 0.5, -3), "1");
}

TEST(DigitHelpers, OctalAndBinaryDigits)
{
    EXPECT_EQ(OctDigits(8, 3), "010");
    EXPECT_EQ(OctDigits(0xFFFFFFFFu, 11), "37777777777");
    EXPECT_EQ(OctDigits(0xFFFFFFFFu, 200), "37777777777");
    EXPECT_EQ(OctDigits(9, 0), "1");
    EXPECT_EQ(OctDigits(0, 4), "0000");
    EXPECT_EQ(BinDigits(5, 8), "00000101");
    EXPECT_EQ(BinDigits(5, 0), "1");
    EXPECT_EQ(BinDigits(0x80000001u, 255), "10000000000000000000000000000001");
}

TEST(FormatAngle, ThreeForms)
{
    struct Row {
        const char* name;
        TAngleForm form;
        int decimals;
        double value;
        std::string expected;
    };
    using enum TAngleForm;
    const std::string d = degree;
    const Row rows[] = {
        { "degrees", afDeg, 2, 12.3456, "12.35" + d },
        { "degrees half away from zero", afDeg, 0, -0.5, "-1" + d },
        { "degrees at most 8 decimals", afDeg, 12, 1.0 / 3, "0.33333333" + d },
        { "minutes", afDegMin, 2, 12.3456, "12" + d + " 20.74'" },
        { "whole minutes padded", afDegMin, 0, 12.3456, "12" + d + "  21'" },
        { "negative minutes", afDegMin, 2, -12.3456, "-12" + d + " 20.74'" },
        { "minus zero degrees", afDegMin, 0, -0.5, "-0" + d + "  30'" },
        { "rounding carries into the degree", afDegMin, 2, 59.99999999, "60" + d + "  0.00'" },
        { "exact half minute upward", afDegMin, 0, 0.125, "0" + d + "   8'" },
        { "negative exact half minute upward", afDegMin, 0, -0.125, "-0" + d + "   7'" },
        { "seconds", afDegMinSec, 1, 12.3456, "12" + d + " 20' 44.2\"" },
        { "one-digit minutes", afDegMinSec, 0, 1 + 5.0 / 60, "1" + d + "  5'   0\"" },
        { "snapped to the whole degree", afDegMinSec, 0, 1 - 1e-12, "1" + d + "  0'   0\"" },
        { "tiny negative rounds to zero", afDegMinSec, 0, -0.0001, "0" + d + "  0'   0\"" },
        { "minus zero with seconds", afDegMinSec, 0, -0.01, "-0" + d + "  0'  36\"" },
        { "NaN", afDegMin, 2, notANumber, "NAN" },
        { "minus infinity", afDegMinSec, 2, -infinity, "-INF" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FormatAngle(row.form, row.decimals, row.value), row.expected);
    }
}

TEST(FormatAngle, HugeValuesKeepAllDigits)
{
    const std::string degreesText = "100000000000000005" + std::string(283, '0');
    EXPECT_EQ(FormatAngle(TAngleForm::afDegMin, 0, 1e300), degreesText + degree + "   0'");
    EXPECT_EQ(FormatAngle(TAngleForm::afDegMinSec, 8, -1.7e308).substr(0, 4), "-169");
}

TEST(FormatAngle, MinutesAndSecondsNeverReachSixty)
{
    const unsigned seed = 20240611;
    std::cout << "seed " << seed << '\n';
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> angles(-720, 720);
    for (int i = 0; i < 20000; ++i) {
        const double value = angles(random);
        const int decimals = static_cast<int>(random() % 9);
        SCOPED_TRACE(value);
        SCOPED_TRACE(decimals);
        const std::string minutes = FormatAngle(TAngleForm::afDegMin, decimals, value);
        const std::string seconds = FormatAngle(TAngleForm::afDegMinSec, decimals, value);
        const size_t minuteField = minutes.find(degree) + degree.size() + 1;
        ASSERT_LT(std::stod(minutes.substr(minuteField)), 60.0);
        const size_t secondField = seconds.find("' ") + 2;
        ASSERT_LT(std::stod(seconds.substr(secondField)), 60.0);
        ASSERT_LT(std::stoi(seconds.substr(seconds.find(degree) + degree.size() + 1)), 60);
    }
}

TEST(FormatDateTime, Patterns)
{
    struct Row {
        const char* name;
        const char* pattern;
        double serial;
        std::string expected;
    };
    // 2023-03-15 (a Wednesday) at 13:05:07.009
    const double afternoon = 45000 + (((13 * 60 + 5) * 60 + 7) * 1000 + 9) / 86400000.0;
    const Row rows[] = {
        { "default pattern", "mmm-dd, yyyy", 45000, "Mar-15, 2023" },
        { "long names", "dddd, mmmm d, yyyy", 45000, "Wednesday, March 15, 2023" },
        { "short names, two-digit year", "ddd dd/mm/yy", 45000, "Wed 15/03/23" },
        { "letters in any case", "MMM-DD, YYYY", 45000, "Mar-15, 2023" },
        { "numbers without zeros", "d/m/yyyy", 44927, "1/1/2023" },
        { "time", "hh:nn:ss", afternoon, "13:05:07" },
        { "m after an hour is minutes", "h:mm:ss", afternoon, "13:05:07" },
        { "m after a space after an hour", "h m", afternoon, "13 5" },
        { "m after minutes is the month again", "hh:mm mm", afternoon, "13:05 03" },
        { "m after another letter is the month", "d m", afternoon, "15 3" },
        { "milliseconds", "s.zzz s.z", afternoon, "7.009 7.9" },
        { "twelve-hour clock", "hh:nn am/pm", afternoon, "01:05 pm" },
        { "marker keeps its case", "h:nn AM/PM", afternoon, "1:05 PM" },
        { "locale marker", "h ampm", afternoon, "1 PM" },
        { "midnight is 12 am", "h am/pm", 45000, "12 am" },
        { "noon is 12 pm", "h am/pm", 45000.5, "12 pm" },
        { "marker only rules hours before it", "h am/pm h", afternoon, "1 pm 13" },
        { "single quotes", "'mmm d' d", 45000, "mmm d 15" },
        { "double quotes", "d \"of\" mmmm", 45000, "15 of March" },
        { "unclosed quote runs to the end", "d 'h:nn", 45000, "15 h:nn" },
        { "other characters copied", "[d] x#", 45000, "[15] x#" },
        { "empty pattern", "", 45000, "" },
        { "rounding carries into the next day", "yyyy-mm-dd hh:nn:ss.zzz", 45000.99999999999,
            "2023-03-16 00:00:00.000" },
        { "day zero was a Saturday", "dddd yyyy-mm-dd", 0, "Saturday 1899-12-30" },
        { "negative serial: day back, time forward", "yyyy-mm-dd hh:nn", -1.25,
            "1899-12-29 06:00" },
        { "no leap day in 1900", "yyyy-mm-dd", 61, "1900-03-01" },
        { "leap day", "yyyy-mm-dd", 45351, "2024-02-29" },
        { "first day", "yyyy-mm-dd yy", -693593, "0001-01-01 01" },
        { "last day", "yyyy-mm-dd", 2958465.5, "9999-12-31" },
        { "after the last day", "yyyy", 2958466, "" },
        { "before the first day", "yyyy", -693594, "" },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FormatDateTime(row.pattern, row.serial, english), row.expected);
    }
}

TEST(FormatDateTime, ValidSerialsAreTheYearsOneToMaximum)
{
    EXPECT_TRUE(IsValidDateTimeSerial(-693593.99));
    EXPECT_TRUE(IsValidDateTimeSerial(2958465.99));
    EXPECT_FALSE(IsValidDateTimeSerial(-693594));
    // Rounding to the millisecond carries into 10000-01-01.
    EXPECT_FALSE(IsValidDateTimeSerial(2958465.9999999999));
    EXPECT_FALSE(IsValidDateTimeSerial(notANumber));
    EXPECT_FALSE(IsValidDateTimeSerial(-infinity));
}

TEST(FormatDateTime, LocaleSeparatorsAndNames)
{
    TLocaleInfo german = english;
    german.DateSeparator = '.';
    german.TimeSeparator = '-';
    german.ShortMonthNames[2] = "M\xC3\xA4r";
    german.TimeAMString = "vorm.";
    german.TimePMString = "nachm.";
    EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", 45000.5, german), "15.03.2023 12-00");
    EXPECT_EQ(FormatDateTime("d mmm h ampm", 45000.5, german), "15 M\xC3\xA4r 12 nachm.");
}

TEST(FormatDateTime, AgreesWithTheCivilCalendar)
{
    using namespace std::chrono;
    const unsigned seed = 4711;
    std::cout << "seed " << seed << '\n';
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> serials(-693593, 2958465);
    const char* dayNames[] = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
    for (int i = 0; i < 20000; ++i) {
        const int serial = serials(random);
        const sys_days day { days { serial - 25569 } };
        const year_month_day date(day);
        char expected[32];
        std::snprintf(expected, sizeof expected, "%04d-%02u-%02u %s", static_cast<int>(date.year()),
            static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
            dayNames[weekday(day).c_encoding()]);
        ASSERT_EQ(FormatDateTime("yyyy-mm-dd ddd", serial, english), expected) << serial;
    }
}

TEST(NumberNotations, ManyDigitsReadBackExactly)
{
    // 17 significant digits identify every double; the texts must read back to the same value.
    const unsigned seed = 1234;
    std::cout << "seed " << seed << '\n';
    std::mt19937_64 random(seed);
    for (int i = 0; i < 20000; ++i) {
        const uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value))
            continue;
        for (const std::string& text :
            { GeneralNotation(value, 17, '.'), ScientificNotation(value, 17, '.') }) {
            double back = 0;
            const auto result = std::from_chars(text.data(), text.data() + text.size(), back);
            ASSERT_EQ(result.ptr, text.data() + text.size()) << text;
            ASSERT_EQ(back, value) << text;
        }
    }
}

// The pattern writer is linear in the pattern's length, for runs of one letter and for plain
// characters alike.
TEST(DateTimePattern, LongPatternsTakeLinearTime)
{
    for (char letter : { 'x', 'a', 'm', 'h' }) {
        const double ratio = znq::testing_support::GrowthRatio(
            [&](size_t n) { FormatDateTime(std::string(n, letter), 45000.25, english); }, 20000);
        EXPECT_LT(ratio, znq::testing_support::LinearGrowthLimit) << letter;
    }
}
