#include "numlab_format.h"

#include "ZNQ_math1.h"
#include "ZNQ_stringl.h"
#include "base_helpers.h"
#include "znq_application.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string_view>

namespace znq {

namespace {

    constexpr std::string_view degreeSign = "\xC2\xB0";

    // A magnitude rounded to a number of significant digits: d.ddd... times 10^exponent.
    struct RoundedDigits {
        std::string digits;
        int exponent { 0 };
    };

    // Takes the digits from the scientific decimal text, which reduces the magnitude to 18
    // significant digits and rounds halves away from zero. count is limited to 2..18.
    RoundedDigits roundedDigits(double magnitude, int count)
    {
        const int width = std::clamp(count, 2, 18) + 8;
        const std::string text = DecimalText(magnitude, width, -1); // " d.ddddE+dddd"
        RoundedDigits rounded;
        const size_t mark = text.find('E');
        for (size_t i = 0; i < mark; ++i) {
            if (text[i] >= '0' && text[i] <= '9')
                rounded.digits.push_back(text[i]);
        }
        for (size_t i = mark + 2; i < text.size(); ++i)
            rounded.exponent = rounded.exponent * 10 + (text[i] - '0');
        if (text[mark + 1] == '-')
            rounded.exponent = -rounded.exponent;
        return rounded;
    }

    std::string exponentText(int exponent, int minDigits)
    {
        std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
        if (static_cast<int>(digits.size()) < minDigits)
            digits.insert(0, static_cast<size_t>(minDigits) - digits.size(), '0');
        return digits;
    }

    std::string withSeparator(std::string text, char separator)
    {
        std::replace(text.begin(), text.end(), '.', separator);
        return text;
    }

    std::string zeroPadded(uint64_t number, size_t minDigits)
    {
        std::string digits = std::to_string(number);
        if (digits.size() < minDigits)
            digits.insert(0, minDigits - digits.size(), '0');
        return digits;
    }

    // The closed range that dtHex, dtBin and dtOct show: every 32-bit pattern, read as signed or
    // unsigned. The negated test also turns NaN away.
    bool inBitPatternRange(double value)
    {
        return value >= -2147483648.0 && value <= 4294967295.0;
    }

    std::string hexDigits(uint64_t number, size_t minDigits)
    {
        constexpr std::string_view hexDigitChars = "0123456789ABCDEF";
        std::string digits;
        do {
            digits.insert(digits.begin(), hexDigitChars[number & 0xF]);
            number >>= 4;
        } while (number != 0);
        if (digits.size() < minDigits)
            digits.insert(0, minDigits - digits.size(), '0');
        return digits;
    }

    std::string lastCharacters(const std::string& text, size_t count)
    {
        return text.size() <= count ? text : text.substr(text.size() - count);
    }

    // The low 32 bits of the value rounded to an integer; the caller has done the range test.
    uint32_t lowBits(double value)
    {
        return static_cast<uint32_t>(static_cast<uint64_t>(RoundHalfEven(value)));
    }

    // 10^0 to 10^8, exact in extended precision.

    // x rounded to a multiple of 10^-decimals, an exact half upward.
    long double roundToDecimals(long double x, int decimals)
    {
        const long double scaled = x * helpers::PowersOfTen[static_cast<size_t>(decimals)];
        long double whole = std::floor(scaled);
        if (scaled - whole >= 0.5L)
            whole += 1;
        return whole / helpers::PowersOfTen[static_cast<size_t>(decimals)];
    }

    // Values within 3e-12 of an integer become that integer, so that the rounding noise of the
    // divisions by 60 and 3600 cannot show as 59.99 minutes or seconds.
    long double snappedToInteger(long double x)
    {
        const long double nearest = std::round(x);
        return std::fabs(x - nearest) < 3e-12L ? nearest : x;
    }

    // The whole degrees of v, "-0" for a negative angle above -1, then the degree sign and a space.
    std::string degreesField(long double v)
    {
        const long double degrees = std::trunc(v);
        std::string text = degrees == 0 && v < 0 ? std::string("-0") : FormatFixed(1, 0, degrees);
        text += degreeSign;
        text += ' ';
        return text;
    }

    long double fractionOfMagnitude(long double v)
    {
        const long double magnitude = std::fabs(v);
        return magnitude - std::trunc(magnitude);
    }

    // Date and time.

    constexpr int64_t millisecondsPerDay = 86400000;
    // 0001-01-01 and 9999-12-31 as serials.
    constexpr int64_t firstSerialDay = -693593;
    constexpr int64_t lastSerialDay = 2958465;
    // 1970-01-01 as a serial.
    constexpr int64_t unixEpochSerialDay = 25569;

