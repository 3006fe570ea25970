// The viewport: the one writer of the view, with the scale derived from it and the change signals.
#include "polchart_viewport.h"

#include "polchart_geometry.h"

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
    TpcTransformParams params;
    params.RangeLow = view.RangeLow;
    params.RangeHigh = view.RangeHigh;
    params.Logarithmic = view.Logarithmic;
    const TpcTransform transform(params);
    // An area below zero counts as empty.
    return TpcTransform::ScaleFor(view.MagFactor,
        std::max<long double>(0, FitSide(view, m_observer.ViewArea())),
        transform.AxisValue(view.RangeLow), transform.AxisValue(view.RangeHigh), view.HoleFraction);
}

TpcSectorBox TpcViewport::SectorBoxOf(const TpcViewState& view)
{
    return TpcTransform::SectorBox(view.SectorStart * view.AngleUnit, SectorSpanRadians(view),
        view.AngleOffset * view.AngleUnit, view.RotationSign, view.HoleFraction);
}

long double TpcViewport::FitSide(const TpcViewState& view, const TpcViewArea& area)
{
    const int64_t width = int64_t(area.Width) - area.ShadowWidth;
    const int64_t height = int64_t(area.Height) - area.ShadowWidth;
    if (WholeTurn(view))
        return static_cast<long double>(std::min(width, height));
    const TpcSectorBox box = SectorBoxOf(view);
    const double freeWidth = std::max<double>(0, double(width) - 2.0 * area.LabelMarginX);
    const double freeHeight = std::max<double>(0, double(height) - 2.0 * area.LabelMarginY);
    // A box is never thinner than the hole's edge; a sliver of a sector is at least a pixel's
    // worth wide.
    const double boxWidth = std::max(box.Right - box.Left, 1e-3);
    const double boxHeight = std::max(box.Bottom - box.Top, 1e-3);
    return 2 * std::min(freeWidth / boxWidth, freeHeight / boxHeight);
}

int32_t TpcViewport::OuterRadius() const
{
    const long double side = FitSide(m_view, m_observer.ViewArea());
    return geometry::RoundPixel(static_cast<double>(side) * m_view.MagFactor / 2);
}

} // namespace znq
