// The colour maps' lookup; the tables are in polchart_colormap_tables.cpp, written by a script.
#include "polchart_colormaps.h"

#include <cmath>

namespace znq {

namespace {
    const std::array<TColor, 256>* tableOf(TpcColorMap map)
    {
        switch (map) {
        case TpcColorMap::cmNone:
            return nullptr;
        case TpcColorMap::cmViridis:
            return &colormaps::Viridis;
        case TpcColorMap::cmMagma:
            return &colormaps::Magma;
        case TpcColorMap::cmGray:
            return &colormaps::Gray;
        case TpcColorMap::cmTurbo:
            return &colormaps::Turbo;
        }
        return nullptr;
    }
} // namespace

// The range is cut into 256 equal bins; the high end belongs to the last one.
TColor ColorMapColor(TpcColorMap map, double value, double low, double high, TColor fallback)
{
    const std::array<TColor, 256>* table = tableOf(map);
    if (!table || std::isnan(value) || std::isnan(low) || std::isnan(high))
        return fallback;
    double t = (value - low) / (high - low);
    if (!std::isfinite(t))
        t = high == low ? (value < low ? 0.0 : 1.0) : (t > 0 ? 1.0 : 0.0);
    const double bin = std::floor(std::clamp(t, 0.0, 1.0) * 256);
    return (*table)[static_cast<size_t>(std::min(bin, 255.0))];
}

} // namespace znq
