// The data classes as series: their styles, the third value of each element, and the legend's
// published state. Drawing them is the data and legend layers' work.
#include "polchart_rooms.h"

#include "base_helpers.h"

#include <algorithm>
#include <cmath>

namespace znq {

namespace {
    // Raises the refusal of a value, naming the chart that owns the style and the class.
    [[noreturn]] void refuse(const TpcClassStyle& style, const std::string& what, double value)
    {
        throw EZNQPolChartError(RefusingName(style),
            ": class " + std::to_string(style.ElemClass()) + ": " + what + ": "
                + helpers::ShortestText(value));
    }
} // namespace

// ---------------------------------------------------------------------------------------------
// Class styles

TpcClassStyle::TpcClassStyle(int elemClass, QObject* parent)
    : QObject(parent)
    , m_class(elemClass)
{
}

template <typename T> void TpcClassStyle::store(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    if (OnChange)
        OnChange(this);
    Q_EMIT changed();
}

void TpcClassStyle::SetName(const std::string& value)
{
    store(m_name, value);
}

void TpcClassStyle::SetLines(bool value)
{
    store(m_lines, value);
}

void TpcClassStyle::SetMarker(TpcMarker value)
{
    RequireKnown(*this, "Marker", value);
    store(m_marker, value);
}

void TpcClassStyle::SetMarkerSize(int value)
{
    if (value < MinMarkerSize || value > MaxMarkerSize)
        refuse(*this, "MarkerSize must lie between 1 and 64", value);
    store(m_markerSize, value);
}

void TpcClassStyle::SetMarkerFilled(bool value)
{
    store(m_markerFilled, value);
}

void TpcClassStyle::SetFill(TpcFill value)
{
    RequireKnown(*this, "Fill", value);
    store(m_fill, value);
}

void TpcClassStyle::SetFillColor(TColor value)
{
    store(m_fillColor, value);
}

void TpcClassStyle::SetFillOpacity(double value)
{
    if (!(value >= 0 && value <= 1))
        refuse(*this, "FillOpacity must lie between 0 and 1", value);
    store(m_fillOpacity, value);
}

void TpcClassStyle::SetColorMap(TpcColorMap value)
{
    RequireKnown(*this, "ColorMap", value);
    store(m_colorMap, value);
}

void TpcClassStyle::SetValueLow(double value)
{
    if (!std::isfinite(value))
        refuse(*this, "ValueLow must be finite", value);
    store(m_valueLow, value);
}

void TpcClassStyle::SetValueHigh(double value)
{
    if (!std::isfinite(value))
        refuse(*this, "ValueHigh must be finite", value);
    store(m_valueHigh, value);
}

bool TpcClassStyle::Styled() const
{
    return !m_lines || m_marker != TpcMarker::mkNone || m_fill != TpcFill::flNone
        || m_colorMap != TpcColorMap::cmNone;
}

// ---------------------------------------------------------------------------------------------
// The legend's state

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
    RequireKnown(*this, "Corner", value);
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

// ---------------------------------------------------------------------------------------------
// The chart's side

TpcClassStyle* TCustomPolChart::ClassStyle(int elemClass)
{
    if (elemClass < 0 || elemClass > 255)
        throw EZNQPolChartError(
            Name(), ": a class lies between 0 and 255: " + std::to_string(elemClass));
    TpcClassStyle*& style = rooms().ClassStyles[size_t(elemClass)];
    if (!style) {
        style = new TpcClassStyle(elemClass, this);
        // A style changes how the data are drawn, as showing or hiding a class does.
        connect(style, &TpcClassStyle::changed, this, [this] {
            rooms().DataChanged();
            rooms().RedrawIfAuto();
        });
    }
    return style;
}

TpcLegend* TCustomPolChart::Legend() const
{
    return rooms().Legend;
}

void TCustomPolChart::AppendValue(double value)
{
    TpcChartRooms& r = rooms();
    if (r.Store.Count() == 0)
        throw EZNQPolChartError(Name(), ": AppendValue needs an element to give the value to");
    r.Store.SetValue(r.Store.Count() - 1, value);
    r.DataChanged();
}

void TCustomPolChart::SetElementValue(int32_t index, double value)
{
    TpcChartRooms& r = rooms();
    Element(index);
    r.Store.SetValue(index, value);
    r.DataChanged();
    r.RedrawIfAuto();
}

double TCustomPolChart::ElementValue(int32_t index) const
{
    Element(index);
    return rooms().Store.Value(index);
}

} // namespace znq
