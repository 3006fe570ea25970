// The read-out's text for every display type, precision, flags, width, value and date-time
// pattern: a text wider than the box is the overflow indicator (but for the state text).
#include "fuzz_support.h"
#include "numlab_format.h"
#include "znq_application.h"

#include <cstring>

using namespace znq;

namespace {
TLocaleInfo locale()
{
    TLocaleInfo info;
    const char* months[]
        = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };
    const char* days[] = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
    for (int i = 0; i < 12; ++i)
        info.ShortMonthNames[i] = info.LongMonthNames[i] = months[i];
    for (int i = 0; i < 7; ++i)
        info.ShortDayNames[i] = info.LongDayNames[i] = days[i];
    return info;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const TLocaleInfo info = locale();
    if (size < 13)
        return 0;
    TNumLabSettings settings;
    settings.DisplayType = static_cast<TDisplay>(data[0] % 15);
    settings.Precision = data[1] % 16;
    settings.Comma = data[2] & 1;
    settings.ForcePlusSign = data[2] & 2;
    settings.LabelWidth = data[3];
    std::memcpy(&settings.Value, data + 4, sizeof(double));
    settings.DTFormat.assign(reinterpret_cast<const char*>(data) + 12, size - 12);
    settings.OverflowIndicator = "###";
    auto width = [](const std::string& text) { return static_cast<int>(text.size()) * 7; };
    const std::string text = NumLabText(settings, info, nullptr, width);
    if (settings.DisplayType != TDisplay::dtState && text != settings.OverflowIndicator)
        fuzz::require(width(text) <= settings.LabelWidth - 6, "a text wider than its box: " + text);
    FormatDateTime(settings.DTFormat, settings.Value, info);
    return 0;
}
