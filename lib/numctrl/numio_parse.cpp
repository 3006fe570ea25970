#include "numio_parse.h"

#include "base_helpers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <system_error>

namespace znq {

namespace {

    // Positions are 32-bit; a longer text is scanned only this far, which keeps every position,
    // including one past the end, inside the type.
    int64_t scanLength(const std::string& s)
    {
        return std::min<int64_t>(static_cast<int64_t>(s.size()), INT32_MAX - 2);
    }

    // The value of a digit in the bases up to 16, letters in either case; -1 for other characters.
    int digitValue(char c)
    {
        const char upper = helpers::UpperAscii(c);
        if (helpers::IsDigit(upper))
            return upper - '0';
        if (upper >= 'A' && upper <= 'F')
            return upper - 'A' + 10;
        return -1;
    }

    // A space in the last position is not skipped.
    void skipSpaces(const std::string& s, int32_t& pos)
    {
        if (pos < 1)
            pos = 1;
        const int64_t length = scanLength(s);
        while (pos < length && s[static_cast<size_t>(pos) - 1] == ' ')
            ++pos;
    }

    // Reads digits of the base from pos on, wrapping in 32 bits.
    uint32_t scanDigits(const std::string& s, int32_t& pos, uint32_t base, bool dollarAtStart)
    {
        uint32_t result = 0;
        const int64_t length = scanLength(s);
        while (pos <= length) {
            const char c = s[static_cast<size_t>(pos) - 1];
            if (dollarAtStart && c == '$' && pos == 1) {
                ++pos;
                continue;
            }
            const int digit = digitValue(c);
            if (digit < 0 || static_cast<uint32_t>(digit) >= base)
                break;
            result = result * base + static_cast<uint32_t>(digit);
            ++pos;
        }
        return result;
    }

    int32_t scanUnsigned(const std::string& s, int32_t& pos, uint32_t base, bool dollarAtStart)
    {
        skipSpaces(s, pos);
        // Conversion to a signed type is modular since C++20.
        return static_cast<int32_t>(scanDigits(s, pos, base, dollarAtStart));
    }

    enum class FloatState : uint8_t {
        start,
        afterSign,
        integerDigits,
        afterSeparator,
        fractionDigits,
        afterE,
        afterExponentSign,
        exponentDigits,
        complete,
        malformed
    };

    bool isSeparator(char c, TSepMode mode)
    {
        switch (mode) {
        case TSepMode::smPoint:
            return c == '.';
        case TSepMode::smComma:
            return c == ',';
        case TSepMode::smBoth:
            return c == '.' || c == ',';
        }
        return false;
    }

    // The next state of the real-number reader for an upper-case character.
    FloatState nextFloatState(FloatState state, char c, bool separator, bool exponentAllowed)
    {
        using S = FloatState;
        const bool sign = c == '+' || c == '-';
        const bool digit = helpers::IsDigit(c);
        const S afterMantissa = exponentAllowed ? S::afterE : S::complete;
        switch (state) {
        case S::start:
            if (separator)
                return S::afterSeparator;
            if (c == ' ')
                return S::start;
            if (sign)
                return S::afterSign;
            return digit ? S::integerDigits : S::malformed;
        case S::afterSign:
            if (separator)
                return S::afterSeparator;
            return digit ? S::integerDigits : S::malformed;
        case S::integerDigits:
            if (separator)
                return S::afterSeparator;
            if (digit)
                return S::integerDigits;
            return c == 'E' ? afterMantissa : S::complete;
        case S::afterSeparator:
        case S::fractionDigits:
            if (separator)
                return S::malformed;
            if (digit)
                return S::fractionDigits;
            return c == 'E' ? afterMantissa : S::complete;
        case S::afterE:
            if (separator || c == ' ' || c == 'E')
                return S::malformed;
            if (sign)
                return S::afterExponentSign;
            return digit ? S::exponentDigits : S::complete;
        case S::afterExponentSign:
            if (separator || c == ' ' || sign || c == 'E')
                return S::malformed;
            return digit ? S::exponentDigits : S::complete;
        case S::exponentDigits:
            return digit ? S::exponentDigits : S::complete;
        case S::complete:
        case S::malformed:
            break;
        }
        return S::malformed;
    }

