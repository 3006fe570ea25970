// The mouse, driven with real mouse events: the pointer report, the drags of the pan, zoom-drag,
// crosshair and label modes, the zoom box with its XOR outline and its zoom arithmetic, and the
// saturation that keeps repeated zooms and pans defined.
#include "ZNQ_polchart.h"
#include "chart/polchart_seams.h"

#include "../mouse_events.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace znq;

namespace {

// A shown chart without AutoCenter, with counters for the chart's own events.
struct MouseChart : ::testing::Test {
    TPolChart chart;
    int zoomPans = 0;
    std::vector<TpcCrossHair*> crossHairMoves;
    std::vector<TpcTextLabel*> labelMoves;

    void SetUp() override { place(600, 400, 0); }

    void place(int width, int height, int shadow)
    {
        chart.SetBounds(0, 0, width, height);
        chart.SetShadowWidth(shadow);
        chart.SetAutoCenter(false);
        chart.show();
        chart.OnZoomPan = [this](TObject* sender) {
            EXPECT_EQ(sender, &chart);
            ++zoomPans;
        };
        chart.OnCrossHairMove
            = [this](TObject*, TpcCrossHair* crossHair) { crossHairMoves.push_back(crossHair); };
        chart.OnTextLabelMove
            = [this](TObject*, TpcTextLabel* label) { labelMoves.push_back(label); };
    }
    int chartEvents() const { return zoomPans + int(crossHairMoves.size() + labelMoves.size()); }

    void press(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(&chart, button, {}, p);
    }
    void release(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(&chart, button, {}, p);
    }
    // A move with the buttons QTest holds since its press.
    void moveHeld(QPoint p) { QTest::mouseMove(&chart, p); }
    // A move with explicit buttons and modifiers, as the platform sends it.
    void moveWith(QPoint p, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = {})
    {
        testing_support::SendMouse(chart, QEvent::MouseMove, p, Qt::NoButton, buttons, modifiers);
    }
    // A whole left drag: press at the first point, the first move there (the drag's origin), a
    // move to every further point, release at the last, and a move without buttons there, which
    // ends the drag.
    void drag(std::initializer_list<QPoint> path)
    {
        press(*path.begin());
        for (const QPoint& p : path)
            moveHeld(p);
        release(*(path.end() - 1));
        moveWith(*(path.end() - 1), Qt::NoButton);
    }
    QImage screen() const { return chart.BackingImage().copy(); }
};

} // namespace

// With maNone and every mode without behaviour, a drag changes nothing and fires none of the
// chart's events, while every move is reported with its shift state; a press and release without
// moving starts nothing in any mode.
TEST_F(MouseChart, InertModesOnlyReportThePointer)
{
    chart.SetCenterX(300);
    chart.SetCenterY(200);
    int reports = 0;
    bool lastInChart = false;
    TShiftState lastShift;
    TpcPolarPoint last;
    chart.OnMouseMoveInChart
        = [&](TObject* sender, bool inChart, TShiftState shift, double rad, double phi) {
              EXPECT_EQ(sender, &chart);
              ++reports;
              lastInChart = inChart;
              lastShift = shift;
              last = { rad, phi };
          };
    const auto inert = { TMouseActMode::maNone, TMouseActMode::maPanGrid,
        TMouseActMode::maRubberBand, TMouseActMode::maZoom, TMouseActMode::maRotate,
        TMouseActMode::maRotAndZoom, TMouseActMode::maRotXOnly, TMouseActMode::maRotZOnly,
        TMouseActMode::maSelectRect, TMouseActMode::maDrawMTrace, TMouseActMode::maZoomPanColors };
    const QImage before = screen();
    const int paints = TpcChartSeams::PaintCount(chart);
    for (TMouseActMode mode : inert) {
        SCOPED_TRACE(int(mode));
        chart.SetMouseAction(mode);
        reports = 0;
        drag({ QPoint(100, 100), QPoint(130, 90), QPoint(200, 300) });
        EXPECT_EQ(reports, 4) << "three moves held and one after the release";
    }
    EXPECT_EQ(TpcChartSeams::PaintCount(chart), paints);
    EXPECT_EQ(screen(), before);
    EXPECT_EQ(chart.CenterX(), 300);
    EXPECT_EQ(chart.MagFactor(), 1.0);
    EXPECT_EQ(chartEvents(), 0);

    for (TMouseActMode mode : { TMouseActMode::maPan, TMouseActMode::maZoomDrag,
             TMouseActMode::maDragLabel, TMouseActMode::maZoomWind }) {
        chart.SetMouseAction(mode);
        press(QPoint(50, 60));
        release(QPoint(50, 60));
    }
    EXPECT_EQ(chartEvents(), 0);
    EXPECT_EQ(TpcChartSeams::PaintCount(chart), paints);

    // The chart area's last column is in, one further is out; rad and phi are given for both.
    chart.SetShadowWidth(7);
    for (int x : { 600 - 7, 600 - 7 + 1 }) {
        moveWith(QPoint(x, 0), Qt::LeftButton, Qt::ShiftModifier);
        EXPECT_EQ(lastInChart, x == 593) << x;
        EXPECT_EQ(lastShift, TShiftStateFlag::ssShift | TShiftStateFlag::ssLeft);
        const TpcPolarPoint expected = chart.PixelToPolar(x, 0);
        EXPECT_EQ(last.Rad, expected.Rad);
        EXPECT_EQ(last.Phi, expected.Phi);
    }
    moveWith(QPoint(-5, 399), Qt::NoButton);
    EXPECT_FALSE(lastInChart);
    EXPECT_TRUE(std::isfinite(last.Rad) && std::isfinite(last.Phi));
}

