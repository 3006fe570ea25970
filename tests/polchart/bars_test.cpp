// Wedges: their pixels against the containment of pixel centres over random views and wedges,
// stacks with mixed signs and gaps, the wedge under a pixel against a scan of all of them, the
// hover signal (also after the wedges change), the wind rose's one repaint, and what the store
// refuses.
#include "ZNQ_polchart.h"
#include "chart/polchart_seams.h"
#include "view/polchart_geometry.h"

#include "../mouse_events.h"
#include "plain_chart.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <stdexcept>

using namespace znq;

namespace {

// A plain chart of 160 x 130 pixels in degrees.
struct BarsChart : testing_support::PlainChart {
    BarsChart()
        : PlainChart(160, 130, true)
    {
    }
};

// Whether the data-space containment of the pixel's polar position agrees for all of its
// neighbours: away from a wedge's boundary the pixel is surely in or out.
bool insideByPolar(const TPolChart& chart, const TpcWedge& w, int x, int y)
{
    const TpcPolarPoint p = chart.PixelToPolar(x, y);
    const double turn = chart.UseDegrees() ? 360 : 2 * std::numbers::pi;
    double low = w.RadLow, high = w.RadHigh;
    if (chart.RadialScale() == TpcRadialScale::rsLog10 && low <= 0)
        low = std::min(chart.RangeLow(), chart.RangeHigh());
    const bool radial = p.Rad >= low && p.Rad <= high;
    const double span = w.PhiEnd - w.PhiStart;
    if (span >= turn)
        return radial;
    double along = std::fmod(p.Phi - w.PhiStart, turn);
    if (along < 0)
        along += turn;
    double width = std::fmod(span, turn);
    if (width < 0)
        width += turn;
    return radial && along <= width;
}

} // namespace

// Over random views (offset, direction, inverted range, log scale, hole, partial sector, degrees
// or radians) and random wedges (across the seam, whole turns, starting at 0 on a log scale), the
// chart fills exactly the pixels whose centre lies in one of the wedge's sectors, and these agree
// with the polar position of every pixel that is not on the wedge's boundary.
TEST(Wedges, PixelsAreThoseWhoseCentreLiesInTheWedge)
{
    std::mt19937 random(5);
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        BarsChart b;
        TPolChart& c = b.chart;
        c.SetUseDegrees(round % 2 == 0);
        const double turn = c.UseDegrees() ? 360 : 2 * std::numbers::pi;
        c.SetAngleOffset(uniform(-0.5, 0.5) * turn / 2);
        c.SetRotationDir(round % 3 ? TpcRotationDir::rdClockwise : TpcRotationDir::rdCounterCW);
        const bool log = round % 5 == 1;
        if (log)
            c.SetRadialRange(0.1, 100, TpcRadialScale::rsLog10);
        else if (round % 4 == 2)
            c.SetRadialRange(10, 0, TpcRadialScale::rsLinear);
        if (round % 6 == 3)
            c.SetHoleFraction(0.3);
        if (round % 7 == 4) {
            c.SetSectorStart(uniform(0, turn));
            c.SetSectorSpan(uniform(0.2, 0.9) * turn);
        }
        c.SetMagFactor(uniform(0.6, 1.4));
        c.ClassStyle(1)->SetFillColor(clRed);
        c.ClassStyle(1)->SetFillOpacity(1);
        TpcWedge w;
        w.PhiStart = uniform(-1, 2) * turn;
        w.PhiEnd = round % 9 == 0 ? w.PhiStart + turn : uniform(-1, 2) * turn;
        w.RadLow = log ? (round % 2 ? 0 : uniform(0.1, 10)) : uniform(0, 8);
        w.RadHigh = log ? uniform(1, 100) : uniform(2, 10);
        if (w.RadLow > w.RadHigh)
            std::swap(w.RadLow, w.RadHigh);
        c.Bars()->Add(w.PhiStart, w.PhiEnd, w.RadLow, w.RadHigh, 1);
        c.Redraw();
        w.ElemClass = 1;
        TSector sectors[2];
        const int n = geometry::WedgeSectors(c.Transform(), w, sectors);
        const TBitmap& image = TpcChartSeams::ChartBitmap(c);
        const int width = image.Width() - 1, height = image.Height() - 1;
        std::vector<char> filled(size_t(width * height)), polar(size_t(width * height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                bool rule = false;
                for (int k = 0; k < n; ++k)
                    rule = rule || SectorContains(sectors[k], x, y);
                filled[size_t(y * width + x)] = image.Canvas().Pixel(x, y) == clRed;
                ASSERT_EQ(filled[size_t(y * width + x)], rule) << x << ", " << y;
                polar[size_t(y * width + x)]
                    = insideByPolar(c, w, x, y) && c.Transform().InView(x, y);
            }
        for (int y = 1; y + 1 < height; ++y)
            for (int x = 1; x + 1 < width; ++x) {
                const char p = polar[size_t(y * width + x)];
                bool boundary = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        boundary = boundary || polar[size_t((y + dy) * width + x + dx)] != p;
                if (!boundary && std::hypot(x - c.CenterX(), y - c.CenterY()) > 2) {
                    ASSERT_EQ(filled[size_t(y * width + x)], p) << "polar at " << x << ", " << y;
                }
            }
    }
}