    constexpr uint32_t exponentDigitLimit = 4200;
    // Far beyond any exponent that extended precision can reach, and far from overflow.
    constexpr int64_t exponentSaturation = 1000000000;

    // A number text of the reader ("  -12.5E+3", "1.", ".E5", "-") as a real of type Real,
    // correctly rounded. Missing mantissa digits make it zero, missing exponent digits a zero
    // exponent.
    template <typename Real> Real realFromNumberText(std::string_view text)
    {
        size_t at = text.find_first_not_of(' ');
        if (at == std::string_view::npos)
            return 0;
        bool negative = false;
        if (text[at] == '+' || text[at] == '-') {
            negative = text[at] == '-';
            ++at;
        }
        const Real zero = negative ? -Real(0) : Real(0);

        // The mantissa, and the power of ten of its leading digit for telling overflow from
        // underflow.
        std::string mantissa = negative ? "-" : "";
        bool afterPoint = false;
        bool anyNonZero = false;
        int64_t leadingPower = 0;
        for (; at < text.size() && text[at] != 'E'; ++at) {
            const char c = text[at];
            mantissa.push_back(c);
            if (c == '.') {
                afterPoint = true;
            } else if (anyNonZero) {
                if (!afterPoint)
                    ++leadingPower;
            } else if (c != '0') {
                anyNonZero = true;
                if (afterPoint)
                    --leadingPower;
            } else if (afterPoint) {
                --leadingPower;
            }
        }
        if (!anyNonZero)
            return zero;
        if (mantissa.back() == '.')
            mantissa.push_back('0');

        int64_t exponent = 0;
        if (at < text.size()) {
            ++at; // the "E"
            bool negativeExponent = false;
            if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
                negativeExponent = text[at] == '-';
                ++at;
            }
            for (; at < text.size() && helpers::IsDigit(text[at]); ++at)
                exponent = std::min(exponent * 10 + (text[at] - '0'), exponentSaturation);
            if (negativeExponent)
                exponent = -exponent;
        }
        mantissa += 'e';
        mantissa += std::to_string(exponent);

        // std::from_chars neither reads the locale nor depends on the rounding mode.
        Real result = 0;
        const auto [end, error] = std::from_chars(
            mantissa.data(), mantissa.data() + mantissa.size(), result, std::chars_format::general);
        if (error == std::errc::result_out_of_range) {
            if (leadingPower + exponent > 0)
                return negative ? -std::numeric_limits<Real>::infinity()
                                : std::numeric_limits<Real>::infinity();
            return zero;
        }
        if (error != std::errc() || end != mantissa.data() + mantissa.size())
            return zero;
        return result;
    }

} // namespace

TSepMode SepModeOf(TDecPSep sep, char localeDecimalSeparator)
{
    switch (sep) {
    case TDecPSep::dsDot:
        return TSepMode::smPoint;
    case TDecPSep::dsComma:
        return TSepMode::smComma;
    case TDecPSep::dsBoth:
        return TSepMode::smBoth;
    case TDecPSep::dsSystem:
        break;
    }
    return localeDecimalSeparator == ',' ? TSepMode::smComma : TSepMode::smPoint;
}

int32_t ParseBin(const std::string& s, int32_t& pos)
{
    return scanUnsigned(s, pos, 2, false);
}

int32_t ParseOct(const std::string& s, int32_t& pos)
{
    return scanUnsigned(s, pos, 8, false);
}

int32_t ParseHex(const std::string& s, int32_t& pos)
{
    return scanUnsigned(s, pos, 16, true);
}

