// The paint pipeline: gates, layers and their order, the shadow geometry, the outline, at most one
// copy to the control, OnDataRendered, and robustness for any size and any data.
#include "ZNQ_polchart.h"
#include "chart/polchart_seams.h"
#include "znq_canvas_seams.h"

#include <QApplication>
#include <QMetaProperty>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <limits>
#include <random>
#include <stdexcept>
#include <string_view>
#include <utility>

using namespace znq;

namespace {

constexpr TColor chartColor = 0xF4FCFF, shadowColor = 0x404040, shadowBack = 0x00C000;

// A shown chart without grid, labels or data: a blank picture to check layers on.
struct BlankChart {
    TPolChart chart;
    explicit BlankChart(int width = 120, int height = 100, int shadow = 0)
    {
        chart.SetAutoRedraw(false);
        chart.SetBounds(0, 0, width, height);
        chart.SetChartColor(chartColor);
        chart.SetShadowColor(shadowColor);
        chart.SetShadowBakColor(shadowBack);
        chart.SetShadowWidth(shadow);
        chart.SetGridStyleAngular(TpcGridStyleAng::gsAngNone);
        chart.SetGridStyleRadial(TpcGridStyleRad::gsRadNone);
        chart.SetLabelModeAngular(TpcAngLabelMode::almNone);
        chart.SetLabelModeRadial(TpcRadLabelMode::rlmNone);
        chart.show();
        chart.SetAutoRedraw(true);
        chart.Redraw();
    }
    TColor at(int x, int y) { return chart.Canvas().Pixel(x, y); }
};

} // namespace

TEST(PaintGates, HiddenLoadingOrSuspendedChangesNothing)
{
    BlankChart blank;
    blank.chart.Redraw();
    const QImage before = blank.chart.BackingImage().copy();
    const int paints = TpcChartSeams::PaintCount(blank.chart);
    blank.chart.SetPaintingSuspended(true);
    blank.chart.SetChartColor(clRed);
    EXPECT_EQ(blank.chart.BackingImage(), before);
    blank.chart.SetPaintingSuspended(false);
    EXPECT_EQ(TpcChartSeams::PaintCount(blank.chart), paints + 1) << "resuming paints in full";
    EXPECT_EQ(blank.at(5, 5), clRed);

    blank.chart.SetVisible(false);
    const QImage red = blank.chart.BackingImage().copy();
    blank.chart.SetChartColor(clBlue);
    EXPECT_EQ(blank.chart.BackingImage(), red);
}

// A paint without crosshairs copies no picture: the control shows the frame's own pixels, and
// drawing on its canvas never reaches the frame. With crosshairs, one copy of the frame per paint;
// the crosshairs are on the control's picture only. Pictures of the control or of the chart image
// that a caller holds stay as they were through later paints.
TEST(PaintPipeline, AtMostOneCopyToTheControlPerPaintAndHeldPicturesStay)
{
    BlankChart blank;
    TCanvas& control = blank.chart.Canvas();
    const int draws = TCanvasSeams::DrawCount(control);
    blank.chart.Redraw();
    EXPECT_EQ(TCanvasSeams::DrawCount(control), draws);
    EXPECT_EQ(blank.chart.BackingImage(), blank.chart.FrameImage());

    const QImage shown = blank.chart.BackingImage(), shownPixels = shown.copy();
    blank.chart.SetChartColor(clYellow);
    EXPECT_EQ(shown, shownPixels);
    const QImage chart = blank.chart.ChartBitmap().Image(), chartPixels = chart.copy();
    for (const TColor color : { clAqua, clLime })
        blank.chart.SetChartColor(color);
    EXPECT_EQ(chart, chartPixels);
    EXPECT_EQ(blank.at(5, 5), clLime);
    control.Brush().SetColor(clRed);
    control.FillRect(Rect(0, 0, 10, 10));
    EXPECT_EQ(blank.at(5, 5), clRed);
    EXPECT_EQ(RGBToColor(blank.chart.FrameImage().pixel(5, 5)), clLime);
    blank.chart.SetChartColor(chartColor);

    const int crossDraws = TCanvasSeams::DrawCount(control);
    blank.chart.SetAutoRedraw(false);
    blank.chart.CrossHair3()->SetColor(clRed);
    blank.chart.SetAutoRedraw(true);
    blank.chart.CrossHair3()->SetMode(TpcCrossHMode::chOrtho);
    EXPECT_EQ(TCanvasSeams::DrawCount(control), crossDraws + 1);
    const TPoint p = blank.chart.PolarToPixel(0, 0);
    EXPECT_EQ(blank.at(p.x, 10), clRed);
    EXPECT_EQ(RGBToColor(blank.chart.FrameImage().pixel(p.x, 10)), chartColor);
    EXPECT_NE(control.Pen().Color(), clRed) << "the control canvas's pen is left as it was";
    blank.chart.Redraw();
    EXPECT_EQ(TCanvasSeams::DrawCount(control), crossDraws + 2);
}