    struct DateTimeParts {
        int64_t year { 0 };
        int month { 0 };
        int day { 0 };
        int weekday { 0 }; // 0 = Sunday
        int hour { 0 };
        int minute { 0 };
        int second { 0 };
        int millisecond { 0 };
    };

    std::optional<DateTimeParts> decodeSerial(double serial)
    {
        // Far beyond the valid range; keeps the millisecond count well inside 64 bits.
        if (!std::isfinite(serial) || std::fabs(serial) > 1e7)
            return std::nullopt;
        const int64_t totalMilliseconds = RoundHalfEven(static_cast<long double>(std::fabs(serial))
            * static_cast<long double>(millisecondsPerDay));
        const int64_t wholeDays = totalMilliseconds / millisecondsPerDay;
        const int64_t dayDays = serial < 0 ? -wholeDays : wholeDays;
        if (dayDays < firstSerialDay || dayDays > lastSerialDay)
            return std::nullopt;
        int64_t timeOfDay = totalMilliseconds % millisecondsPerDay;

        DateTimeParts parts;
        parts.millisecond = static_cast<int>(timeOfDay % 1000);
        timeOfDay /= 1000;
        parts.second = static_cast<int>(timeOfDay % 60);
        timeOfDay /= 60;
        parts.minute = static_cast<int>(timeOfDay % 60);
        parts.hour = static_cast<int>(timeOfDay / 60);
        // Serial 1 (1899-12-31) was a Sunday.
        parts.weekday = static_cast<int>(((dayDays - 1) % 7 + 7) % 7);

        // Civil date from a day count in the proleptic Gregorian calendar, counted in 400-year
        // eras that start on 0000-03-01.
        const int64_t days = dayDays - unixEpochSerialDay + 719468;
        const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
        const int64_t dayOfEra = days - era * 146097;
        const int64_t yearOfEra
            = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
        const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
        const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153; // 0 = March
        parts.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
        parts.month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
        parts.year = yearOfEra + era * 400 + (parts.month <= 2 ? 1 : 0);
        return parts;
    }

    bool isAsciiLetter(char c)
    {
        const char upper = helpers::UpperAscii(c);
        return upper >= 'A' && upper <= 'Z';
    }

    bool matchesIgnoringCase(std::string_view text, size_t at, std::string_view word)
    {
        if (text.size() - at < word.size())
            return false;
        for (size_t i = 0; i < word.size(); ++i) {
            if (helpers::UpperAscii(text[at + i]) != helpers::UpperAscii(word[i]))
                return false;
        }
        return true;
    }

    // The end of quoted text that starts with a quote at position at: one past the closing quote,
    // or the end of the pattern when the quote is not closed.
    size_t endOfQuote(std::string_view pattern, size_t at)
    {
        const size_t closing = pattern.find(pattern[at], at + 1);
        return closing == std::string_view::npos ? pattern.size() : closing + 1;
    }

    // An hour is written on the twelve-hour clock when a marker follows it before the next hour.
    bool twelveHourClockFrom(std::string_view pattern, size_t at)
    {
        while (at < pattern.size()) {
            const char c = pattern[at];
            if (c == '\'' || c == '"') {
                at = endOfQuote(pattern, at);
                continue;
            }
            if (helpers::UpperAscii(c) == 'H')
                return false;
            if (matchesIgnoringCase(pattern, at, "am/pm") || matchesIgnoringCase(pattern, at, "a/p")
                || matchesIgnoringCase(pattern, at, "ampm"))
                return true;
            ++at;
        }
        return false;
    }

    class DateTimeWriter {
    public:
        DateTimeWriter(
            std::string_view pattern, const DateTimeParts& parts, const TLocaleInfo& locale)
            : m_pattern(pattern)
            , m_parts(parts)
            , m_locale(locale)
        {
        }

        std::string write()
        {
            while (m_position < m_pattern.size())
                writeToken();
            return m_text;
        }

    private:
        // The length of the run of the same letter, in any case, that starts at the position.
        size_t runLength() const
        {
            const char letter = helpers::UpperAscii(m_pattern[m_position]);
            size_t end = m_position;
            while (end < m_pattern.size() && helpers::UpperAscii(m_pattern[end]) == letter)
                ++end;
            return end - m_position;
        }

        void writeNumber(int64_t number, size_t minDigits)
        {
            m_text += zeroPadded(static_cast<uint64_t>(number), minDigits);
        }

