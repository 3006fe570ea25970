// The painters of the chart image: grid and scales, data, text labels and crosshairs. Each takes
// the chart to read and the canvas to draw on; none changes the chart.
#pragma once

#include "ZNQ_polchart.h"
#include "polchart_geometry.h"

namespace znq::painters {

// Rays with their angle labels, circles, radial labels and the radial axis.
void DrawGridAndScales(const TCustomPolChart& chart, TCanvas& canvas);

// The stored elements as polylines of at most MaxBatchPoints points, the pen changed only when an
// element's colour, style or width differs; the drawn points go into snapIndex too, when one is
// given.
void DrawData(const TCustomPolChart& chart, TCanvas& canvas, TpcSnapIndex* snapIndex);
inline constexpr int MaxBatchPoints = 200;
// The drawn points of the data into a snap index, as DrawData sees them, without drawing.
void CollectSnapPoints(const TCustomPolChart& chart, TpcSnapIndex& index);
// On: DrawData maps every element through PolarToPixel, one by one, instead of by chunks, and
// passes every point to the polylines; the pixels must come out the same. For tests that render
// both ways.
void UseReferenceDataPath(bool on);

// Labels 20 down to 1, so that label 1 ends on top.
void DrawTextLabels(const TCustomPolChart& chart, TCanvas& canvas);

// One crosshair with the pen already set, its pixels shifted by (-x0, -y0).
void DrawCrossHair(const TCustomPolChart& chart, const TpcCrossHair& crossHair, TCanvas& canvas,
    int32_t x0, int32_t y0);

using geometry::RoundPixel;
using geometry::Saturate;

} // namespace znq::painters
