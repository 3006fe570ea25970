// The chart's object model: construction defaults, setter clamps and snaps, the range guard, the
// redraw rule counted through the paint counter, loading, and properties by identifier.
#include "ZNQ_polchart.h"
#include "chart/polchart_seams.h"

#include "../enum_properties.h"
#include "../property_signals.h"

#include <QCoreApplication>
#include <QMetaProperty>
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>

using namespace znq;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// A chart whose window exists, so that it can paint.
struct ShownChart {
    TPolChart chart;
    ShownChart()
    {
        chart.show();
        EXPECT_FALSE(chart.PaintingSuspended());
    }
    int paints() const { return TpcChartSeams::PaintCount(chart); }
};

} // namespace

TEST(ChartConstruction, Defaults)
{
    TPolChart chart;
    EXPECT_EQ(chart.Width(), 240);
    EXPECT_EQ(chart.Height(), 160);
    EXPECT_EQ(chart.CenterX(), 120);
    EXPECT_EQ(chart.CenterY(), 80);
    EXPECT_EQ(chart.RangeLow(), 0.0);
    EXPECT_EQ(chart.RangeHigh(), 1.0);
    EXPECT_EQ(chart.MagFactor(), 1.0);
    EXPECT_EQ(chart.AngleBtwRays(), 30.0);
    EXPECT_EQ(chart.AngleOffset(), 0.0);
    EXPECT_TRUE(chart.UseDegrees());
    EXPECT_EQ(chart.AngleUnit(), 0.017453292519943295);
    EXPECT_EQ(chart.RotationDir(), TpcRotationDir::rdClockwise);
    EXPECT_TRUE(chart.AutoRedraw());
    EXPECT_TRUE(chart.AutoCenter());
    EXPECT_EQ(chart.MouseAction(), TMouseActMode::maNone);
    EXPECT_EQ(chart.AllocSize(), 1000);
    EXPECT_EQ(chart.ElementCount(), 0);
    EXPECT_EQ(chart.ElementCapacity(), 0);
    EXPECT_EQ(chart.GridStyleAngular(), TpcGridStyleAng::gsAngDots);
    EXPECT_EQ(chart.GridStyleRadial(), TpcGridStyleRad::gsRadBothDots);
    EXPECT_EQ(chart.LabelModeAngular(), TpcAngLabelMode::almDegrees);
    EXPECT_EQ(chart.LabelModeRadial(), TpcRadLabelMode::rlmVertCenter);
    EXPECT_EQ(chart.ShadowColor(), clGrayText);
    EXPECT_EQ(chart.ShadowBakColor(), clBtnFace);
    EXPECT_EQ(chart.FillColor(), clSilver);
    EXPECT_EQ(chart.ChartColor(), clWhite);
    EXPECT_EQ(chart.DecPlaceRad(), 2);
    EXPECT_EQ(chart.TextBkStyle(), TpcTextBkg::tbClear);
    EXPECT_EQ(chart.TextAlignment(), TAlignment::taCenter);
    for (int c = 0; c < 256; ++c)
        ASSERT_TRUE(chart.ClassVisible(uint8_t(c)));
    EXPECT_TRUE(chart.PaintingSuspended()) << "nothing paints before the window exists";
    chart.Redraw();
    chart.SetChartColor(clRed);
    EXPECT_EQ(TpcChartSeams::PaintCount(chart), 0);
}

TEST(ChartConstruction, CreateWndEndsTheSuspensionAndTheFirstPaintFollows)
{
    TPolChart chart;
    chart.show();
    EXPECT_FALSE(chart.PaintingSuspended());
    QCoreApplication::processEvents();
    chart.repaint();
    EXPECT_GE(TpcChartSeams::PaintCount(chart), 1) << "the windowing system's paint request paints";
}

