// The wiring between the chart's façade and its rooms: the redraw rule, the events, and both sides
// of the viewport's and the navigator's conversations with the chart.
#include "chart/polchart_rooms.h"

#include "base_helpers.h"

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
    if (BatchDepth > 0) {
        BatchRedraw = true;
        return;
    }
    if (AutoRedraw || Chart.Designing())
        Chart.Paint();
    AccessNotice->Changed();
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
    fire(Chart.OnZoomPan, [this] { Q_EMIT Chart.zoomPanned(); });
}

// The polar position is worked out only when a handler or a slot wants it: the report comes with
// every pointer move.
void TpcChartRooms::FireMouseMoveInChart(TShiftState shift, int32_t x, int32_t y)
{
    static const QMetaMethod signal = QMetaMethod::fromSignal(&TCustomPolChart::mouseMovedInChart);
    if (!Chart.OnMouseMoveInChart && !Chart.isSignalConnected(signal))
        return;
    const TpcTransform transform = Viewport.Transform();
    const TpcPolarPoint polar = transform.PixelToPolar(x, y);
    const TpcViewArea area = ViewArea();
    // Beyond a partial sector's edges and in a hole the pointer is not in the chart.
    const bool inChart = geometry::InChartArea(x, y, area.Width, area.Height, area.ShadowWidth)
        && transform.InView(x, y);
    fire(
        Chart.OnMouseMoveInChart,
        [&] { Q_EMIT Chart.mouseMovedInChart(inChart, shift, polar.Rad, polar.Phi); }, inChart,
        shift, polar.Rad, polar.Phi);
}

void TpcChartRooms::FireBeforeDrawScaleLabel(
    TCanvas& canvas, TpcScaleKind kind, std::string& text, int32_t x, int32_t y)
{
    const std::string before = text;
    fire(
        Chart.OnBeforeDrawScaleLabel,
        [&] { Q_EMIT Chart.scaleLabelAboutToBeDrawn(&canvas, kind, &text, x, y); }, canvas, kind,
        text, x, y);
    ScaleLabelSuffix[size_t(kind)]
        = text.starts_with(before) ? text.substr(before.size()) : std::string();
}

void TpcChartRooms::FireDataRendered(TCanvas& canvas)
{
    fire(
        Chart.OnDataRendered, [&] { Q_EMIT Chart.dataRendered(&canvas, 0, 0); }, canvas, 0, 0);
}

void TpcChartRooms::FireCrossHairMove(TpcCrossHair* crossHair)
{
    Chart.PaintCrossHairs();
    fire(
        Chart.OnCrossHairMove, [&] { Q_EMIT Chart.crossHairMoved(crossHair); }, crossHair);
}

void TpcChartRooms::FireTextLabelMove(TpcTextLabel* label)
{
    Chart.Paint();
    fire(
        Chart.OnTextLabelMove, [&] { Q_EMIT Chart.textLabelMoved(label); }, label);
}

void TpcChartRooms::FireLegendClick(int elemClass, bool visible)
{
    fire(
        Chart.OnLegendClick, [&] { Q_EMIT Chart.legendClicked(elemClass, visible); }, elemClass,
        visible);
}

// ---------------------------------------------------------------------------------------------
// The viewport's observer

TpcViewArea TpcChartRooms::ViewArea() const
{
    return TpcViewArea { Chart.Width(), Chart.Height(), Style.ShadowWidth };
}

// Measured anew each time: asked only while a partial sector is shown, once per rescale and paint.
double TpcChartRooms::ViewSectorSide() const
{
    const TpcViewArea area = ViewArea();
    return 2
        * FittingRadius(SectorFeatures(), double(area.Width) - area.ShadowWidth,
            double(area.Height) - area.ShadowWidth);
}

