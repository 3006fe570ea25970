// The raster layer: the cell under each pixel over random views, no data showing the background,
// bilinear colours between cells and across the seam, the same picture from one thread and from
// several, a row's update touching only its wedge and costing only its rows, a throwing hook during
// a row's render, the sweep's fading on an injected clock that may go back, and what the layer
// refuses.
#include "ZNQ_polchart.h"
#include "chart/polchart_seams.h"
#include "layers/polchart_raster_render.h"
#include "model/polchart_colormaps.h"

#include "../mouse_events.h"
#include "plain_chart.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

using namespace znq;

namespace {

const double noValue = std::numeric_limits<double>::quiet_NaN();

// A plain chart of 200 x 180 pixels with a raster whose cells hold their row's index, in grey from
// black (row 0) to white (the last row); every odd cell along a row has no data.
struct RasterChart : testing_support::PlainChart {
    RasterChart(bool degrees, int rows, int columns, double azStart, double azStep,
        double rangeStart, double rangeStep)
        : PlainChart(200, 180, degrees)
    {
        TpcRaster& raster = *chart.Raster();
        raster.SetGrid(rows, columns, azStart, azStep, rangeStart, rangeStep);
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < columns; j += 2)
                raster.SetCell(i, j, i);
        raster.SetColorMap(TpcColorMap::cmGray);
        raster.SetValueLow(0);
        raster.SetValueHigh(std::max(rows - 1, 1));
    }
    TColor colorOf(double value) const
    {
        const TpcRaster& raster = *chart.Raster();
        return ColorMapColor(TpcColorMap::cmGray, value, raster.ValueLow(), raster.ValueHigh(),
            testing_support::PlainBackground);
    }
};

// The fractional row and cell of a pixel's polar position, by the chart's own PixelToPolar; false
// outside the grid.
bool expectedCell(const TPolChart& chart, int x, int y, double& az, double& range)
{
    const TpcRaster& raster = *chart.Raster();
    const TpcPolarPoint p = chart.PixelToPolar(x, y);
    const double turn = chart.UseDegrees() ? 360 : 2 * std::numbers::pi;
    double along = std::fmod(p.Phi - raster.AzStart(), turn);
    if (along < 0)
        along += turn;
    az = along / raster.AzStep();
    if (raster.Wraps())
        az = std::fmod(az, raster.AzCount());
    range = (p.Rad - raster.RangeStart()) / raster.RangeStep();
    return az < raster.AzCount() && range >= 0 && range < raster.RangeCount();
}

// The chart at width x height with its grid and labels, radial values 0 .. 10, shown, with a
// spiral of points segments from the centre to the outer circle.
void showWithCurve(TPolChart& c, int width, int height, int points)
{
    c.SetBounds(0, 0, width, height);
    c.SetRangeHigh(10);
    c.show();
    c.MoveTo(0, 0);
    for (int i = 1; i <= points; ++i)
        c.DrawTo(10.0 * i / points, i * 600.0 / points);
}

// A plain chart of 200 x 200 pixels whose sweep reads now and fades with persistence, over four
// rows of one cell each, a quarter turn wide, in grey from 0 (black) to 255 (white).
struct SweepChart : testing_support::PlainChart {
    SweepChart(const double& now, double persistence)
        : PlainChart(200, 200, true)
    {
        chart.Sweep()->SetClock([&now] { return now; });
        chart.Sweep()->SetPersistence(persistence);
        TpcRaster& raster = *chart.Raster();
        raster.SetGrid(4, 1, 0, 90, 0, 10);
        raster.SetColorMap(TpcColorMap::cmGray);
        raster.SetValueHigh(255);
    }
};

// Whether a fraction lies within a margin of a whole number: the pixel is on a cell's edge.
bool nearEdge(double value, double margin)
{
    return std::fabs(value - std::round(value)) < margin;
}

} // namespace

