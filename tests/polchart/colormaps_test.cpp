// The colour maps: the tables' known ends, and the lookup at the ends, inside, beyond the range,
// backwards, on an empty range and for NaN.
#include "model/polchart_colormaps.h"

#include <gtest/gtest.h>

#include <limits>

using namespace znq;

namespace {
constexpr TColor rgb(int r, int g, int b)
{
    return TColor(b << 16 | g << 8 | r);
}
} // namespace

TEST(ColorMaps, TablesAndLookup)
{
    // The published ends of viridis and magma; gray and turbo as made.
    EXPECT_EQ(colormaps::Viridis.front(), rgb(68, 1, 84));
    EXPECT_EQ(colormaps::Viridis.back(), rgb(253, 231, 37));
    EXPECT_EQ(colormaps::Magma.front(), rgb(0, 0, 4));
    EXPECT_EQ(colormaps::Magma.back(), rgb(252, 253, 191));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(colormaps::Gray[size_t(i)], rgb(i, i, i));
    // Turbo runs from dark through blue and green to red.
    const auto red = [](TColor c) { return int(c & 0xFF); };
    const auto green = [](TColor c) { return int(c >> 8 & 0xFF); };
    const auto blue = [](TColor c) { return int(c >> 16 & 0xFF); };
    const TColor first = colormaps::Turbo.front(), quarter = colormaps::Turbo[48],
                 middle = colormaps::Turbo[128], last = colormaps::Turbo.back();
    EXPECT_LT(red(first) + green(first) + blue(first), 150);
    EXPECT_GT(blue(quarter), red(quarter));
    EXPECT_GT(green(middle), blue(middle));
    EXPECT_GT(red(last), 2 * blue(last));

    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    constexpr TColor own = 0x123456;
    const struct {
        TpcColorMap map;
        double value, low, high;
        TColor expected;
    } cases[] = {
        { TpcColorMap::cmGray, 0, 0, 1, rgb(0, 0, 0) },
        { TpcColorMap::cmGray, 1, 0, 1, rgb(255, 255, 255) },
        { TpcColorMap::cmGray, 0.5, 0, 1, rgb(128, 128, 128) },
        { TpcColorMap::cmGray, 0.5 - 1e-9, 0, 1, rgb(127, 127, 127) },
        { TpcColorMap::cmGray, -7, 0, 1, rgb(0, 0, 0) },
        { TpcColorMap::cmGray, 1e300, 0, 1, rgb(255, 255, 255) },
        { TpcColorMap::cmGray, 0, 1, 0, rgb(255, 255, 255) },
        { TpcColorMap::cmGray, 2, 2, 2, rgb(255, 255, 255) },
        { TpcColorMap::cmGray, 1, 2, 2, rgb(0, 0, 0) },
        { TpcColorMap::cmGray, -HUGE_VAL, 0, 1, rgb(0, 0, 0) },
        { TpcColorMap::cmViridis, 10, 10, 20, colormaps::Viridis.front() },
        { TpcColorMap::cmMagma, 20, 10, 20, colormaps::Magma.back() },
        { TpcColorMap::cmTurbo, 15, 10, 20, colormaps::Turbo[128] },
        { TpcColorMap::cmViridis, NaN, 0, 1, own },
        { TpcColorMap::cmNone, 0.5, 0, 1, own },
        { TpcColorMap::cmGray, 0.5, NaN, 1, own },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorMapColor(c.map, c.value, c.low, c.high, own), c.expected)
            << int(c.map) << " at " << c.value << " in " << c.low << " .. " << c.high;
}
