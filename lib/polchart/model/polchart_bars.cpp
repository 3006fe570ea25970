// The wedges' store: adding single wedges, stacks and bands, with their checks.
#include "polchart_bars.h"
#include "model/polchart_chart_link.h"

#include "base_helpers.h"

#include <cmath>

namespace znq {

void TpcBars::checkIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EZNQPolChartError(
            RefusingName(m_link, *this), ": no wedge has the index " + std::to_string(index));
}

void TpcBars::notify()
{
    Q_EMIT changed();
}

int TpcBars::Add(double phiStart, double phiEnd, double radLow, double radHigh, uint8_t elemClass)
{
    RequireFinite(RefusingName(m_link, *this), "PhiStart", phiStart);
    RequireFinite(RefusingName(m_link, *this), "PhiEnd", phiEnd);
    RequireFinite(RefusingName(m_link, *this), "RadLow", radLow);
    RequireFinite(RefusingName(m_link, *this), "RadHigh", radHigh);
    if (radLow > radHigh)
        std::swap(radLow, radHigh);
    TpcWedge wedge;
    wedge.PhiStart = phiStart;
    wedge.PhiEnd = phiEnd;
    wedge.RadLow = radLow;
    wedge.RadHigh = radHigh;
    wedge.ElemClass = elemClass;
    wedge.Layer = m_layer;
    m_wedges.push_back(wedge);
    notify();
    return Count() - 1;
}

// Positive values build outwards from 0 on one base, negative ones inwards on another, so that a
// negative value never starts where the positive ones ended.
std::vector<int> TpcBars::AddStack(double phiCenter, double width,
    const std::vector<double>& values, const std::vector<uint8_t>& classes)
{
    RequireFinite(RefusingName(m_link, *this), "phiCenter", phiCenter);
    RequireFinite(RefusingName(m_link, *this), "width", width);
    if (classes.size() < values.size())
        throw EZNQPolChartError(RefusingName(m_link, *this),
            ": a stack of " + std::to_string(values.size()) + " values has "
                + std::to_string(classes.size()) + " classes");
    for (const double value : values)
        if (std::isinf(value))
            RequireFinite(RefusingName(m_link, *this), "a stacked value", value);
    const double half = std::fabs(width) * (1 - m_barGap) / 2;
    std::vector<int> added;
    double above = 0, below = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        const double value = values[i];
        if (std::isnan(value))
            continue;
        double& base = value >= 0 ? above : below;
        TpcWedge wedge;
        wedge.PhiStart = phiCenter - half;
        wedge.PhiEnd = phiCenter + half;
        wedge.RadLow = std::min(base, base + value);
        wedge.RadHigh = std::max(base, base + value);
        wedge.ElemClass = classes[i];
        wedge.Layer = m_layer;
        base += value;
        m_wedges.push_back(wedge);
        added.push_back(Count() - 1);
    }
    notify();
    return added;
}

int TpcBars::AddBand(double phiStart, double phiEnd, TColor color, double opacity)
{
    RequireFinite(RefusingName(m_link, *this), "PhiStart", phiStart);
    RequireFinite(RefusingName(m_link, *this), "PhiEnd", phiEnd);
    if (!(opacity >= 0 && opacity <= 1))
        throw EZNQPolChartError(RefusingName(m_link, *this),
            ": a band's opacity must lie between 0 and 1: " + helpers::ShortestText(opacity));
    TpcWedge wedge;
    wedge.PhiStart = phiStart;
    wedge.PhiEnd = phiEnd;
    wedge.Layer = TpcBarLayer::blBehindGrid;
    wedge.Band = true;
    wedge.Color = color;
    wedge.Opacity = opacity;
    m_wedges.push_back(wedge);
    notify();
    return Count() - 1;
}

void TpcBars::Clear()
{
    m_wedges.clear();
    notify();
}

void TpcBars::Remove(int index)
{
    checkIndex(index);
    m_wedges.erase(m_wedges.begin() + index);
    notify();
}

const TpcWedge& TpcBars::Wedge(int index) const
{
    checkIndex(index);
    return m_wedges[size_t(index)];
}

void TpcBars::SetBarGap(double value)
{
    if (!(value >= 0 && value <= 0.95))
        throw EZNQPolChartError(RefusingName(m_link, *this),
            ": BarGap must lie between 0 and 0.95: " + helpers::ShortestText(value));
    if (value == m_barGap)
        return;
    m_barGap = value;
    notify();
}

void TpcBars::SetLayer(TpcBarLayer value)
{
    RequireKnown(RefusingName(m_link, *this), "Layer", value);
    if (value == m_layer)
        return;
    m_layer = value;
    notify();
}

void TpcBars::SetOutline(bool value)
{
    if (value == m_outline)
        return;
    m_outline = value;
    notify();
}

void TpcBars::SetOutlineColor(TColor value)
{
    if (value == m_outlineColor)
        return;
    m_outlineColor = value;
    notify();
}

int TpcBars::WedgeAt(int32_t x, int32_t y) const
{
    return m_link ? m_link->WedgeAtPixel(x, y) : -1;
}

} // namespace znq