// Over random views (offset, direction, inverted range, log scale, hole, partial sector, degrees
// or radians, magnification) and grids (wrapping or not, starting anywhere), every pixel away from
// a cell's edge shows the cell under it by the chart's own polar mapping, or the background where
// there is none or its cell has no data; ValueAtPixel and the pointer's signal read the same cell.
TEST(Raster, PixelsShowTheCellUnderThem)
{
    std::mt19937 random(41);
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const bool degrees = round % 2 == 0;
        const double turn = degrees ? 360 : 2 * std::numbers::pi;
        const bool wraps = round % 3 != 1;
        const int rows = 5 + int(random() % 40);
        const bool log = round % 5 == 2;
        const double rangeStart = log ? 0.5 : uniform(-2, 1);
        const double rangeStep = log ? uniform(1, 4) : uniform(0.8, 2);
        const double azStep = wraps ? turn / rows : uniform(0.3, 0.9) * turn / rows;
        RasterChart b(degrees, rows, 4 + int(random() % 10), uniform(-1, 1) * turn, azStep,
            rangeStart, rangeStep);
        TPolChart& c = b.chart;
        c.SetAngleOffset(uniform(-0.5, 0.5) * turn);
        c.SetRotationDir(round % 4 < 2 ? TpcRotationDir::rdClockwise : TpcRotationDir::rdCounterCW);
        if (log)
            c.SetRadialRange(0.5, 40, TpcRadialScale::rsLog10);
        else if (round % 4 == 3)
            c.SetRadialRange(12, 0, TpcRadialScale::rsLinear);
        else
            c.SetRadialRange(0, 12, TpcRadialScale::rsLinear);
        if (round % 6 == 4)
            c.SetHoleFraction(0.25);
        if (round % 7 == 5) {
            c.SetSectorStart(uniform(0, turn));
            c.SetSectorSpan(uniform(0.3, 0.9) * turn);
        }
        c.SetMagFactor(uniform(0.7, 1.3));
        c.Redraw();
        ASSERT_EQ(c.Raster()->Wraps(), wraps);
        const TBitmap& image = TpcChartSeams::ChartBitmap(c);
        const TpcTransform transform = c.Transform();
        const double outer = transform.RadiusOf(c.RangeHigh());
        int checked = 0;
        for (int y = 0; y < 179; ++y)
            for (int x = 0; x < 199; ++x) {
                const double d = std::hypot(x - c.CenterX(), y - c.CenterY());
                if (d < 2 || std::fabs(d - outer) < 1.5)
                    continue;
                double az = 0, range = 0;
                const bool inGrid = expectedCell(c, x, y, az, range);
                const bool shown = inGrid && transform.InView(x, y) && d < outer;
                if (nearEdge(az, 0.02) || nearEdge(range, 0.02))
                    continue;
                const int i = int(az), j = int(range);
                const bool data = shown && j % 2 == 0;
                ASSERT_EQ(image.Canvas().Pixel(x, y),
                    data ? b.colorOf(i) : testing_support::PlainBackground)
                    << x << ", " << y << " cell " << az << ", " << range;
                const double value = c.Raster()->ValueAtPixel(x, y);
                if (data) {
                    ASSERT_EQ(value, i) << x << ", " << y;
                } else {
                    ASSERT_TRUE(std::isnan(value)) << x << ", " << y;
                }
                checked += data;
            }
        EXPECT_GT(checked, 50) << "cells were seen";

        // The map's rows of pixels, at the image's scale and enlarged, find what the pixel by
        // pixel mapping finds, to the bit.
        const TpcRasterMapping mapping(transform, *c.Raster());
        for (const double scale : { 1.0, 2.0 }) {
            const int width = int(199 * scale);
            std::vector<double> az(size_t(width), 0), range(size_t(width), 0);
            std::vector<uint8_t> found(size_t(width), 0);
            for (int row = 0; row < int(179 * scale); row += 3) {
                const double y = (row + 0.5) / scale - 0.5;
                mapping.AtRow(y, 0, width, scale, az.data(), range.data(), found.data());
                for (int x = 0; x < width; ++x) {
                    double a = 0, r = 0;
                    const bool at = mapping.At((x + 0.5) / scale - 0.5, y, a, r);
                    ASSERT_EQ(found[size_t(x)] != 0, at) << x << ", " << row << " at " << scale;
                    if (at) {
                        ASSERT_TRUE(az[size_t(x)] == a && range[size_t(x)] == r)
                            << x << ", " << row << " at " << scale;
                    }
                }
            }
        }
    }

    RasterChart b(true, 36, 4, 0, 10, 0, 3);
    QSignalSpy values(&b.chart, &TCustomPolChart::rasterValueHovered);
    const TPoint onCell = b.chart.PolarToPixel(1.5, 95);
    testing_support::SendMouse(b.chart, QEvent::MouseMove, QPoint(onCell.x, onCell.y));
    testing_support::SendMouse(b.chart, QEvent::MouseMove, QPoint(1, 1));
    ASSERT_EQ(values.count(), 2);
    EXPECT_EQ(values[0][0].toDouble(), 9);
    EXPECT_TRUE(std::isnan(values[1][0].toDouble()));
}

