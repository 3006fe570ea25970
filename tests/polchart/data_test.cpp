// Data rendering: polyline batches and pen changes, data that cannot be drawn, the text labels'
// boxes, anchors and stacking, and the crosshairs' limits.
#include "ZNQ_polchart.h"
#include "chart/polchart_seams.h"
#include "znq_canvas_seams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace znq;

namespace {

constexpr TColor background = 0xF4FCFF;

struct DataChart {
    TPolChart chart;
    std::vector<std::vector<TPoint>> polylines;
    DataChart()
    {
        chart.SetAutoRedraw(false);
        chart.SetBounds(0, 0, 400, 400);
        chart.SetChartColor(background);
        chart.SetGridStyleAngular(TpcGridStyleAng::gsAngNone);
        chart.SetGridStyleRadial(TpcGridStyleRad::gsRadNone);
        chart.SetLabelModeAngular(TpcAngLabelMode::almNone);
        chart.SetLabelModeRadial(TpcRadLabelMode::rlmNone);
        chart.SetRangeHigh(10);
        chart.SetUseDegrees(false);
        TCanvasSeams::SetPolylineObserver(
            TpcChartSeams::ChartBitmap(chart).Canvas(), [this](std::span<const TPoint> points) {
                polylines.emplace_back(points.begin(), points.end());
            });
        chart.show();
    }
    void paint()
    {
        polylines.clear();
        chart.Redraw();
    }
    TColor at(int x, int y) { return chart.Canvas().Pixel(x, y); }
};

} // namespace

TEST(DataRendering, DemonstrationCurveTakesSixBatchesSharingTheirJoints)
{
    DataChart d;
    d.chart.SetDataColor(clRed);
    d.chart.MoveTo(0, 0);
    for (int i = 1; i <= 1000; ++i)
        d.chart.DrawTo(i / 100.0, i / 50.0);
    d.paint();
    ASSERT_EQ(d.polylines.size(), 6u);
    // Points on the pixel of the one before count towards a batch but are not passed on.
    const size_t length[] = { 200, 200, 200, 200, 200, 6 };
    for (size_t b = 0; b < 6; ++b) {
        const std::vector<TPoint>& batch = d.polylines[b];
        EXPECT_LE(batch.size(), length[b]) << "batch " << b;
        EXPECT_GE(batch.size(), 2u) << "batch " << b;
        for (size_t i = 2; i < batch.size(); ++i)
            EXPECT_NE(batch[i], batch[i - 1]) << "batch " << b << " point " << i;
        if (b > 0) {
            EXPECT_EQ(batch.front(), d.polylines[b - 1].back()) << "batch " << b;
        }
    }
    EXPECT_EQ(d.polylines[5].size(), 6u) << "the outer end has no repeated pixels";
    EXPECT_EQ(d.polylines[0].front(), d.chart.PolarToPixel(0, 0))
        << "the spiral starts at the centre";
    EXPECT_EQ(d.at(d.chart.CenterX(), d.chart.CenterY()), clRed);
}

TEST(DataRendering, PenChangesEndTheBatch)
{
    DataChart d;
    d.chart.SetDataColor(clRed);
    d.chart.MoveTo(1, 0);
    d.chart.DrawTo(2, 0);
    d.chart.DrawTo(3, 0);
    d.chart.SetDataColor(clBlue);
    d.chart.DrawTo(4, 0);
    d.chart.SetLineWidth(3);
    d.chart.MoveTo(5, 0);
    d.chart.DrawTo(6, 0);
    d.paint();
    ASSERT_EQ(d.polylines.size(), 3u);
    EXPECT_EQ(d.polylines[0].size(), 3u) << "red: from 1 through 3";
    EXPECT_EQ(d.polylines[1].size(), 2u) << "blue continues from 3 to 4";
    EXPECT_EQ(d.polylines[1].front(), d.polylines[0].back());
    EXPECT_EQ(d.polylines[2].front(), d.chart.PolarToPixel(5, 0))
        << "the wider move-to started anew";
    const TPoint red = d.chart.PolarToPixel(2.5, 0), blue = d.chart.PolarToPixel(3.5, 0);
    EXPECT_EQ(d.at(red.x, red.y), clRed);
    EXPECT_EQ(d.at(blue.x, blue.y), clBlue);
    const TPoint wide = d.chart.PolarToPixel(5.5, 0);
    EXPECT_EQ(d.at(wide.x, wide.y - 1), clBlue) << "width 3 covers the rows beside the line";
}

