#include "ZNQ_stringl.h"

#include "base_helpers.h"

#include "ZNQ_math1.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace znq {

namespace {

    constexpr int significantDigitCount = 18;

    // The magnitude as 18 significant digits d.ddd... times 10^exponent; zero has all digits "0"
    // and exponent 0.
    struct SignificantDigits {
        std::string digits;
        int64_t exponent { 0 };
    };

    // std::to_chars rounds to nearest whatever the rounding mode and never looks at the locale.
    SignificantDigits significantDigits(long double magnitude)
    {
        std::array<char, 64> buffer {};
        const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), magnitude,
            std::chars_format::scientific, significantDigitCount - 1);
        const std::string_view text(buffer.data(), static_cast<size_t>(result.ptr - buffer.data()));

        SignificantDigits parsed;
        const size_t exponentMark = text.find('e');
        for (size_t i = 0; i < exponentMark; ++i) {
            if (text[i] >= '0' && text[i] <= '9')
                parsed.digits.push_back(text[i]);
        }
        const bool negativeExponent = text[exponentMark + 1] == '-';
        for (size_t i = exponentMark + 2; i < text.size(); ++i)
            parsed.exponent = parsed.exponent * 10 + (text[i] - '0');
        if (negativeExponent)
            parsed.exponent = -parsed.exponent;
        return parsed;
    }

    // Adds one unit in the last digit. Returns false when the carry runs out of the front, which
    // leaves all digits "0" ("999" becomes "000").
    bool incrementDigits(std::string& digits)
    {
        for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
            if (*it != '9') {
                ++*it;
                return true;
            }
            *it = '0';
        }
        return false;
    }

    std::string fixedText(long double value, int64_t decimals)
    {
        const long double magnitude = std::fabs(value);
        // The digits of |value| * 10^decimals rounded to an integer, halves away from zero.
        std::string scaled = "0";
        if (magnitude != 0) {
            const SignificantDigits significant = significantDigits(magnitude);
            const int64_t kept = significant.exponent + 1 + decimals;
            if (kept == 0 && significant.digits.front() >= '5') {
                scaled.assign(1, '1'); // not = "1": GCC 12 warns falsely (-Wrestrict)
            } else if (kept > 0 && kept < significantDigitCount) {
                scaled = significant.digits.substr(0, static_cast<size_t>(kept));
                if (significant.digits[static_cast<size_t>(kept)] >= '5'
                    && !incrementDigits(scaled))
                    scaled.insert(scaled.begin(), '1');
            } else if (kept >= significantDigitCount) {
                scaled = significant.digits;
                scaled.append(static_cast<size_t>(kept - significantDigitCount), '0');
            }
        }

        const auto fractionLength = static_cast<size_t>(decimals);
        if (scaled.size() <= fractionLength)
            scaled.insert(0, fractionLength + 1 - scaled.size(), '0');
        if (fractionLength > 0)
            scaled.insert(scaled.size() - fractionLength, 1, '.');
        if (value < 0)
            scaled.insert(scaled.begin(), '-');
        return scaled;
    }

    std::string scientificText(long double value, int64_t width)
    {
        const auto mantissaLength = static_cast<size_t>(std::clamp<int64_t>(width - 8, 2, 18));
        const SignificantDigits significant = significantDigits(std::fabs(value));
        std::string mantissa = significant.digits.substr(0, mantissaLength);
        int64_t exponent = significant.exponent;
        if (mantissaLength < significant.digits.size() && significant.digits[mantissaLength] >= '5'
            && !incrementDigits(mantissa)) {
            mantissa.front() = '1';
            ++exponent;
        }

        std::string exponentDigits = std::to_string(exponent < 0 ? -exponent : exponent);
        if (exponentDigits.size() < 4)
            exponentDigits.insert(0, 4 - exponentDigits.size(), '0');

        std::string text;
        text.push_back(value < 0 ? '-' : ' ');
        text.push_back(mantissa.front());
        text.push_back('.');
        text.append(mantissa, 1);
        text.push_back('E');
        text.push_back(exponent < 0 ? '-' : '+');
        text.append(exponentDigits);
        return text;
    }

    std::string decimalText(long double value, int64_t width, int64_t decimals)
    {
        std::string text;
        if (!std::isfinite(value))
            text = helpers::NonFiniteText(value);
        else if (decimals >= 0)
            text = fixedText(value, decimals);
        else
            text = scientificText(value, width);
        if (width > 0 && text.size() < static_cast<uint64_t>(width))
            text.insert(0, static_cast<size_t>(width) - text.size(), ' ');
        return text;
    }

    // A text ending in "E", a sign and four digits keeps a two-digit exponent: the two leading
    // exponent digits go when both are "0"; otherwise the exponent does not fit and every character
    // becomes "*".
    void shortenExponent(std::string& text)
    {
        const size_t size = text.size();
        if (size < 6 || text[size - 6] != 'E' || (text[size - 5] != '+' && text[size - 5] != '-')
            || !std::all_of(text.end() - 4, text.end(), helpers::IsDigit))
            return;
        const bool fits = text[size - 4] == '0' && text[size - 3] == '0';
        text.erase(size - 4, 2);
        if (!fits)
            text.assign(text.size(), '*');
    }

    // Leading spaces become zeros, and a minus sign moves in front of them ("   -12.5" becomes
    // "-00012.5").
    void padWithZeros(std::string& text)
    {
        const size_t firstNonSpace = std::min(text.find_first_not_of(' '), text.size());
        std::fill_n(text.begin(), firstNonSpace, '0');
        if (firstNonSpace < text.size() && text[firstNonSpace] == '-') {
            text[firstNonSpace] = '0';
            text.front() = '-';
        }
    }

    // 10^0 to 10^18, all exact in extended precision.

    // The prefix letters for the powers 10^-18 to 10^12 in steps of a thousand; the space for 10^0
    // is never written.
    constexpr std::string_view prefixLetters = "afpnum kMGT";

    std::string asciiLowerCase(std::string text)
    {
        for (char& c : text) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return text;
    }

} // namespace

