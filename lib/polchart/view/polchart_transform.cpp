#include "polchart_transform.h"

#include "ZNQ_stringl.h"
#include "base_lanes.h"
#include "polchart_store.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <numbers>
#include <utility>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

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

TpcTransform::TpcTransform(const TpcTransformParams& params)
    : m_p(params)
    , m_axisLow(params.RangeLow)
    , m_axisHigh(params.RangeHigh)
{
    if (m_p.Logarithmic) {
        m_axisLow = AxisValue(m_p.RangeLow);
        m_axisHigh = AxisValue(m_p.RangeHigh);
        m_radFloor = 0;
    }
    if (m_p.HoleFraction > 0)
        m_holeUnits = m_p.HoleFraction / (1 - m_p.HoleFraction) * (m_axisHigh - m_axisLow);
    const bool wholeTurn = !(m_p.SectorSpan < 2 * std::numbers::pi);
    if (wholeTurn && m_holeUnits == 0)
        return;
    const auto scale = static_cast<double>(m_p.Scale);
    const double outer = std::fabs(scale * (m_axisHigh - m_axisLow + m_holeUnits));
    const double hole = std::fabs(scale * m_holeUnits);
    const double start = (m_p.SectorStart + m_p.AngleOffset * m_p.AngleUnit);
    const double end = start + m_p.SectorSpan;
    m_region = TpcViewRegion(static_cast<double>(m_p.OriginX), static_cast<double>(m_p.OriginY),
        wholeTurn ? HUGE_VAL : outer, hole, std::cos(start), std::sin(start) * m_p.RotationSign,
        std::cos(end), std::sin(end) * m_p.RotationSign, m_p.SectorSpan, m_p.RotationSign < 0);
}

double TpcTransform::AxisValue(double rad) const
{
    if (!m_p.Logarithmic)
        return rad;
    return rad > 0 ? std::log10(rad) : std::numeric_limits<double>::quiet_NaN();
}

double TpcTransform::RadialValue(double axis) const
{
    return m_p.Logarithmic ? std::pow(10.0, axis) : axis;
}

double TpcTransform::RadiusOf(double rad) const
{
    double t = AxisValue(rad);
    if (m_axisHigh > m_axisLow ? !(t >= m_axisLow) : !(t <= m_axisLow))
        t = m_axisLow;
    return std::fabs(static_cast<double>(m_p.Scale) * ((t - m_axisLow) + m_holeUnits));
}