TEST(DataRendering, DrawToFirstStartsAtTheTopLeftAndHiddenClassesAreSkipped)
{
    DataChart d;
    d.chart.SetDataColor(clRed);
    d.chart.DrawTo(0, 0);
    d.chart.SetClassDefault(9);
    d.chart.SetDataColor(clBlue);
    d.chart.DrawTo(10, 90);
    d.chart.SetClassVisible(9, false);
    d.paint();
    ASSERT_EQ(d.polylines.size(), 1u);
    EXPECT_EQ(d.polylines[0].front(), (TPoint { 0, 0 }));
    EXPECT_EQ(d.at(5, 5), clRed) << "on the diagonal from the corner to the centre";
}

TEST(DataRendering, NonFiniteDataIsLeftOutAndTheLineResumes)
{
    DataChart d;
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    d.chart.SetDataColor(clRed);
    d.chart.MoveTo(1, 0);
    d.chart.DrawTo(2, 0);
    d.chart.DrawTo(NaN, 0);
    d.chart.DrawTo(3, HUGE_VAL);
    d.chart.DrawTo(4, 0);
    d.chart.DrawTo(5, 0);
    d.paint();
    ASSERT_EQ(d.polylines.size(), 2u);
    EXPECT_EQ(d.polylines[0].size(), 2u);
    EXPECT_EQ(d.polylines[1].front(), d.chart.PolarToPixel(4, 0)) << "resumes as after a move-to";
    const TPoint gap = d.chart.PolarToPixel(3, 0);
    EXPECT_EQ(d.at(gap.x, gap.y), background) << "nothing drawn between 2 and 4";
}

TEST(DataRendering, FarDataIsClampedBeforeDrawing)
{
    DataChart d;
    d.chart.MoveTo(0, 0);
    d.chart.DrawTo(1e12, 0);
    d.paint();
    ASSERT_EQ(d.polylines.size(), 1u);
    EXPECT_EQ(d.polylines[0].back().x, 30000);
    EXPECT_EQ(d.at(399, d.chart.CenterY()), clBlack);
}

namespace {

struct LabelChart : DataChart {
    TpcTextLabel& label(int i) { return *chart.TextLabel(i); }
    // The bounding box of the pixels of a colour.
    QRect boxOf(TColor color)
    {
        QRect box;
        for (int y = 0; y < 400; ++y)
            for (int x = 0; x < 400; ++x)
                if (at(x, y) == color)
                    box |= QRect(x, y, 1, 1);
        return box;
    }
};

} // namespace

TEST(TextLabels, BoxAroundTheTextWithTheAnchorAtItsBottomEdge)
{
    LabelChart c;
    TCanvas& measure = TpcChartSeams::ChartBitmap(c.chart).Canvas();
    const int i = c.chart.AddTextLabel(clBlack, "Label", 200, 100, 0);
    TpcTextLabel& l = c.label(i);
    l.SetAttachToData(false);
    l.SetMode(TTxtLblMode::tlBox);
    l.SetColorBkg(0x00FFFF);
    l.SetColorBorder(0xFF00FF);
    c.chart.Redraw();
    measure.Font().Assign(l.Font());
    const int w = measure.TextWidth("Label"), h = measure.TextHeight("Label");
    struct Row {
        TAlignment alignment;
        int left;
    } rows[] = { { TAlignment::taLeftJustify, 200 }, { TAlignment::taRightJustify, 200 - w },
        { TAlignment::taCenter, 200 - w / 2 } };
    for (const Row& row : rows) {
        SCOPED_TRACE(int(row.alignment));
        l.SetAlignment(row.alignment);
        c.chart.Redraw();
        const QRect border = c.boxOf(0xFF00FF);
        EXPECT_EQ(border, QRect(QPoint(row.left - 4, 100 - h - 2), QPoint(row.left + w + 3, 101)));
        EXPECT_EQ(c.at(row.left - 3, 100 - h - 1), 0x00FFFFu)
            << "filled with the label's background";
    }
}