TEST(PaintPipeline, BitmapSizesFollowTheShadow)
{
    for (int shadow : { 0, 1, 10 }) {
        SCOPED_TRACE(shadow);
        BlankChart blank(120, 100, shadow);
        blank.chart.Redraw();
        EXPECT_EQ(blank.chart.FrameImage().size(), QSize(120, 100));
        EXPECT_EQ(blank.chart.ChartBitmap().Width(), 120 - shadow + 1);
        EXPECT_EQ(blank.chart.ChartBitmap().Height(), 100 - shadow + 1);
    }
}

TEST(PaintShadow, NoShadowAndNoOutlineAtWidthZero)
{
    BlankChart blank(120, 100, 0);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(blank.at(x, y), chartColor) << x << "," << y;
}

TEST(PaintShadow, WidthOneIsOnlyTheOutline)
{
    BlankChart blank(120, 100, 1);
    for (int y = 0; y < 100; ++y) {
        EXPECT_EQ(blank.at(119, y), clBlack) << "last column, row " << y;
        EXPECT_EQ(blank.at(0, y), clBlack);
    }
    for (int x = 0; x < 120; ++x) {
        EXPECT_EQ(blank.at(x, 99), clBlack) << "last row, column " << x;
        EXPECT_EQ(blank.at(x, 0), clBlack);
    }
    EXPECT_EQ(blank.at(60, 50), chartColor);
}

TEST(PaintShadow, FlyingBandWithBackgroundCorners)
{
    const int w = 120, h = 100, sw = 10;
    BlankChart blank(w, h, sw);
    // Inside: the chart image, framed by the outline on column and row W - SW, H - SW.
    EXPECT_EQ(blank.at(50, 50), chartColor);
    EXPECT_EQ(blank.at(w - sw, 50), clBlack);
    EXPECT_EQ(blank.at(50, h - sw), clBlack);
    EXPECT_EQ(blank.at(0, 50), clBlack);
    // The band: SW - 1 pixels of shadow right of and below the outline, starting SW pixels from
    // the ends.
    for (int x = w - sw + 1; x < w; ++x) {
        EXPECT_EQ(blank.at(x, 50), shadowColor) << x;
        EXPECT_EQ(blank.at(x, sw + 2), shadowColor) << x;
        EXPECT_EQ(blank.at(x, 2), shadowBack) << "top-right corner " << x;
    }
    for (int y = h - sw + 1; y < h; ++y) {
        EXPECT_EQ(blank.at(50, y), shadowColor) << y;
        EXPECT_EQ(blank.at(2, y), shadowBack) << "bottom-left corner " << y;
    }
}

