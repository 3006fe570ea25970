// Grid and scales: the angle-label texts of every mode, ReduceFraction, the scale-label event with
// its anchors, text changes and suppression, the rays, circles and the radial axis.
#include "ZNQ_polchart.h"
#include "chart/polchart_seams.h"

#include <gtest/gtest.h>

#include <vector>

using namespace znq;

namespace {

std::vector<std::string> labelsFor(TpcAngLabelMode mode, double angle, int decimals = 2)
{
    const int rays = static_cast<int>(std::nearbyint(360 / angle));
    std::vector<std::string> texts;
    for (int i = 0; i < rays; ++i)
        texts.push_back(AngleLabelText(mode, i, rays, angle, decimals));
    return texts;
}

using Texts = std::vector<std::string>;

} // namespace

TEST(AngleLabels, TextsOfEveryMode)
{
    EXPECT_EQ(labelsFor(TpcAngLabelMode::almDegrees, 30),
        (Texts { "0", "30", "60", "90", "120", "150", "180", "210", "240", "270", "300", "330" }));
    EXPECT_EQ(labelsFor(TpcAngLabelMode::almRadians, 30),
        (Texts { "0.00", "0.52", "1.05", "1.57", "2.09", "2.62", "3.14", "3.67", "4.19", "4.71",
            "5.24", "5.76" }));
    EXPECT_EQ(labelsFor(TpcAngLabelMode::almMultiPi, 30),
        (Texts { "0", "p/6", "p/3", "p/2", "2p/3", "5p/6", "p", "7p/6", "4p/3", "3p/2", "5p/3",
            "11p/6" }));
    EXPECT_EQ(labelsFor(TpcAngLabelMode::almSymmDeg, 30),
        (Texts {
            "0", "30", "60", "90", "120", "150", "180", "-150", "-120", "-90", "-60", "-30" }));
    EXPECT_EQ(
        labelsFor(TpcAngLabelMode::almSymmRad, 90, 1), (Texts { "0.0", "1.6", "3.1", "-1.6" }));
    EXPECT_EQ(labelsFor(TpcAngLabelMode::almSymmMultiPi, 30),
        (Texts { "0", "p/6", "p/3", "p/2", "2p/3", "5p/6", "p", "-5p/6", "-2p/3", "-p/2", "-p/3",
            "-p/6" }));
    const Texts quarterDegrees = labelsFor(TpcAngLabelMode::almDegrees, 7.5);
    EXPECT_EQ(Texts(quarterDegrees.begin(), quarterDegrees.begin() + 4),
        (Texts { "0", "7.5", "15", "22.5" }));

    struct Row {
        const char* name;
        TpcAngLabelMode mode;
        double angle;
        Texts expected;
    } rows[] = {
        { "one ray in degrees", TpcAngLabelMode::almDegrees, 360, { "0" } },
        { "one ray in pi", TpcAngLabelMode::almMultiPi, 360, { "0" } },
        { "thirds", TpcAngLabelMode::almMultiPi, 120, { "0", "2p/3", "4p/3" } },
        { "symmetric thirds", TpcAngLabelMode::almSymmMultiPi, 120, { "0", "2p/3", "-2p/3" } },
        { "halves", TpcAngLabelMode::almMultiPi, 180, { "0", "p" } },
        { "symmetric halves", TpcAngLabelMode::almSymmMultiPi, 180, { "0", "p" } },
        { "quarters reduce 2/2 to p", TpcAngLabelMode::almMultiPi, 90,
            { "0", "p/2", "p", "3p/2" } },
        { "none", TpcAngLabelMode::almNone, 90, { "", "", "", "" } },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(labelsFor(row.mode, row.angle), row.expected);
    }
}

