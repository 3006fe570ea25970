// The viewport: the one writer of the view, with the scale derived from it and the change signals.
#include "view/polchart_viewport.h"

#include "view/polchart_geometry.h"

#include <algorithm>
#include <cmath>

namespace znq {

TpcViewport::TpcViewport(Observer& observer)
    : m_observer(observer)
{
}

bool TpcViewport::Apply(const TpcViewState& view, TpcViewCause cause)
{
    for (const double value : { view.MagFactor, view.RangeLow, view.RangeHigh, view.AngleOffset,
             view.SectorStart, view.SectorSpan, view.HoleFraction })
        if (!std::isfinite(value))
            return false;
    m_view = view;
    if (cause == TpcViewCause::vcDirection)
        signalChanges();
    else
        m_observer.ViewRescale();
    m_observer.ViewApplied(cause);
    return true;
}

// The view is complete before any change signal goes out: a slot sees the new scale and origin,
// and one that throws leaves a consistent chart behind; the signals it kept from going out follow
// with the next change.
void TpcViewport::Rescale(bool frozen)
{
    if (!frozen) {
        m_scale = ScaleOf(m_view);
        m_originX = m_view.CenterX;
        m_originY = m_view.CenterY;
    }
    signalChanges();
}

void TpcViewport::signalChanges()
{
    auto signal = [this](auto& recorded, auto value, TpcViewField field) {
        if (recorded == value)
            return;
        recorded = value;
        m_observer.ViewFieldChanged(field);
    };
    signal(m_signalled.MagFactor, m_view.MagFactor, TpcViewField::vfMagFactor);
    signal(m_signalled.CenterX, m_view.CenterX, TpcViewField::vfCenterX);
    signal(m_signalled.CenterY, m_view.CenterY, TpcViewField::vfCenterY);
    signal(m_signalled.AngleOffset, m_view.AngleOffset, TpcViewField::vfAngleOffset);
    signal(m_signalled.RangeLow, m_view.RangeLow, TpcViewField::vfRangeLow);
    signal(m_signalled.RangeHigh, m_view.RangeHigh, TpcViewField::vfRangeHigh);
    signal(m_signalled.AngleUnit, m_view.AngleUnit, TpcViewField::vfAngleUnit);
    signal(m_signalled.RotationSign, m_view.RotationSign, TpcViewField::vfRotationSign);
    signal(m_signalled.Logarithmic, m_view.Logarithmic, TpcViewField::vfRadialScale);
    signal(m_signalled.SectorStart, m_view.SectorStart, TpcViewField::vfSectorStart);
    signal(m_signalled.SectorSpan, m_view.SectorSpan, TpcViewField::vfSectorSpan);
    signal(m_signalled.HoleFraction, m_view.HoleFraction, TpcViewField::vfHoleFraction);
}

long double TpcViewport::ScaleOf(const TpcViewState& view) const
{
    const TpcTransform transform(TpcTransformParams {
        .RangeLow = view.RangeLow, .RangeHigh = view.RangeHigh, .Logarithmic = view.Logarithmic });
    // An area below zero counts as empty.
    return TpcTransform::ScaleFor(view.MagFactor, std::max<long double>(0, fitSide(view)),
        transform.AxisValue(view.RangeLow), transform.AxisValue(view.RangeHigh), view.HoleFraction);
}

TpcSectorBox TpcViewport::SectorBoxOf(const TpcViewState& view)
{
    return TpcTransform::SectorBox(view.SectorStart * view.AngleUnit, SectorSpanRadians(view),
        view.AngleOffset * view.AngleUnit, view.RotationSign, view.HoleFraction);
}

long double TpcViewport::fitSide(const TpcViewState& view) const
{
    return FitSide(view, m_observer.ViewArea(), WholeTurn(view) ? 0 : m_observer.ViewSectorSide());
}

long double TpcViewport::FitSide(
    const TpcViewState& view, const TpcViewArea& area, double sectorSide)
{
    const int64_t width = int64_t(area.Width) - area.ShadowWidth;
    const int64_t height = int64_t(area.Height) - area.ShadowWidth;
    if (WholeTurn(view))
        return static_cast<long double>(std::min(width, height));
    if (sectorSide > 0)
        return sectorSide;
    const TpcSectorBox box = SectorBoxOf(view);
    const TpcFitFeature corners[] = { { box.Left, box.Top }, { box.Right, box.Bottom } };
    return 2 * FittingRadius(corners, double(width), double(height));
}

TpcExtent ExtentAt(std::span<const TpcFitFeature> features, double r)
{
    TpcExtent extent { HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL };
    for (const TpcFitFeature& f : features) {
        const double x = r * f.Ux + f.Kx, y = r * f.Uy + f.Ky;
        extent.Left = std::min(extent.Left, x - f.HalfWidth);
        extent.Right = std::max(extent.Right, x + f.HalfWidth);
        extent.Top = std::min(extent.Top, y - f.HalfHeight);
        extent.Bottom = std::max(extent.Bottom, y + f.HalfHeight);
    }
    return extent;
}

// The extent grows with the radius (every feature moves outwards with it), so the largest radius
// that fits is found by halving the interval, up to a radius the sector's box alone allows.
double FittingRadius(std::span<const TpcFitFeature> features, double width, double height)
{
    auto fits = [&](double r) {
        const TpcExtent e = ExtentAt(features, r);
        return e.Right - e.Left <= width && e.Bottom - e.Top <= height;
    };
    if (features.empty() || !fits(0))
        return 0;
    double lo = 0, hi = 1;
    while (fits(hi) && hi < 1e9)
        hi *= 2;
    for (int step = 0; step < 60; ++step) {
        const double mid = (lo + hi) / 2;
        (fits(mid) ? lo : hi) = mid;
    }
    return lo;
}

bool RayInSector(const TpcViewState& view, double theta)
{
    constexpr double fullTurn = 2 * std::numbers::pi;
    double along = std::fmod(theta - view.SectorStart * view.AngleUnit, fullTurn);
    if (along < 0)
        along += fullTurn;
    // A ray on the starting edge, reached by rounding from just below a turn, counts as on it.
    constexpr double tolerance = 1e-9;
    if (along > fullTurn - tolerance)
        along = 0;
    return along <= SectorSpanRadians(view) + tolerance;
}

int32_t TpcViewport::OuterRadius() const
{
    const long double side = fitSide(m_view);
    return geometry::RoundPixel(static_cast<double>(side) * m_view.MagFactor / 2);
}

} // namespace znq