// Stacks drawn together colour each pixel as their wedges one by one would: in the last wedge's
// colour whose sector holds its centre, over random views and stacks of both signs, with wedges
// of other angles between them; with Outline on, the outline's pixels lie on the wedges'
// boundaries (and along all of them), bands have none, and the fills inside stay.
TEST(Wedges, StacksFillAsTheirWedgesAndOutlinesFollowTheBoundaries)
{
    std::mt19937 random(12);
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    const TColor colors[] = { clRed, clBlue, clGreen, clFuchsia, clTeal };
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        BarsChart b;
        TPolChart& c = b.chart;
        TpcBars& bars = *c.Bars();
        c.SetAngleOffset(uniform(-90, 90));
        c.SetRotationDir(round % 2 ? TpcRotationDir::rdClockwise : TpcRotationDir::rdCounterCW);
        c.SetRangeLow(-4);
        if (round % 3 == 1)
            c.SetSectorSpan(uniform(100, 300));
        for (int k = 0; k < 5; ++k) {
            c.ClassStyle(uint8_t(k + 1))->SetFillColor(colors[k]);
            c.ClassStyle(uint8_t(k + 1))->SetFillOpacity(1);
        }
        for (int s = 0; s < 6; ++s) {
            std::vector<double> values;
            std::vector<uint8_t> classes;
            for (int k = 0; k < 5; ++k) {
                values.push_back(uniform(-1, 2.5));
                classes.push_back(uint8_t(1 + random() % 5));
            }
            bars.AddStack(uniform(0, 360), uniform(5, 120), values, classes);
            if (s % 2)
                bars.Add(uniform(0, 360), uniform(0, 360), uniform(-4, 3), uniform(0, 6), 3);
        }
        bars.AddBand(10, 60, clYellow, 1);
        c.Redraw();
        const TBitmap& image = TpcChartSeams::ChartBitmap(c);
        auto colorAt = [&](int x, int y) {
            TColor color = testing_support::PlainBackground;
            for (const TpcBarLayer layer :
                { TpcBarLayer::blBehindGrid, TpcBarLayer::blInFrontOfGrid })
                for (const TpcWedge& w : bars.Wedges()) {
                    TSector sectors[2];
                    const int n
                        = w.Layer == layer ? geometry::WedgeSectors(c.Transform(), w, sectors) : 0;
                    for (int k = 0; k < n; ++k)
                        if (SectorContains(sectors[k], x, y))
                            color = w.Band ? w.Color : colors[w.ElemClass - 1];
                }
            return color;
        };
        for (int y = 0; y < 129; ++y)
            for (int x = 0; x < 159; ++x)
                ASSERT_EQ(image.Canvas().Pixel(x, y), colorAt(x, y)) << x << ", " << y;
        if (round % 4 != 0)
            continue;
        // The outline: every outline pixel within a pixel and a half of a wedge's boundary, and
        // every stretch of boundary within a pixel and a half of an outline pixel.
        bars.SetOutline(true);
        c.Redraw();
        std::vector<QPointF> boundary;
        for (const TpcWedge& w : bars.Wedges()) {
            TSector sectors[2];
            const int n = w.Band ? 0 : geometry::WedgeSectors(c.Transform(), w, sectors);
            for (int k = 0; k < n; ++k) {
                const TSector& q = sectors[k];
                const double sweep = std::min(q.Sweep, 2 * std::numbers::pi);
                for (const double r : { q.Inner, q.Outer })
                    for (double t = 0; t <= sweep; t += 0.2 / std::max(r, 1.0))
                        boundary.emplace_back(q.CenterX + r * std::cos(q.Start + t),
                            q.CenterY + r * std::sin(q.Start + t));
                for (const double a : { q.Start, q.Start + sweep })
                    for (double r = q.Inner; r <= q.Outer && q.Sweep < 2 * std::numbers::pi;
                         r += 0.2)
                        boundary.emplace_back(
                            q.CenterX + r * std::cos(a), q.CenterY + r * std::sin(a));
            }
        }
        std::vector<QPoint> outline;
        for (int y = 0; y < 129; ++y)
            for (int x = 0; x < 159; ++x)
                if (image.Canvas().Pixel(x, y) == clBlack)
                    outline.emplace_back(x, y);
        ASSERT_FALSE(outline.empty());
        auto near = [](QPointF p1, QPointF p2) {
            return std::hypot(p1.x() - p2.x(), p1.y() - p2.y()) <= 1.5;
        };
        for (const QPoint& p : outline)
            ASSERT_TRUE(std::any_of(
                boundary.begin(), boundary.end(), [&](QPointF q) { return near(q, p); }))
                << p.x() << ", " << p.y();
        for (const QPointF& q : boundary)
            if (q.x() >= 1 && q.y() >= 1 && q.x() <= 157 && q.y() <= 127) {
                ASSERT_TRUE(std::any_of(
                    outline.begin(), outline.end(), [&](QPoint p) { return near(q, p); }))
                    << q.x() << ", " << q.y();
            }
    }
}

