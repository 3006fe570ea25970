/// \file
/// The rooms of one chart, which its façade holds and wires together: the viewport, the navigator
/// and the snap index, with the façade's side of their conversations.
#pragma once

#include "ZNQ_polchart.h"
#include "polchart_navigator.h"
#include "polchart_render.h"
#include "polchart_snap.h"
#include "polchart_style.h"
#include "polchart_viewport.h"

#include <optional>

namespace znq {

/// The chart's rooms. It answers the viewport and the navigator for the chart.
class TpcChartRooms final : public TpcViewport::Observer, public TpcNavigator::Host {
public:
    /// The rooms of chart.
    explicit TpcChartRooms(TCustomPolChart& chart);

    /// The chart.
    TCustomPolChart& Chart;
    /// The view.
    TpcViewport Viewport;
    /// Mouse, wheel, keys and history.
    TpcNavigator Navigator;
    /// The look and the data attributes.
    TpcChartStyle Style;

    /// Built during the paint while a crosshair snaps, or on demand; kept as long as the data, the
    /// transform and the size it was built for stay the same.
    TpcSnapIndex SnapIndex;
    /// What a snap index is built for.
    struct SnapKey {
        TpcTransformParams Params; ///< The transform.
        uint64_t DataVersion = 0; ///< The data, counted by the chart's dataChanged.
        int32_t Width = 0; ///< The chart's width.
        int32_t Height = 0; ///< The chart's height.
        /// Equal in all four.
        friend bool operator==(const SnapKey&, const SnapKey&) = default;
    };
    /// What the snap index was built for; none while it is being filled or never was.
    std::optional<SnapKey> SnapIndexKey;
    /// What a snap index built now would be built for.
    SnapKey CurrentSnapKey() const;
    /// Whether the snap index holds the present data, transform and size.
    bool SnapIndexCurrent() const;
    /// Whether the data layer takes the straightforward path (for tests that compare the two).
    bool ReferenceDataPath = false;

    /// The context of a paint of the present state.
    TpcRenderContext RenderContext() const;

    // TpcViewport::Observer
    TpcViewArea ViewArea() const override;
    void ViewRescale() override;
    void ViewFieldChanged(TpcViewField field) override;
    void ViewApplied(TpcViewCause cause) override;

    // TpcNavigator::Host
    TpcCrossHair* NavCrossHair(int index) const override;
    TpcTextLabel* NavTextLabel(int index) const override;
    void NavPaint() override;
    bool NavPaintingSuspended() const override;
    void NavSetPaintingSuspended(bool suspended) override;
    void NavZoomPanned() override;
    void NavCrossHairMoved(TpcCrossHair* crossHair, int index) override;
    void NavTextLabelMoved(TpcTextLabel* label, int index) override;
    void NavPointerMoved(TShiftState shift, int32_t x, int32_t y, bool inChart) override;
    void NavToggleZoomBox(TPoint anchor, TPoint corner) override;
    bool NavStepCrossHair(int index, int steps) override;
};

inline TpcChartStyle& TCustomPolChart::style() const
{
    return m_rooms->Style;
}

} // namespace znq
