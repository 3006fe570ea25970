#include "polchart_transform.h"

#include "ZNQ_stringl.h"
#include "polchart_store.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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

namespace {
    // Adding and subtracting 1.5 * 2^52 rounds a double of magnitude below 2^51 to an integer,
    // half to even under the default rounding mode, in two additions; the integer's low bits
    // are then the low bits of the sum's significand.
    constexpr double roundingShift = 6755399441055744.0;

    // Four doubles, four 64-bit integers and four 32-bit integers: the lanes of the chunk loop.
    // Without wider instructions the compiler issues each operation as two 2-lane ones. The
    // helpers taking and returning them are inlined, so the note that their calling convention
    // differs between instruction sets concerns no call.
#pragma GCC diagnostic ignored "-Wpsabi"
    using Doubles = double __attribute__((vector_size(32)));
    using Longs = int64_t __attribute__((vector_size(32)));
    using Ints = int32_t __attribute__((vector_size(16)));
    constexpr int Lanes = 4;

    // The lanes' bits read as the other type: a cast between vector types of one size
    // reinterprets them.
    [[gnu::always_inline]] inline Longs bitsOf(Doubles v)
    {
        return (Longs)v;
    }
    [[gnu::always_inline]] inline Doubles doublesOf(Longs v)
    {
        return (Doubles)v;
    }

    [[gnu::always_inline]] inline Doubles absolute(Doubles v)
    {
        return doublesOf(bitsOf(v) & INT64_MAX);
    }

    // Sine and cosine on [-pi/4, pi/4] by their classic minimax polynomials, within a few units
    // in the last place of the exact values.
    [[gnu::always_inline]] inline Doubles sinKernel(Doubles x)
    {
        const Doubles z = x * x;
        return x
            + x * z
            * (-1.66666666666666324348e-01
                + z
                    * (8.33333333332248946124e-03
                        + z
                            * (-1.98412698298579493134e-04
                                + z
                                    * (2.75573137070700676789e-06
                                        + z
                                            * (-2.50507602534068634195e-08
                                                + z * 1.58969099521155010221e-10)))));
    }

    [[gnu::always_inline]] inline Doubles cosKernel(Doubles x)
    {
        const Doubles z = x * x;
        return 1.0 - 0.5 * z
            + z * z
            * (4.16666666666666019037e-02
                + z
                    * (-1.38888888888741095749e-03
                        + z
                            * (2.48015872894767294178e-05
                                + z
                                    * (-2.75573143513906633035e-07
                                        + z
                                            * (2.08757232129817482790e-09
                                                + z * -1.13596475577881948265e-11)))));
    }

    // pi/2 in two parts: the first has 33 significant bits, so that k times it is exact for
    // every |k| below 2^20; the second is the rest of pi/2 to double precision.
    constexpr double halfPiHigh = 1.57079632673412561417e+00;
    constexpr double halfPiLow = 6.07710050650619224932e-11;
    constexpr double twoOverPi = 6.36619772367581382433e-01;
    // Angles (in radians) up to here keep k below 2^20.
    constexpr double fastTrigLimit = 1.0e6;
    // Reaches (pixels from the centre) below this take the fast path; it bounds the error of its
    // pixel values, so that one slack serves a whole chunk.
    constexpr double fastReachLimit = 2097152.0;

    // The transform's factors, worked out once per chunk. The fast path's pixel values differ
    // from the per-element path's by less than slack: the polynomials and the reduction stay
    // within about 1e-15 of the library's sine and cosine, and the roundings of the products and
    // sums add a few units in the last place of values below the reach limit plus the origin.
    struct Factors {
        double scale, originX, originY, low, offset, unit, sign, halfLessSlack;
        bool normal, inverted;
    };

    // The clipped pixel coordinates of values, and in unsure the lanes that might round
    // differently on the per-element path: a value farther than slack from every half-integer
    // rounds the same on both. Every value beyond the clip range ends on its edge, so the values
    // are clipped first.
    [[gnu::always_inline]] inline Ints settle(Doubles value, double halfLessSlack, Longs& unsure)
    {
        constexpr double limit = ClipLimit;
        value = value > -limit ? value : -limit;
        value = value < limit ? value : limit;
        const Doubles nearest = (value + roundingShift) - roundingShift;
        unsure |= absolute(value - nearest) >= halfLessSlack;
        return __builtin_convertvector(nearest, Ints);
    }

