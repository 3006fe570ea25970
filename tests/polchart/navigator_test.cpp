// The viewport and the navigator on their own, without a widget: a fake chart answers them, so the
// view changes, the change signals, the history and the paints they ask for are counted directly.
#include "view/polchart_navigator.h"
#include "view/polchart_viewport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace znq;

namespace {

struct FakeChart : TpcViewport::Observer, TpcNavigator::Host {
    FakeChart()
    {
        for (auto& crossHair : crossHairs)
            crossHair = std::make_unique<TpcCrossHair>();
        for (auto& label : labels)
            label = std::make_unique<TpcTextLabel>();
        viewport.Rescale(false);
        signalled.clear();
    }

    TpcViewArea ViewArea() const override { return TpcViewArea { 400, 300, 0 }; }
    void ViewRescale() override { viewport.Rescale(false); }
    void ViewFieldChanged(TpcViewField field) override { signalled.push_back(field); }
    void ViewApplied(TpcViewCause cause) override { navigator.ViewApplied(cause); }

    TpcCrossHair* NavCrossHair(int index) const override { return crossHairs[index - 1].get(); }
    TpcTextLabel* NavTextLabel(int index) const override { return labels[index - 1].get(); }
    void NavPaint() override { ++paints; }
    bool NavPaintingSuspended() const override { return suspended; }
    void NavSetPaintingSuspended(bool value) override
    {
        if (suspended && !value)
            ++paints;
        suspended = value;
    }
    void NavZoomPanned() override { ++zoomPans; }
    void NavCrossHairMoved(TpcCrossHair*, int) override { }
    void NavTextLabelMoved(TpcTextLabel*, int) override { }
    void NavPointerMoved(TShiftState, int32_t, int32_t) override { ++pointerReports; }
    void NavToggleZoomBox(TPoint, TPoint) override { ++boxOutlines; }
    bool NavStepCrossHair(int, int) override { return false; }

    TpcViewport viewport { *this };
    TpcNavigator navigator { viewport, *this };
    std::array<std::unique_ptr<TpcCrossHair>, 4> crossHairs;
    std::array<std::unique_ptr<TpcTextLabel>, 20> labels;
    std::vector<TpcViewField> signalled;
    bool suspended = false;
    int paints = 0, zoomPans = 0, pointerReports = 0, boxOutlines = 0;
};

TpcView viewOf(const TpcViewport& viewport)
{
    return TpcView { viewport.View().CenterX, viewport.View().CenterY, viewport.View().MagFactor };
}

} // namespace

// A drag pans by the pointer's way from its start, paints and reports each step, and the whole drag
// is one recorded change: the view before it and the view after it.
TEST(NavigatorAlone, APanDragIsOneRecordedChange)
{
    FakeChart f;
    f.navigator.SetMouseAction(TMouseActMode::maPan);
    const TpcView start = viewOf(f.viewport);
    for (const TPoint p : { TPoint { 100, 100 }, TPoint { 130, 90 }, TPoint { 150, 80 } })
        f.navigator.MouseMove(TShiftStateFlag::ssLeft, p.x, p.y);
    f.navigator.MouseMove(TShiftState(), 150, 80);
    const TpcView end { start.CenterX + 50, start.CenterY - 20, start.MagFactor };
    EXPECT_EQ(viewOf(f.viewport), end);
    EXPECT_EQ(f.paints, 2);
    EXPECT_EQ(f.zoomPans, 2);
    EXPECT_EQ(f.pointerReports, 4);
    EXPECT_EQ(f.navigator.ViewHistory(), (std::vector<TpcView> { start, end }));
    EXPECT_EQ(f.viewport.Transform().PolarToPixel(0, 0), (TPoint { end.CenterX, end.CenterY }))
        << "each step rescaled";

    f.navigator.ViewBack();
    EXPECT_EQ(viewOf(f.viewport), start);
    EXPECT_EQ(f.navigator.ViewHistoryPosition(), 0);
    EXPECT_TRUE(f.navigator.CanViewForward());
    EXPECT_EQ(f.zoomPans, 3);
}

// A zoom key is a complete change of its own, recorded after it; Home goes back and is recorded
// too. A box zoom paints once, when painting resumes.
TEST(NavigatorAlone, KeysAndTheZoomBoxRecordEachChangeOnce)
{
    FakeChart f;
    ASSERT_TRUE(f.navigator.Key(Qt::Key_Plus, Qt::NoModifier));
    EXPECT_DOUBLE_EQ(f.viewport.View().MagFactor, 1.2);
    EXPECT_EQ(f.navigator.ViewHistory().size(), 2U);
    ASSERT_TRUE(f.navigator.Key(Qt::Key_Home, Qt::NoModifier));
    EXPECT_EQ(f.viewport.View().MagFactor, 1.0);
    EXPECT_EQ(f.navigator.ViewHistory().size(), 3U);
    EXPECT_FALSE(f.navigator.Key(Qt::Key_A, Qt::NoModifier)) << "not a view key";

    f.navigator.SetMouseAction(TMouseActMode::maZoomWind);
    const int paints = f.paints;
    f.navigator.MouseDown(TMouseButton::mbLeft, 100, 50);
    f.navigator.MouseMove(TShiftStateFlag::ssLeft, 250, 200);
    EXPECT_TRUE(f.navigator.ZoomBoxOverlay().has_value());
    f.navigator.MouseUp(TMouseButton::mbLeft);
    EXPECT_FALSE(f.navigator.ZoomBoxOverlay().has_value());
    EXPECT_EQ(f.paints, paints + 1);
    EXPECT_EQ(f.boxOutlines, 3)
        << "the move erases the empty box and draws one, the release erases";
    EXPECT_EQ(f.navigator.ViewHistory().size(), 4U);
    EXPECT_EQ(f.navigator.ViewHistory().back(), viewOf(f.viewport));
}

// The viewport refuses a view it cannot map and signals each changed field once, after the scale
// is computed for it.
TEST(ViewportAlone, RefusesViewsItCannotMapAndSignalsEachChangeOnce)
{
    FakeChart f;
    TpcViewState view = f.viewport.View();
    for (const double bad : { NAN, INFINITY }) {
        TpcViewState broken = view;
        broken.MagFactor = bad;
        EXPECT_FALSE(f.viewport.Apply(broken, TpcViewCause::vcProperty));
        broken = view;
        broken.RangeHigh = bad;
        EXPECT_FALSE(f.viewport.Apply(broken, TpcViewCause::vcProperty));
    }
    EXPECT_EQ(f.viewport.View(), view);
    EXPECT_TRUE(f.signalled.empty());

    view.MagFactor = 2;
    view.RangeLow = -1;
    ASSERT_TRUE(f.viewport.Apply(view, TpcViewCause::vcProperty));
    EXPECT_EQ(f.signalled,
        (std::vector<TpcViewField> { TpcViewField::vfMagFactor, TpcViewField::vfRangeLow }));
    EXPECT_EQ(f.viewport.Scale(), 2.0L * 300 / 2 / 2) << "the scale of the applied view";
    ASSERT_TRUE(f.viewport.Apply(view, TpcViewCause::vcProperty));
    EXPECT_EQ(f.signalled.size(), 2U) << "the same view again signals nothing";

    view.RotationSign = -1;
    ASSERT_TRUE(f.viewport.Apply(view, TpcViewCause::vcDirection));
    EXPECT_EQ(f.signalled.back(), TpcViewField::vfRotationSign);
}