TEST(AngleLabels, ReduceFraction)
{
    struct Row {
        int32_t num, den, expectedNum, expectedDen;
    } rows[] = {
        { 2, 6, 1, 3 },
        { 8, 12, 2, 3 },
        { 16, 64, 1, 4 },
        { -10, 6, -5, 3 },
        { 0, 6, 0, 6 },
        { 6, 0, 6, 0 },
        { 7, 13, 7, 13 },
        { 36, -24, 3, -2 },
    };
    for (const Row& row : rows) {
        int32_t num = row.num, den = row.den;
        ReduceFraction(num, den);
        EXPECT_EQ(num, row.expectedNum) << row.num << "/" << row.den;
        EXPECT_EQ(den, row.expectedDen) << row.num << "/" << row.den;
    }
}

namespace {

struct Offered {
    TpcScaleKind kind;
    std::string text;
    int x, y;
};

struct GridChart {
    TPolChart chart;
    std::vector<Offered> offered;
    GridChart()
    {
        chart.SetAutoRedraw(false);
        chart.SetBounds(0, 0, 300, 260);
        chart.SetAutoCenter(false);
        chart.SetCenterX(150);
        chart.SetCenterY(130);
        chart.SetMagFactor(200.0 / 260); // R = 100
        chart.SetRangeHigh(10);
        chart.SetChartColor(clWhite);
        chart.SetGridColor(0x00AA00);
        chart.OnBeforeDrawScaleLabel
            = [this](TObject*, TCanvas&, TpcScaleKind kind, std::string& text, int x, int y) {
                  offered.push_back({ kind, text, x, y });
              };
        chart.show();
    }
    TColor at(int x, int y) { return chart.Canvas().Pixel(x, y); }
    std::vector<Offered> paint()
    {
        offered.clear();
        chart.Redraw();
        return offered;
    }
};

} // namespace

TEST(GridScales, ElevenRadialLabelsWithTheirAnchors)
{
    GridChart g;
    g.chart.SetLabelModeAngular(TpcAngLabelMode::almNone);
    g.chart.SetLabelModeRadial(TpcRadLabelMode::rlmVertRight);
    ASSERT_EQ(g.chart.OuterRadius(), 100);
    const auto offered = g.paint();
    ASSERT_EQ(offered.size(), 11u);
    const char* texts[] = { "8.00", "6.00", "4.00", "2.00", "0.00", "2.00", "4.00", "6.00", "8.00",
        "10.00", "10.00" };
    for (size_t i = 0; i < offered.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(offered[i].kind, TpcScaleKind::sckRad);
        EXPECT_EQ(offered[i].text, texts[i]);
        EXPECT_EQ(offered[i].x, 150 + 120 + 6) << "6 pixels right of the axis at 1.2 R";
    }
    EXPECT_EQ(offered[9].y, 30) << "top RangeHigh label anchored on the circle";
    EXPECT_EQ(offered[10].y, 230);
    // The axis with its eleven ticks pointing away from the chart.
    for (int y = 30; y <= 230; ++y)
        ASSERT_EQ(g.at(270, y), 0x00AA00u) << y;
    for (int j = -5; j <= 5; ++j)
        EXPECT_EQ(g.at(273, 130 - j * 20), 0x00AA00u) << j;
    EXPECT_EQ(g.at(273, 140), clWhite);
}

TEST(GridScales, LeftAxisAndCentredLabelsInside)
{
    GridChart g;
    g.chart.SetLabelModeRadial(TpcRadLabelMode::rlmVertLeft);
    g.chart.SetLabelModeAngular(TpcAngLabelMode::almNone);
    auto offered = g.paint();
    EXPECT_EQ(offered[0].x, 150 - 120 - 6);
    for (int j = -5; j <= 5; ++j)
        EXPECT_EQ(g.at(27, 130 - j * 20), 0x00AA00u) << "tick pointing left " << j;

    // Centred labels with angle labels on: the RangeHigh labels move inside the circle.
    g.chart.SetLabelModeRadial(TpcRadLabelMode::rlmVertCenter);
    g.chart.SetLabelModeAngular(TpcAngLabelMode::almDegrees);
    g.chart.SetGridStyleRadial(TpcGridStyleRad::gsRadNone);
    g.chart.SetGridStyleAngular(TpcGridStyleAng::gsAngNone);
    g.chart.Font().SetColor(clBlack);
    g.chart.SetScaleColor(clBlack);
    offered = g.paint();
    ASSERT_EQ(offered.size(), 12u + 11u);
    // The top label is drawn at cy - R + 1: nothing of it above the circle's top row.
    for (int x = 130; x < 170; ++x)
        EXPECT_EQ(g.at(x, 29), clWhite) << "no label pixel above the circle at x " << x;
}