        void writeToken()
        {
            const char c = m_pattern[m_position];
            char token = helpers::UpperAscii(c);
            if (isAsciiLetter(c)) {
                if (token == 'M' && m_lastLetter == 'H')
                    token = 'N';
                m_lastLetter = token;
            }
            // Only the letters of the date and time fields read their run, so that a long run of
            // anything else costs no more than its length.
            const bool field = token == 'Y' || token == 'M' || token == 'D' || token == 'H'
                || token == 'N' || token == 'S' || token == 'Z';
            const size_t run = field ? runLength() : 0;
            switch (token) {
            case 'Y':
                m_position += run;
                if (run <= 2)
                    writeNumber(m_parts.year % 100, 2);
                else
                    writeNumber(m_parts.year, 4);
                return;
            case 'M':
                m_position += run;
                if (run <= 2)
                    writeNumber(m_parts.month, run);
                else if (run == 3)
                    m_text += m_locale.ShortMonthNames[m_parts.month - 1];
                else
                    m_text += m_locale.LongMonthNames[m_parts.month - 1];
                return;
            case 'D':
                m_position += run;
                if (run <= 2)
                    writeNumber(m_parts.day, run);
                else if (run == 3)
                    m_text += m_locale.ShortDayNames[m_parts.weekday];
                else
                    m_text += m_locale.LongDayNames[m_parts.weekday];
                return;
            case 'H': {
                m_position += run;
                int hour = m_parts.hour;
                if (twelveHourClockFrom(m_pattern, m_position)) {
                    hour %= 12;
                    if (hour == 0)
                        hour = 12;
                }
                writeNumber(hour, std::min<size_t>(run, 2));
                return;
            }
            case 'N':
                m_position += run;
                writeNumber(m_parts.minute, std::min<size_t>(run, 2));
                return;
            case 'S':
                m_position += run;
                writeNumber(m_parts.second, std::min<size_t>(run, 2));
                return;
            case 'Z':
                m_position += run;
                writeNumber(m_parts.millisecond, run == 1 ? 1 : 3);
                return;
            case 'A':
                writeMarker();
                return;
            case '\'':
            case '"': {
                // An unclosed quote runs to the end of the pattern.
                const size_t closing = m_pattern.find(c, m_position + 1);
                const size_t textEnd = std::min(closing, m_pattern.size());
                m_text.append(m_pattern.substr(m_position + 1, textEnd - m_position - 1));
                m_position = closing == std::string_view::npos ? m_pattern.size() : closing + 1;
                return;
            }
            case '/':
                m_text.push_back(m_locale.DateSeparator);
                ++m_position;
                return;
            case ':':
                m_text.push_back(m_locale.TimeSeparator);
                ++m_position;
                return;
            default:
                m_text.push_back(c);
                ++m_position;
                return;
            }
        }

        // "am/pm" and "a/p" copy the marker from the pattern in its letter case; "ampm" writes the
        // locale's texts. Any other "a" is copied.
        void writeMarker()
        {
            const bool afternoon = m_parts.hour >= 12;
            if (matchesIgnoringCase(m_pattern, m_position, "am/pm")) {
                m_text.append(m_pattern.substr(m_position + (afternoon ? 3 : 0), 2));
                m_position += 5;
            } else if (matchesIgnoringCase(m_pattern, m_position, "a/p")) {
                m_text.push_back(m_pattern[m_position + (afternoon ? 2 : 0)]);
                m_position += 3;
            } else if (matchesIgnoringCase(m_pattern, m_position, "ampm")) {
                m_text += afternoon ? m_locale.TimePMString : m_locale.TimeAMString;
                m_position += 4;
            } else {
                m_text.push_back(m_pattern[m_position]);
                ++m_position;
            }
        }

        std::string_view m_pattern;
        const DateTimeParts& m_parts;
        const TLocaleInfo& m_locale;
        size_t m_position { 0 };
        char m_lastLetter { 0 };
        std::string m_text;
    };

    // The label's text.