TEST(TextLabels, LooksShadowUnderlineTransparentAndStacking)
{
    LabelChart c;
    const int i = c.chart.AddTextLabel(clBlack, "Shadow", 150, 150, 0);
    TpcTextLabel& l = c.label(i);
    l.SetAttachToData(false);
    l.SetAlignment(TAlignment::taLeftJustify);
    l.SetMode(TTxtLblMode::tlShadow);
    l.SetColorShadow(0x0000AA);
    l.SetColorBorder(0xAA0000);
    l.SetColorBkg(0x00AAAA);
    l.SetShadowDx(3);
    l.SetShadowDy(6);
    l.SetTransparent(true);
    c.chart.Redraw();
    const QRect frame = c.boxOf(0xAA0000);
    const QRect shadow = c.boxOf(0x0000AA);
    EXPECT_EQ(shadow.bottomRight(), frame.bottomRight() + QPoint(3, 6))
        << "shadow offset by (3, 6)";
    EXPECT_EQ(c.at(frame.left() + 1, frame.top() + 1), 0x00AAAAu) << "filled even when transparent";

    l.SetMode(TTxtLblMode::tlUnderline);
    l.SetTransparent(false);
    c.chart.Redraw();
    const QRect underline = c.boxOf(0xAA0000);
    EXPECT_EQ(underline.top(), 150);
    EXPECT_EQ(underline.height(), 1);
    EXPECT_EQ(underline.left(), 150);

    l.SetMode(TTxtLblMode::tlsimple);
    l.SetTransparent(true);
    c.chart.Redraw();
    EXPECT_TRUE(c.boxOf(0x00AAAA).isEmpty()) << "transparent simple label: no box";

    // Label 1 is drawn last and covers label 2 at the same place.
    c.label(1).SetMode(TTxtLblMode::tlOff);
    c.label(2).SetMode(TTxtLblMode::tlOff);
    for (int k : { 1, 2 }) {
        TpcTextLabel& t = c.label(k);
        t.SetAttachToData(false);
        t.SetPosRad(100.4);
        t.SetPosPhi(300.5);
        t.SetCaption("XX");
        t.SetTransparent(false);
        t.SetColorBkg(k == 1 ? 0x111111 : 0x222222);
        t.SetAlignment(TAlignment::taCenter);
        t.SetMode(TTxtLblMode::tlsimple);
    }
    c.chart.Redraw();
    EXPECT_FALSE(c.boxOf(0x111111).isEmpty());
    EXPECT_TRUE(c.boxOf(0x222222).isEmpty());
    EXPECT_EQ(c.boxOf(0x111111).bottom(), 300 + 1) << "PosPhi 300.5 rounds to 300 (half to even)";
}

TEST(TextLabels, MultiLineCaptionsAreCentredOverEachOther)
{
    LabelChart c;
    const int i = c.chart.AddTextLabel(clBlack, "A\nBCDE", 200, 200, 0);
    TpcTextLabel& l = c.label(i);
    l.SetAttachToData(false);
    l.SetMode(TTxtLblMode::tlBox);
    l.SetColorBorder(0xFF00FF);
    c.chart.Redraw();
    TCanvas& measure = TpcChartSeams::ChartBitmap(c.chart).Canvas();
    measure.Font().Assign(l.Font());
    const int w = measure.TextWidth("BCDE"), h = measure.TextHeight("A");
    const QRect border = c.boxOf(0xFF00FF);
    EXPECT_EQ(border.width(), w + 8);
    EXPECT_EQ(border.height(), 2 * h + 4);
    EXPECT_EQ(border.bottom(), 201);
}

TEST(CrossHairs, LinesNearTheEdgesAreLeftOut)
{
    DataChart d;
    TpcCrossHair& c = *d.chart.CrossHair1();
    c.SetColor(clRed);
    c.SetLineWid(3);
    c.SetMode(TpcCrossHMode::chOrtho);
    // A point one pixel below the top edge: the horizontal line is left out, the vertical one
    // runs from y = 2 to the bottom.
    const TpcPolarPoint top = d.chart.PixelToPolar(250, 1);
    c.SetPosition(top.Rad, top.Phi);
    d.chart.Redraw();
    const TPoint p = d.chart.PolarToPixel(top.Rad, top.Phi);
    ASSERT_EQ(p.y, 1);
    EXPECT_EQ(d.at(100, 1), background) << "no horizontal line";
    EXPECT_EQ(d.at(p.x, 2), clRed);
    EXPECT_EQ(d.at(p.x, 398), clRed);

    // A polar crosshair: the circle is left out when the ray's end (at least on the outer
    // circle) leaves the chart area, as it does at full magnification here.
    d.chart.SetMagFactor(0.8);
    c.SetMode(TpcCrossHMode::chPolar);
    c.SetLineWid(1);
    c.SetPosition(5, 0);
    d.chart.Redraw();
    const TPoint onCircle = d.chart.PolarToPixel(5, 3.14159265358979 / 2);
    EXPECT_EQ(d.at(onCircle.x, onCircle.y), clRed) << "the circle through the point";
    const TPoint onRay = d.chart.PolarToPixel(7, 0);
    EXPECT_EQ(d.at(onRay.x, onRay.y), clRed) << "the ray out to the outer circle";
}