TEST(PaintShadow, BoxBandReachesTheCornersWithBlackEdges)
{
    const int w = 120, h = 100, sw = 10;
    BlankChart blank(w, h, sw);
    blank.chart.SetShadowStyle(TShadowStyle::ssBox);
    // The band's outer edges are black; inside it is the shadow colour; it runs into the corners.
    EXPECT_EQ(blank.at(w - 1, 50), clBlack);
    EXPECT_EQ(blank.at(50, h - 1), clBlack);
    EXPECT_EQ(blank.at(w - 5, 50), shadowColor);
    EXPECT_EQ(blank.at(50, h - 5), shadowColor);
    // Slanted ends: the right band starts on the diagonal from (W-SW-1, 0) to (W-1, SW), the
    // bottom band on the one from (0, H-SW-1) to (SW, H-1); beyond them the corner colour stays.
    EXPECT_EQ(blank.at(w - 8, 5), shadowColor);
    EXPECT_EQ(blank.at(w - 2, 5), shadowBack);
    EXPECT_EQ(blank.at(5, h - 8), shadowColor);
    EXPECT_EQ(blank.at(2, h - 2), shadowBack);
}

// The picture is composed on the control's canvas over the last one: the shadow and the chart
// image together must cover every pixel, in both styles, at every width, down to the smallest
// sizes, so that nothing of what was there before stays.
TEST(PaintShadow, ShadowAndChartImageCoverTheWholeControl)
{
    constexpr TColor stale = 0x123456;
    for (const TShadowStyle style : { TShadowStyle::ssFlying, TShadowStyle::ssBox })
        for (const QSize size : { QSize(120, 100), QSize(31, 57), QSize(7, 9), QSize(1, 1) })
            for (int sw = 0; sw <= 40; ++sw) {
                BlankChart blank(size.width(), size.height(), sw);
                blank.chart.SetShadowStyle(style);
                blank.chart.CrossHair1()->SetMode(TpcCrossHMode::chOrtho);
                TCanvas& control = blank.chart.Canvas();
                control.Brush().SetColor(stale);
                control.FillRect(Rect(0, 0, size.width(), size.height()));
                // A crosshair move composes the picture again from the chart image of the last
                // paint.
                blank.chart.CrossHair1()->SetPosition(0, 0);
                for (int y = 0; y < size.height(); ++y)
                    for (int x = 0; x < size.width(); ++x)
                        ASSERT_NE(blank.at(x, y), stale)
                            << "style " << int(style) << " size " << size.width() << "x"
                            << size.height() << " shadow " << sw << " at " << x << "," << y;
            }
}

TEST(PaintLayers, StackInOrderWithDataRenderedBelowOutlineAndCrossHairs)
{
    BlankChart blank(120, 100, 4);
    TPolChart& chart = blank.chart;
    chart.SetAutoRedraw(false);
    chart.SetRangeLow(0);
    chart.SetRangeHigh(10);
    chart.SetGridColor(clSilver);
    chart.SetGridStyleRadial(TpcGridStyleRad::gsRadOuterSolid);
    chart.SetDataColor(clRed);
    chart.MoveTo(0, 0);
    chart.DrawTo(20, 0); // a line from the centre to the right, beyond the outer circle
    int rendered = 0;
    chart.OnDataRendered = [&](TObject* sender, TCanvas& canvas, int top, int left) {
        EXPECT_EQ(sender, &chart);
        EXPECT_EQ(top, 0);
        EXPECT_EQ(left, 0);
        ++rendered;
        // Drawn over the whole image, it must end up under the outline and the crosshairs.
        canvas.Pen().SetColor(clLime);
        canvas.MoveTo(0, 30);
        canvas.LineTo(200, 30);
        canvas.MoveTo(30, 0);
        canvas.LineTo(30, 200);
    };
    chart.Redraw();
    EXPECT_EQ(rendered, 1);
    const int cx = chart.CenterX(), cy = chart.CenterY();
    EXPECT_EQ(blank.at(cx + 5, cy), clRed) << "data over the background";
    EXPECT_EQ(blank.at(cx + chart.OuterRadius(), cy), clRed) << "data over the grid";
    EXPECT_EQ(blank.at(cx + chart.OuterRadius(), cy + 1), clSilver) << "the grid beside it";
    EXPECT_EQ(blank.at(30, 30), clLime) << "the event's drawing over the data";
    EXPECT_EQ(blank.at(0, 30), clBlack) << "outline over the event's drawing";

    chart.CrossHair1()->SetColor(clBlue);
    chart.CrossHair1()->SetPosition(0, 0);
    chart.CrossHair1()->SetMode(TpcCrossHMode::chOrtho);
    chart.Redraw();
    EXPECT_EQ(rendered, 2);
    EXPECT_EQ(blank.at(cx, 30), clBlue) << "crosshair over everything";
    EXPECT_EQ(blank.at(cx + 5, cy), clBlue);
    EXPECT_EQ(RGBToColor(chart.FrameImage().pixel(cx, 30)), clLime)
        << "the frame holds no crosshair";
}