    // The text of step 1, or nothing when the value is out of the display type's range.
    std::optional<std::string> baseText(
        const TNumLabSettings& settings, int precision, const TLocaleInfo& locale)
    {
        const double value = settings.Value;
        const char separator = locale.DecimalSeparator;
        switch (settings.DisplayType) {
        case TDisplay::dtFloat:
            return GeneralNotation(value, precision, separator);
        case TDisplay::dtFixP:
            return FixedNotation(value, precision, separator);
        case TDisplay::dtExp:
            return ScientificNotation(value, precision, separator);
        case TDisplay::dtHex: {
            if (!inBitPatternRange(value))
                return std::nullopt;
            const auto count = static_cast<size_t>(std::min(precision, 8));
            // A negative integer shows as its two's complement; only the last digits are kept.
            const auto bits = static_cast<uint64_t>(RoundHalfEven(value));
            return lastCharacters(hexDigits(bits, count), count);
        }
        case TDisplay::dtZeroInt: {
            if (!(value >= -2147483648.0 && value <= 2147483647.0))
                return std::nullopt;
            const int64_t number = RoundHalfEven(value);
            const std::string digits
                = zeroPadded(static_cast<uint64_t>(number < 0 ? -number : number),
                    static_cast<size_t>(precision));
            return number < 0 ? "-" + digits : digits;
        }
        case TDisplay::dtInt: {
            // 2^63 is exact; rounding cannot carry a value below it out of the range.
            constexpr double limit = 9223372036854775808.0;
            if (!(value >= -limit && value < limit))
                return std::nullopt;
            return std::to_string(RoundHalfEven(value));
        }
        case TDisplay::dtDateTime:
            if (!IsValidDateTimeSerial(value))
                return std::nullopt;
            return FormatDateTime(settings.DTFormat, value, locale);
        case TDisplay::dtState:
            return settings.StateText;
        case TDisplay::dtBin: {
            if (!inBitPatternRange(value))
                return std::nullopt;
            const int count = std::min(precision, 32);
            return lastCharacters(
                BinDigits(lowBits(value), static_cast<uint8_t>(count)), static_cast<size_t>(count));
        }
        case TDisplay::dtOct: {
            if (!inBitPatternRange(value))
                return std::nullopt;
            const int count = std::min(precision, 12);
            return lastCharacters(
                OctDigits(lowBits(value), static_cast<uint8_t>(count)), static_cast<size_t>(count));
        }
        case TDisplay::dtDeg:
        case TDisplay::dtDegMin:
        case TDisplay::dtDegMinSec:
        case TDisplay::dtEEng:
        case TDisplay::dtEEngNoDP: {
            std::string text;
            if (settings.DisplayType == TDisplay::dtDeg)
                text = FormatAngle(TAngleForm::afDeg, precision, value);
            else if (settings.DisplayType == TDisplay::dtDegMin)
                text = FormatAngle(TAngleForm::afDegMin, precision, value);
            else if (settings.DisplayType == TDisplay::dtDegMinSec)
                text = FormatAngle(TAngleForm::afDegMinSec, precision, value);
            else if (settings.DisplayType == TDisplay::dtEEng)
                text = FormatEngineering(precision, value);
            else
                text = FormatEngineering(-precision, value);
            if (text.empty())
                return std::nullopt;
            return text;
        }
        }
        return std::nullopt;
    }

