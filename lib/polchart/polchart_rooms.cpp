// The wiring between the chart's façade and its rooms: the redraw rule, the events, and both sides
// of the viewport's and the navigator's conversations with the chart.
#include "polchart_rooms.h"

namespace znq {

TpcChartRooms::TpcChartRooms(TCustomPolChart& chart)
    : Chart(chart)
    , Viewport(*this)
    , Navigator(Viewport, *this)
{
}

// ---------------------------------------------------------------------------------------------
// The redraw rule

void TpcChartRooms::RedrawIfAuto()
{
    ChartChanged();
    if (AutoRedraw || Chart.Designing())
        Chart.Paint();
}

void TpcChartRooms::RescaleAndRedraw()
{
    Chart.UpdateScaling();
    RedrawIfAuto();
}

void TpcChartRooms::ApplyView(const TpcViewState& view)
{
    Viewport.Apply(view, TpcViewCause::vcProperty);
    RedrawIfAuto();
}

void TpcChartRooms::ApplyViewAndFit(const TpcViewState& view)
{
    Viewport.Apply(view, TpcViewCause::vcProperty);
    if (!RefitSector())
        RedrawIfAuto();
}

bool TpcChartRooms::RefitSector()
{
    const TpcViewState& view = Viewport.View();
    if (!Chart.AutoCenter() || (WholeTurn(view) && !FittedSector))
        return false;
    // A sector's box moves with it; centring fits it again (and fits the whole circle once more
    // after a sector gave way to it).
    FittedSector = !WholeTurn(view);
    Chart.CenterChart();
    return true;
}

// ---------------------------------------------------------------------------------------------
// The events

void TpcChartRooms::FireZoomPan()
{
    fire(Chart.OnZoomPan, [this] {
        Q_EMIT Chart.zoomPan();
        Q_EMIT Chart.zoomPanned();
    });
}

// The polar position is worked out only when a handler or a slot wants it: the report comes with
// every pointer move.
void TpcChartRooms::FireMouseMoveInChart(TShiftState shift, int32_t x, int32_t y)
{
    static const QMetaMethod signal = QMetaMethod::fromSignal(&TCustomPolChart::mouseMoveInChart);
    static const QMetaMethod oldSignal
        = QMetaMethod::fromSignal(&TCustomPolChart::mouseMovedInChart);
    if (!Chart.OnMouseMoveInChart && !Chart.isSignalConnected(signal)
        && !Chart.isSignalConnected(oldSignal))
        return;
    const TpcPolarPoint polar = Viewport.Transform().PixelToPolar(x, y);
    const TpcViewArea area = ViewArea();
    const bool inChart = geometry::InChartArea(x, y, area.Width, area.Height, area.ShadowWidth);
    fire(
        Chart.OnMouseMoveInChart,
        [&] {
            Q_EMIT Chart.mouseMoveInChart(inChart, shift, polar.Rad, polar.Phi);
            Q_EMIT Chart.mouseMovedInChart(inChart, ModifiersOf(shift), polar.Rad, polar.Phi);
        },
        inChart, shift, polar.Rad, polar.Phi);
}

void TpcChartRooms::FireBeforeDrawScaleLabel(
    TCanvas& canvas, TpcScaleKind kind, std::string& text, int32_t x, int32_t y)
{
    fire(
        Chart.OnBeforeDrawScaleLabel,
        [&] {
            Q_EMIT Chart.beforeDrawScaleLabel(&canvas, kind, &text, x, y);
            Q_EMIT Chart.scaleLabelDrawing(&canvas, kind, &text, x, y);
        },
        canvas, kind, text, x, y);
}

void TpcChartRooms::FireDataRendered(TCanvas& canvas)
{
    fire(
        Chart.OnDataRendered, [&] { Q_EMIT Chart.dataRendered(&canvas, 0, 0); }, canvas, 0, 0);
}

void TpcChartRooms::FireCrossHairMove(TpcCrossHair* crossHair, int index)
{
    Chart.PaintCrossHairs();
    fire(
        Chart.OnCrossHairMove,
        [&] {
            Q_EMIT Chart.crossHairMove(crossHair);
            Q_EMIT Chart.crossHairMoved(index);
        },
        crossHair);
}

void TpcChartRooms::FireTextLabelMove(TpcTextLabel* label, int index)
{
    Chart.Paint();
    fire(
        Chart.OnTextLabelMove,
        [&] {
            Q_EMIT Chart.textLabelMove(label);
            Q_EMIT Chart.textLabelMoved(index);
        },
        label);
}

// ---------------------------------------------------------------------------------------------
// The viewport's observer

TpcViewArea TpcChartRooms::ViewArea() const
{
    TpcViewArea area { Chart.Width(), Chart.Height(), Style.ShadowWidth };
    if (!WholeTurn(Viewport.View())) {
        // Room for the angle labels beyond the outer arc and the radial labels beside the edge,
        // measured as CenterChart measures the radial labels.
        TCanvas& canvas = Chart.Canvas();
        const bool angleLabels = Style.LabelModeAngular != TpcAngLabelMode::almNone;
        const bool radialLabels = Style.LabelModeRadial != TpcRadLabelMode::rlmNone;
        int32_t width = 0;
        if (angleLabels)
            width = canvas.TextWidth("-000.0");
        if (radialLabels) {
            for (const double bound : { Viewport.View().RangeLow, Viewport.View().RangeHigh })
                width = std::max(
                    width, canvas.TextWidth(FormatScaleNumber(1, Style.DecPlaceRad, bound)));
        }
        if (angleLabels || radialLabels) {
            area.LabelMarginX = width + 8;
            area.LabelMarginY = canvas.TextHeight("0") + 4;
        }
    }
    return area;
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
    case TpcViewField::vfAngleUnit:
        Q_EMIT Chart.useDegreesChanged();
        break;
    case TpcViewField::vfRotationSign:
        Q_EMIT Chart.rotationDirChanged();
        break;
    case TpcViewField::vfRadialScale:
        Q_EMIT Chart.radialScaleChanged(Chart.RadialScale());
        break;
    case TpcViewField::vfSectorStart:
        Q_EMIT Chart.sectorStartChanged(v.SectorStart);
        break;
    case TpcViewField::vfSectorSpan:
        Q_EMIT Chart.sectorSpanChanged(v.SectorSpan);
        break;
    case TpcViewField::vfHoleFraction:
        Q_EMIT Chart.holeFractionChanged(v.HoleFraction);
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
    return PaintingSuspended;
}

void TpcChartRooms::NavSetPaintingSuspended(bool suspended)
{
    Chart.SetPaintingSuspended(suspended);
}

void TpcChartRooms::NavZoomPanned()
{
    FireZoomPan();
}

void TpcChartRooms::NavCrossHairMoved(TpcCrossHair* crossHair, int index)
{
    FireCrossHairMove(crossHair, index);
}

void TpcChartRooms::NavTextLabelMoved(TpcTextLabel* label, int index)
{
    FireTextLabelMove(label, index);
}

void TpcChartRooms::NavPointerMoved(TShiftState shift, int32_t x, int32_t y)
{
    FireMouseMoveInChart(shift, x, y);
}

void TpcChartRooms::NavToggleZoomBox(TPoint anchor, TPoint corner)
{
    DrawZoomBox(anchor, corner);
}

bool TpcChartRooms::NavStepCrossHair(int index, int steps)
{
    return Chart.StepCrossHair(index, steps);
}

} // namespace znq