// Each pan step moves the centre by the pointer's way from the drag origin, in both, only x or
// only y; each step paints once and fires OnZoomPan once, past the setters' clamp and AutoCenter.
TEST_F(MouseChart, PanModesMoveTheCentreByThePointersWay)
{
    struct Row {
        TMouseActMode mode;
        int dx, dy;
    };
    for (const Row& row : { Row { TMouseActMode::maPan, 30, -10 },
             Row { TMouseActMode::maPanHoriz, 30, 0 }, Row { TMouseActMode::maPanVert, 0, -10 } }) {
        SCOPED_TRACE(int(row.mode));
        chart.SetAutoCenter(false);
        chart.SetCenterX(300);
        chart.SetCenterY(200);
        chart.SetAutoCenter(true);
        const int x0 = chart.CenterX(), y0 = chart.CenterY();
        chart.SetMouseAction(row.mode);
        zoomPans = 0;
        const int paints = TpcChartSeams::PaintCount(chart);
        drag({ QPoint(100, 100), QPoint(130, 90) });
        EXPECT_EQ(chart.CenterX(), x0 + row.dx);
        EXPECT_EQ(chart.CenterY(), y0 + row.dy);
        EXPECT_EQ(zoomPans, 1);
        EXPECT_EQ(TpcChartSeams::PaintCount(chart), paints + 1);
        EXPECT_EQ(chart.PolarToPixel(0, 0), (TPoint { x0 + row.dx, y0 + row.dy }))
            << "the scaling follows the centre";
    }

    // Outside the chart area nothing happens but the drag goes on; a release alone does not end
    // it, the next move without the left button does. The centre goes past the setters' range of
    // -Width .. 2 Width.
    chart.SetMouseAction(TMouseActMode::maPan);
    const int x0 = chart.CenterX();
    press(QPoint(0, 200));
    moveHeld(QPoint(0, 200));
    moveHeld(QPoint(599, 200));
    moveHeld(QPoint(-40, 200));
    moveHeld(QPoint(700, 200));
    EXPECT_EQ(chart.CenterX(), x0 + 599);
    release(QPoint(700, 200));
    zoomPans = 0;
    moveWith(QPoint(598, 200), Qt::LeftButton);
    EXPECT_EQ(chart.CenterX(), x0 + 598) << "the same drag, measured from its origin";
    moveWith(QPoint(100, 200), Qt::NoButton);
    moveWith(QPoint(0, 200), Qt::LeftButton);
    moveWith(QPoint(599, 200), Qt::LeftButton);
    EXPECT_EQ(chart.CenterX(), x0 + 598 + 599) << "a new drag from (0, 200)";
    EXPECT_GT(chart.CenterX(), 2 * 600);
    EXPECT_EQ(zoomPans, 2);
}

