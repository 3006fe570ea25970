// The legend's published state: where it stands, how it looks, its font. Drawing it is the legend
// layer's work.
#include "polchart_legend.h"
#include "model/polchart_chart_link.h"

#include <algorithm>

namespace znq {

TpcLegend::TpcLegend(QObject* parent)
    : QObject(parent)
    , m_font(std::make_unique<TFont>())
{
}

TpcLegend::~TpcLegend() = default;

void TpcLegend::notify()
{
    Q_EMIT changed();
}

template <typename T> void TpcLegend::store(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    notify();
}

void TpcLegend::SetVisible(bool value)
{
    store(m_visible, value);
}

void TpcLegend::SetCorner(TpcLegendCorner value)
{
    RequireKnown(RefusingName(m_link, *this), "Corner", value);
    const bool changed = m_corner != value || m_placed;
    m_corner = value;
    m_placed = false;
    if (changed)
        notify();
}

void TpcLegend::SetPosition(int left, int top)
{
    const bool wasPlaced = m_placed;
    const int wasLeft = m_left, wasTop = m_top;
    movePositionSilently(left, top);
    if (!wasPlaced || m_left != wasLeft || m_top != wasTop)
        notify();
}

void TpcLegend::movePositionSilently(int left, int top)
{
    m_placed = true;
    m_left = std::clamp(left, -MaxPosition, MaxPosition);
    m_top = std::clamp(top, -MaxPosition, MaxPosition);
}

void TpcLegend::SetColorBkg(TColor value)
{
    store(m_colorBkg, value);
}

void TpcLegend::SetColorBorder(TColor value)
{
    store(m_colorBorder, value);
}

void TpcLegend::SetTransparent(bool value)
{
    store(m_transparent, value);
}

void TpcLegend::SetFont(const TFont& font)
{
    m_font->Assign(font);
    notify();
}

} // namespace znq
