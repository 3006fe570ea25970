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
    for (const double value : { view.MagFactor, view.RangeLow, view.RangeHigh, view.AngleOffset })
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
}

long double TpcViewport::ScaleOf(const TpcViewState& view) const
{
    const TpcViewArea area = m_observer.ViewArea();
    return TpcTransform::ScaleFor(
        view.MagFactor, area.Width, area.Height, area.ShadowWidth, view.RangeLow, view.RangeHigh);
}

int32_t TpcViewport::OuterRadius() const
{
    const TpcViewArea area = m_observer.ViewArea();
    const int64_t side
        = std::min(int64_t(area.Width) - area.ShadowWidth, int64_t(area.Height) - area.ShadowWidth);
    return geometry::RoundPixel(static_cast<double>(side) * m_view.MagFactor / 2);
}

} // namespace znq
