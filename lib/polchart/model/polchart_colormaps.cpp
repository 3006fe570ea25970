// The colour maps' lookup; the tables are in polchart_colormap_tables.cpp, written by a script.
#include "model/polchart_colormaps.h"

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

const std::array<TColor, 256>* ColorMapTable(TpcColorMap map)
{
    return tableOf(map);
}

TColor ColorMapColor(TpcColorMap map, double value, double low, double high, TColor fallback)
{
    const std::array<TColor, 256>* table = tableOf(map);
    const int bin = ColorMapBin(value, low, high);
    if (!table || bin < 0)
        return fallback;
    return (*table)[size_t(bin)];
}

} // namespace znq
