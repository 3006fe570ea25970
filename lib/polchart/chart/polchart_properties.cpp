// The chart's published properties: getters, and setters with their clamps and snaps, their
// change signals and the redraw rule. View properties go through the viewport, which signals
// their changes itself; the navigator keeps its own settings.
#include "chart/polchart_rooms.h"

#include "base_helpers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace znq {

namespace {
    // The other range bound one unit away from value; for magnitudes where one unit is lost in
    // rounding, the next representable number instead, so that the bounds never meet.
    double awayFrom(double value, double direction)
    {
        const double moved = value + direction;
        return moved != value ? moved : std::nextafter(value, direction * HUGE_VAL);
    }

    // On a logarithmic scale: a decade away, upwards or downwards; where that leaves the numbers,
    // the next representable number instead.
    double decadeAway(double value, double direction)
    {
        const double moved = direction > 0 ? value * 10 : value / 10;
        if (std::isfinite(moved) && moved > 0 && moved != value)
            return moved;
        return std::nextafter(value, direction * HUGE_VAL);
    }

    // Snaps to the nearest table angle; on a tie the earlier, smaller one wins. Values of any size
    // snap to their nearest entry (a huge one to 360), so the search starts from an unbounded
    // distance and infinities are brought into range first.
    double nearestRayAngle(double value)
    {
        value = std::clamp(value, -1e9, 1e9);
        double best = HUGE_VAL;
        double chosen = TCustomPolChart::RayAngles[0];
        for (double entry : TCustomPolChart::RayAngles) {
            const double distance = std::fabs(value - entry);
            if (distance < best) {
                best = distance;
                chosen = entry;
            }
        }
        return chosen;
    }
} // namespace

// ---------------------------------------------------------------------------------------------
// The view, through the viewport

double TCustomPolChart::AngleOffset() const
{
    return rooms().Viewport.View().AngleOffset;
}

void TCustomPolChart::SetAngleOffset(double value)
{
    if (std::isnan(value))
        return;
    const double limit = UseDegrees() ? 180.0 : std::numbers::pi;
    TpcViewState view = rooms().Viewport.View();
    view.AngleOffset = std::clamp(value, -limit, limit);
    rooms().ApplyViewAndFit(view);
}

int32_t TCustomPolChart::CenterX() const
{
    return rooms().Viewport.View().CenterX;
}

// With AutoCenter the assignment is replaced by CenterChart, which repaints by itself; a second
// paint of the same picture is left out.
void TCustomPolChart::SetCenterX(int32_t value)
{
    if (value == CenterX())
        return;
    if (AutoCenter()) {
        CenterChart();
        return;
    }
    TpcViewState view = rooms().Viewport.View();
    view.CenterX
        = static_cast<int32_t>(std::clamp<int64_t>(value, -int64_t(Width()), 2 * int64_t(Width())));
    rooms().ApplyView(view);
}

int32_t TCustomPolChart::CenterY() const
{
    return rooms().Viewport.View().CenterY;
}

void TCustomPolChart::SetCenterY(int32_t value)
{
    if (value == CenterY())
        return;
    if (AutoCenter()) {
        CenterChart();
        return;
    }
    TpcViewState view = rooms().Viewport.View();
    view.CenterY = static_cast<int32_t>(
        std::clamp<int64_t>(value, -int64_t(Height()), 2 * int64_t(Height())));
    rooms().ApplyView(view);
}

double TCustomPolChart::RangeLow() const
{
    return rooms().Viewport.View().RangeLow;
}

// Non-finite bounds are ignored on the linear scale: with an infinite bound no value could be
// placed on the axis. The logarithmic scale refuses them, and bounds of 0 or below, with an error.
void TCustomPolChart::SetRangeLow(double value)
{
    TpcViewState view = rooms().Viewport.View();
    if (view.Logarithmic)
        rooms().RequireLogBound("RangeLow", value);
    else if (!std::isfinite(value))
        return;
    if (view.RangeHigh == value)
        view.RangeHigh = view.Logarithmic ? decadeAway(value, 1.0) : awayFrom(value, 1.0);
    view.RangeLow = value;
    rooms().ApplyView(view);
}

double TCustomPolChart::RangeHigh() const
{
    return rooms().Viewport.View().RangeHigh;
}