int32_t ParseInt(const std::string& s, int32_t& pos)
{
    skipSpaces(s, pos);
    if (s.empty())
        return 0;
    bool negative = false;
    if (pos <= scanLength(s)) {
        const char c = s[static_cast<size_t>(pos) - 1];
        if (c == '-' || c == '+') {
            negative = c == '-';
            ++pos;
        }
    }
    const uint32_t magnitude = scanDigits(s, pos, 10, false);
    return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

namespace {

    // The reader of ParseFloat: true when a number was read, whose text is then in number.
    bool scanReal(const std::string& s, bool exponentAllowed, TSepMode mode, int32_t& pos,
        std::string& number)
    {
        if (pos < 1)
            pos = 1;
        const int64_t length = scanLength(s);
        // Beyond the end the first character read is already the end mark, which is malformed
        // at the start; returning here keeps pos from growing past the 32-bit range.
        if (pos > length + 1)
            return false;

        FloatState state = FloatState::start;
        uint32_t exponentSoFar = 0;
        bool exponentCut = false;
        for (;;) {
            // Past the end the reader sees "Z", which ends every state but the start.
            const char c
                = pos <= length ? helpers::UpperAscii(s[static_cast<size_t>(pos) - 1]) : 'Z';
            ++pos;
            state = nextFloatState(state, c, isSeparator(c, mode), exponentAllowed);
            if (state == FloatState::complete || state == FloatState::malformed)
                break;
            if (state == FloatState::exponentDigits && !exponentCut) {
                exponentSoFar = exponentSoFar * 10 + static_cast<uint32_t>(c - '0');
                exponentCut = exponentSoFar > exponentDigitLimit;
            }
            if (!exponentCut)
                number.push_back(c == ',' ? '.' : c);
        }
        // Back onto the character that ended the number.
        --pos;
        return state == FloatState::complete;
    }

    template <typename Real>
    Real parseReal(const std::string& s, bool exponentAllowed, TSepMode mode, int32_t& pos)
    {
        std::string number;
        if (!scanReal(s, exponentAllowed, mode, pos, number))
            return 0;
        constexpr Real limit = 1.7e308;
        return std::clamp(realFromNumberText<Real>(number), -limit, limit);
    }

} // namespace

long double ParseFloat(const std::string& s, bool exponentAllowed, TSepMode mode, int32_t& pos)
{
    return parseReal<long double>(s, exponentAllowed, mode, pos);
}

bool TextToNumber(const std::string& text, double& value, TInFormat format, TDecPSep sep,
    char localeDecimalSeparator)
{
    if (text.empty())
        return false;
    value = 0;
    const TSepMode mode = SepModeOf(sep, localeDecimalSeparator);

    const size_t firstNonSpace = text.find_first_not_of(' ');
    std::string scanned = firstNonSpace == std::string::npos ? "" : text.substr(firstNonSpace);
    if (scanned.find(' ') != std::string::npos)
        return false;
    for (char& c : scanned) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    if (scanned.empty())
        return true;

    TInFormat chosen = format;
    if (format == TInFormat::itDynamic) {
        switch (scanned.front()) {
        case '$':
            chosen = TInFormat::itHex;
            break;
        case '%':
            chosen = TInFormat::itBin;
            break;
        case '&':
            chosen = TInFormat::itOct;
            break;
        default:
            chosen = TInFormat::itExp;
            break;
        }
    }

    auto removeLeading = [&scanned](char mark) {
        if (!scanned.empty() && scanned.front() == mark)
            scanned.erase(0, 1);
    };

    // Reals are read straight into a double: going through extended precision first would round
    // twice and miss the nearest double for about one text in two thousand.
    int32_t pos = 1;
    switch (chosen) {
    case TInFormat::itExp:
    case TInFormat::itDynamic: {
        // An exponent that has not begun yet ("1e", "1e-") is left out.
        const size_t e = scanned.find('e');
        if (e != std::string::npos
            && (e + 1 == scanned.size()
                || (e + 2 == scanned.size() && (scanned[e + 1] == '+' || scanned[e + 1] == '-'))))
            scanned.erase(e);
        value = parseReal<double>(scanned, true, mode, pos);
        break;
    }
    case TInFormat::itFloat:
    case TInFormat::itFixPoint:
        value = parseReal<double>(scanned, false, mode, pos);
        break;
    case TInFormat::itInt:
        value = ParseInt(scanned, pos);
        break;
    case TInFormat::itHex:
        removeLeading('$');
        value = ParseHex(scanned, pos);
        break;
    case TInFormat::itOct:
        removeLeading('&');
        value = ParseOct(scanned, pos);
        break;
    case TInFormat::itBin:
        removeLeading('%');
        value = ParseBin(scanned, pos);
        break;
    }
    return static_cast<int64_t>(pos) == static_cast<int64_t>(scanned.size()) + 1;
}

} // namespace znq