// Positive values stack outwards from 0 and negative ones inwards, each on its own base; NaN is
// skipped, the gap narrows the width, and the indices of the added wedges come back.
TEST(Wedges, StacksKeepEachSignOnItsOwnBase)
{
    BarsChart b;
    TpcBars& bars = *b.chart.Bars();
    bars.SetBarGap(0.2);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<int> added = bars.AddStack(90, 30, { 3, -2, nan, 4, -1 }, { 1, 2, 3, 4, 5 });
    ASSERT_EQ(added, (std::vector<int> { 0, 1, 2, 3 }));
    const double expected[4][3] = { { 0, 3, 1 }, { -2, 0, 2 }, { 3, 7, 4 }, { -3, -2, 5 } };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bars.Wedge(i).RadLow, expected[i][0]) << i;
        EXPECT_EQ(bars.Wedge(i).RadHigh, expected[i][1]) << i;
        EXPECT_EQ(bars.Wedge(i).ElemClass, expected[i][2]) << i;
        EXPECT_DOUBLE_EQ(bars.Wedge(i).PhiStart, 78);
        EXPECT_DOUBLE_EQ(bars.Wedge(i).PhiEnd, 102);
    }
    EXPECT_THROW(bars.AddStack(0, 10, { 1, 2 }, { 1 }), EZNQPolChartError) << "a class short";
    EXPECT_THROW(bars.Add(0, 10, 1, std::numeric_limits<double>::infinity(), 1), EZNQPolChartError);
    EXPECT_THROW(bars.Add(nan, 10, 1, 2, 1), EZNQPolChartError);
    EXPECT_THROW(bars.Wedge(4), EZNQPolChartError);
    EXPECT_THROW(bars.Remove(-1), EZNQPolChartError);
    EXPECT_THROW(bars.SetBarGap(1), EZNQPolChartError);
    EXPECT_THROW(bars.AddBand(0, 10, clRed, 1.5), EZNQPolChartError);
    EXPECT_EQ(bars.Count(), 4) << "refusals store nothing";
    EXPECT_EQ(bars.Add(10, 0, 5, 2, 1), 4);
    EXPECT_EQ(bars.Wedge(4).RadLow, 2) << "swapped";
    bars.Remove(0);
    EXPECT_EQ(bars.Wedge(0).RadLow, -2) << "the later ones move down";
    bars.Clear();
    EXPECT_EQ(bars.Count(), 0);
}