// Bilinear colours: halfway between two cells' centres the mean of their values, across the seam
// too (between the last row and the first); at a cell's centre its own value; next to a cell
// without data the nearest cell's value. SVG gets the layer as an embedded image.
TEST(Raster, BilinearBlendsNeighboursAndAcrossTheSeam)
{
    testing_support::PlainChart b(200, 200, true);
    TPolChart& c = b.chart;
    TpcRaster& raster = *c.Raster();
    raster.SetGrid(4, 2, 0, 90, 0, 5);
    const float rows[4][2] = { { 0, 0 }, { 60, 60 }, { 120, 120 }, { 240, NAN } };
    for (int i = 0; i < 4; ++i)
        raster.SetRow(i, rows[i], 2);
    raster.SetColorMap(TpcColorMap::cmGray);
    raster.SetValueHigh(255);
    raster.SetInterpolation(TpcRasterInterp::riBilinear);
    c.Redraw();
    auto colorAt = [&](double rad, double phi) {
        const TPoint p = c.PolarToPixel(rad, phi);
        return c.Canvas().Pixel(p.x, p.y);
    };
    auto gray
        = [](double value) { return ColorMapColor(TpcColorMap::cmGray, value, 0, 255, clBlack); };
    EXPECT_EQ(colorAt(2.5, 45), gray(0)) << "a cell's centre";
    EXPECT_EQ(colorAt(2.5, 90), gray(30)) << "between rows 0 and 1";
    EXPECT_EQ(colorAt(2.5, 180), gray(90)) << "between rows 1 and 2";
    EXPECT_EQ(colorAt(2.5, 0), gray(120)) << "across the seam, between rows 3 and 0";
    EXPECT_EQ(colorAt(2.5, 315), gray(240)) << "row 3's centre";
    EXPECT_EQ(colorAt(4.9, 315), gray(240)) << "a neighbour without data: the nearest cell's value";
    // SVG embeds the layer as an image under the vector drawing.
    const std::string path = ::testing::TempDir() + "raster.svg";
    c.SaveImage(path);
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains("<image"));
}

// The layer's picture, rendered by one thread or by several, nearest or bilinear, at two scales,
// is the same to the bit.
TEST(Raster, OneThreadAndSeveralGiveTheSamePicture)
{
    testing_support::PlainChart b(300, 260, true);
    TPolChart& c = b.chart;
    TpcRaster& raster = *c.Raster();
    raster.SetGrid(360, 512, 0, 1, 0, 10.0 / 512);
    std::mt19937 random(3);
    std::vector<float> row(512);
    for (int i = 0; i < 360; ++i) {
        for (float& v : row)
            v = std::uniform_real_distribution<float>(0, 1)(random);
        row[size_t(i)] = NAN;
        raster.SetRow(i, row.data(), 512);
    }
    for (const TpcRasterInterp interpolation :
        { TpcRasterInterp::riNearest, TpcRasterInterp::riBilinear })
        for (const double scale : { 1.0, 1.5 }) {
            raster.SetInterpolation(interpolation);
            raster.SetThreads(1);
            const QImage one = c.ToImage(scale);
            raster.SetThreads(0);
            const QImage all = c.ToImage(scale);
            raster.SetThreads(3);
            const QImage three = c.ToImage(scale);
            EXPECT_TRUE(one == all && one == three) << "scale " << scale;
        }
}

