// The input field's parsers: TextToNumber in every format and separator mode, and the scanners.
// Accepted numbers are finite, an empty text leaves the value alone, positions stay in the text.
#include "fuzz_support.h"
#include "numio_parse.h"

#include <cmath>

using namespace znq;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const auto format = static_cast<TInFormat>(data[0] % 8);
    const auto sep = static_cast<TDecPSep>(data[1] % 4);
    const char localeSeparator = data[2] & 1 ? ',' : '.';
    const std::string text(reinterpret_cast<const char*>(data) + 3, size - 3);

    double value = 12345;
    const bool ok = TextToNumber(text, value, format, sep, localeSeparator);
    if (ok)
        fuzz::require(std::isfinite(value), "TextToNumber accepted a value that is not finite");
    if (text.empty())
        fuzz::require(!ok && value == 12345, "an empty text is invalid and leaves the value");

    const auto length = static_cast<int32_t>(text.size());
    auto inText = [&](int32_t pos, const char* scanner) {
        fuzz::require(pos >= 1 && pos <= length + 1, std::string(scanner) + " left the text");
    };
    int32_t pos = 1;
    ParseInt(text, pos);
    inText(pos, "ParseInt");
    pos = 1;
    ParseHex(text, pos);
    inText(pos, "ParseHex");
    pos = 1;
    ParseOct(text, pos);
    inText(pos, "ParseOct");
    pos = 1;
    ParseBin(text, pos);
    inText(pos, "ParseBin");
    pos = 1;
    const long double real = ParseFloat(text, data[1] & 4, SepModeOf(sep, localeSeparator), pos);
    inText(pos, "ParseFloat");
    fuzz::require(std::isfinite(real) && std::fabs(real) <= 1.7e308L, "ParseFloat beyond 1.7e308");
    return 0;
}
