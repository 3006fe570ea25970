// The view beyond the specified mouse actions, driven with real wheel, key and mouse events: wheel
// zoom about the pointer, the view history with its keys and buttons, and crosshairs that snap to
// the data, their index checked against a search over every element.
#include "ZNQ_polchart.h"
#include "chart/polchart_seams.h"

#include "../mouse_events.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace znq;

namespace {

using View = TCustomPolChart::TpcView;

struct ViewChart : ::testing::Test {
    TPolChart chart;
    int zoomPans = 0;
    void SetUp() override
    {
        chart.SetBounds(0, 0, 400, 300);
        chart.SetRangeHigh(10);
        chart.SetAutoCenter(false);
        chart.show();
        chart.OnZoomPan = [this](TObject*) { ++zoomPans; };
    }
    void wheel(QPoint p, int delta)
    {
        QWheelEvent event(QPointF(p), QPointF(chart.mapToGlobal(p)), QPoint(), QPoint(0, delta),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&chart, &event);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(&chart, k, modifiers);
    }
    void panDrag(QPoint from, QPoint to)
    {
        chart.SetMouseAction(TMouseActMode::maPan);
        QTest::mousePress(&chart, Qt::LeftButton, {}, from);
        QTest::mouseMove(&chart, from);
        QTest::mouseMove(&chart, to);
        QTest::mouseRelease(&chart, Qt::LeftButton, {}, to);
        testing_support::SendMouse(chart, QEvent::MouseMove, to);
    }
    // The largest distance along either axis between a polar point's pixel and p.
    int offBy(const TpcPolarPoint& polar, QPoint p) const
    {
        const TPoint at = chart.PolarToPixel(polar.Rad, polar.Phi);
        return std::max(std::abs(at.x - p.x()), std::abs(at.y - p.y()));
    }
};

} // namespace

// Twenty steps in and twenty out keep the polar point under the pointer within a pixel, in every
// angle set-up and with an inverted range; each event paints once and fires OnZoomPan.
TEST_F(ViewChart, WheelZoomKeepsThePointUnderThePointer)
{
    struct Setup {
        TpcRotationDir rotation;
        double offset;
        bool degrees;
        bool inverted;
    };
    for (const Setup& setup : { Setup { TpcRotationDir::rdClockwise, 0, true, false },
             Setup { TpcRotationDir::rdCounterCW, -50, true, false },
             Setup { TpcRotationDir::rdClockwise, 1, false, false },
             Setup { TpcRotationDir::rdCounterCW, 30, true, true } }) {
        chart.SetRotationDir(setup.rotation);
        chart.SetUseDegrees(setup.degrees);
        chart.SetAngleOffset(setup.offset);
        chart.SetRangeLow(setup.inverted ? 10 : 0);
        chart.SetRangeHigh(setup.inverted ? 0 : 10);
        for (const QPoint p : { QPoint(250, 120), QPoint(60, 240), QPoint(200, 150) }) {
            SCOPED_TRACE(
                testing::Message() << "offset " << setup.offset << " at " << p.x() << "," << p.y());
            chart.SetMagFactor(0.65);
            chart.SetCenterX(200);
            chart.SetCenterY(150);
            const TpcPolarPoint under = chart.PixelToPolar(p.x(), p.y());
            for (int delta : { 120, -120 }) {
                for (int step = 0; step < 20; ++step) {
                    const double before = chart.MagFactor();
                    const int paints = TpcChartSeams::PaintCount(chart), events = zoomPans;
                    wheel(p, delta);
                    EXPECT_DOUBLE_EQ(chart.MagFactor(), delta > 0 ? before * 1.2 : before / 1.2);
                    ASSERT_LE(offBy(under, p), 1) << "step " << step << " delta " << delta;
                    EXPECT_EQ(TpcChartSeams::PaintCount(chart), paints + 1);
                    EXPECT_EQ(zoomPans, events + 1);
                }
            }
        }
    }
}