// The wedge under a pixel is the top-most one drawn there: the wedges in front of the grid over
// those behind it, later over earlier, hidden classes left out, bands whatever their class; the
// pointer's moves report each change of it.
TEST(Wedges, WedgeAtFindsTheTopMostAndTheHoverSignalFollows)
{
    BarsChart b;
    TPolChart& c = b.chart;
    TpcBars& bars = *c.Bars();
    std::mt19937 random(9);
    for (int i = 0; i < 30; ++i) {
        bars.SetLayer(i % 4 == 0 ? TpcBarLayer::blBehindGrid : TpcBarLayer::blInFrontOfGrid);
        const double a = double(random() % 360), r = double(random() % 8);
        bars.Add(a, a + 20 + double(random() % 150), r, r + 1 + double(random() % 4),
            uint8_t(random() % 3));
    }
    bars.AddBand(100, 200, clYellow, 0.5);
    c.SetClassVisible(2, false);
    for (int y = 0; y < 130; y += 3)
        for (int x = 0; x < 160; x += 3) {
            int expected = -1;
            for (const TpcBarLayer layer :
                { TpcBarLayer::blBehindGrid, TpcBarLayer::blInFrontOfGrid })
                for (int i = 0; i < bars.Count(); ++i) {
                    const TpcWedge& w = bars.Wedge(i);
                    if (w.Layer != layer || (!w.Band && !c.ClassVisible(w.ElemClass)))
                        continue;
                    TSector sectors[2];
                    const int n = geometry::WedgeSectors(c.Transform(), w, sectors);
                    for (int k = 0; k < n; ++k)
                        if (SectorContains(sectors[k], x, y))
                            expected = i;
                }
            ASSERT_EQ(bars.WedgeAt(x, y), expected) << x << ", " << y;
        }

    using testing_support::SendMouse;
    QSignalSpy hovered(&c, &TCustomPolChart::wedgeHovered);
    const int band = bars.Count() - 1;
    QPoint onBand;
    for (int y = 0; y < 130 && onBand.isNull(); ++y)
        for (int x = 0; x < 160; ++x)
            if (bars.WedgeAt(x, y) == band) {
                onBand = QPoint(x, y);
                break;
            }
    ASSERT_FALSE(onBand.isNull());
    SendMouse(c, QEvent::MouseMove, onBand);
    SendMouse(c, QEvent::MouseMove, onBand);
    SendMouse(c, QEvent::MouseMove, QPoint(1, 1));
    ASSERT_EQ(hovered.count(), 2) << "a report per change";
    EXPECT_EQ(hovered[0][0].toInt(), band);
    EXPECT_EQ(hovered[1][0].toInt(), -1);

    // After Clear or Remove an index may name another wedge: moving onto it reports it.
    for (const bool clear : { true, false }) {
        bars.Clear();
        bars.Add(0, 360, 0, 10, 0);
        SendMouse(c, QEvent::MouseMove, onBand);
        bars.Add(0, 360, 0, 10, 1);
        if (clear)
            bars.Clear();
        else
            bars.Remove(0);
        bars.Add(0, 360, 0, 10, 1);
        hovered.clear();
        SendMouse(c, QEvent::MouseMove, onBand);
        ASSERT_EQ(hovered.count(), 1) << (clear ? "after Clear" : "after Remove");
        EXPECT_EQ(hovered[0][0].toInt(), clear ? 0 : 1);
    }
}

