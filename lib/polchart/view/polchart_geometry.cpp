#include "view/polchart_geometry.h"

#include <numbers>

#include <algorithm>
#include <cmath>
#include <limits>

namespace znq::geometry {

int32_t RoundPixel(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double limit = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::nearbyint(std::clamp(value, -limit, limit)));
}

int32_t Saturate(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(
        value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

bool InChartArea(int32_t x, int32_t y, int32_t width, int32_t height, int32_t shadowWidth)
{
    return x >= 0 && y >= 0 && int64_t(x) <= int64_t(width) - shadowWidth
        && int64_t(y) <= int64_t(height) - shadowWidth;
}

TPoint LabelAnchor(const TpcTransform& transform, bool attachToData, double posRad, double posPhi)
{
    if (attachToData)
        return transform.PolarToPixel(posRad, posPhi);
    return TPoint { RoundPixel(posRad), RoundPixel(posPhi) };
}

TpcLabelBox LabelBox(
    TPoint anchor, TAlignment alignment, int64_t width, int64_t lineHeight, int64_t lineCount)
{
    TpcLabelBox box;
    int64_t x = anchor.x;
    const int64_t y = anchor.y;
    if (alignment == TAlignment::taRightJustify)
        x -= width;
    else if (alignment == TAlignment::taCenter)
        x -= width / 2;
    box.TextLeft = x;
    box.Left = Saturate(x - 4);
    box.Top = Saturate(y - lineCount * lineHeight - 2);
    box.Right = Saturate(x + width + 4);
    box.Bottom = Saturate(y + 2);
    return box;
}

int ArcSteps(double span, double radius)
{
    return static_cast<int>(
        std::clamp(std::ceil(std::fabs(span) * std::sqrt(2 * std::max(radius, 0.0))), 2.0, 4096.0));
}

bool WedgeRadii(const TpcTransform& transform, const TpcWedge& wedge, double& inner, double& outer)
{
    const TpcTransformParams& p = transform.Params();
    outer = transform.RadiusOf(wedge.Band ? p.RangeHigh : wedge.RadHigh);
    inner = transform.RadiusOf(wedge.Band ? p.RangeLow : wedge.RadLow);
    if (inner > outer)
        std::swap(inner, outer);
    if (p.SectorSpan < 2 * std::numbers::pi)
        outer = std::min(outer, transform.RadiusOf(p.RangeHigh));
    return inner <= outer && std::isfinite(outer);
}

// Angles are taken as data radians from the view's sector start, where the view covers 0 .. its
// span; a wedge's part in it is one interval, or two when the wedge runs past the full turn.
int WedgeEdges(const TpcTransform& transform, const TpcWedge& wedge, TSector (&out)[2])
{
    const TpcTransformParams& p = transform.Params();
    constexpr double turn = 2 * std::numbers::pi;
    const bool partial = p.SectorSpan < turn;
    double span = (wedge.PhiEnd - wedge.PhiStart) * p.AngleUnit;
    const bool whole = !(span < turn);
    if (!whole && span < 0)
        span = std::fmod(span, turn) + turn;
    if (!whole && !(span > 0 && span < turn))
        return 0;
    const double viewSpan = partial ? p.SectorSpan : turn;
    double intervals[2][2];
    int n = 0;
    if (whole) {
        intervals[n][0] = 0;
        intervals[n++][1] = viewSpan;
    } else {
        double d = std::fmod(wedge.PhiStart * p.AngleUnit - p.SectorStart, turn);
        if (d < 0)
            d += turn;
        if (!partial) {
            intervals[n][0] = d;
            intervals[n++][1] = d + span;
        } else {
            if (d < viewSpan) {
                intervals[n][0] = d;
                intervals[n++][1] = std::min(d + span, viewSpan);
            }
            if (d + span > turn) {
                intervals[n][0] = 0;
                intervals[n++][1] = std::min(d + span - turn, viewSpan);
            }
        }
    }
    const double offset = p.SectorStart + p.AngleOffset * p.AngleUnit;
    for (int k = 0; k < n; ++k) {
        const double from = intervals[k][0] + offset, width = intervals[k][1] - intervals[k][0];
        TSector& sector = out[k];
        sector.CenterX = static_cast<double>(p.OriginX);
        sector.CenterY = static_cast<double>(p.OriginY);
        // Growing data angles run clockwise on the screen for sign +1 and the other way for -1,
        // where the sector's clockwise start is its end.
        sector.Start = p.RotationSign > 0 ? from : -(from + width);
        sector.Sweep = whole && !partial ? turn : width;
    }
    return n;
}

int WedgeSectors(const TpcTransform& transform, const TpcWedge& wedge, TSector (&out)[2])
{
    double inner = 0, outer = 0;
    if (!WedgeRadii(transform, wedge, inner, outer))
        return 0;
    const int n = WedgeEdges(transform, wedge, out);
    for (int k = 0; k < n; ++k) {
        out[k].Inner = inner;
        out[k].Outer = outer;
    }
    return n;
}

bool IsDrawnPoint(const TpcDataStore& store, const std::array<bool, 256>& classVisible,
    const TpcTransform& transform, int32_t index, const std::array<bool, 256>& classMarked)
{
    if (index < 0 || index >= store.Count())
        return false;
    const TpcDataElement& element = store[index];
    if (!classVisible[element.ElemClass] || !transform.HasPlace(element.Rad, element.Phi))
        return false;
    TPoint pixel = transform.PolarToPixel(element.Rad, element.Phi);
    ClipCoordinates(pixel.x, pixel.y);
    if (!transform.InView(pixel.x, pixel.y))
        return false;
    if (element.Kind == TpcElemKind::ekDrawTo || classMarked[element.ElemClass])
        return true;
    for (int32_t i = index + 1; i < store.Count(); ++i) {
        const TpcDataElement& next = store[i];
        if (!classVisible[next.ElemClass])
            continue;
        return transform.HasPlace(next.Rad, next.Phi) && next.Kind == TpcElemKind::ekDrawTo;
    }
    return false;
}

} // namespace znq::geometry
