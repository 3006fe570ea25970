// A data class's style: how its elements are drawn, with its values' checks and change
// notification. Drawing them is the data and legend layers' work.
#include "polchart_classstyle.h"
#include "model/polchart_chart_link.h"

#include "base_helpers.h"

#include <algorithm>
#include <cmath>

namespace znq {

namespace {
    // Raises the refusal of a value, naming the chart that owns the style and the class.
    [[noreturn]] void refuse(
        const std::string& owner, int elemClass, const std::string& what, double value)
    {
        throw EZNQPolChartError(owner,
            ": class " + std::to_string(elemClass) + ": " + what + ": "
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
    RequireKnown(RefusingName(m_link, *this), "Marker", value);
    store(m_marker, value);
}

void TpcClassStyle::SetMarkerSize(int value)
{
    if (value < MinMarkerSize || value > MaxMarkerSize)
        refuse(RefusingName(m_link, *this), m_class, "MarkerSize must lie between 1 and 64", value);
    store(m_markerSize, value);
}

void TpcClassStyle::SetMarkerFilled(bool value)
{
    store(m_markerFilled, value);
}

void TpcClassStyle::SetFill(TpcFill value)
{
    RequireKnown(RefusingName(m_link, *this), "Fill", value);
    store(m_fill, value);
}

void TpcClassStyle::SetFillColor(TColor value)
{
    store(m_fillColor, value);
}

void TpcClassStyle::SetFillOpacity(double value)
{
    if (!(value >= 0 && value <= 1))
        refuse(RefusingName(m_link, *this), m_class, "FillOpacity must lie between 0 and 1", value);
    store(m_fillOpacity, value);
}

void TpcClassStyle::SetColorMap(TpcColorMap value)
{
    RequireKnown(RefusingName(m_link, *this), "ColorMap", value);
    store(m_colorMap, value);
}

void TpcClassStyle::SetValueLow(double value)
{
    if (!std::isfinite(value))
        refuse(RefusingName(m_link, *this), m_class, "ValueLow must be finite", value);
    store(m_valueLow, value);
}

void TpcClassStyle::SetValueHigh(double value)
{
    if (!std::isfinite(value))
        refuse(RefusingName(m_link, *this), m_class, "ValueHigh must be finite", value);
    store(m_valueHigh, value);
}

bool TpcClassStyle::Styled() const
{
    return !m_lines || m_marker != TpcMarker::mkNone || m_fill != TpcFill::flNone
        || m_colorMap != TpcColorMap::cmNone;
}

} // namespace znq