// Writing a row colours only that row's pixels again, and the picture changes only inside its
// wedge; writing the same values changes nothing; hiding the layer shows the background.
TEST(Raster, ARowUpdateTouchesOnlyItsWedge)
{
    RasterChart b(true, 72, 20, 0, 5, 0, 0.5);
    TPolChart& c = b.chart;
    c.Redraw();
    const QImage before = TpcChartSeams::ChartBitmap(c).Image().copy();
    std::vector<float> values(20, 50);
    c.Raster()->SetRow(10, values.data(), 20);
    c.Redraw();
    const QImage after = TpcChartSeams::ChartBitmap(c).Image().copy();
    EXPECT_LT(TpcChartSeams::RasterRender(c).LastColoured(), 400) << "one row's pixels";
    int changed = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) {
                ++changed;
                ASSERT_EQ(int(c.Raster()->ValueAtPixel(x, y)), 50) << x << ", " << y;
            }
    EXPECT_GT(changed, 100);
    c.Raster()->SetVisible(false);
    c.Redraw();
    EXPECT_EQ(c.Canvas().Pixel(c.PolarToPixel(5, 52).x, c.PolarToPixel(5, 52).y),
        testing_support::PlainBackground);
}

// With AutoRedraw, writing a few rows renders the chart image again only where their pixels lie,
// and the picture is exactly that of a whole render: over a chart with a grid and labels, a curve,
// wedges, a text label, the legend and a crosshair (or none), nearest and bilinear. A picture of
// the control that a caller holds meanwhile stays as it was.
TEST(Raster, WrittenRowsRepaintTheirPartAsAWholeRenderWould)
{
    using Case = std::pair<TpcRasterInterp, bool>;
    for (const auto& [interpolation, crossHair] :
        { Case { TpcRasterInterp::riNearest, true }, Case { TpcRasterInterp::riBilinear, true },
            Case { TpcRasterInterp::riNearest, false } }) {
        TPolChart c;
        showWithCurve(c, 260, 240, 200);
        c.AddTextLabel(clBlue, "label", 6, 120, 0);
        c.Bars()->AddStack(200, 30, { 2, 3 }, { 1, 2 });
        c.ClassStyle(1)->SetName("one");
        c.Legend()->SetVisible(true);
        if (crossHair)
            c.CrossHair1()->SetMode(TpcCrossHMode::chOrtho);
        c.CrossHair1()->SetPosition(4, 30);
        TpcRaster& raster = *c.Raster();
        raster.SetGrid(90, 40, 0, 4, 0, 0.25);
        raster.SetInterpolation(interpolation);
        raster.Fill(0.5);
        c.Redraw();
        std::mt19937 random(7);
        std::vector<float> row(40);
        for (int step = 0; step < 12; ++step) {
            for (float& value : row)
                value = std::uniform_real_distribution<float>(0, 1)(random);
            const int before = TpcChartSeams::PaintCount(c);
            const QImage held = step == 0 ? c.BackingImage() : QImage();
            const QImage heldPixels = held.copy();
            raster.SetRow(int(random() % 90), row.data(), 40);
            ASSERT_EQ(TpcChartSeams::PaintCount(c), before + 1);
            EXPECT_LT(TpcChartSeams::RasterRender(c).LastColoured(), 2000) << "a few rows coloured";
            EXPECT_TRUE(held == heldPixels);
        }
        const QImage parts = c.Canvas().Image().copy();
        c.Redraw();
        EXPECT_TRUE(parts == c.Canvas().Image()) << "the same as a whole render";
    }
}

