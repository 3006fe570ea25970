/// \file
/// The chart's test seams: counters and internal state that tests check, and the switch to the
/// straightforward data path that the fast one is compared with. Not part of the published
/// interface; not installed.
#pragma once

#include "chart/polchart_rooms.h"

namespace znq {

/// Test access to a chart's rooms.
class TpcChartSeams {
public:
    /// How often Paint or PaintCrossHairs got past their gates: a seam for checking the redraw
    /// rule.
    static int PaintCount(const TCustomPolChart& chart) { return chart.rooms().PaintCount; }
    /// The state of the mouse gestures: the drag in progress and the zoom box.
    static const TpcMouseGesture& MouseGesture(const TCustomPolChart& chart)
    {
        return chart.rooms().Navigator.Gesture();
    }
    /// The chart image, writable: tests measure texts on its canvas and watch its polylines.
    static TBitmap& ChartBitmap(TCustomPolChart& chart) { return chart.rooms().ChartBitmap; }
    /// The snap index, for tests of when it is built.
    static const TpcSnapIndex& SnapIndex(const TCustomPolChart& chart)
    {
        return chart.rooms().SnapIndex;
    }
    /// Where the last paint drew the legend; null when it drew none.
    static const geometry::TpcLegendLayout* LegendLayout(const TCustomPolChart& chart)
    {
        return chart.rooms().NavLegendLayout();
    }
    /// The raster layer's kept picture, for tests of what an update colours again.
    static const TpcRasterRender& RasterRender(const TCustomPolChart& chart)
    {
        return chart.rooms().RasterRender;
    }
    /// On: the data layer maps every element one by one and passes every point to the polylines,
    /// the straightforward path whose pixels the fast one must match.
    static void SetReferenceDataPath(TCustomPolChart& chart, bool on)
    {
        chart.rooms().ReferenceDataPath = on;
    }
    /// A tick of the sweep's fading timer, as the timer gives it.
    static void SweepTick(TCustomPolChart& chart) { chart.Sweep()->tick(); }
    /// The threads that map the data in a paint (0: the machine's cores; 1: the painting thread
    /// alone).
    static void SetDataThreads(TCustomPolChart& chart, int threads)
    {
        chart.rooms().DataThreads = threads;
    }
};

} // namespace znq