// The setter's limits hold (a step at a limit paints nothing), small deltas add up to steps, a
// step that changes direction cancels, and WheelZoom off leaves the wheel alone.
TEST_F(ViewChart, WheelClampsAddsUpSmallDeltasAndCanBeTurnedOff)
{
    chart.SetMagFactor(900);
    wheel(QPoint(100, 100), 120);
    EXPECT_EQ(chart.MagFactor(), 1000);
    const int paints = TpcChartSeams::PaintCount(chart);
    wheel(QPoint(100, 100), 240);
    EXPECT_EQ(chart.MagFactor(), 1000);
    EXPECT_EQ(TpcChartSeams::PaintCount(chart), paints);
    chart.SetMagFactor(0.011);
    wheel(QPoint(100, 100), -120);
    EXPECT_EQ(chart.MagFactor(), 0.01);

    chart.SetMagFactor(1);
    for (int i = 0; i < 3; ++i)
        wheel(QPoint(100, 100), 30);
    EXPECT_EQ(chart.MagFactor(), 1) << "90 of 120";
    wheel(QPoint(100, 100), 30);
    EXPECT_DOUBLE_EQ(chart.MagFactor(), 1.2);
    wheel(QPoint(100, 100), 60);
    wheel(QPoint(100, 100), -60);
    EXPECT_DOUBLE_EQ(chart.MagFactor(), 1.2);

    chart.SetWheelZoom(false);
    wheel(QPoint(100, 100), 480);
    EXPECT_DOUBLE_EQ(chart.MagFactor(), 1.2);
}

// Completed changes are recorded in order: drags, keys and a burst of wheel steps (ended by a
// pause or by the next gesture). Back and forward walk the history, a new change drops the forward
// part, home goes to the view before the first change, and the history keeps 100 views.
TEST_F(ViewChart, HistoryRecordsCompletedChangesAndTheKeysAndButtonsWalkIt)
{
    chart.SetMagFactor(1);
    chart.SetCenterX(200);
    chart.SetCenterY(150);
    const View home = chart.View();
    EXPECT_FALSE(chart.CanViewBack());
    panDrag(QPoint(100, 100), QPoint(130, 90));
    const View panned = chart.View();
    EXPECT_EQ(panned.CenterX, 230);
    key(Qt::Key_Plus);
    const View zoomed = chart.View();
    EXPECT_DOUBLE_EQ(zoomed.MagFactor, 1.2);
    EXPECT_EQ(zoomed.CenterX, 230) << "+ zooms about the centre";
    wheel(QPoint(50, 50), 120);
    wheel(QPoint(50, 50), 120);
    EXPECT_EQ(chart.ViewHistory().size(), 3u) << "the burst is still going on";
    key(Qt::Key_Up);
    const View moved = chart.View();
    ASSERT_EQ(chart.ViewHistory().size(), 5u);
    EXPECT_EQ(chart.ViewHistory()[0], home);
    EXPECT_EQ(chart.ViewHistory()[1], panned);
    EXPECT_EQ(chart.ViewHistory()[2], zoomed);

    const int events = zoomPans;
    key(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(chart.View(), chart.ViewHistory()[3]) << "back to after the wheel burst";
    QTest::mouseClick(&chart, Qt::BackButton);
    EXPECT_EQ(chart.View(), zoomed);
    EXPECT_EQ(zoomPans, events + 2);
    key(Qt::Key_Right, Qt::AltModifier);
    QTest::mouseClick(&chart, Qt::ForwardButton);
    EXPECT_EQ(chart.View(), moved);
    EXPECT_FALSE(chart.CanViewForward());

    chart.ViewBack();
    chart.ViewBack();
    key(Qt::Key_Down);
    EXPECT_FALSE(chart.CanViewForward()) << "a new change drops the forward part";
    EXPECT_EQ(chart.ViewHistory().size(), 4u);
    key(Qt::Key_Home);
    EXPECT_EQ(chart.View(), home);
    chart.ViewBack();
    EXPECT_NE(chart.View(), home) << "home is recorded as a change";

    // A burst of wheel steps alone is recorded half a second after its last step.
    wheel(QPoint(300, 200), -120);
    EXPECT_TRUE(chart.CanViewForward()) << "not recorded yet";
    // Waited for rather than slept: a loaded machine may run the timer late.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !chart.CanViewForward(); }, 10000));
    EXPECT_EQ(chart.ViewHistory().back(), chart.View());

    for (int i = 0; i < 150; ++i)
        key(i % 2 ? Qt::Key_Left : Qt::Key_Up);
    EXPECT_EQ(int(chart.ViewHistory().size()), TCustomPolChart::ViewHistoryLimit);
    key(Qt::Key_Home);
    EXPECT_EQ(chart.View(), home) << "home outlives the oldest views";
}

namespace {

// The nearest drawn element by a search over every element: the reference for the index.
int32_t nearestByScan(const TPolChart& chart, double rad, double phi)
{
    TPoint q = chart.PolarToPixel(rad, phi);
    ClipCoordinates(q.x, q.y);
    int64_t best = std::numeric_limits<int64_t>::max();
    int32_t found = -1;
    for (int32_t i = 0; i < chart.ElementCount(); ++i) {
        if (!chart.IsSnapCandidate(i))
            continue;
        TPoint p = chart.PolarToPixel(chart.Element(i).Rad, chart.Element(i).Phi);
        ClipCoordinates(p.x, p.y);
        const int64_t dx = int64_t(p.x) - q.x, dy = int64_t(p.y) - q.y;
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            found = i;
        }
    }
    return found;
}

} // namespace

