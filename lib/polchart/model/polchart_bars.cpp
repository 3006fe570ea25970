// The wedges' store: adding single wedges, stacks and bands, and finding the wedge under a
// pixel by the drawing's own rule.
#include "polchart_bars.h"
#include "chart/polchart_rooms.h"

#include "base_helpers.h"

#include <cmath>

namespace znq {

TpcBars::TpcBars(TCustomPolChart* chart)
    : QObject(chart)
    , m_chart(chart)
{
}

void TpcBars::checkIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EZNQPolChartError(
            m_chart->Name(), ": no wedge has the index " + std::to_string(index));
}

void TpcBars::notify()
{
    Q_EMIT changed();
}

int TpcBars::Add(double phiStart, double phiEnd, double radLow, double radHigh, uint8_t elemClass)
{
    RequireFinite(*m_chart, "PhiStart", phiStart);
    RequireFinite(*m_chart, "PhiEnd", phiEnd);
    RequireFinite(*m_chart, "RadLow", radLow);
    RequireFinite(*m_chart, "RadHigh", radHigh);
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
    RequireFinite(*m_chart, "phiCenter", phiCenter);
    RequireFinite(*m_chart, "width", width);
    if (classes.size() < values.size())
        throw EZNQPolChartError(m_chart->Name(),
            ": a stack of " + std::to_string(values.size()) + " values has "
                + std::to_string(classes.size()) + " classes");
    for (const double value : values)
        if (std::isinf(value))
            RequireFinite(*m_chart, "a stacked value", value);
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
    RequireFinite(*m_chart, "PhiStart", phiStart);
    RequireFinite(*m_chart, "PhiEnd", phiEnd);
    if (!(opacity >= 0 && opacity <= 1))
        throw EZNQPolChartError(m_chart->Name(),
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
        throw EZNQPolChartError(m_chart->Name(),
            ": BarGap must lie between 0 and 0.95: " + helpers::ShortestText(value));
    if (value == m_barGap)
        return;
    m_barGap = value;
    notify();
}

void TpcBars::SetLayer(TpcBarLayer value)
{
    RequireKnown(*this, "Layer", value);
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

// The wedges in front of the grid lie over those behind it, and a later wedge over an earlier one.
int TpcBars::WedgeAt(int32_t x, int32_t y) const
{
    const TpcTransform transform = m_chart->Transform();
    if (!transform.InView(x, y))
        return -1;
    for (const TpcBarLayer layer : { TpcBarLayer::blInFrontOfGrid, TpcBarLayer::blBehindGrid })
        for (int i = Count() - 1; i >= 0; --i) {
            const TpcWedge& wedge = m_wedges[size_t(i)];
            if (wedge.Layer != layer || (!wedge.Band && !m_chart->ClassVisible(wedge.ElemClass)))
                continue;
            TSector sectors[2];
            const int n = geometry::WedgeSectors(transform, wedge, sectors);
            for (int k = 0; k < n; ++k)
                if (SectorContains(sectors[k], x, y))
                    return i;
        }
    return -1;
}

} // namespace znq