TEST(ChartSetters, AngleBtwRaysSnapsToTheTable)
{
    TPolChart chart;
    struct Row {
        const char* name;
        double value, expected;
    } rows[] = {
        { "25 to 22.5", 25, 22.5 },
        { "tie 6.75 to the smaller", 6.75, 6 },
        { "zero", 0, 6 },
        { "negative", -40, 6 },
        { "above the table", 1000, 360 },
        { "40 to 36", 40, 36 },
        { "exact entry", 120, 120 },
        { "infinity", HUGE_VAL, 360 },
        { "beyond the 32-bit range", 3e9, 360 },
        { "minus infinity", -HUGE_VAL, 6 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        chart.SetAngleBtwRays(row.value);
        EXPECT_EQ(chart.AngleBtwRays(), row.expected);
    }
    chart.SetAngleBtwRays(360);
    chart.SetAngleBtwRays(NaN);
    EXPECT_EQ(chart.AngleBtwRays(), 360) << "NaN is ignored";
}

TEST(ChartSetters, ClampsAndIgnoredValues)
{
    TPolChart chart;
    chart.SetMagFactor(0.001);
    EXPECT_EQ(chart.MagFactor(), 0.01);
    chart.SetMagFactor(5000);
    EXPECT_EQ(chart.MagFactor(), 1000);
    chart.SetMagFactor(NaN);
    EXPECT_EQ(chart.MagFactor(), 1000);

    chart.SetAngleOffset(200);
    EXPECT_EQ(chart.AngleOffset(), 180);
    chart.SetAngleOffset(100);
    chart.SetUseDegrees(false);
    EXPECT_FALSE(chart.UseDegrees());
    EXPECT_EQ(chart.AngleOffset(), 100) << "switching units converts nothing";
    chart.SetAngleOffset(4);
    EXPECT_EQ(chart.AngleOffset(), 3.141592653589793);
    chart.SetAngleOffset(NaN);
    EXPECT_EQ(chart.AngleOffset(), 3.141592653589793);

    chart.SetDecPlaceRad(-5);
    EXPECT_EQ(chart.DecPlaceRad(), -2);
    chart.SetDecPlaceRad(20);
    EXPECT_EQ(chart.DecPlaceRad(), 12);
    chart.SetDecPlacePhi(7);
    EXPECT_EQ(chart.DecPlacePhi(), 3);
    chart.SetShadowWidth(40);
    EXPECT_EQ(chart.ShadowWidth(), 32);
    chart.SetShadowWidth(-1);
    EXPECT_EQ(chart.ShadowWidth(), 0);

    for (int size : { 0, -3, 2000000 }) {
        chart.SetAllocSize(size);
        EXPECT_EQ(chart.AllocSize(), 1000) << size;
    }
    chart.SetClassDefault(7);
    chart.SetClassDefault(255);
    EXPECT_EQ(chart.ClassDefault(), 7);

    chart.SetRotationDir(TpcRotationDir::rdCounterCW);
    EXPECT_EQ(chart.RotationDir(), TpcRotationDir::rdCounterCW);
    EXPECT_EQ(chart.RotationSign(), -1);
}

TEST(ChartSetters, RangeGuardKeepsTheBoundsApart)
{
    TPolChart chart;
    chart.SetRangeHigh(10);
    chart.SetRangeLow(10);
    EXPECT_EQ(chart.RangeLow(), 10);
    EXPECT_EQ(chart.RangeHigh(), 11);
    chart.SetRangeLow(0);
    chart.SetRangeHigh(0);
    EXPECT_EQ(chart.RangeHigh(), 0);
    EXPECT_EQ(chart.RangeLow(), -1);
    // Where one unit is lost in rounding the bounds still stay apart.
    chart.SetRangeLow(1e300);
    chart.SetRangeHigh(1e300);
    EXPECT_NE(chart.RangeLow(), chart.RangeHigh());
    EXPECT_TRUE(std::isfinite(chart.ScaleX()));
    // Non-finite bounds are ignored.
    chart.SetRangeLow(NaN);
    chart.SetRangeHigh(HUGE_VAL);
    EXPECT_EQ(chart.RangeHigh(), 1e300);
    // An inverted range is allowed.
    chart.SetRangeLow(5);
    chart.SetRangeHigh(-5);
    EXPECT_EQ(chart.RangeLow(), 5);
    EXPECT_EQ(chart.RangeHigh(), -5);
    EXPECT_LT(chart.ScaleX(), 0);
}

TEST(ChartSetters, CenterClampAndAutoCenter)
{
    ShownChart shown;
    TPolChart& chart = shown.chart;
    const int centred = chart.CenterX();
    int before = shown.paints();
    chart.SetCenterX(10);
    EXPECT_EQ(chart.CenterX(), centred) << "with AutoCenter the value is discarded";
    EXPECT_EQ(shown.paints(), before + 1) << "and the chart repaints once";

    chart.SetAutoCenter(false);
    chart.SetCenterX(1000);
    EXPECT_EQ(chart.CenterX(), 480);
    chart.SetCenterX(-1000);
    EXPECT_EQ(chart.CenterX(), -240);
    chart.SetCenterY(1000);
    EXPECT_EQ(chart.CenterY(), 320);
    before = shown.paints();
    chart.SetCenterY(320);
    EXPECT_EQ(shown.paints(), before) << "the present value does nothing at all";

    chart.SetAutoCenter(true);
    EXPECT_EQ(chart.CenterX(), centred) << "switching AutoCenter on centres";
}

TEST(ChartRedrawRule, EachRedrawSetterPaintsOnceEvenForTheSameValue)
{
    ShownChart shown;
    TPolChart& chart = shown.chart;
    struct Row {
        const char* name;
        std::function<void()> write;
        int paints;
    } rows[] = {
        { "ChartColor", [&] { chart.SetChartColor(clWhite); }, 1 },
        { "GridColor", [&] { chart.SetGridColor(clBlack); }, 1 },
        { "MagFactor", [&] { chart.SetMagFactor(1); }, 1 },
        { "RangeHigh", [&] { chart.SetRangeHigh(1); }, 1 },
        { "AngleBtwRays", [&] { chart.SetAngleBtwRays(30); }, 1 },
        { "RotationDir", [&] { chart.SetRotationDir(TpcRotationDir::rdClockwise); }, 1 },
        { "UseDegrees", [&] { chart.SetUseDegrees(true); }, 1 },
        { "ShadowWidth", [&] { chart.SetShadowWidth(0); }, 1 },
        { "LabelModeRadial", [&] { chart.SetLabelModeRadial(TpcRadLabelMode::rlmVertCenter); }, 1 },
        { "DataColor stores only", [&] { chart.SetDataColor(clRed); }, 0 },
        { "LineWidth stores only", [&] { chart.SetLineWidth(2); }, 0 },
        { "AllocSize stores only", [&] { chart.SetAllocSize(10); }, 0 },
        { "MouseAction stores only", [&] { chart.SetMouseAction(TMouseActMode::maPan); }, 0 },
        { "appending never paints", [&] { chart.DrawTo(1, 2); }, 0 },
        { "Font change always paints", [&] { chart.Font().SetColor(clRed); }, 1 },
        { "crosshair write", [&] { chart.CrossHair2()->SetColor(clBlack); }, 1 },
        { "label write", [&] { chart.TextLabel(20)->SetCaption("x"); }, 1 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const int before = shown.paints();
        row.write();
        EXPECT_EQ(shown.paints() - before, row.paints);
    }

    chart.SetAutoRedraw(false);
    int before = shown.paints();
    chart.SetChartColor(clRed);
    chart.CrossHair1()->SetPosition(1, 2);
    chart.TextLabel(1)->SetMode(TTxtLblMode::tlBox);
    EXPECT_EQ(shown.paints(), before) << "AutoRedraw off: no repaint";
    chart.Font().SetColor(clBlue);
    EXPECT_EQ(shown.paints(), before + 1) << "a font change paints whatever AutoRedraw says";
    chart.Redraw();
    EXPECT_EQ(shown.paints(), before + 2);
    chart.SetDesigning(true);
    chart.SetChartColor(clRed);
    EXPECT_EQ(shown.paints(), before + 3) << "designing repaints too";
    chart.SetDesigning(false);

    chart.SetVisible(false);
    before = shown.paints();
    chart.Redraw();
    EXPECT_EQ(shown.paints(), before) << "Redraw of a hidden chart does nothing";
}

TEST(ChartLoading, SettersOnlyStoreThenLoadedRescalesAndPaints)
{
    TPolChart chart;
    chart.show();
    chart.BeginLoading();
    const int before = TpcChartSeams::PaintCount(chart);
    const long double scaleBefore = chart.ScaleX();
    chart.SetMagFactor(0.5);
    chart.SetRangeHigh(10);
    EXPECT_EQ(TpcChartSeams::PaintCount(chart), before);
    EXPECT_EQ(chart.ScaleX(), scaleBefore) << "UpdateScaling waits for the end of loading";
    chart.Loaded();
    EXPECT_FALSE(chart.Loading());
    EXPECT_EQ(TpcChartSeams::PaintCount(chart), before + 1);
    EXPECT_DOUBLE_EQ(double(chart.ScaleX()), 0.5 * 160 / 10 / 2);
}

TEST(ChartResize, AutoCenterFollowsTheSizeUntilTheApplicationTakesOnResize)
{
    TPolChart chart;
    chart.SetLabelModeRadial(TpcRadLabelMode::rlmVertCenter);
    chart.SetBounds(0, 0, 400, 300);
    EXPECT_EQ(chart.CenterX(), 200);
    EXPECT_EQ(chart.CenterY(), 150);
    chart.SetShadowWidth(10);
    chart.SetBounds(0, 0, 410, 310);
    EXPECT_EQ(chart.CenterX(), 200);
    EXPECT_EQ(chart.CenterY(), 150);
    int resizes = 0;
    chart.OnResize = [&](TObject*) { ++resizes; };
    chart.SetBounds(0, 0, 600, 500);
    EXPECT_EQ(resizes, 1);
    EXPECT_EQ(chart.CenterX(), 200) << "the application's handler replaced the re-centring";
}

// Every enumeration property of the chart and of the objects it hands out refuses a number that
// is none of its type's values, and keeps its own; so do the setters that take one beside others.
TEST(ChartProperties, EnumerationsRefuseNumbersOutsideTheirType)
{
    TPolChart chart;
    chart.SetBounds(0, 0, 120, 100);
    chart.show();
    int checked = 0;
    for (QObject* object :
        std::initializer_list<QObject*> { &chart, chart.CrossHair(1), chart.TextLabel(1),
            chart.ClassStyle(7), chart.Legend(), chart.Bars(), chart.Raster(), chart.Sweep() })
        checked += testing_support::ExpectEnumsRefuseUnknownValues<EZNQPolChartError>(*object);
    EXPECT_EQ(checked, 22);
    EXPECT_THROW(chart.SetRadialRange(1, 10, TpcRadialScale(2)), EZNQPolChartError);
    EXPECT_EQ(chart.RangeHigh(), 1);
    EXPECT_THROW(chart.ClassStyle(0)->SetMarker(TpcMarker(9)), EZNQPolChartError);
    EXPECT_EQ(chart.ClassStyle(0)->Marker(), TpcMarker::mkNone);
}

// Every property of the chart and of the objects it hands out has a change signal, emitted once
// for a write of another value and not for a write of the value it has.
TEST(ChartProperties, EveryPropertyNotifiesEachChangeOnce)
{
    TPolChart chart;
    chart.SetBounds(0, 0, 120, 100);
    chart.show();
    int written = 0;
    for (QObject* object : std::initializer_list<QObject*> { &chart, chart.CrossHair(1),
             chart.TextLabel(1), chart.ClassStyle(7), chart.Legend(), chart.Bars(), chart.Raster(),
             chart.Sweep(), &chart.Font() })
        written += testing_support::ExpectEveryPropertyNotifiesOnce<EZNQPolChartError>(*object);
    EXPECT_GT(written, 80);
}

TEST(ChartProperties, ReadAndWrittenByIdentifier)
{
    TPolChart chart;
    EXPECT_TRUE(chart.setProperty("MouseAction", QString("maDragLabel")));
    EXPECT_EQ(chart.MouseAction(), TMouseActMode::maDragLabel);
    EXPECT_TRUE(chart.setProperty("GridStyleRadial", QString("gsRadBothMixed")));
    EXPECT_EQ(chart.GridStyleRadial(), TpcGridStyleRad::gsRadBothMixed);
    EXPECT_TRUE(chart.setProperty("LabelModeRadial", QString("rlmVertRight")));
    EXPECT_TRUE(chart.setProperty("RotationDir", QString("rdCounterCW")));
    EXPECT_EQ(chart.RotationSign(), -1);
    EXPECT_TRUE(chart.setProperty("ShadowStyle", QString("ssBox")));
    EXPECT_EQ(chart.ShadowStyle(), TShadowStyle::ssBox);
    EXPECT_TRUE(chart.setProperty("PenStyle", QString("psDashDot")));
    EXPECT_EQ(chart.PenStyle(), TPenStyle::psDashDot);
    EXPECT_TRUE(chart.setProperty("ChartColor", 0xF4FCFFu));
    EXPECT_EQ(chart.ChartColor(), 0xF4FCFFu);
    EXPECT_TRUE(chart.setProperty("AngleBtwRays", 25.0));
    EXPECT_EQ(chart.AngleBtwRays(), 22.5) << "property writes go through the setters";
    EXPECT_EQ(chart.property("LabelModeAngular").toString(), "almDegrees");
    EXPECT_EQ(chart.property("TextBkStyle").toString(), "tbClear");
    // Every published property of the chart's own reads back.
    const QMetaObject* meta = chart.metaObject();
    for (const char* name : { "AllocSize", "AngleOffset", "AutoRedraw", "AutoCenter", "CenterX",
             "CenterY", "ClassDefault", "DecPlaceRad", "DecPlacePhi", "GridColor",
             "GridStyleAngular", "GridStyleRadial", "DataColor", "PenStyle", "ScaleColor",
             "FillColor", "ChartColor", "LineWidth", "LabelModeAngular", "LabelModeRadial",
             "CrossHair1", "CrossHair2", "CrossHair3", "CrossHair4", "RangeLow", "RangeHigh",
             "AngleBtwRays", "MagFactor", "MouseAction", "RotationDir", "ShadowWidth",
             "ShadowStyle", "ShadowColor", "ShadowBakColor", "TextFontStyle", "TextBkStyle",
             "TextBkColor", "TextAlignment", "UseDegrees" }) {
        SCOPED_TRACE(name);
        const int index = meta->indexOfProperty(name);
        ASSERT_GE(index, 0);
        EXPECT_TRUE(meta->property(index).read(&chart).isValid());
    }
}