// Which elements count, and ties: the same pixel and the same distance both go to the lower index.
TEST_F(ViewChart, SnappingLeavesOutWhatIsNotDrawnAndTiesGoLow)
{
    chart.SetUseDegrees(true);
    chart.SetMagFactor(1);
    chart.SetCenterX(200);
    chart.SetCenterY(150);
    TpcCrossHair& c = *chart.CrossHair1();
    c.SetSnapToData(true);
    EXPECT_EQ(c.SnappedIndex(), -1) << "nothing stored";
    chart.MoveTo(5, 0); // 0: starts a line
    chart.DrawTo(5, 90); // 1
    chart.DrawTo(5, 90); // 2: the same pixel as 1
    chart.MoveTo(5, 180); // 3: starts no line (a move-to follows)
    chart.MoveTo(5, 270); // 4: starts a line
    chart.DrawTo(std::numeric_limits<double>::quiet_NaN(), 0); // 5: not finite
    chart.SetClassDefault(7);
    chart.DrawTo(2, 45); // 6: hidden class
    chart.SetClassDefault(0);
    chart.DrawTo(4, 270); // 7: after the gap, drawn as a move-to
    chart.MoveTo(3, 90); // 8: starts no line (the end)
    chart.SetClassVisible(7, false);
    c.SetPosition(5, 90);
    EXPECT_EQ(c.SnappedIndex(), 1);
    c.SetPosition(5, 180);
    EXPECT_NE(c.SnappedIndex(), 3);
    c.SetPosition(2, 45);
    EXPECT_NE(c.SnappedIndex(), 6);
    c.SetPosition(3, 90);
    EXPECT_NE(c.SnappedIndex(), 8);
    c.SetPosition(0, 0);
    EXPECT_EQ(c.SnappedIndex(), nearestByScan(chart, 0, 0));
    // A tie in distance: the points at 0 and 180 degrees seen from the centre.
    chart.Clear();
    chart.MoveTo(5, 0);
    chart.DrawTo(5, 180);
    chart.DrawTo(5, 0);
    c.SetPosition(0, 0);
    EXPECT_EQ(c.SnappedIndex(), 0);
    EXPECT_EQ(c.PosRad(), 5);
    EXPECT_EQ(c.PosPhi(), 0);
}

// The index answers as a search over every element does, for random data, views and queries.
TEST_F(ViewChart, SnapIndexAgreesWithAScanOverEveryElement)
{
    std::mt19937 random(20261208);
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    for (int round = 0; round < 20; ++round) {
        chart.Clear();
        chart.SetMagFactor(uniform(0.3, 20));
        chart.SetCenterX(int(uniform(-100, 500)));
        chart.SetClassVisible(2, random() % 2);
        // Some rounds with enough points off the chart that their list is merged while it fills.
        const int n = round % 5 == 4 ? 30000 : 1 + int(random() % 3000);
        for (int i = 0; i < n; ++i) {
            chart.SetClassDefault(uint8_t(random() % 3));
            const double rad
                = random() % 50 ? uniform(-1, 12) : std::numeric_limits<double>::infinity();
            if (random() % 5 == 0)
                chart.MoveTo(rad, uniform(0, 360));
            else
                chart.DrawTo(rad, uniform(0, 360));
        }
        chart.CrossHair2()->SetSnapToData(true);
        for (int q = 0; q < 50; ++q) {
            const double rad = uniform(-2, 14), phi = uniform(0, 360);
            ASSERT_EQ(chart.NearestElement(rad, phi), nearestByScan(chart, rad, phi))
                << "round " << round << " query " << q;
        }
    }
}

