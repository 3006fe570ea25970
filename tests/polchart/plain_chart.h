// A plain chart for pixel tests of what the data and the wedges draw: no grid, no labels, a
// light background, radial values 0 .. 10, painted by Redraw only.
#pragma once

#include "ZNQ_polchart.h"

namespace znq::testing_support {

inline constexpr TColor PlainBackground = 0xF4FCFF;

struct PlainChart {
    TPolChart chart;
    PlainChart(int width, int height, bool degrees)
    {
        chart.SetAutoRedraw(false);
        chart.SetBounds(0, 0, width, height);
        chart.SetChartColor(PlainBackground);
        chart.SetGridStyleAngular(TpcGridStyleAng::gsAngNone);
        chart.SetGridStyleRadial(TpcGridStyleRad::gsRadNone);
        chart.SetLabelModeAngular(TpcAngLabelMode::almNone);
        chart.SetLabelModeRadial(TpcRadLabelMode::rlmNone);
        chart.SetRangeHigh(10);
        chart.SetUseDegrees(degrees);
        chart.show();
    }
    TColor at(int x, int y) { return chart.Canvas().Pixel(x, y); }
    TColor at(TPoint p) { return at(p.x, p.y); }
};

} // namespace znq::testing_support