// The picture of a pan moves with the pointer, pixel for pixel, and a long drag ends exactly where
// the pointer says: no rounding accumulates over its steps.
TEST_F(MouseChart, PanShiftsThePictureAndFollowsThePointerExactly)
{
    place(300, 300, 0);
    chart.SetLabelModeAngular(TpcAngLabelMode::almNone);
    chart.SetLabelModeRadial(TpcRadLabelMode::rlmNone);
    chart.SetMagFactor(0.5);
    chart.SetCenterX(150);
    chart.SetCenterY(150);
    chart.SetMouseAction(TMouseActMode::maPan);
    const QImage before = chart.FrameImage();
    drag({ QPoint(100, 100), QPoint(130, 90) });
    const QImage after = chart.FrameImage();
    int compared = 0;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x) {
            if (x + 30 >= 300 || y - 10 < 0)
                continue;
            ASSERT_EQ(after.pixel(x + 30, y - 10), before.pixel(x, y)) << x << "," << y;
            ++compared;
        }
    EXPECT_EQ(compared, 270 * 290);

    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> coordinate(0, 299);
    const int cx = chart.CenterX(), cy = chart.CenterY();
    press(QPoint(150, 150));
    moveHeld(QPoint(150, 150));
    QPoint p;
    for (int i = 0; i < 1000; ++i) {
        p = QPoint(coordinate(random), coordinate(random));
        moveHeld(p);
    }
    release(p);
    EXPECT_EQ(chart.CenterX(), cx + p.x() - 150);
    EXPECT_EQ(chart.CenterY(), cy + p.y() - 150);
    EXPECT_EQ(zoomPans, 1 + 1000);
}

// A drag over a quarter of the height changes the magnification by a quarter; downwards it never
// goes below 0.01, upwards there is no limit (not even the setter's 1000). Moves outside the chart
// area change nothing.
TEST_F(MouseChart, ZoomDragByTheControlsHeight)
{
    place(624, 648, 0);
    chart.SetMouseAction(TMouseActMode::maZoomDrag);
    struct Row {
        double start;
        int fromY, toY;
        double expected;
    };
    for (const Row& row : { Row { 1.0, 400, 238, 1.25 }, Row { 1.0, 238, 400, 0.75 },
             Row { 0.65, 600, 0, 0.65 + 600.0 / 648 }, Row { 1.0, 0, 647, 0.01 },
             Row { 999.5, 647, 0, 999.5 + 647.0 / 648 } }) {
        SCOPED_TRACE(row.fromY);
        chart.SetMagFactor(row.start);
        zoomPans = 0;
        drag({ QPoint(300, row.fromY), QPoint(310, row.toY) });
        EXPECT_DOUBLE_EQ(chart.MagFactor(), row.expected);
        EXPECT_EQ(zoomPans, 1);
        EXPECT_EQ(chart.OuterRadius(), static_cast<int>(std::nearbyint(624 * row.expected / 2)));
    }
    chart.SetMagFactor(2);
    press(QPoint(300, 300));
    moveHeld(QPoint(300, 300));
    moveHeld(QPoint(300, 900));
    release(QPoint(300, 900));
    EXPECT_EQ(chart.MagFactor(), 2);
}