void TCustomPolChart::SetRangeHigh(double value)
{
    TpcViewState view = rooms().Viewport.View();
    if (view.Logarithmic)
        rooms().RequireLogBound("RangeHigh", value);
    else if (!std::isfinite(value))
        return;
    if (view.RangeLow == value) {
        view.RangeLow = view.Logarithmic ? decadeAway(value, -1.0) : awayFrom(value, -1.0);
        if (view.Logarithmic)
            rooms().RequireLogBound("RangeLow", view.RangeLow);
    }
    view.RangeHigh = value;
    rooms().ApplyView(view);
}

TpcRadialScale TCustomPolChart::RadialScale() const
{
    return rooms().Viewport.View().Logarithmic ? TpcRadialScale::rsLog10 : TpcRadialScale::rsLinear;
}

void TCustomPolChart::SetRadialScale(TpcRadialScale value)
{
    RequireKnown(Name(), "RadialScale", value);
    TpcViewState view = rooms().Viewport.View();
    view.Logarithmic = value == TpcRadialScale::rsLog10;
    if (view.Logarithmic) {
        rooms().RequireLogBound("RangeLow", view.RangeLow);
        rooms().RequireLogBound("RangeHigh", view.RangeHigh);
    }
    rooms().ApplyView(view);
}

void TCustomPolChart::SetRadialRange(double low, double high, TpcRadialScale scale)
{
    RequireKnown(Name(), "RadialScale", scale);
    const bool logarithmic = scale == TpcRadialScale::rsLog10;
    for (const auto& [name, value] : { std::pair { "RangeLow", low }, { "RangeHigh", high } }) {
        if (logarithmic)
            rooms().RequireLogBound(name, value);
        else
            RequireFinite(Name(), name, value);
    }
    if (low == high)
        throw EZNQPolChartError(
            Name(), ": RangeLow and RangeHigh must differ: both are " + helpers::ShortestText(low));
    TpcViewState view = rooms().Viewport.View();
    view.RangeLow = low;
    view.RangeHigh = high;
    view.Logarithmic = logarithmic;
    rooms().ApplyView(view);
}

void TpcChartRooms::RequireLogBound(const char* name, double value) const
{
    if (!(value > 0) || !std::isfinite(value))
        throw EZNQPolChartError(Chart.Name(),
            std::string(": ") + name + " must be above 0 and finite on a logarithmic scale: "
                + helpers::ShortestText(value));
}

double TCustomPolChart::SectorStart() const
{
    return rooms().Viewport.View().SectorStart;
}

void TCustomPolChart::SetSectorStart(double value)
{
    RequireFinite(Name(), "SectorStart", value);
    TpcViewState view = rooms().Viewport.View();
    view.SectorStart = value;
    rooms().ApplyViewAndFit(view);
}

double TCustomPolChart::SectorSpan() const
{
    return rooms().Viewport.View().SectorSpan;
}

void TCustomPolChart::SetSectorSpan(double value)
{
    TpcViewState view = rooms().Viewport.View();
    const double fullTurn = FullTurnIn(view.AngleUnit);
    if (!(value > 0 && value <= fullTurn))
        throw EZNQPolChartError(Name(),
            ": SectorSpan must lie above 0 and at most " + helpers::ShortestText(fullTurn) + ": "
                + helpers::ShortestText(value));
    view.SectorSpan = value;
    rooms().ApplyViewAndFit(view);
}

double TCustomPolChart::HoleFraction() const
{
    return rooms().Viewport.View().HoleFraction;
}

void TCustomPolChart::SetHoleFraction(double value)
{
    if (!(value >= 0 && value <= 0.9))
        throw EZNQPolChartError(
            Name(), ": HoleFraction must lie between 0 and 0.9: " + helpers::ShortestText(value));
    TpcViewState view = rooms().Viewport.View();
    view.HoleFraction = value;
    rooms().ApplyViewAndFit(view);
}

double TCustomPolChart::MagFactor() const
{
    return rooms().Viewport.View().MagFactor;
}

void TCustomPolChart::SetMagFactor(double value)
{
    if (std::isnan(value))
        return;
    TpcViewState view = rooms().Viewport.View();
    view.MagFactor = std::clamp(value, viewlimits::MinMagFactor, viewlimits::MaxMagFactor);
    rooms().ApplyViewAndFit(view);
}

void TCustomPolChart::SetUseDegrees(bool value)
{
    TpcViewState view = rooms().Viewport.View();
    const double unit = value ? RadiansPerDegree : 1.0;
    // The sector stays where it is; a whole circle stays whole.
    if (unit != view.AngleUnit) {
        view.SectorSpan = WholeTurn(view)
            ? FullTurnIn(unit)
            : std::min(view.SectorSpan * view.AngleUnit / unit, FullTurnIn(unit));
        view.SectorStart = view.SectorStart * view.AngleUnit / unit;
    }
    view.AngleUnit = unit;
    rooms().ApplyViewAndFit(view);
}