TPoint TpcTransform::PolarToPixel(double rad, double phi) const
{
    if (m_p.Logarithmic)
        rad = AxisValue(rad);
    const double low = m_axisLow;
    if (m_axisHigh > low && rad < low)
        rad = low;
    else if (m_axisHigh < low && rad > low)
        rad = low;
    const double alpha = (phi + m_p.AngleOffset) * m_p.AngleUnit;
    double cosine = 0, sine = 0;
    if (std::fabs(alpha) < trigLimit) {
        cosine = std::cos(alpha);
        sine = std::sin(alpha);
    }
    // The hole adds nothing (exactly) to a view without one.
    const double radius = (rad - low) + m_holeUnits;
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

    // The lanes of the chunk loop (N doubles, 64-bit and 32-bit integers, bytes) and their
    // helpers. The loop's own helpers take and return lanes and are inlined too.
#pragma GCC diagnostic ignored "-Wpsabi"
    using lanes::Absolute;
    using lanes::BitsOf;
    using lanes::DoublesOf;
    using lanes::Lanes;

    // Four elements' fields in lanes: the radial values, the angles, and the pens (with the
    // class and the kind) as numbers; read as twelve 8-byte words in three loads and sorted by
    // shuffles, fewer instructions than reading each field by itself.
    template <class L> struct Group {
        typename L::Doubles Rad, Phi;
        typename L::Longs Pen;
    };
    template <class L> [[gnu::always_inline]] inline Group<L> loadGroup(const TpcDataElement* e)
    {
        static_assert(L::Count == 4 && sizeof(TpcDataElement) == 24);
        static_assert(offsetof(TpcDataElement, Phi) == 8 && offsetof(TpcDataElement, Color) == 16);
        typename L::Longs a, b, c;
        const auto* bytes = reinterpret_cast<const char*>(e);
        std::memcpy(&a, bytes, sizeof a);
        std::memcpy(&b, bytes + 32, sizeof b);
        std::memcpy(&c, bytes + 64, sizeof c);
        const auto rad
            = __builtin_shufflevector(__builtin_shufflevector(a, b, 0, 3, 6, 6), c, 0, 1, 2, 5);
        const auto phi
            = __builtin_shufflevector(__builtin_shufflevector(a, b, 1, 4, 7, 7), c, 0, 1, 2, 6);
        const auto pen
            = __builtin_shufflevector(__builtin_shufflevector(a, b, 2, 5, 5, 5), c, 0, 1, 4, 7);
        return { DoublesOf(rad), DoublesOf(phi), pen };
    }

    // N table entries in lanes.
    template <class Doubles, class Longs, size_t... Lane>
    [[gnu::always_inline]] inline Doubles lookUp(
        const double* table, Longs index, std::index_sequence<Lane...>)
    {
        return Doubles { table[index[Lane]]... };
    }

    // Whether any lane is not zero, by or-ing halves.
    template <class Longs> [[gnu::always_inline]] inline bool anyLane(Longs v)
    {
        if constexpr (sizeof v == 16)
            return (v[0] | v[1]) != 0;
        else
            return anyLane(
                __builtin_shufflevector(v, v, 0, 1) | __builtin_shufflevector(v, v, 2, 3));
    }

    // Two lanes of 32-bit integers interleaved, x0 y0 x1 y1 ...: the pixels of the lanes.
    template <class Ints, size_t... Lane>
    [[gnu::always_inline]] inline auto interleave(Ints x, Ints y, std::index_sequence<Lane...>)
    {
        constexpr int n = sizeof x / 4;
        return __builtin_shufflevector(x, y, (Lane % 2 * n + Lane / 2)...);
    }

    // Sine and cosine on [-pi/4, pi/4] by their classic minimax polynomials, within a few units
    // in the last place of the exact values. The coefficients are those of fdlibm's __kernel_sin
    // and __kernel_cos (the freely distributable libm that most C libraries' sine and cosine come
    // from), fitted there by the Remez algorithm to sin(x) / x - 1 and cos(x) - 1 + x^2 / 2 in x^2
    // on that interval. The polynomials in z are summed in pairs of terms weighted by z^2 and z^4
    // rather than nested: that halves the chain of dependent operations, which bounds how fast
    // the chunk loop runs.
    constexpr double sinTerms[6]
        = { -1.66666666666666324348e-01, 8.33333333332248946124e-03, -1.98412698298579493134e-04,
              2.75573137070700676789e-06, -2.50507602534068634195e-08, 1.58969099521155010221e-10 };
    constexpr double cosTerms[6] = { 4.16666666666666019037e-02, -1.38888888888741095749e-03,
        2.48015872894767294178e-05, -2.75573143513906633035e-07, 2.08757232129817482790e-09,
        -1.13596475577881948265e-11 };

    template <class Doubles> [[gnu::always_inline]] inline Doubles sinKernel(Doubles x)
    {
        const Doubles z = x * x, z2 = z * z, z4 = z2 * z2;
        const Doubles p = (sinTerms[0] + z * sinTerms[1]) + z2 * (sinTerms[2] + z * sinTerms[3])
            + z4 * (sinTerms[4] + z * sinTerms[5]);
        return x + (x * z) * p;
    }

    template <class Doubles> [[gnu::always_inline]] inline Doubles cosKernel(Doubles x)
    {
        const Doubles z = x * x, z2 = z * z, z4 = z2 * z2;
        const Doubles p = (cosTerms[0] + z * cosTerms[1]) + z2 * (cosTerms[2] + z * cosTerms[3])
            + z4 * (cosTerms[4] + z * cosTerms[5]);
        return (1.0 - 0.5 * z) + z2 * p;
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
    // The radius is taken from the axis's zero, RangeLow less the hole (RangeLow itself without
    // one): that differs from the per-element path's order of operations by a rounding.
    // A radial value below floor or above ceiling is drawn at RangeLow: one of them is RangeLow,
    // the other an infinity, by the direction of the range.
    struct Factors {
        double scale, originX, originY, floor, ceiling, offset, unit, sign, halfLessSlack, zero;
    };

    // The common logarithm of positive normal numbers, without a division: x = 2^k m with m in
    // [1, 2); the top six bits of m's fraction pick c, the middle of its sixty-fourth of [1, 2),
    // from a table of 1 / c and log10(c); then m / c = 1 + r with |r| < 1/128, and ln(1 + r)
    // comes from its series up to r^5, whose remainder stays below 1e-14. The slack of the chunk
    // loop allows for that error and the table's roundings.
    struct LogTable {
        double Inverse[64];
        double Log[64];
        LogTable()
        {
            for (int j = 0; j < 64; ++j) {
                const double c = 1 + (j + 0.5) / 64;
                Inverse[j] = 1 / c;
                Log[j] = std::log10(c);
            }
        }
    };
    const LogTable logTable;

    template <class Doubles> [[gnu::always_inline]] inline Doubles log10Kernel(Doubles x)
    {
        constexpr double log10Of2 = 3.01029995663981195214e-01;
        constexpr double log10OfE = 4.34294481903251816668e-01;
        constexpr auto lanes = std::make_index_sequence<sizeof x / 8>();
        const auto bits = BitsOf(x);
        const auto k = (bits >> 52) - 1023;
        const auto index = (bits >> 46) & 63;
        const Doubles m = DoublesOf((bits & 0x000fffffffffffff) | 0x3ff0000000000000);
        const auto inverse = lookUp<Doubles>(logTable.Inverse, index, lanes);
        const auto logC = lookUp<Doubles>(logTable.Log, index, lanes);
        const Doubles r = m * inverse - 1.0;
        const Doubles ln
            = r * (1.0 + r * (-1.0 / 2 + r * (1.0 / 3 + r * (-1.0 / 4 + r * (1.0 / 5)))));
        // k is small: adding it to the bits of the rounding shift converts it exactly.
        const Doubles dk = DoublesOf(k + BitsOf(Doubles {} + roundingShift)) - roundingShift;
        return (dk * log10Of2 + logC) + ln * log10OfE;
    }

    // The clipped pixel coordinates of values, and in unsure the lanes that might round
    // differently on the per-element path: a value farther than slack from every half-integer
    // rounds the same on both. Every value beyond the clip range ends on its edge, so the values
    // are clipped first.
    template <class Doubles, class Longs>
    [[gnu::always_inline]] inline auto settle(Doubles value, double halfLessSlack, Longs& unsure)
    {
        constexpr double limit = ClipLimit;
        value = value > -limit ? value : -limit;
        value = value < limit ? value : limit;
        const Doubles nearest = (value + roundingShift) - roundingShift;
        unsure |= Absolute(value - nearest) >= halfLessSlack;
        return __builtin_convertvector(nearest, typename Lanes<sizeof value / 8>::Ints);
    }

    // On a logarithmic axis the places of N elements' radial values, NaN for the values the
    // kernel does not take (zero, negative, subnormal, not finite): those go the per-element way.
    template <class L>
    [[gnu::always_inline]] inline void laneAxisValues(const TpcDataElement* e, double* axis)
    {
        using Doubles = typename L::Doubles;
        const Doubles rad = loadGroup<L>(e).Rad;
        const auto placed = (rad >= 0x1p-1022) & (rad <= 0x1.fffffffffffffp+1023);
        const Doubles t = log10Kernel(placed ? rad : 1.0);
        const Doubles result = placed ? t : __builtin_nan("");
        std::memcpy(axis, &result, sizeof result);
    }

    // N elements: their pixels into out, and whether any of them must come from the per-element
    // path instead; unsure then tells which, and sited the lanes known to have a place on the
    // chart. On a logarithmic axis the radial values' places come from axis.
    template <class L, bool Logarithmic>
    [[gnu::always_inline]] inline bool lanePixels(const Factors& f, const Group<L>& g,
        const double* axis, TPoint* out, typename L::Longs& unsure, typename L::Longs& sited)
    {
        using Doubles = typename L::Doubles;
        using Longs = typename L::Longs;
        Doubles rad = g.Rad;
        const Doubles phi = g.Phi;
        Longs placed = Absolute(rad) <= std::numeric_limits<double>::max();
        if constexpr (Logarithmic) {
            std::memcpy(&rad, axis, sizeof rad);
            placed = rad == rad;
            rad = placed ? rad : 0.0;
        }
        rad = rad < f.floor ? f.floor : rad;
        rad = rad > f.ceiling ? f.ceiling : rad;
        Doubles alpha = (phi + f.offset) * f.unit;
        Doubles radius = rad - f.zero;
        // Far angles, far reaches and values that are not finite go the per-element way; their
        // lanes compute with zeros, so that no conversion sees a wild value.
        const Longs usable = placed & (Absolute(alpha) < fastTrigLimit)
            & (Absolute(f.scale * radius) < fastReachLimit);
        alpha = usable ? alpha : 0.0;
        radius = usable ? radius : 0.0;
        // A finite radial value (on a logarithmic axis a positive one) and a usable angle.
        sited = usable;

        const Doubles shifted = alpha * twoOverPi + roundingShift;
        const Doubles k = shifted - roundingShift;
        const Longs quadrant = BitsOf(shifted);
        const Doubles r = (alpha - k * halfPiHigh) - k * halfPiLow;
        const Doubles s = sinKernel(r), c = cosKernel(r);
        const Longs odd = (quadrant << 63) >> 63;
        // Quadrants 2 and 3 negate the sine, 1 and 2 the cosine: a flip of the sign bit.
        const Doubles sine = DoublesOf(BitsOf(odd ? c : s) ^ ((quadrant >> 1) << 63));
        const Doubles cosine = DoublesOf(BitsOf(odd ? s : c) ^ (((quadrant + 1) >> 1) << 63));

        unsure = ~usable;
        const auto x = settle(f.scale * (cosine * radius) + f.originX, f.halfLessSlack, unsure);
        const auto y
            = settle(f.scale * (sine * radius * f.sign) + f.originY, f.halfLessSlack, unsure);
        const auto points = interleave(x, y, std::make_index_sequence<2 * L::Count>());
        std::memcpy(static_cast<void*>(out), &points, sizeof points);
        return anyLane(unsure);
    }

    // The last group's pixels and pens, for the comparison of the next group's first element.
    template <class L> struct Before {
        typename L::Longs Points {}, Pens {};
    };

    // Of N elements whose pixels are in out: which continue the element before them, into
    // continues (a byte each). Only lanes known to have a place count.
    template <class L, size_t... Lane>
    [[gnu::always_inline]] inline void laneContinues(const Group<L>& g, typename L::Longs sited,
        const TPoint* out, Before<L>& before, uint8_t* continues, std::index_sequence<Lane...>)
    {
        using Longs = typename L::Longs;
        constexpr int n = L::Count;
        Longs points;
        std::memcpy(&points, static_cast<const void*>(out), sizeof points);
        const Longs same = sited
            & (points == __builtin_shufflevector(before.Points, points, (Lane + n - 1)...))
            & (g.Pen == __builtin_shufflevector(before.Pens, g.Pen, (Lane + n - 1)...));
        const auto bytes = __builtin_convertvector(same, typename L::Bytes);
        std::memcpy(continues, &bytes, sizeof bytes);
        before = { points, g.Pen };
    }

    // The pixel of an element that lanes could not be sure of, by the per-element path.
    inline TPoint exactPixel(const TpcTransform& transform, const TpcDataElement& e)
    {
        TPoint pixel = transform.PolarToPixel(e.Rad, e.Phi);
        ClipCoordinates(pixel.x, pixel.y);
        return pixel;
    }

    // N elements' pixels into out, the unsure lanes' from the per-element path; with Continues
    // also which of them continue the element before.
    template <class L, bool Logarithmic, bool Continues>
    [[gnu::always_inline]] inline void groupPixels(const TpcTransform& transform, const Factors& f,
        const TpcDataElement* e, const double* axis, TPoint* out, Before<L>& before,
        uint8_t* continues)
    {
        const Group<L> g = loadGroup<L>(e);
        typename L::Longs unsure, sited;
        if (lanePixels<L, Logarithmic>(f, g, axis, out, unsure, sited)) {
            for (int lane = 0; lane < L::Count; ++lane) {
                if (unsure[lane] != 0)
                    out[lane] = exactPixel(transform, e[lane]);
            }
        }
        if constexpr (Continues)
            laneContinues<L>(
                g, sited, out, before, continues, std::make_index_sequence<L::Count>());
    }

    // The groups of the compiler's vectors: L's lanes, with the logarithms taken beforehand.
    template <class L, bool Logarithmic, bool Continues> struct LaneGroups {
        static constexpr int32_t Count = L::Count;
        using Carry = Before<L>;
        [[gnu::always_inline]] static void axisValues(const TpcDataElement* e, double* axis)
        {
            laneAxisValues<L>(e, axis);
        }
        [[gnu::always_inline]] static void map(const TpcTransform& transform, const Factors& f,
            const TpcDataElement* e, const double* axis, TPoint* out, Carry& before,
            uint8_t* continues)
        {
            groupPixels<L, Logarithmic, Continues>(transform, f, e, axis, out, before, continues);
        }
    };

    // The elements in groups of Groups::Count, the last few through a full group of copies.
    template <class Groups, bool Logarithmic, bool Continues>
    [[gnu::always_inline]] inline void pixelsLoop(const TpcTransform& transform,
        const Factors& factors, const TpcDataElement* elements, int32_t count, TPoint* out,
        uint8_t* continues)
    {
        constexpr int32_t n = Groups::Count;
        // A copy of the factors: the stores to out cannot change it, so it stays in registers.
        const Factors f = factors;
        typename Groups::Carry before {};
        // On a logarithmic axis the logarithms of a block are taken first, in a loop of their own
        // whose iterations are independent: mixed into the mapping they would lengthen its chain.
        constexpr int32_t block = 256;
        double axis[Logarithmic ? block : 1];
        for (int32_t start = 0; start < count; start += block) {
            const int32_t end = std::min(count, start + block);
            const int32_t whole = start + (end - start) / n * n;
            if constexpr (Logarithmic) {
                for (int32_t i = start; i < whole; i += n)
                    Groups::axisValues(elements + i, axis + (i - start));
            }
            for (int32_t i = start; i < whole; i += n)
                Groups::map(transform, f, elements + i, Logarithmic ? axis + (i - start) : axis,
                    out + i, before, Continues ? continues + i : nullptr);
            if (whole == end)
                continue;
            TpcDataElement tail[n];
            TPoint tailOut[n];
            uint8_t tailContinues[n];
            std::copy(elements + whole, elements + end, tail);
            if constexpr (Logarithmic)
                Groups::axisValues(tail, axis + (whole - start));
            Groups::map(transform, f, tail, Logarithmic ? axis + (whole - start) : axis, tailOut,
                before, tailContinues);
            std::copy(tailOut, tailOut + (end - whole), out + whole);
            if constexpr (Continues)
                std::copy(tailContinues, tailContinues + (end - whole), continues + whole);
        }
        // The first element has none before it.
        if (Continues && count > 0)
            continues[0] = 0;
    }

    using PixelsLoop = void (*)(
        const TpcTransform&, const Factors&, const TpcDataElement*, int32_t, TPoint*, uint8_t*);

    // The loop for processors without wider instructions: four lanes in pairs. Which elements
    // continue the one before is found afterwards one by one, which these processors do faster
    // than in pairs of lanes.
    template <bool Logarithmic, bool Continues>
    void pixelsLoopBasic(const TpcTransform& transform, const Factors& f,
        const TpcDataElement* elements, int32_t count, TPoint* out, uint8_t* continues)
    {
        pixelsLoop<LaneGroups<Lanes<4>, Logarithmic, false>, Logarithmic, false>(
            transform, f, elements, count, out, nullptr);
        if constexpr (Continues) {
            for (int32_t i = 0; i < count; ++i) {
                const TpcDataElement& e = elements[i];
                continues[i] = i > 0 && transform.HasPlace(e.Rad, e.Phi) && out[i] == out[i - 1]
                    && PenBits(e) == PenBits(elements[i - 1]);
            }
        }
    }

#if defined(__x86_64__) && defined(__GNUC__)
    // A loop built for an instruction set, with its multiplications and additions fused where
    // the compiler allows that for one function (with the other, only the eight-lane loop's own
    // fused operations are).
#if defined(__clang__)
#define LANE_LOOP_TARGET(set) __attribute__((target(set)))
#else
#define LANE_LOOP_TARGET(set) __attribute__((target(set), optimize("fp-contract=fast")))
#endif

    // The same loop built for wider instruction sets, taken when the processor has them.
    // Multiplications and additions fuse there: one rounding instead of two, so the result stays
    // as close to the exact value as the slack assumes. With the 512-bit set the loop keeps its
    // four lanes: the compares into mask registers and the shifts of 64-bit lanes shorten it,
    // while eight lanes in the compiler's vectors measured slower than four.
    template <bool Logarithmic, bool Continues>
    LANE_LOOP_TARGET("avx2,fma")
    void pixelsLoopWide(const TpcTransform& transform, const Factors& f,
        const TpcDataElement* elements, int32_t count, TPoint* out, uint8_t* continues)
    {
        pixelsLoop<LaneGroups<Lanes<4>, Logarithmic, Continues>, Logarithmic, Continues>(
            transform, f, elements, count, out, continues);
    }
    // Eight elements at once in 512-bit registers, written with the processor's own operations:
    // the same steps as lanePixels, groupPixels and laneContinues, with compares into mask
    // registers. Plain axes only; a logarithmic one takes the four-lane loop.
    template <bool Continues> struct Groups512 {
        static constexpr int32_t Count = 8;
        struct Carry {
            __m512i Points, Pens;
        };
        static void axisValues(const TpcDataElement*, double*) { }

        // The sine's or cosine's polynomial, summed as sinKernel and cosKernel sum it.
        __attribute__((
            target("avx512f,avx512dq,avx512vl,fma"), always_inline)) static inline __m512d
        terms(__m512d z, const double* t)
        {
            const __m512d z2 = _mm512_mul_pd(z, z), z4 = _mm512_mul_pd(z2, z2);
            const __m512d low = _mm512_fmadd_pd(z, _mm512_set1_pd(t[1]), _mm512_set1_pd(t[0]));
            const __m512d middle = _mm512_fmadd_pd(z, _mm512_set1_pd(t[3]), _mm512_set1_pd(t[2]));
            const __m512d high = _mm512_fmadd_pd(z, _mm512_set1_pd(t[5]), _mm512_set1_pd(t[4]));
            return _mm512_fmadd_pd(z4, high, _mm512_fmadd_pd(z2, middle, low));
        }

        __attribute__((
            target("avx512f,avx512dq,avx512vl,fma"), always_inline)) static inline __m256i
        roundedLanes(__m512d value, const Factors& f, __mmask8& unsure)
        {
            // Clipped first (NaN to the lower edge, as in settle), then rounded half to even.
            const __m512d limit = _mm512_set1_pd(ClipLimit);
            value
                = _mm512_mask_mov_pd(-limit, _mm512_cmp_pd_mask(value, -limit, _CMP_GT_OQ), value);
            value = _mm512_mask_mov_pd(limit, _mm512_cmp_pd_mask(value, limit, _CMP_LT_OQ), value);
            const __m512d shift = _mm512_set1_pd(roundingShift);
            const __m512d nearest = _mm512_sub_pd(_mm512_add_pd(value, shift), shift);
            unsure |= _mm512_cmp_pd_mask(_mm512_abs_pd(_mm512_sub_pd(value, nearest)),
                _mm512_set1_pd(f.halfLessSlack), _CMP_GE_OQ);
            return _mm512_maskz_cvtpd_epi32(0xFF, nearest);
        }

        // Not forced inline: the loop around it is not built for the wider set until it is
        // inlined itself.
        __attribute__((target("avx512f,avx512dq,avx512vl,fma"))) static void map(
            const TpcTransform& transform, const Factors& f, const TpcDataElement* e, const double*,
            TPoint* out, Carry& before, uint8_t* continues)
        {
            // Three loads of eight words each, sorted into the fields.
            static_assert(sizeof(TpcDataElement) == 24 && offsetof(TpcDataElement, Phi) == 8
                && offsetof(TpcDataElement, Color) == 16);
            const auto* words = reinterpret_cast<const double*>(e);
            const __m512d a = _mm512_loadu_pd(words), b = _mm512_loadu_pd(words + 8),
                          c = _mm512_loadu_pd(words + 16);
            // Element j's words are 3j, 3j + 1 and 3j + 2 of the 24: the first five elements'
            // lie in a and b, the others' in b and c.
            __m512d rad = _mm512_permutex2var_pd(
                _mm512_permutex2var_pd(a, _mm512_setr_epi64(0, 3, 6, 9, 12, 15, 0, 0), b),
                _mm512_setr_epi64(0, 1, 2, 3, 4, 5, 10, 13), c);
            const __m512d phi = _mm512_permutex2var_pd(
                _mm512_permutex2var_pd(a, _mm512_setr_epi64(1, 4, 7, 10, 13, 0, 0, 0), b),
                _mm512_setr_epi64(0, 1, 2, 3, 4, 8, 11, 14), c);
            const __m512i pen = _mm512_castpd_si512(_mm512_permutex2var_pd(
                _mm512_permutex2var_pd(a, _mm512_setr_epi64(2, 5, 8, 11, 14, 0, 0, 0), b),
                _mm512_setr_epi64(0, 1, 2, 3, 4, 9, 12, 15), c));

            const __mmask8 placed = _mm512_cmp_pd_mask(
                _mm512_abs_pd(rad), _mm512_set1_pd(std::numeric_limits<double>::max()), _CMP_LE_OQ);
            const __m512d floor = _mm512_set1_pd(f.floor), ceiling = _mm512_set1_pd(f.ceiling);
            rad = _mm512_mask_mov_pd(rad, _mm512_cmp_pd_mask(rad, floor, _CMP_LT_OQ), floor);
            rad = _mm512_mask_mov_pd(rad, _mm512_cmp_pd_mask(rad, ceiling, _CMP_GT_OQ), ceiling);
            __m512d alpha = _mm512_mul_pd(
                _mm512_add_pd(phi, _mm512_set1_pd(f.offset)), _mm512_set1_pd(f.unit));
            __m512d radius = _mm512_sub_pd(rad, _mm512_set1_pd(f.zero));
            const __m512d scale = _mm512_set1_pd(f.scale);
            const __mmask8 usable = placed
                & _mm512_cmp_pd_mask(
                    _mm512_abs_pd(alpha), _mm512_set1_pd(fastTrigLimit), _CMP_LT_OQ)
                & _mm512_cmp_pd_mask(_mm512_abs_pd(_mm512_mul_pd(scale, radius)),
                    _mm512_set1_pd(fastReachLimit), _CMP_LT_OQ);
            alpha = _mm512_maskz_mov_pd(usable, alpha);
            radius = _mm512_maskz_mov_pd(usable, radius);

            const __m512d shift = _mm512_set1_pd(roundingShift);
            const __m512d shifted = _mm512_fmadd_pd(alpha, _mm512_set1_pd(twoOverPi), shift);
            const __m512d k = _mm512_sub_pd(shifted, shift);
            const __m512d r = _mm512_fnmadd_pd(k, _mm512_set1_pd(halfPiLow),
                _mm512_fnmadd_pd(k, _mm512_set1_pd(halfPiHigh), alpha));
            const __m512d z = _mm512_mul_pd(r, r);
            const __m512d s = _mm512_fmadd_pd(_mm512_mul_pd(r, z), terms(z, sinTerms), r);
            const __m512d cs = _mm512_fmadd_pd(_mm512_mul_pd(z, z), terms(z, cosTerms),
                _mm512_fnmadd_pd(_mm512_set1_pd(0.5), z, _mm512_set1_pd(1.0)));
            const __m512i quadrant = _mm512_castpd_si512(shifted);
            const __mmask8 odd = _mm512_test_epi64_mask(quadrant, _mm512_set1_epi64(1));
            // Quadrants 2 and 3 negate the sine, 1 and 2 the cosine: a flip of the sign bit. (The
            // shifts are the compiler's: its shift operations warn of an unset operand.)
            typedef uint64_t Words __attribute__((vector_size(64)));
            const auto q = Words(quadrant);
            const __m512d sine = _mm512_castsi512_pd(_mm512_xor_si512(
                _mm512_castpd_si512(_mm512_mask_mov_pd(s, odd, cs)), __m512i((q >> 1) << 63)));
            const __m512d cosine = _mm512_castsi512_pd(
                _mm512_xor_si512(_mm512_castpd_si512(_mm512_mask_mov_pd(cs, odd, s)),
                    __m512i(((q + 1) >> 1) << 63)));

            __mmask8 unsure = __mmask8(~usable);
            const __m256i x = roundedLanes(
                _mm512_fmadd_pd(scale, _mm512_mul_pd(cosine, radius), _mm512_set1_pd(f.originX)), f,
                unsure);
            const __m256i y = roundedLanes(
                _mm512_fmadd_pd(scale,
                    _mm512_mul_pd(_mm512_mul_pd(sine, radius), _mm512_set1_pd(f.sign)),
                    _mm512_set1_pd(f.originY)),
                f, unsure);
            // x0 y0 x1 y1 x4 y4 x5 y5 and x2 y2 x3 y3 x6 y6 x7 y7, their halves in order.
            const __m256i low = _mm256_unpacklo_epi32(x, y), high = _mm256_unpackhi_epi32(x, y);
            _mm256_storeu_si256(
                reinterpret_cast<__m256i*>(out), _mm256_permute2x128_si256(low, high, 0x20));
            _mm256_storeu_si256(
                reinterpret_cast<__m256i*>(out + 4), _mm256_permute2x128_si256(low, high, 0x31));
            if (unsure) {
                for (int lane = 0; lane < Count; ++lane) {
                    if (unsure & (1u << lane))
                        out[lane] = exactPixel(transform, e[lane]);
                }
            }
            if constexpr (Continues) {
                const __m512i points = _mm512_loadu_si512(out);
                const __mmask8 same = usable
                    & _mm512_cmpeq_epi64_mask(
                        points, _mm512_maskz_alignr_epi64(0xFF, points, before.Points, 7))
                    & _mm512_cmpeq_epi64_mask(
                        pen, _mm512_maskz_alignr_epi64(0xFF, pen, before.Pens, 7));
                _mm_storel_epi64(reinterpret_cast<__m128i*>(continues),
                    _mm512_maskz_cvtepi64_epi8(0xFF, _mm512_movm_epi64(same)));
                before = { points, pen };
            }
        }
    };

    template <bool Logarithmic, bool Continues>
    LANE_LOOP_TARGET("avx512f,avx512dq,avx512vl,fma")
    void pixelsLoopWidest(const TpcTransform& transform, const Factors& f,
        const TpcDataElement* elements, int32_t count, TPoint* out, uint8_t* continues)
    {
        if constexpr (Logarithmic)
            pixelsLoop<LaneGroups<Lanes<4>, true, Continues>, true, Continues>(
                transform, f, elements, count, out, continues);
        else
            pixelsLoop<Groups512<Continues>, false, Continues>(
                transform, f, elements, count, out, continues);
    }
#endif

    // The loops by instruction set that the processor has, widest first: plain and logarithmic,
    // each without and with the continuing elements.
    struct PixelsLoops {
        const char* Name;
        PixelsLoop Loops[2][2];
    };
    const std::vector<PixelsLoops>& supportedLoops()
    {
        static const std::vector<PixelsLoops> loops = [] {
            std::vector<PixelsLoops> supported;
#if defined(__x86_64__) && defined(__GNUC__)
            if (lanes::HasAvx512())
                supported.push_back({ "avx512",
                    { { pixelsLoopWidest<false, false>, pixelsLoopWidest<false, true> },
                        { pixelsLoopWidest<true, false>, pixelsLoopWidest<true, true> } } });
            if (lanes::HasAvx2Fma())
                supported.push_back({ "avx2",
                    { { pixelsLoopWide<false, false>, pixelsLoopWide<false, true> },
                        { pixelsLoopWide<true, false>, pixelsLoopWide<true, true> } } });
#endif
            supported.push_back({ "basic",
                { { pixelsLoopBasic<false, false>, pixelsLoopBasic<false, true> },
                    { pixelsLoopBasic<true, false>, pixelsLoopBasic<true, true> } } });
            return supported;
        }();
        return loops;
    }
    // The index in supportedLoops of the loops DataPixels takes.
    std::atomic<size_t> chosenLoops = 0;
} // namespace

void TpcTransform::DataPixels(
    const TpcDataElement* elements, int32_t count, TPoint* out, uint8_t* continues) const
{
    const auto originX = static_cast<double>(m_p.OriginX),
               originY = static_cast<double>(m_p.OriginY);
    const auto scale = static_cast<double>(m_p.Scale);
    double slack = (fastReachLimit + std::fabs(originX) + std::fabs(originY) + 1) * 0x1p-40;
    // The logarithms of the two paths differ by the series' remainder (below 1e-14 of a decade)
    // and a few units in the last place of a value whose magnitude times the scale is below the
    // reach limit plus the axis's pixel offsets; generous multiples of both are added. A slack
    // beyond one half sends every element the per-element way.
    if (m_p.Logarithmic)
        slack += (fastReachLimit + std::fabs(scale * m_axisLow) + std::fabs(scale * m_holeUnits))
                * 0x1p-46
            + std::fabs(scale) * 1e-10;
    // Taking the radius from RangeLow less the hole rounds differently by a unit in the last
    // place of their magnitudes, at most.
    if (m_holeUnits != 0)
        slack += std::fabs(scale) * (std::fabs(m_axisLow) + std::fabs(m_holeUnits)) * 0x1p-50;
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const Factors f { scale, originX, originY, m_axisHigh > m_axisLow ? m_axisLow : -infinity,
        m_axisHigh < m_axisLow ? m_axisLow : infinity, m_p.AngleOffset, m_p.AngleUnit,
        static_cast<double>(m_p.RotationSign), 0.5 - slack, m_axisLow - m_holeUnits };
    const PixelsLoops& loops = supportedLoops()[chosenLoops.load(std::memory_order_relaxed)];
    loops.Loops[m_p.Logarithmic][continues != nullptr](*this, f, elements, count, out, continues);
}

std::vector<std::string> TpcTransform::DataPixelsInstructionSets()
{
    std::vector<std::string> names;
    for (const PixelsLoops& loops : supportedLoops())
        names.emplace_back(loops.Name);
    return names;
}

bool TpcTransform::UseDataPixelsInstructionSet(const std::string& name)
{
    const std::vector<PixelsLoops>& loops = supportedLoops();
    for (size_t i = 0; i < loops.size(); ++i) {
        if (loops[i].Name == name) {
            chosenLoops = i;
            return true;
        }
    }
    return false;
}

TpcPolarPoint TpcTransform::PixelToPolar(int32_t x, int32_t y) const
{
    if (m_p.Scale == 0 || !std::isfinite(m_p.Scale))
        return TpcPolarPoint { m_p.RangeLow, 0.0 };
    auto u = static_cast<double>((x - m_p.OriginX) / m_p.Scale);
    auto v = static_cast<double>((y - m_p.OriginY) / m_p.Scale);
    double distance = std::sqrt(u * u + v * v);
    double rad = m_p.RangeHigh > m_p.RangeLow ? m_p.RangeLow + distance : m_p.RangeLow - distance;
    if (m_p.Logarithmic || m_holeUnits != 0) {
        const double along = distance - std::fabs(m_holeUnits);
        // Far out on a logarithmic axis the value passes the largest double: it saturates.
        rad = std::min(RadialValue(m_axisHigh > m_axisLow ? m_axisLow + along : m_axisLow - along),
            std::numeric_limits<double>::max());
    }
    // Bounds near the ends of the double range: the distance overflows in double, and its
    // quotients with it; the wider type holds them, and the angle needs only their ratio.
    if (!std::isfinite(rad) || !std::isfinite(distance)) {
        const long double lu = (x - m_p.OriginX) / m_p.Scale, lv = (y - m_p.OriginY) / m_p.Scale;
        const long double wide = std::sqrt(lu * lu + lv * lv);
        // Beyond the outer circle the radial value may pass the largest double: it saturates.
        constexpr long double largestDouble = std::numeric_limits<double>::max();
        const long double along = wide - std::fabs(m_holeUnits);
        rad = static_cast<double>(
            std::clamp<long double>(m_axisHigh > m_axisLow ? m_axisLow + along : m_axisLow - along,
                -largestDouble, largestDouble));
        rad = std::min(RadialValue(rad), std::numeric_limits<double>::max());
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

long double TpcTransform::ScaleFor(
    double magFactor, long double side, double axisLow, double axisHigh, double holeFraction)
{
    const long double range = static_cast<long double>(axisHigh) - axisLow;
    long double scale = magFactor * side / range / 2;
    if (holeFraction > 0)
        scale *= 1 - holeFraction;
    // An overflowing range or magnification leaves no usable scale.
    return std::isfinite(scale) ? scale : 0.0L;
}

TpcSectorBox TpcTransform::SectorBox(
    double startRadians, double spanRadians, double offsetRadians, int32_t sign, double hole)
{
    constexpr double pi = std::numbers::pi;
    if (!(spanRadians < 2 * pi))
        return TpcSectorBox {};
    TpcSectorBox box { HUGE_VAL, HUGE_VAL, -HUGE_VAL, -HUGE_VAL };
    auto include = [&box, sign](double angle, double radius) {
        const double x = std::cos(angle) * radius, y = std::sin(angle) * radius * sign;
        box.Left = std::min(box.Left, x);
        box.Right = std::max(box.Right, x);
        box.Top = std::min(box.Top, y);
        box.Bottom = std::max(box.Bottom, y);
    };
    // Brought into the first turn, so that the steps below count from a start of any size.
    double start = std::fmod(startRadians + offsetRadians, 2 * pi);
    if (start < 0)
        start += 2 * pi;
    const double end = start + spanRadians;
    for (const double radius : { 1.0, hole }) {
        include(start, radius);
        include(end, radius);
    }
    // The outer arc's extreme points: the axis directions the sector passes, at most four.
    const double firstAxis = std::ceil(start / (pi / 2));
    for (int k = 0; k < 5; ++k) {
        const double axis = (firstAxis + k) * (pi / 2);
        if (axis < end)
            include(axis, 1.0);
    }
    return box;
}

TpcViewRegion::TpcViewRegion(double centerX, double centerY, double outerRadius, double holeRadius,
    double startX, double startY, double endX, double endY, double spanRadians, bool mirrored)
    : m_everything(false)
    , m_cx(centerX)
    , m_cy(centerY)
    , m_outer2(outerRadius * outerRadius)
    , m_hole2(holeRadius * holeRadius)
    , m_bounded(std::isfinite(outerRadius))
    , m_wholeTurn(!(spanRadians < 2 * std::numbers::pi))
    , m_reflex(spanRadians > std::numbers::pi)
    , m_flip(mirrored ? -1 : 1)
    , m_span(std::min(spanRadians, 2 * std::numbers::pi))
{
    // Rows are mirrored back for the negative sign: in that frame a direction's components are
    // the cosine and sine of its data angle, and growing angles have positive cross products.
    m_ax = startX;
    m_ay = startY * m_flip;
    m_bx = endX;
    m_by = endY * m_flip;
}

// Angles run in the frame with rows mirrored back, where they grow from the start edge.
std::vector<TPoint> TpcViewRegion::Outline(double reach) const
{
    std::vector<TPoint> outline;
    if (m_everything)
        return outline;
    auto pixelOf = [](double x, double y) {
        constexpr double limit = 1 << 30;
        return TPoint { int32_t(std::lround(std::clamp(x, -limit, limit))),
            int32_t(std::lround(std::clamp(y, -limit, limit))) };
    };
    const double start = std::atan2(m_ay, m_ax);
    const double span = m_wholeTurn ? 2 * std::numbers::pi : m_span;
    auto arc = [&](double radius, bool forwards) {
        const int chords
            = int(std::clamp(std::ceil(span * radius / 2), m_wholeTurn ? 8.0 : 1.0, 4096.0));
        for (int k = 0; k <= chords; ++k) {
            const double t = double(forwards ? k : chords - k) / chords;
            const double angle = start + t * span;
            outline.push_back(
                pixelOf(m_cx + radius * std::cos(angle), m_cy + m_flip * radius * std::sin(angle)));
        }
    };
    const double outer = m_bounded ? std::sqrt(m_outer2) : std::max(reach, 1.0);
    arc(outer, true);
    if (m_hole2 > 0)
        arc(std::sqrt(m_hole2), false);
    else if (!m_wholeTurn)
        outline.push_back(pixelOf(m_cx, m_cy));
    return outline;
}

namespace {
    // Parameter intervals along a segment, kept sorted and disjoint.
    struct Intervals {
        double t[3][2];
        int n = 0;

        // Removes the open interval (lo, hi).
        void remove(double lo, double hi)
        {
            double out[3][2];
            int m = 0;
            for (int i = 0; i < n; ++i) {
                const double a = t[i][0], b = t[i][1];
                if (hi <= a || lo >= b) {
                    out[m][0] = a, out[m][1] = b, ++m;
                    continue;
                }
                if (lo > a && m < 3)
                    out[m][0] = a, out[m][1] = lo, ++m;
                if (hi < b && m < 3)
                    out[m][0] = hi, out[m][1] = b, ++m;
            }
            std::copy(&out[0][0], &out[0][0] + 2 * m, &t[0][0]);
            n = m;
        }
    };

    // Where along p + t d the quadratic |p + t d|^2 - r^2 is negative: (lo, hi), or false.
    bool insideCircle(double px, double py, double dx, double dy, double r2, double& lo, double& hi)
    {
        const double a = dx * dx + dy * dy, b = px * dx + py * dy, c = px * px + py * py - r2;
        if (a == 0)
            return false;
        const double disc = b * b - a * c;
        if (!(disc > 0))
            return false;
        const double root = std::sqrt(disc);
        lo = (-b - root) / a;
        hi = (-b + root) / a;
        return true;
    }
} // namespace

int TpcViewRegion::Clip(double ax, double ay, double bx, double by, double (&parts)[3][2]) const
{
    Intervals result;
    result.t[0][0] = 0, result.t[0][1] = 1, result.n = 1;
    auto done = [&parts, &result] {
        int count = 0;
        for (int i = 0; i < result.n; ++i) {
            if (result.t[i][1] > result.t[i][0]) {
                parts[count][0] = result.t[i][0];
                parts[count][1] = result.t[i][1];
                ++count;
            }
        }
        return count;
    };
    if (m_everything)
        return done();
    const double px = ax - m_cx, py = ay - m_cy, dx = bx - ax, dy = by - ay;
    // Each edge's half-plane as a linear function of t, in the frame with rows mirrored back: the
    // sector is their intersection (up to half a turn) or union (beyond it).
    const double qx = px, qy = py * m_flip, ex = dx, ey = dy * m_flip;
    const double s0 = m_ax * qy - m_ay * qx, s1 = m_ax * ey - m_ay * ex;
    const double e0 = qx * m_by - qy * m_bx, e1 = ex * m_by - ey * m_bx;
    if (!m_wholeTurn) {
        // Both ends beyond one edge of a convex sector, or both in the convex gap of a wider one:
        // nothing of the segment is inside.
        const bool beyondStart = s0 < 0 && s0 + s1 < 0, beyondEnd = e0 < 0 && e0 + e1 < 0;
        if (m_reflex ? (beyondStart && beyondEnd) : (beyondStart || beyondEnd))
            return 0;
    }
    // Both ends inside, on one side of every part the region lacks (the gap of a wide sector, the
    // hole): the whole segment is inside.
    if (Contains(ax, ay) && Contains(bx, by)) {
        const bool angular
            = !m_reflex || m_wholeTurn || (s0 >= 0 && s0 + s1 >= 0) || (e0 >= 0 && e0 + e1 >= 0);
        bool clearOfHole = m_hole2 == 0;
        if (!clearOfHole) {
            const double length2 = dx * dx + dy * dy;
            const double t = length2 > 0 ? std::clamp(-(px * dx + py * dy) / length2, 0.0, 1.0) : 0;
            const double nx = px + t * dx, ny = py + t * dy;
            clearOfHole = nx * nx + ny * ny >= m_hole2;
        }
        if (angular && clearOfHole)
            return done();
    }
    double lo, hi;
    if (m_bounded) {
        if (!insideCircle(px, py, dx, dy, m_outer2, lo, hi))
            lo = hi = 0;
        result.remove(-HUGE_VAL, lo);
        result.remove(hi, HUGE_VAL);
    }
    if (m_hole2 > 0 && insideCircle(px, py, dx, dy, m_hole2, lo, hi))
        result.remove(lo, hi);
    if (!m_wholeTurn) {
        // The interval of t where f0 + t f1 < 0.
        auto negative = [](double f0, double f1, double& from, double& to) {
            if (f1 == 0) {
                from = f0 < 0 ? -HUGE_VAL : 0;
                to = f0 < 0 ? HUGE_VAL : 0;
            } else if (f1 > 0) {
                from = -HUGE_VAL, to = -f0 / f1;
            } else {
                from = -f0 / f1, to = HUGE_VAL;
            }
        };
        double sLo, sHi, eLo, eHi;
        negative(s0, s1, sLo, sHi);
        negative(e0, e1, eLo, eHi);
        if (m_reflex) {
            // Outside where both are negative.
            result.remove(std::max(sLo, eLo), std::min(sHi, eHi));
        } else {
            result.remove(sLo, sHi);
            result.remove(eLo, eHi);
        }
    }
    return done();
}

void ClearUpperVectorState()
{
#if defined(__x86_64__) && defined(__GNUC__)
    if (lanes::HasAvx())
        asm volatile("vzeroupper" ::: "memory");
#endif
}

void ClipCoordinates(int32_t& x, int32_t& y)
{
    x = std::clamp(x, -ClipLimit, ClipLimit);
    y = std::clamp(y, -ClipLimit, ClipLimit);
}

namespace {
    std::string formatScaleNumber(int width, int decimals, double value)
    {
        if (decimals == -1)
            return FormatFixed(width, -2, value);
        if (decimals < -1)
            return DecimalText(value, width, -1);
        return DecimalText(value, width, decimals);
    }
} // namespace

std::string FormatScaleNumber(int width, int decimals, double value)
{
    // The scales ask for the same few numbers at every paint: the last texts made are kept, the
    // values compared bit for bit.
    struct Kept {
        int Width = 0, Decimals = 0;
        uint64_t Bits = 0;
        std::string Text;
        bool Used = false;
    };
    constexpr size_t keptCount = 64;
    thread_local std::array<Kept, keptCount> kept;
    thread_local size_t nextSlot = 0;
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (const Kept& k : kept)
        if (k.Used && k.Bits == bits && k.Width == width && k.Decimals == decimals)
            return k.Text;
    std::string text = formatScaleNumber(width, decimals, value);
    kept[nextSlot] = Kept { width, decimals, bits, text, true };
    nextSlot = (nextSlot + 1) % keptCount;
    return text;
}

} // namespace znq