// With Persistence, a row written at t shows at t + a with alpha exp(-a / Persistence) over the
// background; rows fade out for good after Persistence * ln(510); the sweep line is drawn at
// its angle; the chart redraws itself while anything fades, and only then.
TEST(Sweep, RowsFadeWithTheirAgeOnTheInjectedClock)
{
    double now = 100;
    SweepChart b(now, 2);
    TPolChart& c = b.chart;
    TpcRaster& raster = *c.Raster();
    EXPECT_FALSE(c.Sweep()->Fading()) << "nothing written";
    raster.SetCell(0, 0, 255);
    const TPoint p = c.PolarToPixel(5, 45);
    for (const double age : { 0.0, 0.5, 3.0, 12.0 }) {
        now = 100 + age;
        c.Redraw();
        const uint32_t alpha = uint32_t(std::lround(255 * std::exp(-age / 2)));
        const uint32_t back = testing_support::PlainBackground & 0xFF;
        const uint32_t channel = (255 * alpha + back * (255 - alpha) + 127) / 255;
        EXPECT_EQ(c.Canvas().Pixel(p.x, p.y) & 0xFF, channel) << "age " << age;
        EXPECT_EQ(c.Sweep()->Fading(), age < 2 * std::log(510.0)) << "age " << age;
    }
    c.Sweep()->SetShowSweepLine(true);
    c.Sweep()->SetSweepAngle(200);
    c.Redraw();
    const TPoint line = c.PolarToPixel(5, 200);
    EXPECT_EQ(c.Canvas().Pixel(line.x, line.y), clLime);

    // While a row fades the chart redraws itself, at most 60 times a second; once every row has
    // faded it stops. The clock runs meanwhile: a clock that stands changes nothing to show.
    QElapsedTimer running;
    running.start();
    c.Sweep()->SetClock([&now, &running] { return now + running.elapsed() / 1000.0; });
    c.SetAutoRedraw(true);
    now = 300;
    raster.SetCell(1, 0, 100);
    int paints = TpcChartSeams::PaintCount(c);
    QElapsedTimer waited;
    waited.start();
    QTest::qWait(200);
    const int fading = TpcChartSeams::PaintCount(c) - paints;
    EXPECT_GE(fading, 1);
    EXPECT_LE(fading, waited.elapsed() / 17 + 2) << "at most one redraw in 17 ms";
    now = 400;
    // The next tick finds every row faded out: it stops the ticks, after a last frame.
    QSignalSpy lastFrame(c.Sweep(), &TpcSweep::frame);
    ASSERT_TRUE(lastFrame.wait(5000));
    paints = TpcChartSeams::PaintCount(c);
    QTest::qWait(100);
    EXPECT_EQ(TpcChartSeams::PaintCount(c), paints) << "nothing fades any more";
}