// The data pass maps by chunks and leaves out points on the pixel before; rendered the
// straightforward way (every element mapped alone, every point passed on), random charts come out
// the same bit for bit: sizes, shadows, ranges, angle set-ups, magnifications and centres, every
// pen style and widths 1 to 4, hidden classes, non-finite elements, dense runs of repeated pixels
// across batch ends, labels attached to the data in each look, and each crosshair form; some
// charts are long enough to be mapped on several threads, some show a sector (the lines are cut
// to it) or a logarithmic scale (elements at 0 and below are gaps).
TEST(DataRendering, ChunkedPathDrawsTheSamePixelsAsTheStraightforwardOne)
{
    const unsigned seed = 20261208;
    std::mt19937 random(seed);
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    for (int round = 0; round < 24; ++round) {
        TPolChart chart;
        chart.SetAutoRedraw(false);
        chart.SetBounds(0, 0, 20 + int(random() % 500), 20 + int(random() % 500));
        chart.SetShadowWidth(int(random() % 12));
        chart.SetRangeLow(uniform(-5, 5));
        chart.SetRangeHigh(chart.RangeLow() + (random() % 4 ? 10 : -10));
        chart.SetUseDegrees(random() % 2);
        chart.SetRotationDir(
            random() % 2 ? TpcRotationDir::rdClockwise : TpcRotationDir::rdCounterCW);
        chart.SetAngleOffset(uniform(-90, 90));
        chart.SetMagFactor(random() % 3 ? uniform(0.3, 3) : uniform(3, 400));
        if (random() % 2) {
            chart.SetAutoCenter(false);
            chart.SetCenterX(int(uniform(-300, 800)));
            chart.SetCenterY(int(uniform(-300, 800)));
        }
        chart.SetClassVisible(3, false);
        const double turn = chart.UseDegrees() ? 360 : 6.283185307179586;
        if (round % 6 == 2)
            chart.SetSectorSpan(uniform(0.1, 0.9) * turn);
        if (round % 6 == 4)
            chart.SetRadialRange(0.5, 50, TpcRadialScale::rsLog10);
        double rad = chart.RangeLow(), phi = 0;
        const int count = round % 3 ? 1000 + int(random() % 4000) : 20000 + int(random() % 60000);
        for (int i = 0; i < count; ++i) {
            if (random() % 300 == 0) {
                chart.SetPenStyle(TPenStyle(random() % 7));
                chart.SetLineWidth(uint8_t(1 + random() % 4));
                chart.SetDataColor(TColor(random() & 0xFFFFFF));
                chart.SetClassDefault(uint8_t(random() % 5));
            }
            // Mostly tiny steps, many of them within one pixel.
            const double step = random() % 50 ? 0.002 : 0.5;
            rad += uniform(-step, step) * 10;
            phi += uniform(-step, step) * turn;
            if (random() % 400 == 0)
                chart.DrawTo(random() % 2 ? NaN : rad, phi);
            else if (random() % 200 == 0)
                chart.MoveTo(rad, phi);
            else
                chart.DrawTo(rad, phi);
        }
        const int label = chart.AddTextLabel(clBlue, "on the data", rad, phi, 0);
        chart.TextLabel(label)->SetAttachToData(true);
        chart.TextLabel(label)->SetMode(TTxtLblMode(1 + random() % 4));
        chart.CrossHair1()->SetMode(TpcCrossHMode(random() % 3));
        chart.CrossHair1()->SetLineType(TPenStyle(random() % 5));
        chart.CrossHair1()->SetPosition(rad, phi);
        chart.show();

        TpcChartSeams::SetReferenceDataPath(chart, true);
        chart.Redraw();
        const QImage straightforward = chart.Canvas().Image().copy();
        TpcChartSeams::SetReferenceDataPath(chart, false);
        for (const int threads : { 1, 2, 3 }) {
            TpcChartSeams::SetDataThreads(chart, threads);
            chart.Redraw();
            ASSERT_EQ(chart.Canvas().Image(), straightforward)
                << "seed " << seed << " round " << round << " threads " << threads;
        }
    }
}
