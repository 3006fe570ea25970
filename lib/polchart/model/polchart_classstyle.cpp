// A data class's style: how its elements are drawn, with its values' checks and change
// notification. Drawing them is the data and legend layers' work.
#include "chart/polchart_rooms.h"

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

} // namespace znq
