/// \file
/// What the chart's data objects (crosshairs, text labels, class styles, the legend, the bars, the
/// raster and the sweep) ask of the chart that owns them, through one interface the chart
/// implements, so that they need nothing of the chart's own headers; and the checks their setters
/// share.
#pragma once

#include "polchart_store.h"
#include "polchart_transform.h"
#include "polchart_types.h"

#include "base_helpers.h"

#include <QObject>

#include <cstdint>
#include <string>

namespace znq {

/// The chart as its data objects see it. The chart hands its objects this link when it creates
/// them; an object made without a chart has none and works on its own.
class TpcChartLink {
public:
    /// The chart's name, which its objects' refusals carry.
    virtual std::string ChartName() const = 0;
    /// The view's mapping now.
    virtual TpcTransform ChartTransform() const = 0;
    /// Whether the elements of the class are drawn.
    virtual bool ClassShown(uint8_t elemClass) const = 0;
    /// Whether angles are in degrees (else radians).
    virtual bool AnglesInDegrees() const = 0;
    /// The stored element with that index (0 .. count - 1).
    virtual const TpcDataElement& StoredElement(int32_t index) const = 0;
    /// The drawn element whose pixel is nearest to the polar position's; -1 when none is drawn.
    virtual int32_t ElementNearest(double rad, double phi) = 0;
    /// The drawn element whose pixel is nearest to the pixel; -1 when none is drawn.
    virtual int32_t ElementNearestPixel(TPoint pixel) = 0;
    /// The wedge under the pixel by the drawing's own rule; -1 when none is.
    virtual int WedgeAtPixel(int32_t x, int32_t y) const = 0;
    /// The raster's value under the pixel, by the drawing's own mapping; NaN where none is.
    virtual double RasterValueAtPixel(int32_t x, int32_t y) const = 0;
    /// The chart's sweep, whose time stamps the raster's rows.
    virtual TpcSweep& ChartSweep() const = 0;

protected:
    ~TpcChartLink() = default;
};

/// The component that a refusal by object names: the chart it is linked to, else its class.
inline std::string RefusingName(const TpcChartLink* link, const QObject& object)
{
    return link ? link->ChartName() : std::string(object.metaObject()->className());
}

/// Raises EZNQPolChartError naming owner, what and the value unless the value is finite.
inline void RequireFinite(const std::string& owner, const std::string& what, double value)
{
    if (!std::isfinite(value))
        throw EZNQPolChartError(
            owner, ": " + what + " must be finite: " + helpers::ShortestText(value));
}

/// Raises EZNQPolChartError naming owner, what and the value unless the value is one of its
/// enumeration's.
template <typename E> void RequireKnown(const std::string& owner, const std::string& what, E value)
{
    if (!helpers::KnownEnumValue(value))
        throw EZNQPolChartError(owner, ": " + helpers::UnknownEnumText(what, value));
}

} // namespace znq