    // The display types whose text gets the separator normalisation and the plus sign.
    bool isDecorated(TDisplay type)
    {
        return type != TDisplay::dtHex && type != TDisplay::dtDateTime && type != TDisplay::dtState
            && type != TDisplay::dtBin;
    }

} // namespace

std::string GeneralNotation(double value, int precision, char separator, int minExponentDigits)
{
    if (!std::isfinite(value))
        return helpers::NonFiniteText(value);
    if (value == 0)
        return "0";
    const int digitCount = std::clamp(precision, 2, 18);
    RoundedDigits rounded = roundedDigits(std::fabs(value), digitCount);
    const size_t lastNonZero = rounded.digits.find_last_not_of('0');
    rounded.digits.erase(lastNonZero == std::string::npos ? 1 : lastNonZero + 1);
    const std::string& digits = rounded.digits;
    const int integerDigits = rounded.exponent + 1;

    std::string text = value < 0 ? "-" : "";
    if (integerDigits > digitCount || integerDigits < -3) {
        text.push_back(digits.front());
        if (digits.size() > 1) {
            text.push_back(separator);
            text.append(digits, 1);
        }
        text.push_back('E');
        if (rounded.exponent < 0)
            text.push_back('-');
        text += exponentText(rounded.exponent, minExponentDigits);
    } else if (integerDigits <= 0) {
        text.push_back('0');
        text.push_back(separator);
        text.append(static_cast<size_t>(-integerDigits), '0');
        text += digits;
    } else {
        const auto integerLength = static_cast<size_t>(integerDigits);
        text.append(digits, 0, integerLength);
        if (digits.size() < integerLength) {
            text.append(integerLength - digits.size(), '0');
        } else if (digits.size() > integerLength) {
            text.push_back(separator);
            text.append(digits, integerLength);
        }
    }
    return text;
}

std::string FixedNotation(double value, int precision, char separator)
{
    if (!std::isfinite(value))
        return helpers::NonFiniteText(value);
    const int decimals = std::max(precision, 0);
    if (std::fabs(value) >= 1e18)
        return GeneralNotation(value, 18, separator, decimals <= 4 ? decimals : 0);
    return withSeparator(DecimalText(value, 1, decimals), separator);
}

std::string ScientificNotation(double value, int precision, char separator)
{
    if (!std::isfinite(value))
        return helpers::NonFiniteText(value);
    const int digitCount = std::clamp(precision, 2, 18);
    RoundedDigits rounded;
    if (value == 0)
        rounded.digits.assign(static_cast<size_t>(digitCount), '0');
    else
        rounded = roundedDigits(std::fabs(value), digitCount);

    std::string text = value < 0 ? "-" : "";
    text.push_back(rounded.digits.front());
    text.push_back(separator);
    text.append(rounded.digits, 1);
    text.push_back('E');
    text.push_back(rounded.exponent < 0 ? '-' : '+');
    text += exponentText(rounded.exponent, 3);
    return text;
}

std::string OctDigits(uint32_t N, uint8_t count)
{
    const int digitCount = std::clamp<int>(count, 1, 11);
    std::string text(static_cast<size_t>(digitCount), '0');
    uint64_t rest = N;
    for (auto it = text.rbegin(); it != text.rend(); ++it, rest >>= 3)
        *it = static_cast<char>('0' + (rest & 7));
    return text;
}

std::string BinDigits(uint32_t N, uint8_t count)
{
    const int digitCount = std::clamp<int>(count, 1, 32);
    std::string text(static_cast<size_t>(digitCount), '0');
    uint32_t rest = N;
    for (auto it = text.rbegin(); it != text.rend(); ++it, rest >>= 1)
        *it = static_cast<char>('0' + (rest & 1));
    return text;
}

std::string FormatAngle(TAngleForm form, int decimals, double value)
{
    if (!std::isfinite(value))
        return helpers::NonFiniteText(value);
    const int a = std::clamp(decimals, 0, 8);
    // Extended precision keeps value * 3600 * 10^8 far from overflow for every double.
    const long double angle = value;

    switch (form) {
    case TAngleForm::afDeg:
        return FormatFixed(1, a, angle) + std::string(degreeSign);
    case TAngleForm::afDegMin: {
        const long double v = snappedToInteger(roundToDecimals(angle * 60, a) / 60);
        const long double minutes = fractionOfMagnitude(v) * 60;
        return degreesField(v) + FormatFixed(a + 3, a, minutes) + "'";
    }
    case TAngleForm::afDegMinSec: {
        const long double v = snappedToInteger(roundToDecimals(angle * 3600, a) / 3600);
        const long double minutes = snappedToInteger(fractionOfMagnitude(v) * 60);
        const long double wholeMinutes = std::trunc(minutes);
        const long double seconds = (minutes - wholeMinutes) * 60;
        return degreesField(v) + FormatFixed(2, 0, wholeMinutes) + "' "
            + FormatFixed(a + 3, a, seconds) + "\"";
    }
    }
    return {};
}

bool IsValidDateTimeSerial(double serial)
{
    return decodeSerial(serial).has_value();
}

std::string FormatDateTime(const std::string& pattern, double serial, const TLocaleInfo& locale)
{
    const std::optional<DateTimeParts> parts = decodeSerial(serial);
    if (!parts)
        return {};
    return DateTimeWriter(pattern, *parts, locale).write();
}

std::string NumLabText(const TNumLabSettings& settings, const TLocaleInfo& locale,
    const std::function<void(std::string&)>& beforeDisplay,
    const std::function<int(const std::string&)>& textWidth)
{
    const int precision = std::clamp(settings.Precision, 0, 15);
    const TDisplay type = settings.DisplayType;

    std::string text;
    if (const std::optional<std::string> base = baseText(settings, precision, locale)) {
        text = *base;
        if (isDecorated(type)) {
            if (settings.Comma)
                std::replace(text.begin(), text.end(), '.', ',');
            else
                std::replace(text.begin(), text.end(), ',', '.');
            if (settings.ForcePlusSign && settings.Value > 0)
                text.insert(text.begin(), '+');
        }
    } else {
        text = settings.OverflowIndicator;
    }

    if (beforeDisplay)
        beforeDisplay(text);

    // In 64 bits so that no label width can overflow the subtraction.
    const int64_t room = static_cast<int64_t>(settings.LabelWidth) - 6;
    if (type != TDisplay::dtState && textWidth && textWidth(text) > room)
        text = settings.OverflowIndicator;
    return text;
}

} // namespace znq