double TCustomPolChart::AngleUnit() const
{
    return rooms().Viewport.View().AngleUnit;
}

TpcRotationDir TCustomPolChart::RotationDir() const
{
    return RotationSign() == 1 ? TpcRotationDir::rdClockwise : TpcRotationDir::rdCounterCW;
}

// The mapping reads the direction as it is: no rescale.
void TCustomPolChart::SetRotationDir(TpcRotationDir value)
{
    RequireKnown(Name(), "RotationDir", value);
    TpcViewState view = rooms().Viewport.View();
    view.RotationSign = value == TpcRotationDir::rdClockwise ? 1 : -1;
    rooms().Viewport.Apply(view, TpcViewCause::vcDirection);
    if (!rooms().RefitSector())
        rooms().RedrawIfAuto();
}

int32_t TCustomPolChart::RotationSign() const
{
    return rooms().Viewport.View().RotationSign;
}

// ---------------------------------------------------------------------------------------------
// The grid and its scales

TColor TCustomPolChart::GridColor() const
{
    return rooms().Style.GridColor;
}

void TCustomPolChart::SetGridColor(TColor value)
{
    rooms().StoreAndRedraw(rooms().Style.GridColor, value, &TCustomPolChart::gridColorChanged);
}

TpcGridStyleAng TCustomPolChart::GridStyleAngular() const
{
    return rooms().Style.GridStyleAngular;
}

void TCustomPolChart::SetGridStyleAngular(TpcGridStyleAng value)
{
    RequireKnown(Name(), "GridStyleAngular", value);
    rooms().StoreAndRedraw(
        rooms().Style.GridStyleAngular, value, &TCustomPolChart::gridStyleAngularChanged);
}

TpcGridStyleRad TCustomPolChart::GridStyleRadial() const
{
    return rooms().Style.GridStyleRadial;
}

void TCustomPolChart::SetGridStyleRadial(TpcGridStyleRad value)
{
    RequireKnown(Name(), "GridStyleRadial", value);
    rooms().StoreAndRedraw(
        rooms().Style.GridStyleRadial, value, &TCustomPolChart::gridStyleRadialChanged);
}

TColor TCustomPolChart::ScaleColor() const
{
    return rooms().Style.ScaleColor;
}

void TCustomPolChart::SetScaleColor(TColor value)
{
    rooms().StoreAndRedraw(rooms().Style.ScaleColor, value, &TCustomPolChart::scaleColorChanged);
}

TColor TCustomPolChart::ChartColor() const
{
    return rooms().Style.ChartColor;
}

void TCustomPolChart::SetChartColor(TColor value)
{
    rooms().StoreAndRedraw(rooms().Style.ChartColor, value, &TCustomPolChart::chartColorChanged);
}

TpcAngLabelMode TCustomPolChart::LabelModeAngular() const
{
    return rooms().Style.LabelModeAngular;
}

void TCustomPolChart::SetLabelModeAngular(TpcAngLabelMode value)
{
    RequireKnown(Name(), "LabelModeAngular", value);
    rooms().StoreAndRedraw(
        rooms().Style.LabelModeAngular, value, &TCustomPolChart::labelModeAngularChanged);
}

TpcRadLabelMode TCustomPolChart::LabelModeRadial() const
{
    return rooms().Style.LabelModeRadial;
}

void TCustomPolChart::SetLabelModeRadial(TpcRadLabelMode value)
{
    RequireKnown(Name(), "LabelModeRadial", value);
    rooms().StoreAndRedraw(
        rooms().Style.LabelModeRadial, value, &TCustomPolChart::labelModeRadialChanged);
}

int32_t TCustomPolChart::DecPlaceRad() const
{
    return rooms().Style.DecPlaceRad;
}

void TCustomPolChart::SetDecPlaceRad(int32_t value)
{
    rooms().StoreAndRedraw(
        rooms().Style.DecPlaceRad, std::clamp(value, -2, 12), &TCustomPolChart::decPlaceRadChanged);
}

int32_t TCustomPolChart::DecPlacePhi() const
{
    return rooms().Style.DecPlacePhi;
}

void TCustomPolChart::SetDecPlacePhi(int32_t value)
{
    rooms().StoreAndRedraw(
        rooms().Style.DecPlacePhi, std::clamp(value, 0, 3), &TCustomPolChart::decPlacePhiChanged);
}