TEST(PaintRobustness, AnySizeAnyDataAnyProperty)
{
    const unsigned seed = 99;
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    TPolChart chart;
    chart.show();
    const double odd[] = { 0, -0.0, 1e-300, 1e300, -1e300, std::numeric_limits<double>::quiet_NaN(),
        HUGE_VAL, -HUGE_VAL, 12.5, -7 };
    for (double rad : odd)
        for (double phi : odd)
            chart.DrawTo(rad, phi);
    chart.AddTextLabel(clBlue, "far\nlabel", 1e300, 1e300, 0);
    chart.AddTextLabel(clBlue, "", std::numeric_limits<double>::quiet_NaN(), 3, 0);
    chart.TextLabel(2)->SetAttachToData(false);
    chart.CrossHair1()->SetMode(TpcCrossHMode::chPolar);
    chart.CrossHair1()->SetPosition(1e300, 1e300);
    chart.CrossHair2()->SetMode(TpcCrossHMode::chOrtho);
    chart.CrossHair2()->SetLineWid(-5);
    for (int round = 0; round < 40; ++round) {
        chart.SetBounds(0, 0, int(random() % 300), int(random() % 300));
        chart.SetShadowWidth(int(random() % 40));
        chart.SetMagFactor(std::pow(10.0, double(random() % 9) - 3));
        chart.SetAngleBtwRays(double(random() % 400));
        chart.SetDecPlaceRad(int(random() % 16) - 3);
        chart.SetLabelModeAngular(static_cast<TpcAngLabelMode>(random() % 7));
        chart.SetLabelModeRadial(static_cast<TpcRadLabelMode>(random() % 4));
        chart.SetGridStyleRadial(static_cast<TpcGridStyleRad>(random() % 6));
        chart.SetShadowStyle(static_cast<TShadowStyle>(random() % 2));
        chart.SetRotationDir(static_cast<TpcRotationDir>(random() % 2));
        chart.SetRangeLow(double(int(random() % 21) - 10));
        chart.Redraw();
    }
    chart.SetBounds(0, 0, 0, 0);
    chart.Redraw();
    EXPECT_GE(TpcChartSeams::PaintCount(chart), 41);
}

