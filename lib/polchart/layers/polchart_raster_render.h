// The raster layer's render: the mapping of pixels back to the grid, kept for the view as a map
// from device pixel to cell, and the layer's colours, kept as an image and brought up to date
// row by row. Internal to the chart.
#pragma once

#include "polchart_raster.h"
#include "polchart_transform.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace znq {

/// Where the pixels of a view fall on a raster grid: a point of the chart image (in its logical
/// pixels, fractions allowed) to its place on the grid, as fractional row and column.
class TpcRasterMapping {
public:
    /// The mapping of the raster's grid in the transform's view.
    TpcRasterMapping(const TpcTransform& transform, const TpcRaster& raster);
    /// The place of the point (x, y) on the grid: az in 0 .. AzCount, range in 0 .. RangeCount;
    /// false where the point is outside the view's region, the outer circle or the grid.
    bool At(double x, double y, double& az, double& range) const;
    /// At for the device pixels first .. first + count - 1 of a device row at y, at the device
    /// scale: for each, found[k] is what At returns for ((first + k + 0.5) / scale - 0.5, y), and
    /// az[k], range[k] what it finds.
    void AtRow(double y, int32_t first, int32_t count, double scale, double* az, double* range,
        uint8_t* found) const;

private:
    const TpcViewRegion& m_region;
    const TpcTransform& m_transform;
    double m_ox = 0, m_oy = 0, m_invScale = 0;
    double m_outer2 = 0;
    bool m_linear = true, m_increasing = true;
    double m_rangeLow = 0, m_holeUnits = 0, m_axisLow = 0;
    double m_rotation = 1, m_invAngleUnit = 1, m_angleOffset = 0;
    double m_azStart = 0, m_invAzStep = 1, m_turnCells = 1, m_invTurnCells = 1;
    int m_azCount = 0;
    bool m_wraps = false;
    double m_rangeStart = 0, m_invRangeStep = 1;
    int m_rangeCount = 0;
};

/// The cell value under the logical pixel (x, y), as the layer draws it; NaN where it has none.
double RasterValueAt(const TpcTransform& transform, const TpcRaster& raster, int32_t x, int32_t y);

/// The layer's picture for the present view, grid, cells and time, kept between paints.
class TpcRasterRender {
public:
    /// The layer's colours over the box of device pixels it covers (ARGB, alpha 0 where no cell is
    /// drawn), brought up to date: the map is rebuilt when the view, the image's size or scale,
    /// the grid or the interpolation changed; then only the rows written since the last update
    /// are coloured again, unless everything's colours changed (the map, the colour map, its
    /// range, the opacity, or the fading time). Splits the whole layer's work over the raster's
    /// Threads. now is the sweep clock's time.
    const QImage& Update(const TpcTransform& transform, const TpcRaster& raster,
        const TpcSweep& sweep, double deviceScale, int32_t deviceWidth, int32_t deviceHeight,
        double now);
    /// The device pixels (left, top, right, bottom, inclusive) that the next Update with these
    /// arguments colours, when it colours only the rows written since the last one (an empty box,
    /// right below left, when those rows cover no pixel); none when it colours everything or
    /// nothing.
    std::optional<std::array<int32_t, 4>> PendingBox(const TpcTransform& transform,
        const TpcRaster& raster, const TpcSweep& sweep, double deviceScale, int32_t deviceWidth,
        int32_t deviceHeight) const;
    /// The box's top-left device pixel.
    int32_t Left() const { return m_left; }
    /// The box's top row.
    int32_t Top() const { return m_top; }
    /// How many pixels the last Update coloured (for tests of what a row update costs).
    int64_t LastColoured() const { return m_lastColoured; }
    /// How many rows' state (which were written, their alpha) the last Update read, or the last
    /// PendingBox that found rows to colour, for tests of what a row update costs.
    int64_t LastVisited() const { return m_lastVisited; }

private:
    struct MapKey {
        TpcTransformParams Params;
        double Scale = 0;
        int32_t Width = 0, Height = 0;
        uint64_t Grid = 0;
        TpcRasterInterp Interpolation = TpcRasterInterp::riNearest;
        friend bool operator==(const MapKey&, const MapKey&) = default;
    };
    struct ColorKey {
        TpcColorMap Map = TpcColorMap::cmNone;
        double Low = 0, High = 0, Opacity = 0, Persistence = 0;
        friend bool operator==(const ColorKey&, const ColorKey&) = default;
    };
    // What the map and the colours were made for, at present.
    static MapKey mapKeyOf(const TpcTransform& transform, const TpcRaster& raster,
        double deviceScale, int32_t deviceWidth, int32_t deviceHeight);
    static ColorKey colorKeyOf(const TpcRaster& raster, const TpcSweep& sweep);
    // The rows whose pixels need colouring again: those written since the last update (and
    // their neighbours for bilinear colouring); false when their pixels are more than a quarter.
    bool dirtyRows(const TpcRaster& raster, std::vector<int32_t>& rows) const;
    void buildMap(const TpcTransform& transform, const TpcRaster& raster, double deviceScale,
        int32_t deviceWidth, int32_t deviceHeight);
    void color(const TpcRaster& raster, const std::vector<uint8_t>& rowAlpha,
        const std::vector<int32_t>& rows, bool all);

    std::optional<MapKey> m_mapKey;
    std::optional<ColorKey> m_colorKey;
    uint64_t m_coloredData = 0;
    bool m_faded = false;
    int32_t m_left = 0, m_top = 0;
    // The pixels with a cell, in order of their nearest cell's row: each as its index in the
    // image and its nearest cell, and for bilinear colouring its two rows, its first column and
    // its weights towards the second ones (0 .. 65536).
    std::vector<int32_t> m_offset, m_nearest;
    std::vector<int32_t> m_row0, m_row1, m_col0;
    std::vector<int32_t> m_weightAz, m_weightRange;
    // The pixels of row az are m_rows[az] .. m_rows[az + 1] - 1.
    std::vector<int64_t> m_rows;
    QImage m_image;
    // Each row's alpha, kept for the rows not coloured again.
    std::vector<uint8_t> m_rowAlpha;
    int64_t m_lastColoured = 0;
    mutable int64_t m_lastVisited = 0;
};

} // namespace znq
