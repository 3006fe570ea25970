// The colour maps: a value within a range turned into a colour of a perceptual scale, for data
// coloured by a third value and for the raster layer. Internal to the chart.
#pragma once

#include "polchart_types.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace znq {

namespace colormaps {
    /// The tables, 256 colours each from the low end of the range to the high end.
    extern const std::array<TColor, 256> Viridis;
    extern const std::array<TColor, 256> Magma;
    extern const std::array<TColor, 256> Gray;
    extern const std::array<TColor, 256> Turbo;
} // namespace colormaps

/// The colour of bin 0 .. 255 of map; none for cmNone.
const std::array<TColor, 256>* ColorMapTable(TpcColorMap map);

/// The bin 0 .. 255 of value between low and high, as ColorMapColor takes it: the range is cut
/// into 256 equal bins, and the high end belongs to the last one; -1 where a value or bound is NaN.
inline int ColorMapBin(double value, double low, double high)
{
    if (std::isnan(value) || std::isnan(low) || std::isnan(high))
        return -1;
    double t = (value - low) / (high - low);
    if (!std::isfinite(t))
        t = high == low ? (value < low ? 0.0 : 1.0) : (t > 0 ? 1.0 : 0.0);
    const double bin = std::floor(std::clamp(t, 0.0, 1.0) * 256);
    return static_cast<int>(std::min(bin, 255.0));
}

/// The colour of value on map, between low (the first colour) and high (the last); values beyond
/// the range take the colour of its nearer end, and a range given high to low runs the map
/// backwards. With cmNone, or a value or bound that is NaN, the colour is fallback. Where low
/// equals high, values below them take the first colour and the others the last.
TColor ColorMapColor(TpcColorMap map, double value, double low, double high, TColor fallback);

} // namespace znq
