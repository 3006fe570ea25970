// The number and text helpers: decimal and fixed texts, engineering notation, rounding, floor,
// logarithm and the substring search, each against what it promises.
#include "ZNQ_math1.h"
#include "ZNQ_stringl.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

using namespace znq;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 12)
        return 0;
    double value;
    std::memcpy(&value, data, sizeof value);
    const int width = static_cast<int8_t>(data[8]) % 40;
    const int decimals = static_cast<int8_t>(data[9]) % 24;
    const std::string rest(reinterpret_cast<const char*>(data) + 12, size - 12);

    const std::string decimal = DecimalText(value, width, decimals);
    fuzz::require(decimal.size() >= size_t(std::max(width, 0)), "DecimalText narrower than width");
    FormatFixed(width, decimals, value);
    FormatEngineering(static_cast<int8_t>(data[10]) % 12, value);

    const int64_t rounded = RoundHalfEven(value);
    if (std::fabs(value) < 9e18)
        fuzz::require(
            std::fabs(double(rounded) - value) <= 0.5, "RoundHalfEven off by more than 0.5");
    const int32_t floor = FloorInt(value);
    if (std::fabs(value) < 2e9)
        fuzz::require(floor <= value && value < double(floor) + 1, "FloorInt is not the floor");
    try {
        const long double logarithm = Log10(value);
        fuzz::require(value > 0, "Log10 of a value that is not positive");
        fuzz::require(!std::isnan(logarithm), "Log10 gave NaN");
    } catch (const EMathError&) {
        fuzz::require(!(value > 0), "Log10 refused a positive value");
    }

    const size_t cut = rest.empty() ? 0 : data[11] % (rest.size() + 1);
    const std::string sub = rest.substr(0, std::min<size_t>(cut, 8)), s = rest.substr(cut);
    const bool ignoreCase = data[10] & 1;
    const int32_t n = data[11] % 5;
    const int32_t at = NthPos(sub, s, 1 + data[10] % 7, ignoreCase, n);
    if (at != 0) {
        fuzz::require(at >= 1 && size_t(at) + sub.size() - 1 <= s.size(), "NthPos out of the text");
        for (size_t i = 0; i < sub.size(); ++i) {
            const char a = s[size_t(at) - 1 + i], b = sub[i];
            const bool same = ignoreCase ? std::tolower(static_cast<unsigned char>(a))
                    == std::tolower(static_cast<unsigned char>(b))
                                         : a == b;
            fuzz::require(same, "NthPos found no occurrence");
        }
    }
    return 0;
}