std::string DecimalText(long double value, int width, int decimals)
{
    return decimalText(value, width, decimals);
}

std::string FormatFixed(int width, int decimals, long double value)
{
    const int64_t fieldWidth = std::abs(static_cast<int64_t>(width));
    std::string text;
    if (decimals == -2) {
        text = decimalText(value, fieldWidth + 2, -1);
        shortenExponent(text);
    } else {
        text = decimalText(value, fieldWidth, decimals);
    }
    if (width < 0 && std::isfinite(value))
        padWithZeros(text);
    return text;
}

std::string FormatEngineering(int a, double value)
{
    const int digits = std::clamp(a, -9, 9);
    const int b = digits >= 2 ? digits - 1 : (digits <= -2 ? digits + 1 : 0);
    const int decimalsWanted = std::abs(b);
    if (value == 0)
        return FormatFixed(1, decimalsWanted, 0);
    if (!std::isfinite(value))
        return helpers::NonFiniteText(value);

    const double magnitude = std::fabs(value);
    const long double logarithm = Log10(magnitude);
    const int32_t exponent = FloorInt(static_cast<double>(logarithm));
    const int32_t thousands = std::clamp(FloorInt(static_cast<double>(logarithm / 3)), -6, 4);
    // The exponent of a finite double lies within -324..308, so none of this can overflow.
    const int32_t decimals = std::max(decimalsWanted - (exponent - 3 * thousands), 0);
    const long double mantissa = thousands >= 0
        ? magnitude / helpers::PowersOfTen[static_cast<size_t>(3 * thousands)]
        : magnitude * helpers::PowersOfTen[static_cast<size_t>(-3 * thousands)];

    std::string text = FormatFixed(1, decimals, mantissa);
    if (thousands != 0) {
        const char letter = prefixLetters[static_cast<size_t>(thousands + 6)];
        const size_t point = text.find('.');
        if (b < 0 && point != std::string::npos)
            text[point] = letter;
        else
            text.push_back(letter);
    }
    if (value < 0)
        text.insert(text.begin(), '-');
    return text;
}

int32_t NthPos(
    const std::string& sub, const std::string& s, int32_t start, bool ignoreCase, int32_t n)
{
    if (n <= 0 || sub.empty())
        return 0;
    const std::string needle = ignoreCase ? asciiLowerCase(sub) : sub;
    const std::string haystack = ignoreCase ? asciiLowerCase(s) : s;
    size_t from = start < 1 ? 0 : static_cast<size_t>(start) - 1;
    size_t found = std::string::npos;
    for (int32_t count = 0; count < n; ++count) {
        if (from > haystack.size())
            return 0;
        found = haystack.find(needle, from);
        if (found == std::string::npos)
            return 0;
        from = found + needle.size();
    }
    // ASCII folding keeps every byte in place, so the position holds for s itself.
    return found < static_cast<size_t>(INT32_MAX) ? static_cast<int32_t>(found + 1) : 0;
}

} // namespace znq