// A crosshair change shows the crosshairs again over the chart image of the last paint: the
// picture is bit for bit that of a full paint, without rendering the chart image (no
// OnDataRendered, no scale labels offered), and still counts as a paint.
TEST(PaintCrossHairs, OnlyTheCrossHairLayerIsComposedAgain)
{
    std::mt19937 random(4242);
    std::cout << "seed 4242\n";
    std::uniform_real_distribution<double> unit(0, 1);
    TPolChart chart;
    chart.SetBounds(0, 0, 260, 210);
    chart.SetShadowWidth(6);
    chart.SetRangeHigh(10);
    for (int i = 0; i <= 300; ++i)
        chart.DrawTo(i / 30.0, i * 3.0);
    const int n = chart.AddTextLabel(clBlue, "label", 5, 40, 0);
    chart.TextLabel(n)->SetMode(TTxtLblMode::tlShadow);
    chart.show();
    int rendered = 0, offered = 0;
    chart.OnDataRendered = [&](TObject*, TCanvas&, int, int) { ++rendered; };
    chart.OnBeforeDrawScaleLabel
        = [&](TObject*, TCanvas&, TpcScaleKind, std::string&, int, int) { ++offered; };
    chart.Redraw();
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        TpcCrossHair& crossHair = *chart.CrossHair(1 + round % 4);
        rendered = offered = 0;
        const int paints = TpcChartSeams::PaintCount(chart);
        crossHair.SetMode(static_cast<TpcCrossHMode>(round % 3));
        crossHair.SetLineWid(1 + int(unit(random) * 6));
        crossHair.SetLineType(static_cast<TPenStyle>(int(unit(random) * 7)));
        crossHair.SetColor(static_cast<TColor>(unit(random) * 0xFFFFFF));
        crossHair.SetPosition(unit(random) * 12, unit(random) * 360);
        EXPECT_EQ(TpcChartSeams::PaintCount(chart), paints + 5);
        EXPECT_EQ(rendered, 0);
        EXPECT_EQ(offered, 0);
        const QImage composed = chart.BackingImage().copy();
        chart.Redraw();
        EXPECT_EQ(rendered, 1);
        ASSERT_EQ(chart.BackingImage(), composed);
    }

    // What changed while nothing was painted is rendered by the next crosshair change.
    chart.SetAutoRedraw(false);
    chart.SetChartColor(clYellow);
    chart.MoveTo(0, 0);
    chart.SetAutoRedraw(true);
    rendered = 0;
    chart.CrossHair1()->SetPosition(1, 1);
    EXPECT_EQ(rendered, 1);
    EXPECT_EQ(chart.Canvas().Pixel(3, 3), clYellow);
    chart.AddTextLabel(clRed, "new", 2, 2, 0);
    chart.CrossHair1()->SetPosition(2, 2);
    EXPECT_EQ(rendered, 2);
}

// The rendering's signals come right after their handlers, inside the paint; a slot that changes
// the chart there gets no paint inside the paint, but one right after it from the event loop.
TEST(PaintSignals, RenderingSignalsAndNoPaintInsideAPaint)
{
    BlankChart blank(200, 200);
    TPolChart& chart = blank.chart;
    chart.SetLabelModeRadial(TpcRadLabelMode::rlmVertRight);
    std::vector<std::string> order;
    chart.OnDataRendered = [&](TObject*, TCanvas&, int, int) { order.push_back("handler"); };
    TCanvas* rendered = nullptr;
    QObject::connect(&chart, &TCustomPolChart::dataRendered, [&](TCanvas* canvas, int, int) {
        order.push_back("signal");
        rendered = canvas;
    });
    int labels = 0;
    QObject::connect(&chart, &TCustomPolChart::scaleLabelAboutToBeDrawn,
        [&](TCanvas*, TpcScaleKind, std::string* text, int, int) {
            ++labels;
            *text = "";
        });
    chart.Redraw();
    EXPECT_EQ(order, (std::vector<std::string> { "handler", "signal" }));
    EXPECT_EQ(rendered, &TpcChartSeams::ChartBitmap(chart).Canvas());
    EXPECT_GT(labels, 0);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(blank.at(x, y), chartColor) << "an emptied label text draws nothing";

    const int paints = TpcChartSeams::PaintCount(chart);
    QObject::connect(&chart, &TCustomPolChart::dataRendered, [&] {
        if (chart.ChartColor() != clYellow)
            chart.SetChartColor(clYellow);
    });
    chart.Redraw();
    EXPECT_EQ(TpcChartSeams::PaintCount(chart), paints + 1) << "no paint inside the paint";
    QApplication::processEvents();
    EXPECT_EQ(TpcChartSeams::PaintCount(chart), paints + 2) << "the asked-for paint follows";
    EXPECT_EQ(blank.at(100, 100), clYellow);
}