// The crosshair whose line through its point is nearest along one axis is taken, however far; the
// earlier one on a tie; crosshair 1 when none is shown. Each step writes the pointer's polar
// position without the crosshair's notification, paints once and fires OnCrossHairMove.
TEST_F(MouseChart, CrossHairPickAndDrag)
{
    chart.SetMouseAction(TMouseActMode::maDragCrossH);
    chart.SetCenterX(300);
    chart.SetCenterY(200);
    chart.SetUseDegrees(true);
    const auto put = [&](int i, TpcCrossHMode mode, QPoint pixel) {
        const TpcPolarPoint p = chart.PixelToPolar(pixel.x(), pixel.y());
        chart.CrossHair(i)->SetMode(mode);
        chart.CrossHair(i)->SetPosition(p.Rad, p.Phi);
    };
    struct Row {
        const char* name;
        TpcCrossHMode modes[4];
        QPoint points[4];
        int expected;
    };
    using enum TpcCrossHMode;
    const Row rows[] = {
        { "only a far one shown", { chOff, chOrtho, chOff, chOff },
            { { 101, 101 }, { 590, 390 }, {}, {} }, 2 },
        { "none shown", { chOff, chOff, chOff, chOff }, { { 590, 10 }, {}, {}, {} }, 1 },
        { "equal distance", { chPolar, chOrtho, chOrtho, chOff },
            { { 140, 300 }, { 140, 10 }, { 400, 380 }, {} }, 1 },
        { "nearest along y", { chOrtho, chOrtho, chOrtho, chOrtho },
            { { 400, 300 }, { 20, 20 }, { 500, 104 }, { 380, 250 } }, 3 },
        { "y of 1 ties with x of 2", { chOrtho, chOrtho, chOff, chOff },
            { { 300, 110 }, { 130, 300 }, {}, {} }, 1 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (int i = 0; i < 4; ++i)
            put(i + 1, row.modes[i], row.points[i]);
        const std::vector<double> before { chart.CrossHair(row.expected)->PosRad(),
            chart.CrossHair(row.expected)->PosPhi() };
        crossHairMoves.clear();
        press(QPoint(140, 100));
        moveHeld(QPoint(140, 100));
        EXPECT_EQ(chart.CrossHair(row.expected)->PosRad(), before[0]) << "the pick moves nothing";
        const int paints = TpcChartSeams::PaintCount(chart);
        for (QPoint p : { QPoint(200, 120), QPoint(700, -30) }) {
            moveHeld(p);
            const TpcPolarPoint expected = chart.PixelToPolar(p.x(), p.y());
            EXPECT_EQ(chart.CrossHair(row.expected)->PosRad(), expected.Rad);
            EXPECT_EQ(chart.CrossHair(row.expected)->PosPhi(), expected.Phi);
        }
        release(QPoint(700, -30));
        moveWith(QPoint(700, -30), Qt::NoButton);
        EXPECT_EQ(TpcChartSeams::PaintCount(chart), paints + 2)
            << "one paint a step: no notification";
        const std::vector<TpcCrossHair*> expected(2, chart.CrossHair(row.expected));
        EXPECT_EQ(crossHairMoves, expected);
    }
}

// The label whose anchor is nearest (Euclidean) is taken; the lower index on a tie; labels not in
// use never. An attached label follows the pointer in polar coordinates, a detached one takes the
// pointer's pixel values.
TEST_F(MouseChart, LabelPickAndDrag)
{
    chart.SetMouseAction(TMouseActMode::maDragLabel);
    chart.SetCenterX(300);
    chart.SetCenterY(200);
    const auto detached = [&](int i, TTxtLblMode mode, double x, double y) {
        TpcTextLabel* label = chart.TextLabel(i);
        label->SetAttachToData(false);
        label->SetCaption(std::to_string(i));
        label->SetMode(mode);
        label->SetPosRad(x);
        label->SetPosPhi(y);
    };
    detached(1, TTxtLblMode::tlsimple, 80, 100);
    detached(2, TTxtLblMode::tlBox, 120, 100);
    detached(3, TTxtLblMode::tlOff, 100, 100);
    detached(4, TTxtLblMode::tlShadow, 100.5, 160);
    chart.TextLabel(4)->SetVisible(false);

    press(QPoint(100, 100));
    moveHeld(QPoint(100, 100));
    moveHeld(QPoint(200, 150));
    release(QPoint(200, 150));
    moveWith(QPoint(200, 150), Qt::NoButton);
    EXPECT_EQ(chart.TextLabel(1)->PosRad(), 200.0) << "1 and 2 tie; the unused 3 sits closest";
    EXPECT_EQ(chart.TextLabel(1)->PosPhi(), 150.0);
    EXPECT_EQ(chart.TextLabel(2)->PosRad(), 120.0);
    EXPECT_EQ(chart.TextLabel(3)->PosRad(), 100.0);

    // Label 4's anchor x 100.5 rounds to 100 (half to even): at distance 1 it beats label 2 at
    // distance sqrt 2, which a rounding away from zero would tie. Hidden is no matter.
    chart.TextLabel(2)->SetPosRad(99);
    chart.TextLabel(2)->SetPosPhi(158);
    drag({ QPoint(100, 159), QPoint(30, 40) });
    EXPECT_EQ(chart.TextLabel(4)->PosRad(), 30.0);
    EXPECT_EQ(chart.TextLabel(2)->PosRad(), 99.0);

    // Attached to the data: the anchor jumps to the pointer in polar coordinates.
    TpcTextLabel* attached = chart.TextLabel(5);
    attached->SetMode(TTxtLblMode::tlsimple);
    attached->SetCaption("polar");
    const TpcPolarPoint start = chart.PixelToPolar(450, 300);
    attached->SetPosRad(start.Rad);
    attached->SetPosPhi(start.Phi);
    labelMoves.clear();
    drag({ QPoint(455, 305), QPoint(500, 20), QPoint(650, 450) });
    const TpcPolarPoint end = chart.PixelToPolar(650, 450);
    EXPECT_EQ(attached->PosRad(), end.Rad);
    EXPECT_EQ(attached->PosPhi(), end.Phi);
    EXPECT_EQ(labelMoves, std::vector<TpcTextLabel*>(2, attached));
}

// The box keeps the pointer's vertical direction and takes its height from the horizontal
// distance; its outline is the XOR of the picture, and a right release restores the screen bit
// for bit. A middle release keeps it; a box without area ends without a zoom and without a trace.
TEST_F(MouseChart, ZoomBoxOutlineSquareRuleAndCancel)
{
    chart.SetMouseAction(TMouseActMode::maZoomWind);
    chart.SetCenterX(300);
    chart.SetCenterY(200);
    const QImage picture = screen();
    // The pixels where the screen differs from the picture, each by an XOR with white.
    const auto outline = [&] {
        const QImage now = screen();
        QRect box;
        for (int y = 0; y < now.height(); ++y)
            for (int x = 0; x < now.width(); ++x)
                if (now.pixel(x, y) != picture.pixel(x, y)) {
                    EXPECT_EQ(now.pixel(x, y), picture.pixel(x, y) ^ 0x00FFFFFFu) << x << "," << y;
                    box |= QRect(x, y, 1, 1);
                }
        return box;
    };
    press(QPoint(100, 100));
    EXPECT_TRUE(TpcChartSeams::MouseGesture(chart).ZoomBoxActive);
    EXPECT_EQ(screen(), picture) << "nothing is drawn at the press";
    moveHeld(QPoint(150, 60));
    EXPECT_EQ(outline(), QRect(QPoint(100, 50), QPoint(149, 99)));
    moveHeld(QPoint(50, 130));
    EXPECT_EQ(outline(), QRect(QPoint(50, 100), QPoint(99, 149)));
    moveHeld(QPoint(900, 120));
    EXPECT_EQ(TpcChartSeams::MouseGesture(chart).ZoomBoxCornerX, 600)
        << "x clamped to the chart area";
    EXPECT_EQ(TpcChartSeams::MouseGesture(chart).ZoomBoxCornerY, 400)
        << "y clamped: no longer square";

    // A repaint while the box is open keeps the box on the new picture.
    chart.SetChartColor(0xE0F0F0);
    const QImage repainted = chart.FrameImage();
    release(QPoint(900, 120), Qt::MiddleButton);
    EXPECT_TRUE(TpcChartSeams::MouseGesture(chart).ZoomBoxActive);
    moveWith(QPoint(130, 160), Qt::NoButton);
    release(QPoint(130, 160), Qt::RightButton);
    EXPECT_FALSE(TpcChartSeams::MouseGesture(chart).ZoomBoxActive);
    EXPECT_EQ(screen(), repainted);
    EXPECT_EQ(chart.CenterX(), 300);
    EXPECT_EQ(chart.MagFactor(), 1.0);
    EXPECT_EQ(zoomPans, 0);

    // Back to the starting x: a box without width; the left release zooms nothing.
    const int paints = TpcChartSeams::PaintCount(chart);
    press(QPoint(200, 200));
    moveHeld(QPoint(260, 240));
    moveHeld(QPoint(200, 150));
    release(QPoint(200, 150));
    EXPECT_EQ(screen(), repainted);
    EXPECT_EQ(TpcChartSeams::PaintCount(chart), paints);
    EXPECT_EQ(zoomPans, 0);
}

// The zoom arithmetic in both orientations, with rounding of halves to even before the height is
// added, and through the mouse on a 600 x 400 chart: f = 401 / 50 = 8.02.
TEST_F(MouseChart, ZoomToTheBox)
{
    struct Row {
        const char* name;
        int width, height, shadow, centerX, centerY;
        TPoint anchor, corner;
        int expectedX, expectedY;
        double factor;
    };
    const Row rows[] = {
        { "wide", 600, 400, 0, 300, 200, { 100, 100 }, { 150, 150 }, 1704, 801, 8.02 },
        { "tall", 400, 600, 0, 200, 300, { 150, 150 }, { 100, 100 }, 802, 1703, 8.02 },
        { "half rounds to even before adding H", 600, 401, 1, 1, 1, { 0, 2 }, { 2, 0 }, 300, 201,
            200.5 },
        { "centre saturates", 600, 400, 0, 2000000000, -2000000000, { 0, 0 }, { 1, 1 }, INT32_MAX,
            INT32_MIN, 401 },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto zoom = ZoomToBox(
            row.anchor, row.corner, row.width, row.height, row.shadow, row.centerX, row.centerY);
        ASSERT_TRUE(zoom);
        EXPECT_EQ(zoom->CenterX, row.expectedX);
        EXPECT_EQ(zoom->CenterY, row.expectedY);
        EXPECT_DOUBLE_EQ(zoom->Factor, row.factor);
    }
    EXPECT_FALSE(ZoomToBox({ 5, 5 }, { 5, 9 }, 600, 400, 0, 0, 0));

    chart.SetMouseAction(TMouseActMode::maZoomWindPos);
    chart.SetCenterX(300);
    chart.SetCenterY(200);
    const int paints = TpcChartSeams::PaintCount(chart);
    press(QPoint(100, 100));
    moveHeld(QPoint(150, 150));
    release(QPoint(150, 150));
    EXPECT_EQ(chart.CenterX(), 1704);
    EXPECT_EQ(chart.CenterY(), 801);
    EXPECT_DOUBLE_EQ(chart.MagFactor(), 8.02);
    EXPECT_EQ(TpcChartSeams::PaintCount(chart), paints + 1);
    EXPECT_EQ(zoomPans, 1);
    EXPECT_EQ(screen(), chart.FrameImage()) << "the repaint overwrote the box";

    // Painting suspended by the caller stays suspended; the box is erased all the same.
    chart.SetPaintingSuspended(true);
    const QImage before = screen();
    press(QPoint(100, 100));
    moveHeld(QPoint(300, 300));
    release(QPoint(300, 300));
    EXPECT_TRUE(chart.PaintingSuspended());
    EXPECT_EQ(TpcChartSeams::PaintCount(chart), paints + 1);
    EXPECT_EQ(zoomPans, 2);
    EXPECT_EQ(screen(), before);
}

// One-pixel boxes over and over: the centre saturates, and once the magnification or the scale
// would overflow the zoom is no longer applied; the box is still erased. A pan from the saturated
// centre stays saturated.
TEST_F(MouseChart, RepeatedTinyBoxesStayDefined)
{
    chart.SetMouseAction(TMouseActMode::maZoomWind);
    chart.SetCenterX(300);
    chart.SetCenterY(200);
    int applied = 0;
    for (int i = 0; i < 200; ++i) {
        const double magFactor = chart.MagFactor();
        press(QPoint(100, 100));
        moveHeld(QPoint(101, 101));
        release(QPoint(101, 101));
        ASSERT_TRUE(std::isfinite(chart.MagFactor()));
        if (chart.MagFactor() != magFactor)
            ++applied;
        else
            ASSERT_EQ(screen(), chart.FrameImage()) << "a refused zoom leaves no box";
    }
    EXPECT_GT(applied, 50);
    EXPECT_LT(applied, 200);
    EXPECT_EQ(zoomPans, applied);
    EXPECT_TRUE(std::isfinite(static_cast<double>(chart.ScaleX())));
    EXPECT_EQ(chart.CenterX(), INT32_MAX);
    EXPECT_EQ(chart.CenterY(), INT32_MAX);
    const TpcPolarPoint p = chart.PixelToPolar(300, 200);
    EXPECT_TRUE(std::isfinite(p.Rad) && std::isfinite(p.Phi));

    chart.SetMouseAction(TMouseActMode::maPan);
    drag({ QPoint(200, 100), QPoint(300, 200) });
    EXPECT_EQ(chart.CenterX(), INT32_MAX);
    drag({ QPoint(300, 200), QPoint(200, 100) });
    EXPECT_EQ(chart.CenterX(), INT32_MAX - 100);
}

// Each gesture's event has a Qt signal emitted right after the handler, with the handler's
// values; the standard mouse events have theirs too, and the change signals follow the mouse.
TEST_F(MouseChart, SignalsFollowTheHandlers)
{
    std::vector<std::string> order;
    chart.OnZoomPan = [&](TObject*) { order.push_back("handler"); };
    QObject::connect(&chart, &TCustomPolChart::zoomPanned, [&] { order.push_back("zoomPanned"); });
    QSignalSpy centerX(&chart, &TCustomPolChart::centerXChanged);
    QSignalSpy magFactor(&chart, &TCustomPolChart::magFactorChanged);
    chart.SetMouseAction(TMouseActMode::maPan);
    drag({ QPoint(100, 100), QPoint(130, 90) });
    EXPECT_EQ(order, (std::vector<std::string> { "handler", "zoomPanned" }));
    ASSERT_EQ(centerX.count(), 1);
    EXPECT_EQ(centerX[0][0].toInt(), chart.CenterX());
    chart.SetMouseAction(TMouseActMode::maZoomDrag);
    drag({ QPoint(100, 100), QPoint(100, 50) });
    ASSERT_EQ(magFactor.count(), 1);
    EXPECT_EQ(magFactor[0][0].toDouble(), chart.MagFactor());

    double handlerRad = 0;
    chart.OnMouseMoveInChart
        = [&](TObject*, bool, TShiftState, double rad, double) { handlerRad = rad; };
    QSignalSpy pointer(&chart, &TCustomPolChart::mouseMovedInChart);
    QSignalSpy moved(&chart, &TCanvasControl::mouseMoved);
    moveWith(QPoint(200, 150), Qt::NoButton, Qt::ShiftModifier | Qt::ControlModifier);
    ASSERT_EQ(pointer.count(), 1);
    EXPECT_TRUE(pointer[0][0].toBool());
    EXPECT_EQ(pointer[0][1].value<TShiftState>(),
        TShiftState(TShiftStateFlag::ssShift) | TShiftStateFlag::ssCtrl);
    EXPECT_EQ(pointer[0][2].toDouble(), handlerRad);
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved[0][2].toInt(), 200);

    chart.SetMouseAction(TMouseActMode::maDragCrossH);
    chart.CrossHair3()->SetMode(TpcCrossHMode::chOrtho);
    chart.CrossHair3()->SetPosition(0, 0);
    QSignalSpy crossHair(&chart, &TCustomPolChart::crossHairMoved);
    const TPoint centre = chart.PolarToPixel(0, 0);
    drag({ QPoint(centre.x, centre.y), QPoint(250, 180) });
    ASSERT_GE(crossHair.count(), 1);
    EXPECT_EQ(crossHair[0][0].value<TpcCrossHair*>(), chart.CrossHair3());
    EXPECT_EQ(int(crossHair.count()), int(crossHairMoves.size()));

    chart.SetMouseAction(TMouseActMode::maDragLabel);
    const int label = chart.AddTextLabel(clBlack, "L", 50, 50, 0);
    chart.TextLabel(label)->SetAttachToData(false);
    QSignalSpy labelSpy(&chart, &TCustomPolChart::textLabelMoved);
    drag({ QPoint(50, 50), QPoint(60, 70) });
    ASSERT_GE(labelSpy.count(), 1);
    EXPECT_EQ(labelSpy[0][0].value<TpcTextLabel*>(), chart.TextLabel(label));

    QSignalSpy pressed(&chart, &TCanvasControl::mousePressed);
    QSignalSpy released(&chart, &TCanvasControl::mouseReleased);
    QSignalSpy clicked(&chart, &TCanvasControl::clicked);
    QSignalSpy doubleClicked(&chart, &TCanvasControl::doubleClicked);
    chart.SetMouseAction(TMouseActMode::maNone);
    QTest::mouseClick(&chart, Qt::RightButton, Qt::AltModifier, QPoint(20, 30));
    ASSERT_EQ(pressed.count(), 1);
    EXPECT_EQ(pressed[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(pressed[0][1].value<Qt::KeyboardModifiers>(), Qt::AltModifier);
    EXPECT_EQ(released.count(), 1);
    EXPECT_EQ(clicked.count(), 0) << "a click is the left button's";
    QTest::mouseClick(&chart, Qt::LeftButton, {}, QPoint(20, 30));
    QTest::mouseDClick(&chart, Qt::LeftButton, {}, QPoint(20, 30));
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(doubleClicked.count(), 1);
}

// A drag moves crosshairs and labels without their OnChange, but their properties' change
// signals come, as do a new label's when AddTextLabel fills its slot.
TEST_F(MouseChart, DragsAndNewLabelsNotifyTheirProperties)
{
    chart.SetMouseAction(TMouseActMode::maDragCrossH);
    chart.CrossHair3()->SetMode(TpcCrossHMode::chOrtho);
    chart.CrossHair3()->SetPosition(0, 0);
    QSignalSpy rad(chart.CrossHair3(), &TpcCrossHair::posRadChanged);
    const TPoint centre = chart.PolarToPixel(0, 0);
    drag({ QPoint(centre.x, centre.y), QPoint(250, 180) });
    EXPECT_GE(rad.count(), 1);
    EXPECT_NE(chart.CrossHair3()->PosRad(), 0);

    TpcTextLabel& free = *chart.TextLabel(1);
    QSignalSpy caption(&free, &TpcTextLabel::captionChanged);
    QSignalSpy mode(&free, &TpcTextLabel::modeChanged);
    ASSERT_EQ(chart.AddTextLabel(clBlack, "L", 50, 50, 0), 1);
    EXPECT_EQ(caption.count(), 1);
    EXPECT_EQ(mode.count(), 1);
    chart.SetMouseAction(TMouseActMode::maDragLabel);
    free.SetAttachToData(false);
    QSignalSpy phi(&free, &TpcTextLabel::posPhiChanged);
    drag({ QPoint(50, 50), QPoint(60, 70) });
    EXPECT_GE(phi.count(), 1);
}

// Each event has one signal, which carries its handler's values.
TEST_F(MouseChart, SignalsNamedAsTheirHandlersCarryTheirValues)
{
    std::vector<std::string> order;
    chart.OnZoomPan = [&](TObject*) { order.push_back("handler"); };
    QObject::connect(&chart, &TCustomPolChart::zoomPanned, [&] { order.push_back("zoomPanned"); });
    chart.SetMouseAction(TMouseActMode::maPan);
    drag({ QPoint(100, 100), QPoint(130, 90) });
    EXPECT_EQ(order, (std::vector<std::string> { "handler", "zoomPanned" }));

    TShiftState handlerShift, signalShift;
    chart.OnMouseMoveInChart
        = [&](TObject*, bool, TShiftState shift, double, double) { handlerShift = shift; };
    QObject::connect(&chart, &TCustomPolChart::mouseMovedInChart,
        [&](bool, TShiftState shift, double, double) { signalShift = shift; });
    moveWith(QPoint(200, 150), Qt::NoButton, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_TRUE(signalShift.testFlag(TShiftStateFlag::ssShift));
    EXPECT_EQ(signalShift, handlerShift);

    chart.SetMouseAction(TMouseActMode::maDragCrossH);
    chart.CrossHair3()->SetMode(TpcCrossHMode::chOrtho);
    chart.CrossHair3()->SetPosition(0, 0);
    std::vector<TpcCrossHair*> moved;
    QObject::connect(&chart, &TCustomPolChart::crossHairMoved,
        [&](TpcCrossHair* crossHair) { moved.push_back(crossHair); });
    const TPoint centre = chart.PolarToPixel(0, 0);
    drag({ QPoint(centre.x, centre.y), QPoint(250, 180) });
    ASSERT_FALSE(moved.empty());
    EXPECT_EQ(moved, std::vector<TpcCrossHair*>(moved.size(), chart.CrossHair3()));

    chart.SetMouseAction(TMouseActMode::maDragLabel);
    const int label = chart.AddTextLabel(clBlack, "L", 50, 50, 0);
    chart.TextLabel(label)->SetAttachToData(false);
    TpcTextLabel* dragged = nullptr;
    QObject::connect(
        &chart, &TCustomPolChart::textLabelMoved, [&](TpcTextLabel* l) { dragged = l; });
    drag({ QPoint(50, 50), QPoint(60, 70) });
    EXPECT_EQ(dragged, chart.TextLabel(label));
}