// Left and Right step crosshair 1 along the drawn elements while it snaps (Shift: by ten),
// stopping at both ends and firing OnCrossHairMove; without snapping they pan.
TEST_F(ViewChart, ArrowsStepASnappingCrossHairAlongTheData)
{
    chart.MoveTo(1, 0);
    for (int i = 1; i < 30; ++i)
        chart.DrawTo(1 + i * 0.2, i * 10);
    chart.SetClassDefault(5);
    chart.DrawTo(9, 300); // 30: hidden
    chart.SetClassVisible(5, false);
    int moves = 0;
    chart.OnCrossHairMove = [&](TObject*, TpcCrossHair*) { ++moves; };
    TpcCrossHair& c = *chart.CrossHair1();
    c.SetMode(TpcCrossHMode::chOrtho);
    c.SetSnapToData(true);
    c.SetPosition(1, 0);
    ASSERT_EQ(c.SnappedIndex(), 0);
    key(Qt::Key_Left);
    EXPECT_EQ(c.SnappedIndex(), 0) << "the first element";
    EXPECT_EQ(moves, 0);
    key(Qt::Key_Right);
    EXPECT_EQ(c.SnappedIndex(), 1);
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(c.SnappedIndex(), 11);
    EXPECT_EQ(c.PosRad(), chart.Element(11).Rad);
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(c.SnappedIndex(), 29) << "the last drawn element; 30 is hidden";
    EXPECT_EQ(moves, 4);
    const View view = chart.View();
    key(Qt::Key_Up);
    EXPECT_NE(chart.View(), view) << "Up and Down still pan";

    c.SetSnapToData(false);
    const View before = chart.View();
    key(Qt::Key_Right);
    EXPECT_EQ(chart.View().CenterX, before.CenterX - 30) << "a tenth of the shorter side";
}

// Hostile wheels and keys: above the limit a step up keeps the magnification and a step down
// divides it; deltas whose sum passes the 32-bit range still zoom the way they point, and stop
// at the limit; a position that is not a number is ignored and a far one does not throw the
// centre across the plane.
TEST_F(ViewChart, WheelAndKeysUnderHostileInput)
{
    chart.SetMagFactor(1000);
    chart.SetMouseAction(TMouseActMode::maZoomWind);
    QTest::mousePress(&chart, Qt::LeftButton, {}, QPoint(100, 100));
    testing_support::SendMouse(
        chart, QEvent::MouseMove, QPoint(101, 101), Qt::NoButton, Qt::LeftButton);
    QTest::mouseRelease(&chart, Qt::LeftButton, {}, QPoint(101, 101));
    const double boxed = chart.MagFactor();
    ASSERT_GT(boxed, 1000) << "a box zoom goes past the limit";
    wheel(QPoint(200, 150), 120);
    key(Qt::Key_Plus);
    EXPECT_EQ(chart.MagFactor(), boxed) << "up from beyond the limit stays";
    key(Qt::Key_Minus);
    EXPECT_DOUBLE_EQ(chart.MagFactor(), boxed / 1.2);
    wheel(QPoint(200, 150), -120);
    EXPECT_DOUBLE_EQ(chart.MagFactor(), boxed / 1.44);

    chart.SetMagFactor(1);
    wheel(QPoint(200, 150), 60);
    wheel(QPoint(200, 150), std::numeric_limits<int>::max());
    EXPECT_EQ(chart.MagFactor(), 1000) << "in, up to the limit";
    wheel(QPoint(200, 150), std::numeric_limits<int>::min());
    wheel(QPoint(200, 150), std::numeric_limits<int>::min());
    EXPECT_EQ(chart.MagFactor(), 0.01) << "out, down to the limit";

    chart.SetMagFactor(1);
    const View before = chart.View();
    const int paints = TpcChartSeams::PaintCount(chart);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const QPointF p : { QPointF(nan, 100), QPointF(100, nan), QPointF(INFINITY, 0) }) {
        QWheelEvent event(
            p, p, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&chart, &event);
    }
    EXPECT_EQ(chart.View(), before);
    EXPECT_EQ(TpcChartSeams::PaintCount(chart), paints);
    for (const QPointF p : { QPointF(1e10, -1e10), QPointF(-3e9, 5e9) }) {
        chart.SetCenterX(200);
        chart.SetCenterY(150);
        QWheelEvent event(
            p, p, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&chart, &event);
        EXPECT_LT(std::abs(chart.CenterX() - 200), 10000) << p.x();
        EXPECT_LT(std::abs(chart.CenterY() - 150), 10000) << p.y();
    }
}

