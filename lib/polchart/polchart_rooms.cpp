// The façade's side of the rooms' conversations: the viewport's area, rescale and signals, and
// what the navigator asks of the chart.
#include "polchart_rooms.h"

#include <QMetaMethod>

namespace znq {

TpcChartRooms::TpcChartRooms(TCustomPolChart& chart)
    : Chart(chart)
    , Viewport(*this)
    , Navigator(Viewport, *this)
{
}

TpcChartRooms::SnapKey TpcChartRooms::CurrentSnapKey() const
{
    return SnapKey { Viewport.Transform().Params(), Chart.m_dataVersion, Chart.Width(),
        Chart.Height() };
}

bool TpcChartRooms::SnapIndexCurrent() const
{
    return SnapIndexKey && *SnapIndexKey == CurrentSnapKey();
}

TpcRenderContext TpcChartRooms::RenderContext() const
{
    TCustomPolChart& chart = Chart;
    return TpcRenderContext { Viewport.Transform(), Viewport.View(), ViewArea(),
        Viewport.OuterRadius(), Style, chart.Font(), chart.m_store, chart.m_classVisible,
        chart.m_crossHairs, chart.m_textLabels, ReferenceDataPath, nullptr,
        [&chart](TCanvas& canvas, TpcScaleKind kind, std::string& text, int32_t x, int32_t y) {
            chart.offerScaleLabel(canvas, kind, text, x, y);
        },
        [&chart](TCanvas& canvas) {
            if (chart.OnDataRendered)
                chart.OnDataRendered(chart.EventSender(), canvas, 0, 0);
            Q_EMIT chart.dataRendered(&canvas, 0, 0);
        } };
}

// ---------------------------------------------------------------------------------------------
// The viewport's observer

TpcViewArea TpcChartRooms::ViewArea() const
{
    return TpcViewArea { Chart.Width(), Chart.Height(), Chart.style().ShadowWidth };
}

// The chart's rescale is overridable; it ends in the viewport's Rescale.
void TpcChartRooms::ViewRescale()
{
    Chart.UpdateScaling();
}

void TpcChartRooms::ViewFieldChanged(TpcViewField field)
{
    const TpcViewState& v = Viewport.View();
    switch (field) {
    case TpcViewField::vfMagFactor:
        Q_EMIT Chart.magFactorChanged(v.MagFactor);
        break;
    case TpcViewField::vfCenterX:
        Q_EMIT Chart.centerXChanged(v.CenterX);
        break;
    case TpcViewField::vfCenterY:
        Q_EMIT Chart.centerYChanged(v.CenterY);
        break;
    case TpcViewField::vfAngleOffset:
        Q_EMIT Chart.angleOffsetChanged(v.AngleOffset);
        break;
    case TpcViewField::vfRangeLow:
        Q_EMIT Chart.rangeLowChanged(v.RangeLow);
        break;
    case TpcViewField::vfRangeHigh:
        Q_EMIT Chart.rangeHighChanged(v.RangeHigh);
        break;
    }
}

void TpcChartRooms::ViewApplied(TpcViewCause cause)
{
    Navigator.ViewApplied(cause);
}

// ---------------------------------------------------------------------------------------------
// The navigator's host

TpcCrossHair* TpcChartRooms::NavCrossHair(int index) const
{
    return Chart.CrossHair(index);
}

TpcTextLabel* TpcChartRooms::NavTextLabel(int index) const
{
    return Chart.TextLabel(index);
}

void TpcChartRooms::NavPaint()
{
    Chart.Paint();
}

bool TpcChartRooms::NavPaintingSuspended() const
{
    return Chart.PaintingSuspended();
}

void TpcChartRooms::NavSetPaintingSuspended(bool suspended)
{
    Chart.SetPaintingSuspended(suspended);
}

void TpcChartRooms::NavZoomPanned()
{
    Chart.fireZoomPan();
}

void TpcChartRooms::NavCrossHairMoved(TpcCrossHair* crossHair, int index)
{
    Chart.crossHairMovedByUser(crossHair, index);
}

void TpcChartRooms::NavTextLabelMoved(TpcTextLabel* label, int index)
{
    Chart.Paint();
    if (Chart.OnTextLabelMove)
        Chart.OnTextLabelMove(Chart.EventSender(), label);
    Q_EMIT Chart.textLabelMoved(index);
}

void TpcChartRooms::NavPointerMoved(TShiftState shift, int32_t x, int32_t y, bool inChart)
{
    Chart.reportPointer(shift, x, y, inChart);
}

void TpcChartRooms::NavToggleZoomBox(TPoint anchor, TPoint corner)
{
    Chart.drawZoomBox(anchor, corner);
}

bool TpcChartRooms::NavStepCrossHair(int index, int steps)
{
    return Chart.StepCrossHair(index, steps);
}

} // namespace znq
