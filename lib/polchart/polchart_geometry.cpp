#include "polchart_geometry.h"

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