double TCustomPolChart::AngleBtwRays() const
{
    return rooms().Style.AngleBtwRays;
}

void TCustomPolChart::SetAngleBtwRays(double value)
{
    if (std::isnan(value))
        return;
    rooms().StoreProperty(
        rooms().Style.AngleBtwRays, nearestRayAngle(value), &TCustomPolChart::angleBtwRaysChanged);
    rooms().RescaleAndRedraw();
}

// ---------------------------------------------------------------------------------------------
// The shadow

int32_t TCustomPolChart::ShadowWidth() const
{
    return rooms().Style.ShadowWidth;
}

void TCustomPolChart::SetShadowWidth(int32_t value)
{
    rooms().StoreProperty(
        rooms().Style.ShadowWidth, std::clamp(value, 0, 32), &TCustomPolChart::shadowWidthChanged);
    rooms().RescaleAndRedraw();
}

TShadowStyle TCustomPolChart::ShadowStyle() const
{
    return rooms().Style.ShadowStyle;
}

void TCustomPolChart::SetShadowStyle(TShadowStyle value)
{
    RequireKnown(Name(), "ShadowStyle", value);
    rooms().StoreAndRedraw(rooms().Style.ShadowStyle, value, &TCustomPolChart::shadowStyleChanged);
}

TColor TCustomPolChart::ShadowColor() const
{
    return rooms().Style.ShadowColor;
}

void TCustomPolChart::SetShadowColor(TColor value)
{
    rooms().StoreAndRedraw(rooms().Style.ShadowColor, value, &TCustomPolChart::shadowColorChanged);
}

TColor TCustomPolChart::ShadowBakColor() const
{
    return rooms().Style.ShadowBakColor;
}

void TCustomPolChart::SetShadowBakColor(TColor value)
{
    rooms().StoreAndRedraw(
        rooms().Style.ShadowBakColor, value, &TCustomPolChart::shadowBakColorChanged);
}

// ---------------------------------------------------------------------------------------------
// The attributes of new elements: stored for the elements appended next

TColor TCustomPolChart::DataColor() const
{
    return rooms().Style.DataColor;
}

void TCustomPolChart::SetDataColor(TColor value)
{
    rooms().StoreProperty(rooms().Style.DataColor, value, &TCustomPolChart::dataColorChanged);
    rooms().ChartChanged();
}

TPenStyle TCustomPolChart::PenStyle() const
{
    return rooms().Style.PenStyle;
}

void TCustomPolChart::SetPenStyle(TPenStyle value)
{
    RequireKnown(Name(), "PenStyle", value);
    rooms().StoreProperty(rooms().Style.PenStyle, value, &TCustomPolChart::penStyleChanged);
    rooms().ChartChanged();
}

uint8_t TCustomPolChart::LineWidth() const
{
    return rooms().Style.LineWidth;
}

void TCustomPolChart::SetLineWidth(uint8_t value)
{
    rooms().StoreProperty(rooms().Style.LineWidth, value, &TCustomPolChart::lineWidthChanged);
    rooms().ChartChanged();
}

uint8_t TCustomPolChart::ClassDefault() const
{
    return rooms().Style.ClassDefault;
}

void TCustomPolChart::SetClassDefault(uint8_t value)
{
    if (value != 255)
        rooms().StoreProperty(
            rooms().Style.ClassDefault, value, &TCustomPolChart::classDefaultChanged);
}

int32_t TCustomPolChart::AllocSize() const
{
    return rooms().Store.AllocSize();
}

void TCustomPolChart::SetAllocSize(int32_t value)
{
    const int32_t before = AllocSize();
    if (rooms().Store.SetAllocSize(value) && value != before)
        Q_EMIT allocSizeChanged();
}

// ---------------------------------------------------------------------------------------------
// Stored only

TColor TCustomPolChart::FillColor() const
{
    return rooms().Style.FillColor;
}

void TCustomPolChart::SetFillColor(TColor value)
{
    rooms().StoreProperty(rooms().Style.FillColor, value, &TCustomPolChart::fillColorChanged);
    rooms().ChartChanged();
}

TFontStyles TCustomPolChart::TextFontStyle() const
{
    return rooms().Style.TextFontStyle;
}

void TCustomPolChart::SetTextFontStyle(TFontStyles value)
{
    rooms().StoreAndRedraw(
        rooms().Style.TextFontStyle, value, &TCustomPolChart::textFontStyleChanged);
}

TpcTextBkg TCustomPolChart::TextBkStyle() const
{
    return rooms().Style.TextBkStyle;
}

