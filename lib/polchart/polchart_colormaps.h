// The colour maps: a value within a range turned into a colour of a perceptual scale, for data
// coloured by a third value and for the raster layer. Internal to the chart.
#pragma once

#include "ZNQ_polchart.h"

#include <array>

namespace znq {

namespace colormaps {
    /// The tables, 256 colours each from the low end of the range to the high end.
    extern const std::array<TColor, 256> Viridis;
    extern const std::array<TColor, 256> Magma;
    extern const std::array<TColor, 256> Gray;
    extern const std::array<TColor, 256> Turbo;
} // namespace colormaps

/// The colour of value on map, between low (the first colour) and high (the last); values beyond
/// the range take the colour of its nearer end, and a range given high to low runs the map
/// backwards. With cmNone, or a value or bound that is NaN, the colour is fallback. Where low
/// equals high, values below them take the first colour and the others the last.
TColor ColorMapColor(TpcColorMap map, double value, double low, double high, TColor fallback);

} // namespace znq
