#include "polchart_transform.h"

#include "ZNQ_stringl.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace znq {

namespace {
    // Arguments from 2^63 on are outside the range in which the processor's cosine and sine are
    // defined; such angles count as having a cosine and sine of 0.
    constexpr double trigLimit = 9223372036854775808.0;

    // Rounds half to even: nearbyint under the default rounding mode, which the library never
    // changes. The clamp keeps the value inside the 32-bit range first.
    int32_t toPixel(double value, double origin)
    {
        if (std::isnan(value))
            value = origin;
        constexpr double limit = 2147483647.0;
        return static_cast<int32_t>(std::nearbyint(std::clamp(value, -limit, limit)));
    }
} // namespace

TPoint TpcTransform::PolarToPixel(double rad, double phi) const
{
    if (m_p.RangeHigh > m_p.RangeLow && rad < m_p.RangeLow)
        rad = m_p.RangeLow;
    else if (m_p.RangeHigh < m_p.RangeLow && rad > m_p.RangeLow)
        rad = m_p.RangeLow;
    const double alpha = (phi + m_p.AngleOffset) * m_p.AngleUnit;
    double cosine = 0, sine = 0;
    if (std::fabs(alpha) < trigLimit) {
        cosine = std::cos(alpha);
        sine = std::sin(alpha);
    }
    const double radius = rad - m_p.RangeLow;
    const double dx = cosine * radius;
    const double dy = sine * radius * m_p.RotationSign;
    // Double precision here: the mapping runs for every datum of every paint.
    const auto scale = static_cast<double>(m_p.Scale);
    const auto originX = static_cast<double>(m_p.OriginX),
               originY = static_cast<double>(m_p.OriginY);
    return TPoint { toPixel(scale * dx + originX, originX),
        toPixel(scale * dy + originY, originY) };
}

TpcPolarPoint TpcTransform::PixelToPolar(int32_t x, int32_t y) const
{
    if (m_p.Scale == 0 || !std::isfinite(m_p.Scale))
        return TpcPolarPoint { m_p.RangeLow, 0.0 };
    auto u = static_cast<double>((x - m_p.OriginX) / m_p.Scale);
    auto v = static_cast<double>((y - m_p.OriginY) / m_p.Scale);
    double distance = std::sqrt(u * u + v * v);
    double rad = m_p.RangeHigh > m_p.RangeLow ? m_p.RangeLow + distance : m_p.RangeLow - distance;
    // Bounds near the ends of the double range: the distance overflows in double, and its
    // quotients with it; the wider type holds them, and the angle needs only their ratio.
    if (!std::isfinite(rad) || !std::isfinite(distance)) {
        const long double lu = (x - m_p.OriginX) / m_p.Scale, lv = (y - m_p.OriginY) / m_p.Scale;
        const long double wide = std::sqrt(lu * lu + lv * lv);
        // Beyond the outer circle the radial value may pass the largest double: it saturates.
        constexpr long double largestDouble = std::numeric_limits<double>::max();
        rad = static_cast<double>(std::clamp<long double>(
            m_p.RangeHigh > m_p.RangeLow ? m_p.RangeLow + wide : m_p.RangeLow - wide,
            -largestDouble, largestDouble));
        const long double largest = std::max(std::fabs(lu), std::fabs(lv));
        u = static_cast<double>(lu / largest);
        v = static_cast<double>(lv / largest);
    }

    constexpr double pi = std::numbers::pi;
    double theta;
    if (u == 0)
        theta = v > 0 ? pi / 2 : 3 * pi / 2;
    else if (u < 0)
        theta = std::atan(v / u) + pi;
    else
        theta = std::atan(v / u);

    double phi = m_p.RotationSign * theta / m_p.AngleUnit - m_p.AngleOffset;
    if (m_p.RangeHigh < m_p.RangeLow)
        phi += pi / m_p.AngleUnit;
    const double fullTurn = 2 * pi / m_p.AngleUnit;
    if (phi < 0)
        phi += fullTurn;
    if (phi < 0)
        phi += fullTurn;
    if (phi > fullTurn)
        phi -= fullTurn;
    // An offset beyond the unit's own clamp (kept from the other unit) can leave the angle more
    // than a turn away; it is brought into the turn as well.
    if (phi < 0 || phi > fullTurn) {
        phi = std::fmod(phi, fullTurn);
        if (phi < 0)
            phi += fullTurn;
    }
    return TpcPolarPoint { rad, phi };
}

long double TpcTransform::ScaleFor(double magFactor, int32_t width, int32_t height,
    int32_t shadowWidth, double rangeLow, double rangeHigh)
{
    const int64_t side = std::max<int64_t>(
        0, std::min(int64_t(width) - shadowWidth, int64_t(height) - shadowWidth));
    const long double range = static_cast<long double>(rangeHigh) - rangeLow;
    const long double scale = magFactor * static_cast<long double>(side) / range / 2;
    // An overflowing range or magnification leaves no usable scale.
    return std::isfinite(scale) ? scale : 0.0L;
}

void ClipCoordinates(int32_t& x, int32_t& y)
{
    x = std::clamp(x, -30000, 30000);
    y = std::clamp(y, -30000, 30000);
}

std::string FormatScaleNumber(int width, int decimals, double value)
{
    if (decimals == -1)
        return FormatFixed(width, -2, value);
    if (decimals < -1)
        return DecimalText(value, width, -1);
    return DecimalText(value, width, decimals);
}

} // namespace znq