// Every property that the mouse changes too notifies its changes, whoever makes them: a setter
// (once, and not for the same value), a clamp, the other range bound, and centring on a resize.
TEST(PaintSignals, ViewPropertiesNotifyTheirChanges)
{
    BlankChart blank(200, 200);
    TPolChart& chart = blank.chart;
    const QMetaObject* meta = chart.metaObject();
    for (const char* name :
        { "MagFactor", "CenterX", "CenterY", "AngleOffset", "RangeLow", "RangeHigh" }) {
        SCOPED_TRACE(name);
        const QMetaProperty property = meta->property(meta->indexOfProperty(name));
        ASSERT_TRUE(property.hasNotifySignal());
        QSignalSpy spy(&chart, property.notifySignal());
        const QVariant old = property.read(&chart);
        chart.SetAutoCenter(false);
        ASSERT_TRUE(property.write(&chart, old.toDouble() + 7));
        ASSERT_EQ(spy.count(), 1);
        EXPECT_EQ(spy[0][0], property.read(&chart));
        property.write(&chart, property.read(&chart));
        EXPECT_EQ(spy.count(), 1) << "the same value again";
    }
    QSignalSpy mag(&chart, &TCustomPolChart::magFactorChanged);
    chart.SetMagFactor(5000);
    ASSERT_EQ(mag.count(), 1);
    EXPECT_EQ(mag[0][0].toDouble(), 1000.0) << "the clamped value";
    QSignalSpy high(&chart, &TCustomPolChart::rangeHighChanged);
    chart.SetRangeLow(chart.RangeHigh());
    EXPECT_EQ(high.count(), 1) << "the high bound moved out of the way";
    QSignalSpy centerX(&chart, &TCustomPolChart::centerXChanged);
    QSignalSpy resized(&chart, &TCanvasControl::resized);
    chart.SetAutoCenter(true);
    chart.SetBounds(0, 0, 300, 200);
    EXPECT_EQ(resized.count(), 1);
    EXPECT_GE(centerX.count(), 1);
    EXPECT_EQ(centerX.last()[0].toInt(), chart.CenterX());
}

// Every published property notifies a change of its value once, after the value is stored, and
// the same value again not at all. The rows change every property from its default; AutoCenter
// goes first, so that the centre can be set.
TEST(PaintSignals, EveryPublishedPropertyNotifiesItsChanges)
{
    BlankChart blank(200, 200);
    TPolChart& chart = blank.chart;
    TpcCrossHair source;
    source.SetColor(clRed);
    const std::pair<const char*, QVariant> rows[] = { { "AutoCenter", false }, { "CenterX", 50 },
        { "CenterY", 60 }, { "AngleOffset", 10.0 }, { "RangeLow", 0.5 }, { "RangeHigh", 5.0 },
        { "MagFactor", 2.0 }, { "AllocSize", 500 }, { "AutoRedraw", false }, { "ClassDefault", 3 },
        { "DecPlaceRad", 4 }, { "DecPlacePhi", 1 }, { "GridColor", 0x123456u },
        { "GridStyleAngular", "gsAngSolid" }, { "GridStyleRadial", "gsRadOuterSolid" },
        { "DataColor", 0x654321u }, { "PenStyle", "psDash" }, { "ScaleColor", 0x111111u },
        { "FillColor", 0x222222u }, { "ChartColor", 0x333333u }, { "LineWidth", 3 },
        { "LabelModeAngular", "almRadians" }, { "LabelModeRadial", "rlmVertLeft" },
        { "CrossHair2", QVariant::fromValue(&source) }, { "AngleBtwRays", 45.0 },
        { "MouseAction", "maPan" }, { "RotationDir", "rdCounterCW" }, { "ShadowWidth", 4 },
        { "ShadowStyle", "ssBox" }, { "ShadowColor", 0x444444u }, { "ShadowBakColor", 0x555555u },
        { "TextFontStyle", "fsBold" }, { "TextBkStyle", "tbSolid" }, { "TextBkColor", 0x666666u },
        { "TextAlignment", "taLeftJustify" }, { "UseDegrees", false }, { "WheelZoom", false },
        { "ShowMeasurement", true } };
    const QMetaObject* meta = chart.metaObject();
    int published = 0;
    for (int i = meta->propertyOffset() - 6; i < meta->propertyCount(); ++i)
        published += meta->property(i).hasNotifySignal() ? 1 : 0;
    EXPECT_EQ(published, 41) << "the chart's own 6 and TPolChart's 35";
    for (const auto& [name, value] : rows) {
        SCOPED_TRACE(name);
        const QMetaProperty property = meta->property(meta->indexOfProperty(name));
        ASSERT_TRUE(property.hasNotifySignal());
        QSignalSpy spy(&chart, property.notifySignal());
        const QVariant before = property.read(&chart);
        ASSERT_TRUE(property.write(&chart, value));
        const bool object = std::string_view(name) == "CrossHair2";
        ASSERT_TRUE(object || property.read(&chart) != before) << "the row changes the value";
        EXPECT_EQ(spy.count(), 1);
        property.write(&chart, property.read(&chart));
        EXPECT_EQ(spy.count(), 1) << "the same value again";
    }
    EXPECT_EQ(chart.CrossHair2()->Color(), clRed);
}