// Forward during a wheel burst ends the burst first: the wheeled view is recorded, the forward
// part is dropped, and the view stays.
TEST_F(ViewChart, ForwardEndsARunningWheelBurst)
{
    key(Qt::Key_Up);
    chart.ViewBack();
    ASSERT_TRUE(chart.CanViewForward());
    wheel(QPoint(120, 100), 120);
    const View wheeled = chart.View();
    chart.ViewForward();
    EXPECT_EQ(chart.View(), wheeled);
    EXPECT_EQ(chart.ViewHistory().back(), wheeled);
    EXPECT_FALSE(chart.CanViewForward());
}

// A snapped element that goes with Clear is forgotten, and the arrows then start from the
// element nearest to the crosshair in the new data.
TEST_F(ViewChart, ClearForgetsTheSnappedElement)
{
    for (int i = 0; i < 10; ++i)
        chart.DrawTo(1 + i * 0.5, i * 20);
    TpcCrossHair& c = *chart.CrossHair1();
    c.SetSnapToData(true);
    c.SetPosition(5, 160);
    ASSERT_EQ(c.SnappedIndex(), 8);
    chart.Clear();
    EXPECT_EQ(c.SnappedIndex(), -1);
    chart.MoveTo(5, 160);
    chart.DrawTo(2, 0);
    key(Qt::Key_Right);
    EXPECT_EQ(c.SnappedIndex(), 1) << "from element 0, nearest to the crosshair";
}

// A query at the far ends of the 32-bit plane finds the nearer point: no squared distance
// overflows.
TEST(SnapIndex, FarQueriesFindTheNearerPoint)
{
    TpcSnapIndex index;
    index.Begin();
    index.MoveTo(TPoint { -30000, -30000 }, 0);
    index.LineTo(TPoint { 30000, 30000 }, 1);
    index.Finish();
    constexpr int32_t max = std::numeric_limits<int32_t>::max(),
                      min = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(index.Nearest(TPoint { max, max }), 1);
    EXPECT_EQ(index.Nearest(TPoint { min, min }), 0);
    EXPECT_EQ(index.Nearest(TPoint { max, min }), 0) << "a tie goes to the lower index";
}

// The index is built once for the data, the view and the size: a repaint that changes neither
// keeps it, a change of any of them builds it again at the next paint or query. However many
// elements share the pixels, building it holds little more than the finished index and a bit per
// pixel of the chart.
TEST_F(ViewChart, SnapIndexIsKeptWhileDataAndViewStayAndBuiltWithinItsBudget)
{
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> rad(0, 12), phi(0, 360);
    for (int i = 0; i < 300000; ++i)
        chart.DrawTo(rad(random), phi(random));
    chart.CrossHair1()->SetSnapToData(true);
    chart.Redraw();
    const TpcSnapIndex& index = TpcChartSeams::SnapIndex(chart);
    const int built = index.BuildCount();
    ASSERT_GT(index.PixelCount(), 10000u);
    const size_t budget = index.PixelCount() * 12 * 3 + size_t(400 * 300 / 8) + 4096 * 12 * 2;
    EXPECT_LE(index.BuildBytes(), budget) << index.PixelCount() << " pixels";

    chart.SetGridColor(clBlue);
    chart.CrossHair1()->SetPosition(3, 40);
    chart.NearestElement(5, 5);
    EXPECT_EQ(index.BuildCount(), built) << "neither data nor view changed";
    const auto rebuilds = [&](const std::function<void()>& change) {
        const int before = index.BuildCount();
        change();
        chart.NearestElement(5, 5);
        return index.BuildCount() - before;
    };
    EXPECT_EQ(rebuilds([&] { chart.SetCenterX(chart.CenterX() + 1); }), 1);
    EXPECT_EQ(rebuilds([&] { chart.SetRotationDir(TpcRotationDir::rdCounterCW); }), 1);
    EXPECT_EQ(rebuilds([&] { chart.DrawTo(1, 1); }), 1);
    EXPECT_EQ(rebuilds([&] { chart.SetClassVisible(3, false); }), 1);
    EXPECT_EQ(rebuilds([&] { chart.SetBounds(0, 0, 401, 300); }), 1);
    EXPECT_EQ(rebuilds([&] { chart.SetChartColor(clYellow); }), 0);
}