TEST(GridScales, HandlerChangesAndSuppressesLabels)
{
    GridChart g;
    g.chart.SetLabelModeRadial(TpcRadLabelMode::rlmVertRight);
    g.chart.SetLabelModeAngular(TpcAngLabelMode::almDegrees);
    g.chart.SetGridStyleRadial(TpcGridStyleRad::gsRadNone);
    g.chart.SetGridStyleAngular(TpcGridStyleAng::gsAngNone);
    g.chart.SetScaleColor(clBlack);
    int calls = 0;
    g.chart.OnBeforeDrawScaleLabel
        = [&](TObject*, TCanvas&, TpcScaleKind kind, std::string& text, int, int) {
              ++calls;
              if (kind == TpcScaleKind::sckRad)
                  text.clear();
              else
                  text += " deg";
          };
    g.chart.Redraw();
    EXPECT_EQ(calls, 12 + 11) << "the event is called for suppressed labels too";
    EXPECT_GT(TpcChartSeams::ChartBitmap(g.chart).Canvas().TextWidth("0 deg"),
        TpcChartSeams::ChartBitmap(g.chart).Canvas().TextWidth("0"));
    // Without the angle labels in the way: no radial label pixels right of the axis, which stays.
    g.chart.SetLabelModeAngular(TpcAngLabelMode::almNone);
    g.chart.Redraw();
    EXPECT_EQ(calls, 12 + 11 + 11);
    for (int y = 0; y < 260; ++y)
        for (int x = 276; x < 300; ++x)
            ASSERT_EQ(g.at(x, y), clWhite) << x << "," << y;
    EXPECT_EQ(g.at(270, 130), 0x00AA00u);
}

TEST(GridScales, RaysCirclesAndRotation)
{
    GridChart g;
    g.chart.SetLabelModeRadial(TpcRadLabelMode::rlmNone);
    g.chart.SetLabelModeAngular(TpcAngLabelMode::almNone);
    g.chart.SetGridStyleAngular(TpcGridStyleAng::gsAngSolid);
    g.chart.SetGridStyleRadial(TpcGridStyleRad::gsRadBothMixed);
    g.chart.SetAngleBtwRays(90);
    g.chart.SetAngleOffset(0);
    g.chart.Redraw();
    // Four solid rays along the axes, a solid outer circle, dotted inner circles.
    for (int d = 1; d < 100; ++d) {
        ASSERT_EQ(g.at(150 + d, 130), 0x00AA00u) << d;
        ASSERT_EQ(g.at(150, 130 + d), 0x00AA00u) << d;
    }
    int outer = 0, inner = 0;
    for (int x = 50; x <= 250; ++x) {
        outer += g.at(x, 30) == 0x00AA00u || g.at(x, 31) == 0x00AA00u;
        inner += g.at(x, 130 - 80) == 0x00AA00u;
    }
    EXPECT_GT(outer, 20);
    EXPECT_GT(inner, 5);
    // 360 degrees between rays: one ray at the offset angle; clockwise 45 points down-right,
    // counter-clockwise up-right.
    g.chart.SetGridStyleRadial(TpcGridStyleRad::gsRadNone);
    g.chart.SetAngleBtwRays(360);
    g.chart.SetAngleOffset(45);
    g.chart.Redraw();
    EXPECT_EQ(g.at(150 + 50, 130 + 50), 0x00AA00u);
    EXPECT_EQ(g.at(150 + 50, 130 - 50), clWhite);
    g.chart.SetRotationDir(TpcRotationDir::rdCounterCW);
    g.chart.Redraw();
    EXPECT_EQ(g.at(150 + 50, 130 - 50), 0x00AA00u);
    EXPECT_EQ(g.at(150 - 50, 130 + 50), clWhite);
}