// A change signal comes when the view is complete: its slot maps with the new scale. A slot that
// throws leaves a chart whose scale matches its magnification, and the signals still come.
TEST(PaintSignals, ChangeSignalsSeeTheCompleteView)
{
    BlankChart blank(200, 200);
    TPolChart& chart = blank.chart;
    chart.SetAutoCenter(false);
    chart.SetMagFactor(0.5);
    // The outer circle's pixel on the ray at angle 0 less the centre: the radius the scale gives.
    auto mappedRadius = [&] {
        return chart.PolarToPixel(chart.RangeHigh(), -chart.AngleOffset()).x - chart.CenterX();
    };
    std::vector<int> seen;
    auto probe = QObject::connect(&chart, &TCustomPolChart::magFactorChanged,
        [&](double) { seen.push_back(mappedRadius()); });
    QObject::connect(&chart, &TCustomPolChart::centerXChanged,
        [&](int) { seen.push_back(chart.PolarToPixel(chart.RangeLow(), 0).x); });
    chart.SetMagFactor(1);
    chart.SetCenterX(70);
    EXPECT_EQ(seen, (std::vector<int> { 100, 70 }));
    QObject::disconnect(probe);

    bool thrown = false;
    auto thrower = QObject::connect(&chart, &TCustomPolChart::magFactorChanged, [&](double) {
        if (!std::exchange(thrown, true))
            throw std::runtime_error("slot");
    });
    EXPECT_THROW(chart.SetMagFactor(2), std::runtime_error);
    EXPECT_EQ(chart.MagFactor(), 2);
    EXPECT_EQ(mappedRadius(), chart.OuterRadius());
    EXPECT_EQ(mappedRadius(), 200);
    QObject::disconnect(thrower);
    QSignalSpy mag(&chart, &TCustomPolChart::magFactorChanged);
    chart.SetMagFactor(0.25);
    EXPECT_EQ(mag.count(), 1);
    EXPECT_EQ(mappedRadius(), 25);
}

// A hook that throws in the middle of a rendering leaves the chart image to be rendered again:
// the next crosshair-only change shows the complete picture, not the half-drawn one.
TEST(PaintRobustness, AThrowingHookLeavesNoHalfDrawnPicture)
{
    BlankChart blank(200, 200);
    TPolChart& chart = blank.chart;
    chart.SetLabelModeRadial(TpcRadLabelMode::rlmVertCenter);
    chart.SetRangeHigh(10);
    for (int i = 0; i <= 90; ++i)
        chart.DrawTo(1 + i / 10.0, i * 4.0);
    bool thrown = false;
    chart.OnBeforeDrawScaleLabel = [&](TObject*, TCanvas&, TpcScaleKind, std::string&, int, int) {
        if (!std::exchange(thrown, true))
            throw std::runtime_error("hook");
    };
    EXPECT_THROW(chart.SetGridColor(clBlue), std::runtime_error);
    chart.CrossHair1()->SetMode(TpcCrossHMode::chOrtho);
    chart.CrossHair1()->SetPosition(3, 45);
    EXPECT_EQ(chart.BackingImage(), chart.ToImage(1));
}
