// The geometry of the mouse gestures: pan, zoom drag, zoom box.
#include "view/polchart_gestures.h"

#include "ZNQ_math1.h"
#include "view/polchart_geometry.h"
#include "view/polchart_viewport.h"

#include <algorithm>
#include <cmath>

namespace znq {

using geometry::Saturate;

namespace {
    // offset + Round(value), halves to even, saturated to the 32-bit range. The value is rounded on
    // its own: rounding the sum could move an exact half.
    int32_t roundedCentre(int32_t offset, double value)
    {
        constexpr double limit = 4611686018427387904.0; // 2^62: the sum stays in 64 bits
        return Saturate(int64_t(offset) + RoundHalfEven(std::clamp(value, -limit, limit)));
    }
} // namespace

// ---------------------------------------------------------------------------------------------
// Geometry

int32_t PanCoordinate(int32_t dragCenter, int32_t pointer, int32_t dragOrigin)
{
    return Saturate(int64_t(dragCenter) + (int64_t(pointer) - dragOrigin));
}

double ZoomDragMagFactor(double dragMagFactor, int64_t dy, int32_t height)
{
    if (height <= 0)
        return dragMagFactor;
    return std::max(viewlimits::MinMagFactor, dragMagFactor - static_cast<double>(dy) / height);
}

TPoint ZoomBoxCorner(
    TPoint anchor, int32_t x, int32_t y, int32_t width, int32_t height, int32_t shadowWidth)
{
    const int32_t right = std::max(0, width - shadowWidth);
    const int32_t bottom = std::max(0, height - shadowWidth);
    const int32_t cornerX = std::clamp(x, 0, right);
    const int64_t dx = int64_t(cornerX) - anchor.x;
    const int64_t dy = int64_t(y) - anchor.y;
    // The sign test stands for (dy * dx > 0), whose product could overflow.
    const bool sameDirection = (dx > 0 && dy > 0) || (dx < 0 && dy < 0);
    const int64_t cornerY = sameDirection ? anchor.y + dx : anchor.y - dx;
    return TPoint { cornerX, static_cast<int32_t>(std::clamp<int64_t>(cornerY, 0, bottom)) };
}

std::optional<TpcBoxZoom> ZoomToBox(TPoint anchor, TPoint corner, int32_t width, int32_t height,
    int32_t shadowWidth, int32_t centerX, int32_t centerY)
{
    const double left = std::min(anchor.x, corner.x), right = std::max(anchor.x, corner.x);
    const double top = std::min(anchor.y, corner.y), bottom = std::max(anchor.y, corner.y);
    if (left == right || top == bottom)
        return std::nullopt;
    const double w = width, h = height, sw = shadowWidth, cx = centerX, cy = centerY;
    TpcBoxZoom zoom;
    if (height < width) {
        zoom.Factor = (h - sw + 1) / (bottom - top);
        const double f = zoom.Factor;
        zoom.CenterY = roundedCentre(height, cy * f - bottom * f);
        zoom.CenterX = roundedCentre(0, cx * f + (w - h) / 2 - left * f);
    } else {
        zoom.Factor = (w - sw + 1) / (right - left);
        const double f = zoom.Factor;
        zoom.CenterY = roundedCentre(height, cy * f + (w - h) / 2 - bottom * f);
        zoom.CenterX = roundedCentre(0, cx * f - left * f);
    }
    // A control shrunk below its shadow while the box was open has nothing left to zoom into.
    if (!(zoom.Factor > 0))
        return std::nullopt;
    return zoom;
}

} // namespace znq