// The measurement between two points: the turn across the seam, both signs of half a turn, the
// centre, equal points, radians; between crosshairs; and its box, drawn with the crosshairs only.
TEST(Measuring, DeltasDistanceAndBearing)
{
    const TpcMeasurement seam = MeasurePolar(5, 350, 5, 10, true);
    EXPECT_DOUBLE_EQ(seam.DeltaPhi, 20);
    EXPECT_EQ(seam.DeltaRad, 0);
    EXPECT_NEAR(seam.Distance, 10 * std::sin(10 * std::numbers::pi / 180), 1e-12);
    EXPECT_NEAR(seam.Bearing, 90, 1e-9);
    EXPECT_DOUBLE_EQ(MeasurePolar(5, 10, 5, 350, true).DeltaPhi, -20);
    EXPECT_DOUBLE_EQ(MeasurePolar(1, 0, 1, 180, true).DeltaPhi, 180);
    EXPECT_DOUBLE_EQ(MeasurePolar(1, 180, 1, 0, true).DeltaPhi, 180) << "half a turn is +180";
    const TpcMeasurement centre = MeasurePolar(0, 123, 3, 45, true);
    EXPECT_DOUBLE_EQ(centre.Distance, 3);
    EXPECT_NEAR(centre.Bearing, 45, 1e-12);
    EXPECT_DOUBLE_EQ(centre.DeltaRad, 3);
    const TpcMeasurement same = MeasurePolar(2, 30, 2, 30, true);
    EXPECT_EQ(same.Distance, 0);
    EXPECT_EQ(same.DeltaPhi, 0);
    EXPECT_TRUE(std::isnan(same.Bearing)) << "no direction between equal points";
    const TpcMeasurement turned = MeasurePolar(2, 30, 2, 390, true);
    EXPECT_NEAR(turned.Distance, 0, 1e-12);
    EXPECT_NEAR(turned.DeltaPhi, 0, 1e-12);
    const TpcMeasurement radians = MeasurePolar(1, 0, 1, std::numbers::pi / 2, false);
    EXPECT_DOUBLE_EQ(radians.DeltaPhi, std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(radians.Distance, std::sqrt(2.0));
    EXPECT_NEAR(radians.Bearing, 3 * std::numbers::pi / 4, 1e-12);

    BarsChart b;
    TPolChart& c = b.chart;
    c.SetAutoRedraw(true);
    c.SetBounds(0, 0, 400, 300);
    c.CrossHair1()->SetPosition(4, 350);
    c.CrossHair2()->SetPosition(6, 10);
    EXPECT_DOUBLE_EQ(c.MeasureBetween(1, 2).DeltaPhi, 20);
    EXPECT_DOUBLE_EQ(c.MeasureBetween(2, 1).DeltaPhi, -20);
    // On the left half, where the box has room on the right.
    c.CrossHair1()->SetPosition(4, 170);
    c.CrossHair2()->SetPosition(6, 190);
    EXPECT_DOUBLE_EQ(c.MeasureBetween(1, 2).DeltaRad, 2);
    EXPECT_THROW(c.MeasureBetween(0, 2), EZNQPolChartError);
    int renders = 0;
    c.OnDataRendered = [&](TObject*, TCanvas&, int, int) { ++renders; };
    c.CrossHair1()->SetMode(TpcCrossHMode::chPolar);
    c.CrossHair2()->SetMode(TpcCrossHMode::chPolar);
    QSignalSpy changes(&c, &TCustomPolChart::showMeasurementChanged);
    c.SetShowMeasurement(true);
    EXPECT_EQ(changes.count(), 1);
    const TPoint at = c.PolarToPixel(6, 190);
    EXPECT_EQ(c.Canvas().Pixel(at.x + 8, at.y + 8), clBlack) << "the box's corner";
    EXPECT_EQ(c.Canvas().Pixel(at.x + 9, at.y + 9), clWhite);
    c.CrossHair2()->SetPosition(6, 160);
    const TPoint moved = c.PolarToPixel(6, 160);
    EXPECT_EQ(c.Canvas().Pixel(moved.x + 8, moved.y + 8), clBlack) << "follows crosshair 2";
    EXPECT_EQ(renders, 0) << "the chart image is not rendered again";
    c.CrossHair2()->SetPosition(10, 0);
    const TPoint edge = c.PolarToPixel(10, 0);
    EXPECT_EQ(c.Canvas().Pixel(edge.x - 9, edge.y + 8), clBlack) << "left of a point near the edge";
    c.CrossHair1()->SetMode(TpcCrossHMode::chOff);
    EXPECT_NE(c.Canvas().Pixel(moved.x + 8, moved.y + 8), clBlack) << "only while both are on";
}

// The wind rose counts every valid sample once: in percent the stacks and the calm share add up
// to 100, samples without a direction or speed are dropped and counted, a direction goes to the
// sector centred nearest to it (north's sector reaching back across the seam), a speed to the
// class whose edges hold it, and the classes are named by their edges.
TEST(WindRose, CountsEverySampleOnce)
{
    BarsChart b;
    TpcBars& bars = *b.chart.Bars();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::mt19937 random(3);
    std::vector<double> directions, speeds;
    for (int i = 0; i < 2000; ++i) {
        directions.push_back(double(random() % 36000) / 100 - (i % 7 == 0 ? 360 : 0));
        speeds.push_back(double(random() % 1400) / 100);
    }
    directions[5] = nan;
    speeds[6] = nan;
    speeds[7] = std::numeric_limits<double>::infinity();
    const TpcWindRoseResult result = WindRose(bars, directions, speeds);
    EXPECT_EQ(result.Dropped, 3);
    EXPECT_EQ(result.Valid, 1997);
    int calm = 0;
    for (size_t i = 0; i < speeds.size(); ++i)
        calm += std::isfinite(directions[i]) && std::isfinite(speeds[i]) && speeds[i] < 0.5;
    EXPECT_EQ(result.Calm, calm);
    double total = result.CalmPercent;
    for (const TpcWedge& w : bars.Wedges())
        total += w.RadHigh - w.RadLow;
    EXPECT_NEAR(total, 100, 1e-9);
    EXPECT_EQ(b.chart.ClassStyle(1)->Name(), "0-2 m/s");
    EXPECT_EQ(b.chart.ClassStyle(6)->Name(), "10+ m/s");

    // Counts, and the borders of sectors and classes.
    bars.Clear();
    TpcWindRoseOptions counts;
    counts.Percent = false;
    counts.Sectors = 4;
    const TpcWindRoseResult few
        = WindRose(bars, { 350, 44.9, 45, 180, 90 }, { 2, 1.99, 10, 0.2, 25 }, counts);
    EXPECT_EQ(few.Calm, 1);
    // Sector 0 holds 350 (class 2-4) and 44.9 (class 0-2); 45 and 90 fall into sector 1, both in
    // the last class.
    ASSERT_EQ(bars.Count(), 3);
    EXPECT_DOUBLE_EQ(bars.Wedge(0).PhiStart + bars.Wedge(0).PhiEnd, 0);
    EXPECT_EQ(bars.Wedge(0).ElemClass, 1);
    EXPECT_EQ(bars.Wedge(1).ElemClass, 2);
    EXPECT_EQ(bars.Wedge(1).RadLow, 1) << "stacked on the first";
    EXPECT_DOUBLE_EQ(bars.Wedge(2).PhiStart + bars.Wedge(2).PhiEnd, 180);
    EXPECT_EQ(bars.Wedge(2).ElemClass, 6);
    EXPECT_EQ(bars.Wedge(2).RadHigh, 2);

    TpcWindRoseOptions bad;
    bad.Sectors = 0;
    EXPECT_THROW(WindRose(bars, { 1 }, { 1 }, bad), EZNQPolChartError);
    bad = {};
    bad.SpeedEdges = { 0, 4, 2 };
    EXPECT_THROW(WindRose(bars, { 1 }, { 1 }, bad), EZNQPolChartError);
    EXPECT_THROW(WindRose(bars, { 1, 2 }, { 1 }), EZNQPolChartError);
    EXPECT_EQ(bars.Count(), 3) << "refusals add nothing";

    // A rose of many sectors and classes repaints once; so does a batch of changes, and one that
    // throws leaves its repaint to the next paint event.
    b.chart.SetAutoRedraw(true);
    int paints = TpcChartSeams::PaintCount(b.chart);
    TpcWindRoseOptions many;
    many.Sectors = 72;
    WindRose(bars, directions, speeds, many);
    EXPECT_EQ(TpcChartSeams::PaintCount(b.chart) - paints, 1);
    paints = TpcChartSeams::PaintCount(b.chart);
    EXPECT_THROW(b.chart.Batch([&] {
        b.chart.Batch([&] { bars.Add(0, 10, 0, 1, 1); });
        bars.Add(10, 20, 0, 1, 1);
        throw std::runtime_error("stop");
    }),
        std::runtime_error);
    EXPECT_EQ(TpcChartSeams::PaintCount(b.chart), paints);
    QApplication::processEvents();
    EXPECT_EQ(TpcChartSeams::PaintCount(b.chart), paints + 1);
}