void TCustomPolChart::SetTextBkStyle(TpcTextBkg value)
{
    RequireKnown(Name(), "TextBkStyle", value);
    rooms().StoreAndRedraw(rooms().Style.TextBkStyle, value, &TCustomPolChart::textBkStyleChanged);
}

TColor TCustomPolChart::TextBkColor() const
{
    return rooms().Style.TextBkColor;
}

void TCustomPolChart::SetTextBkColor(TColor value)
{
    rooms().StoreAndRedraw(rooms().Style.TextBkColor, value, &TCustomPolChart::textBkColorChanged);
}

TAlignment TCustomPolChart::TextAlignment() const
{
    return rooms().Style.TextAlignment;
}

void TCustomPolChart::SetTextAlignment(TAlignment value)
{
    RequireKnown(Name(), "TextAlignment", value);
    rooms().StoreAndRedraw(
        rooms().Style.TextAlignment, value, &TCustomPolChart::textAlignmentChanged);
}

// ---------------------------------------------------------------------------------------------
// Behaviour

bool TCustomPolChart::AutoRedraw() const
{
    return rooms().AutoRedraw;
}

void TCustomPolChart::SetAutoRedraw(bool value)
{
    rooms().StoreProperty(rooms().AutoRedraw, value, &TCustomPolChart::autoRedrawChanged);
}

bool TCustomPolChart::AutoCenter() const
{
    return rooms().AutoCenter;
}

void TCustomPolChart::SetAutoCenter(bool value)
{
    if (value == AutoCenter())
        return;
    rooms().StoreProperty(rooms().AutoCenter, value, &TCustomPolChart::autoCenterChanged);
    if (value)
        CenterChart();
}

TMouseActMode TCustomPolChart::MouseAction() const
{
    return rooms().Navigator.MouseAction();
}

void TCustomPolChart::SetMouseAction(TMouseActMode value)
{
    RequireKnown(Name(), "MouseAction", value);
    const TMouseActMode before = MouseAction();
    rooms().Navigator.SetMouseAction(value);
    if (value != before)
        Q_EMIT mouseActionChanged();
}

bool TCustomPolChart::WheelZoom() const
{
    return rooms().Navigator.WheelZoom();
}

void TCustomPolChart::SetWheelZoom(bool value)
{
    const bool before = WheelZoom();
    rooms().Navigator.SetWheelZoom(value);
    if (value != before)
        Q_EMIT wheelZoomChanged();
}

bool TCustomPolChart::ShowMeasurement() const
{
    return rooms().Style.ShowMeasurement;
}

void TCustomPolChart::SetShowMeasurement(bool value)
{
    TpcChartRooms& r = rooms();
    if (value == r.Style.ShowMeasurement)
        return;
    r.Style.ShowMeasurement = value;
    Q_EMIT showMeasurementChanged();
    if (r.AutoRedraw || Designing())
        PaintCrossHairs();
}

TpcMeasurement TCustomPolChart::MeasureBetween(int a, int b) const
{
    const TpcCrossHair* first = CrossHair(a);
    const TpcCrossHair* second = CrossHair(b);
    return MeasurePolar(
        first->PosRad(), first->PosPhi(), second->PosRad(), second->PosPhi(), UseDegrees());
}

// The points as vectors of their radial values: the distance and the bearing are those of the
// plane in which a radial value is a length.
TpcMeasurement MeasurePolar(double radA, double phiA, double radB, double phiB, bool degrees)
{
    const double turn = degrees ? 360.0 : 2 * std::numbers::pi;
    const double unit = 2 * std::numbers::pi / turn;
    TpcMeasurement m;
    m.DeltaRad = radB - radA;
    double d = std::fmod(phiB - phiA, turn);
    if (d > turn / 2)
        d -= turn;
    else if (d <= -turn / 2)
        d += turn;
    m.DeltaPhi = d;
    const double ax = radA * std::cos(phiA * unit), ay = radA * std::sin(phiA * unit);
    const double bx = radB * std::cos(phiB * unit), by = radB * std::sin(phiB * unit);
    m.Distance = std::hypot(bx - ax, by - ay);
    if (bx == ax && by == ay) {
        m.Bearing = std::numeric_limits<double>::quiet_NaN();
    } else {
        double bearing = std::atan2(by - ay, bx - ax) / unit;
        if (bearing < 0)
            bearing += turn;
        m.Bearing = bearing >= turn ? 0 : bearing;
    }
    return m;
}

} // namespace znq