// What a partial sector shows besides its box: the angle labels of its rays and the radial labels
// at both ends of its starting edge, placed as the grid places them, measured in the chart's font.
std::vector<TpcFitFeature> TpcChartRooms::SectorFeatures() const
{
    const TpcViewState& view = Viewport.View();
    const TpcSectorBox box = TpcViewport::SectorBoxOf(view);
    std::vector<TpcFitFeature> features { { box.Left, box.Top }, { box.Right, box.Bottom } };
    TCanvas& canvas = Chart.Canvas();
    const TCanvas::StateGuard keep(canvas);
    canvas.Font().Assign(Chart.Font());
    const double offset = view.AngleOffset * view.AngleUnit;
    const int sign = view.RotationSign;
    if (Style.LabelModeAngular != TpcAngLabelMode::almNone) {
        // The multiple-of-pi labels are drawn in the "Symbol" font.
        if (Style.LabelModeAngular == TpcAngLabelMode::almMultiPi
            || Style.LabelModeAngular == TpcAngLabelMode::almSymmMultiPi)
            canvas.Font().SetName("Symbol");
        const int rayCount = static_cast<int>(std::nearbyint(360 / Style.AngleBtwRays));
        for (int i = 0; i < rayCount; ++i) {
            const double theta = 2 * std::numbers::pi * i / rayCount;
            if (!RayInSector(view, theta))
                continue;
            const std::string text = AngleLabelText(
                Style.LabelModeAngular, i, rayCount, Style.AngleBtwRays, Style.DecPlacePhi);
            const double w = canvas.TextWidth(text), h = canvas.TextHeight(text);
            const double c = std::cos(theta + offset), s = std::sin(theta + offset) * sign;
            features.push_back({ c, s, c * (w / 2 + geometry::AngleLabelGapX),
                s * (h / 2 + geometry::AngleLabelGapY), w / 2, h / 2 });
        }
        canvas.Font().Assign(Chart.Font());
    }
    if (Style.LabelModeRadial != TpcRadLabelMode::rlmNone) {
        double w = 0, h = 0;
        for (const double bound : { view.RangeLow, view.RangeHigh }) {
            const std::string text = FormatScaleNumber(1, Style.DecPlaceRad, bound);
            w = std::max<double>(w, canvas.TextWidth(text));
            h = std::max<double>(h, canvas.TextHeight(text));
        }
        const double start = view.SectorStart * view.AngleUnit + offset;
        const double c = std::cos(start), s = std::sin(start) * sign;
        // The edge's outward normal, away from the sector.
        const double nx = s * sign, ny = -c * sign;
        const double away = geometry::EdgeLabelGap + std::fabs(nx) * w / 2 + std::fabs(ny) * h / 2;
        for (const double fraction : { view.HoleFraction, 1.0 })
            features.push_back({ c * fraction, s * fraction, nx * away, ny * away, w / 2, h / 2 });
    }
    return features;
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

void TpcChartRooms::NavCrossHairMoved(TpcCrossHair* crossHair, int)
{
    FireCrossHairMove(crossHair);
}

void TpcChartRooms::NavTextLabelMoved(TpcTextLabel* label, int)
{
    FireTextLabelMove(label);
}

void TpcChartRooms::NavPointerMoved(TShiftState shift, int32_t x, int32_t y)
{
    FireMouseMoveInChart(shift, x, y);
    FireWedgeHovered(x, y);
    FireRasterValue(x, y);
}

// Every move is reported while a slot listens: the value under the pointer, or NaN.
void TpcChartRooms::FireRasterValue(int32_t x, int32_t y)
{
    static const QMetaMethod signal = QMetaMethod::fromSignal(&TCustomPolChart::rasterValueHovered);
    if (!Chart.isSignalConnected(signal))
        return;
    const TpcViewArea area = ViewArea();
    Q_EMIT Chart.rasterValueHovered(
        geometry::InChartArea(x, y, area.Width, area.Height, area.ShadowWidth)
            ? Raster->ValueAtPixel(x, y)
            : std::numeric_limits<double>::quiet_NaN());
}

// Only a change of the wedge under the pointer is reported, and only while a slot listens.
void TpcChartRooms::FireWedgeHovered(int32_t x, int32_t y)
{
    static const QMetaMethod signal = QMetaMethod::fromSignal(&TCustomPolChart::wedgeHovered);
    if (!Chart.isSignalConnected(signal))
        return;
    const TpcViewArea area = ViewArea();
    const int index = geometry::InChartArea(x, y, area.Width, area.Height, area.ShadowWidth)
        ? Bars->WedgeAt(x, y)
        : -1;
    if (index == HoveredWedge)
        return;
    HoveredWedge = index;
    Q_EMIT Chart.wedgeHovered(index);
}

void TpcChartRooms::NavToggleZoomBox(TPoint anchor, TPoint corner)
{
    DrawZoomBox(anchor, corner);
}

bool TpcChartRooms::NavStepCrossHair(int index, int steps)
{
    return Chart.StepCrossHair(index, steps);
}

TpcLegend* TpcChartRooms::NavLegend() const
{
    return Legend;
}

const geometry::TpcLegendLayout* TpcChartRooms::NavLegendLayout() const
{
    return LegendLayout ? &*LegendLayout : nullptr;
}

// The user's gestures on the legend paint whatever AutoRedraw says, as the drags of labels do;
// the legend's own signal follows the paint without painting again.
void TpcChartRooms::NavLegendMoved()
{
    ChartChanged();
    Chart.Paint();
    const bool wasMoving = LegendMoving;
    LegendMoving = true;
    Q_EMIT Legend->changed();
    LegendMoving = wasMoving;
}

void TpcChartRooms::NavLegendClicked(int elemClass)
{
    const bool visible = !ClassVisible[size_t(elemClass)];
    ClassVisible[size_t(elemClass)] = visible;
    DataChanged();
    Chart.Paint();
    FireLegendClick(elemClass, visible);
}

} // namespace znq