    // Four elements: their pixels into out, and whether any of them must come from the
    // per-element path instead; unsure then tells which.
    [[gnu::always_inline]] inline bool lanePixels(
        const Factors& f, const TpcDataElement* e, TPoint* out, Longs& unsure)
    {
        Doubles rad = { e[0].Rad, e[1].Rad, e[2].Rad, e[3].Rad };
        const Doubles phi = { e[0].Phi, e[1].Phi, e[2].Phi, e[3].Phi };
        if (f.normal)
            rad = rad < f.low ? f.low : rad;
        if (f.inverted)
            rad = rad > f.low ? f.low : rad;
        Doubles alpha = (phi + f.offset) * f.unit;
        Doubles radius = rad - f.low;
        // Far angles, far reaches and values that are not finite go the per-element way; their
        // lanes compute with zeros, so that no conversion sees a wild value.
        const Longs usable
            = (absolute(alpha) < fastTrigLimit) & (absolute(f.scale * radius) < fastReachLimit);
        alpha = usable ? alpha : 0.0;
        radius = usable ? radius : 0.0;

        const Doubles shifted = alpha * twoOverPi + roundingShift;
        const Doubles k = shifted - roundingShift;
        const Longs quadrant = bitsOf(shifted);
        const Doubles r = (alpha - k * halfPiHigh) - k * halfPiLow;
        const Doubles s = sinKernel(r), c = cosKernel(r);
        const Longs odd = (quadrant << 63) >> 63;
        // Quadrants 2 and 3 negate the sine, 1 and 2 the cosine: a flip of the sign bit.
        const Doubles sine = doublesOf(bitsOf(odd ? c : s) ^ ((quadrant >> 1) << 63));
        const Doubles cosine = doublesOf(bitsOf(odd ? s : c) ^ (((quadrant + 1) >> 1) << 63));

        unsure = ~usable;
        const Ints x = settle(f.scale * (cosine * radius) + f.originX, f.halfLessSlack, unsure);
        const Ints y
            = settle(f.scale * (sine * radius * f.sign) + f.originY, f.halfLessSlack, unsure);
        const auto points = __builtin_shufflevector(x, y, 0, 4, 1, 5, 2, 6, 3, 7);
        std::memcpy(static_cast<void*>(out), &points, sizeof points);
        const Longs halves = __builtin_shufflevector(unsure, unsure, 0, 1, 0, 1)
            | __builtin_shufflevector(unsure, unsure, 2, 3, 2, 3);
        return (halves[0] | halves[1]) != 0;
    }

    [[gnu::always_inline]] inline void pixelsLoop(const TpcTransform& transform, const Factors& f,
        const TpcDataElement* elements, int32_t count, TPoint* out)
    {
        for (int32_t i = 0; i < count; i += Lanes) {
            TpcDataElement tail[Lanes];
            TPoint tailOut[Lanes];
            const int32_t n = std::min(Lanes, count - i);
            const TpcDataElement* e = elements + i;
            TPoint* o = out + i;
            if (n < Lanes) {
                std::copy(e, e + n, tail);
                e = tail;
                o = tailOut;
            }
            Longs unsure;
            if (lanePixels(f, e, o, unsure)) {
                for (int lane = 0; lane < Lanes; ++lane) {
                    if (unsure[lane] != 0) {
                        o[lane] = transform.PolarToPixel(e[lane].Rad, e[lane].Phi);
                        ClipCoordinates(o[lane].x, o[lane].y);
                    }
                }
            }
            if (n < Lanes)
                std::copy(tailOut, tailOut + n, out + i);
        }
    }

#if defined(__x86_64__) && defined(__GNUC__)
    // The same loop built for the wider instruction set, taken when the processor has it.
    __attribute__((target("avx2"))) void pixelsLoopWide(const TpcTransform& transform,
        const Factors& f, const TpcDataElement* elements, int32_t count, TPoint* out)
    {
        pixelsLoop(transform, f, elements, count, out);
    }
    const bool haveWide = __builtin_cpu_supports("avx2");
#endif
} // namespace

void TpcTransform::DataPixels(const TpcDataElement* elements, int32_t count, TPoint* out) const
{
    const auto originX = static_cast<double>(m_p.OriginX),
               originY = static_cast<double>(m_p.OriginY);
    const double slack = (fastReachLimit + std::fabs(originX) + std::fabs(originY) + 1) * 0x1p-40;
    const Factors f { static_cast<double>(m_p.Scale), originX, originY, m_p.RangeLow,
        m_p.AngleOffset, m_p.AngleUnit, static_cast<double>(m_p.RotationSign), 0.5 - slack,
        m_p.RangeHigh > m_p.RangeLow, m_p.RangeHigh < m_p.RangeLow };
#if defined(__x86_64__) && defined(__GNUC__)
    if (haveWide) {
        pixelsLoopWide(*this, f, elements, count, out);
        return;
    }
#endif
    pixelsLoop(*this, f, elements, count, out);
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

void ClearUpperVectorState()
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool wideRegisters = __builtin_cpu_supports("avx");
    if (wideRegisters)
        asm volatile("vzeroupper" ::: "memory");
#endif
}

void ClipCoordinates(int32_t& x, int32_t& y)
{
    x = std::clamp(x, -ClipLimit, ClipLimit);
    y = std::clamp(y, -ClipLimit, ClipLimit);
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