// A clock that goes back (a replay rewound) revives no faded row: the time stands while the clock
// goes back and runs on as the clock runs on from there, so a row written then fades as any other.
// While the time stands the fading redraws nothing, and the ticks stop.
TEST(Sweep, ARewoundClockRevivesNoRowAndAStandingOneStopsTheTicks)
{
    double now = 100;
    SweepChart b(now, 1);
    TPolChart& c = b.chart;
    TpcRaster& raster = *c.Raster();
    raster.SetCell(0, 0, 255);
    const TPoint first = c.PolarToPixel(5, 45), second = c.PolarToPixel(5, 135);
    const uint32_t back = testing_support::PlainBackground;
    now = 130;
    c.Redraw();
    ASSERT_EQ(c.Canvas().Pixel(first.x, first.y), back) << "faded out";
    for (const double rewound : { 100.0, 50.0 }) {
        now = rewound;
        c.Redraw();
        EXPECT_EQ(c.Canvas().Pixel(first.x, first.y), back) << "rewound to " << rewound;
        EXPECT_EQ(c.Sweep()->Now(), 130) << "the time stands";
    }
    raster.SetCell(1, 0, 255);
    c.Redraw();
    EXPECT_EQ(c.Canvas().Pixel(second.x, second.y), clWhite) << "written now: bright";
    now = 51;
    c.Redraw();
    const uint32_t alpha = uint32_t(std::lround(255 * std::exp(-1.0)));
    EXPECT_EQ(c.Canvas().Pixel(second.x, second.y) & 0xFF,
        (255 * alpha + (back & 0xFF) * (255 - alpha) + 127) / 255)
        << "a second later by the clock: a second older";
    EXPECT_EQ(c.Canvas().Pixel(first.x, first.y), back);

    c.SetAutoRedraw(true);
    raster.SetCell(2, 0, 255);
    QSignalSpy frames(c.Sweep(), &TpcSweep::frame);
    QTest::qWait(150);
    EXPECT_EQ(frames.count(), 0) << "the clock stands: nothing to redraw";
    now = 52;
    raster.SetCell(3, 0, 255);
    now = 40;
    QTest::qWait(150);
    EXPECT_EQ(frames.count(), 0) << "the clock went back: nothing to redraw";
}

// Writing a row reads the state of that row alone (and its neighbours for bilinear colours),
// however many rows the grid has, in the row's render and in the paint after it; a log of writes
// longer than it keeps colours the whole layer, with the picture of a whole render.
TEST(Raster, ARowWriteCostsItsOwnRows)
{
    for (const int rows : { 360, 3600, 1'000'000 }) {
        testing_support::PlainChart b(160, 160, true);
        TPolChart& c = b.chart;
        c.SetAutoRedraw(true);
        TpcRaster& raster = *c.Raster();
        raster.SetGrid(rows, 2, 0, 360.0 / rows, 0, 5);
        raster.Fill(0.25);
        c.Redraw();
        const TpcRasterRender& render = TpcChartSeams::RasterRender(c);
        for (const TpcRasterInterp interpolation :
            { TpcRasterInterp::riNearest, TpcRasterInterp::riBilinear }) {
            raster.SetInterpolation(interpolation);
            const float values[2] = { 0.75f, 0.5f };
            const int reach = interpolation == TpcRasterInterp::riNearest ? 1 : 3;
            for (const int az : { 0, rows / 3, rows - 1 }) {
                // Rendered in place, or left to the next paint when the row covers no pixel.
                raster.SetRow(az, values, 2);
                EXPECT_LE(render.LastVisited(), reach) << rows << " rows, row " << az;
                c.Redraw();
                EXPECT_LE(render.LastVisited(), reach) << rows << " rows, row " << az;
            }
        }
        c.SetAutoRedraw(false);
        std::mt19937 random(5);
        for (int i = 0; i < 300; ++i) {
            const float values[2] = { float(random() % 100) / 100, float(random() % 100) / 100 };
            raster.SetRow(int(random() % unsigned(rows)), values, 2);
        }
        c.Redraw();
        const QImage rowByRow = c.Canvas().Image().copy();
        // Another opacity and back: the whole layer coloured again.
        raster.SetOpacity(0.5);
        c.Redraw();
        raster.SetOpacity(1);
        c.Redraw();
        EXPECT_TRUE(rowByRow == c.Canvas().Image()) << rows << " rows";
    }
}

// A hook that throws while written rows are rendered in place leaves the control to a whole paint
// at its next paint event: the picture shown is then the whole one.
TEST(Raster, AThrowDuringARowRenderLeavesAWholePictureAfterThePaint)
{
    for (const bool labelHook : { false, true }) {
        TPolChart c;
        showWithCurve(c, 200, 180, 100);
        TpcRaster& raster = *c.Raster();
        raster.SetGrid(36, 10, 0, 10, 0, 1);
        raster.Fill(0.5);
        c.Redraw();
        bool armed = false;
        const auto throwOnce = [&armed] {
            if (std::exchange(armed, false))
                throw std::runtime_error("hook");
        };
        if (labelHook)
            c.OnBeforeDrawScaleLabel
                = [&](TObject*, TCanvas&, TpcScaleKind, std::string&, int, int) { throwOnce(); };
        else
            c.OnDataRendered = [&](TObject*, TCanvas&, int, int) { throwOnce(); };
        const std::vector<float> row(10, 0.9f);
        armed = true;
        EXPECT_THROW(raster.SetRow(4, row.data(), 10), std::runtime_error);
        ASSERT_FALSE(armed) << "the in-place render ran the hook";
        QApplication::processEvents();
        EXPECT_TRUE(c.BackingImage() == c.ToImage(1)) << (labelHook ? "labels" : "data");
    }
}

// Refusals change nothing: counts, sizes, steps, rows, cells, values and the sweep's properties.
TEST(Raster, RefusesWhatItCannotHold)
{
    testing_support::PlainChart b(100, 100, true);
    TpcRaster& raster = *b.chart.Raster();
    raster.SetGrid(3, 4, 0, 120, 0, 1);
    raster.SetCell(1, 2, 7);
    const float values[5] = { 1, 2, 3, 4, 5 };
    EXPECT_THROW(raster.SetGrid(-1, 4, 0, 1, 0, 1), EZNQPolChartError);
    EXPECT_THROW(raster.SetGrid(100000, 1001, 0, 1, 0, 1), EZNQPolChartError) << "over 10^8";
    EXPECT_THROW(raster.SetGrid(1000001, 1, 0, 1, 0, 1), EZNQPolChartError) << "over 10^6 rows";
    EXPECT_THROW(raster.SetGrid(3, 4, noValue, 1, 0, 1), EZNQPolChartError);
    EXPECT_THROW(raster.SetGrid(3, 4, 0, 0, 0, 1), EZNQPolChartError);
    EXPECT_THROW(raster.SetGrid(3, 4, 0, 1, 0, -1), EZNQPolChartError);
    EXPECT_THROW(raster.SetGrid(3, 4, 0, 1, 0, HUGE_VAL), EZNQPolChartError);
    EXPECT_THROW(raster.SetRow(3, values, 4), EZNQPolChartError);
    EXPECT_THROW(raster.SetRow(0, values, 5), EZNQPolChartError);
    EXPECT_THROW(raster.SetRow(0, nullptr, 2), EZNQPolChartError);
    EXPECT_THROW(raster.SetCell(0, 4, 1), EZNQPolChartError);
    EXPECT_THROW(raster.Cell(-1, 0), EZNQPolChartError);
    EXPECT_THROW(raster.SetOpacity(1.5), EZNQPolChartError);
    EXPECT_THROW(raster.SetValueLow(noValue), EZNQPolChartError);
    EXPECT_THROW(raster.SetThreads(-1), EZNQPolChartError);
    EXPECT_THROW(b.chart.Sweep()->SetPersistence(-1), EZNQPolChartError);
    EXPECT_THROW(b.chart.Sweep()->SetSweepAngle(HUGE_VAL), EZNQPolChartError);
    EXPECT_EQ(raster.AzCount(), 3);
    EXPECT_EQ(raster.RangeCount(), 4);
    EXPECT_EQ(raster.AzStep(), 120);
    EXPECT_EQ(raster.Cell(1, 2), 7);
    EXPECT_TRUE(std::isnan(raster.Cell(0, 0)));
    raster.SetRow(0, values, 2);
    EXPECT_EQ(raster.Cell(0, 1), 2);
    EXPECT_TRUE(std::isnan(raster.Cell(0, 2))) << "the rest of the row keeps its values";
    raster.Fill(1e300);
    EXPECT_EQ(raster.Cell(2, 3), HUGE_VAL) << "beyond single precision: infinity";
    raster.SetGrid(0, 0, 0, 1, 0, 1);
    EXPECT_TRUE(std::isnan(raster.ValueAtPixel(50, 50))) << "no cells";
}
