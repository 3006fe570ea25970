// The raster layer's render: each device pixel of the view mapped back to the grid once per view,
// and the colours brought up to date from the cells by that map.
#include "layers/polchart_raster_render.h"
#include "model/polchart_colormaps.h"

#include "base_lanes.h"
#include "base_workers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace znq {

namespace {
    // The steps of the angle below for one pixel (double) and for four in lanes (Quad, built for
    // the wider instruction set): the same operations in the same order, and no fused ones, so
    // that every lane gets the single pixel's bits.
    [[gnu::always_inline]] inline double pick(bool choice, double yes, double no)
    {
        return choice ? yes : no;
    }
    [[gnu::always_inline]] inline double absolute(double v)
    {
        return std::fabs(v);
    }

#if defined(__x86_64__) && defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
    typedef lanes::Lanes<4>::Doubles Quad;
    typedef lanes::Lanes<4>::Longs QuadMask;
    [[gnu::always_inline]] inline Quad pick(QuadMask mask, Quad yes, Quad no)
    {
        return lanes::Pick(mask, yes, no);
    }
    [[gnu::always_inline]] inline Quad absolute(Quad v)
    {
        return lanes::Absolute(v);
    }
#endif

    // The arc tangent of t in 0 .. 1, within an ulp or two: below 0.66 a rational function of t^2,
    // above it the same of (t - 1) / (t + 1) turned by an eighth of a turn. The coefficients and
    // the split at 0.66 are those of the Cephes library's atan (a minimax rational approximation
    // of (atan(x) - x) / x^3 in x^2, degree 4 over 5, on the reduced range).
    template <class T> [[gnu::always_inline]] inline T atanUnit(T t)
    {
        constexpr double p0 = -8.750608600031904122785e-1, p1 = -1.615753718733365076637e1,
                         p2 = -7.500855792314704667340e1, p3 = -1.228866684490136173410e2,
                         p4 = -6.485021904942025371773e1;
        constexpr double q0 = 2.485846490142306297962e1, q1 = 1.650270098316988542046e2,
                         q2 = 4.328810604912902668951e2, q3 = 4.853903996359136964868e2,
                         q4 = 1.945506571482613964425e2;
        // The part of pi / 4 that a double does not hold.
        constexpr double quarterLow = 0.5 * 6.123233995736765886130e-17;
        const auto big = t > 0.66;
        const T x = pick(big, (t - 1) / (t + 1), t);
        const T z = x * x;
        const T p = (((p0 * z + p1) * z + p2) * z + p3) * z + p4;
        const T q = ((((z + q0) * z + q1) * z + q2) * z + q3) * z + q4;
        const T r = x * (z * p / q) + x;
        return pick(big, std::numbers::pi / 4 + (r + quarterLow), r);
    }

    // The angle of (dx, dy) in 0 .. 2 pi, as atan2 brought into the turn gives it, inline: a
    // view's map asks it of every pixel. Lanes pass by reference: by value, a function built for
    // the wider set could not hand them to one that is not.
    template <class T>
    [[gnu::always_inline]] inline void turnAngle(const T& dy, const T& dx, T& angle)
    {
        const T ax = absolute(dx), ay = absolute(dy);
        const auto steep = ay > ax;
        const T low = pick(steep, ax, ay), high = pick(steep, ay, ax);
        T a = atanUnit(pick(high > 0, low / high, T {}));
        a = pick(steep, std::numbers::pi / 2 - a, a);
        a = pick(dx < 0, std::numbers::pi - a, a);
        angle = pick(dy < 0, 2 * std::numbers::pi - a, a);
    }

#if defined(__x86_64__) && defined(__GNUC__)
    // At's factors for a plain axis, for the lanes.
    struct RowFactors {
        double ox, oy, invScale, outer2, rangeLow, rangeStart, invRangeStep, rangeCount;
        double rotation, invAngleUnit, angleOffset, azStart, invAzStep, turnCells, invTurnCells;
        double azCount;
        bool increasing, wraps;
    };

    // At for the points ((first + k + 0.5) / scale - 0.5, y) of a row, four at a time; found[k]
    // is what At returns, az[k] and range[k] what it finds where it returns true.
    __attribute__((target("avx2"))) void atRowWide(const RowFactors& f, double y, int32_t first,
        int32_t count, double scale, double* az, double* range, uint8_t* found)
    {
        const double dy = y - f.oy;
        const Quad dyLanes = Quad {} + dy;
        for (int32_t k = 0; k < count; k += 4) {
            const Quad column = Quad { double(first + k), double(first + k + 1),
                double(first + k + 2), double(first + k + 3) };
            const Quad x = (column + 0.5) / scale - 0.5;
            const Quad dx = x - f.ox;
            const Quad d2 = dx * dx + dy * dy;
            const Quad distance = _mm256_sqrt_pd(d2) * f.invScale;
            const Quad rad = f.increasing ? f.rangeLow + distance : f.rangeLow - distance;
            const Quad cellsOut = (rad - f.rangeStart) * f.invRangeStep;
            Quad theta;
            turnAngle(dyLanes, dx, theta);
            Quad cells
                = (f.rotation * theta * f.invAngleUnit - f.angleOffset - f.azStart) * f.invAzStep;
            cells -= f.turnCells * _mm256_floor_pd(cells * f.invTurnCells);
            if (f.wraps)
                cells = cells >= f.azCount ? cells - f.azCount : cells;
            const QuadMask ok = (d2 <= f.outer2) & (cellsOut >= 0) & (cellsOut < f.rangeCount)
                & (cells >= 0) & (cells < f.azCount);
            const int32_t lanes = std::min(4, count - k);
            for (int32_t lane = 0; lane < lanes; ++lane) {
                az[k + lane] = cells[lane];
                range[k + lane] = cellsOut[lane];
                found[k + lane] = ok[lane] != 0;
            }
        }
    }

    // Whether the processor has the lanes of the map's rows and of the colours.
    bool wideLanes()
    {
        return lanes::HasAvx2();
    }

    // The pixels from .. to - 1 coloured from their nearest cells, four at a time, as
    // ColorMapBin bins the values (the same operations). Returns where it stopped: at the end, or
    // at a group with a value that is not a number or a fraction of the range that is not finite,
    // which is the pixel by pixel colouring's.
    __attribute__((target("avx2"))) int64_t colorNearestWide(const float* cells,
        const int32_t* nearest, const int32_t* offset, int64_t from, int64_t to, double low,
        double high, const uint32_t* argb, uint32_t opaque, uint32_t* bits)
    {
        const __m256d lowLanes = _mm256_set1_pd(low), span = _mm256_set1_pd(high - low);
        const __m256d zero = _mm256_setzero_pd(), one = _mm256_set1_pd(1);
        int64_t k = from;
        for (; k + 4 <= to; k += 4) {
            const __m128i at = _mm_loadu_si128(reinterpret_cast<const __m128i*>(nearest + k));
            const __m256d value = _mm256_cvtps_pd(_mm_i32gather_ps(cells, at, 4));
            const __m256d t = _mm256_div_pd(_mm256_sub_pd(value, lowLanes), span);
            if (_mm256_movemask_pd(_mm256_cmp_pd(_mm256_sub_pd(t, t), zero, _CMP_EQ_OQ)) != 0xF)
                return k;
            const __m256d clamped = _mm256_min_pd(_mm256_max_pd(t, zero), one);
            const __m256d bin = _mm256_min_pd(
                _mm256_floor_pd(_mm256_mul_pd(clamped, _mm256_set1_pd(256))), _mm256_set1_pd(255));
            alignas(16) int32_t bins[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(bins), _mm256_cvttpd_epi32(bin));
            for (int lane = 0; lane < 4; ++lane)
                bits[offset[k + lane]] = opaque | argb[bins[lane]];
        }
        return k;
    }
#endif
} // namespace

TpcRasterMapping::TpcRasterMapping(const TpcTransform& transform, const TpcRaster& raster)
    : m_region(transform.Region())
    , m_transform(transform)
{
    const TpcTransformParams& p = transform.Params();
    m_ox = static_cast<double>(p.OriginX);
    m_oy = static_cast<double>(p.OriginY);
    // By the scale's size: an inverted range's negative scale turns the angle by half a turn,
    // which PixelToPolar turns back.
    const double scale = std::fabs(static_cast<double>(p.Scale));
    m_invScale = scale > 0 && std::isfinite(1 / scale) ? 1 / scale : 0;
    const double outer = transform.RadiusOf(p.RangeHigh);
    m_outer2 = outer * outer;
    m_rangeLow = p.RangeLow;
    m_increasing = p.RangeHigh > p.RangeLow;
    // The hole's radius in radial units of the axis, as the transform counts it.
    m_holeUnits = transform.RadiusOf(p.RangeLow) * m_invScale;
    m_linear = !p.Logarithmic && m_holeUnits == 0;
    m_axisLow = transform.AxisValue(p.RangeLow);
    m_rotation = p.RotationSign;
    m_invAngleUnit = 1 / p.AngleUnit;
    m_angleOffset = p.AngleOffset;
    m_azStart = raster.AzStart();
    m_invAzStep = 1 / raster.AzStep();
    m_turnCells = 2 * std::numbers::pi / p.AngleUnit * m_invAzStep;
    m_invTurnCells = 1 / m_turnCells;
    m_azCount = raster.AzCount();
    m_wraps = raster.Wraps();
    m_rangeStart = raster.RangeStart();
    m_invRangeStep = 1 / raster.RangeStep();
    m_rangeCount = raster.RangeCount();
}

// The radial value and the angle as PixelToPolar finds them, by products with the reciprocals
// worked out once where it divides.
bool TpcRasterMapping::At(double x, double y, double& az, double& range) const
{
    if (m_invScale == 0)
        return false;
    const double dx = x - m_ox, dy = y - m_oy;
    const double d2 = dx * dx + dy * dy;
    if (d2 > m_outer2 || !m_region.Contains(x, y))
        return false;
    const double distance = std::sqrt(d2) * m_invScale;
    double rad;
    if (m_linear) {
        rad = m_increasing ? m_rangeLow + distance : m_rangeLow - distance;
    } else {
        const double along = distance - m_holeUnits;
        rad = m_transform.RadialValue(m_increasing ? m_axisLow + along : m_axisLow - along);
    }
    range = (rad - m_rangeStart) * m_invRangeStep;
    if (!(range >= 0 && range < m_rangeCount))
        return false;
    double theta;
    turnAngle(dy, dx, theta);
    // In rows from the first row's start, brought into the turn, and into the rows when they
    // wrap.
    double cells = (m_rotation * theta * m_invAngleUnit - m_angleOffset - m_azStart) * m_invAzStep;
    cells -= m_turnCells * std::floor(cells * m_invTurnCells);
    if (m_wraps && cells >= m_azCount)
        cells -= m_azCount;
    az = cells;
    return az >= 0 && az < m_azCount;
}

void TpcRasterMapping::AtRow(double y, int32_t first, int32_t count, double scale, double* az,
    double* range, uint8_t* found) const
{
    const auto xOf = [&](int32_t k) { return (first + k + 0.5) / scale - 0.5; };
#if defined(__x86_64__) && defined(__GNUC__)
    if (m_linear && m_invScale != 0 && wideLanes()) {
        const RowFactors f { m_ox, m_oy, m_invScale, m_outer2, m_rangeLow, m_rangeStart,
            m_invRangeStep, double(m_rangeCount), m_rotation, m_invAngleUnit, m_angleOffset,
            m_azStart, m_invAzStep, m_turnCells, m_invTurnCells, double(m_azCount), m_increasing,
            m_wraps };
        atRowWide(f, y, first, count, scale, az, range, found);
        if (!m_region.Everything())
            for (int32_t k = 0; k < count; ++k)
                found[k] = found[k] && m_region.Contains(xOf(k), y);
        return;
    }
#endif
    for (int32_t k = 0; k < count; ++k)
        found[k] = At(xOf(k), y, az[k], range[k]);
}

double RasterValueAt(const TpcTransform& transform, const TpcRaster& raster, int32_t x, int32_t y)
{
    if (!raster.Visible() || raster.AzCount() == 0 || raster.RangeCount() == 0)
        return std::numeric_limits<double>::quiet_NaN();
    const TpcRasterMapping mapping(transform, raster);
    double az = 0, range = 0;
    if (!mapping.At(x, y, az, range))
        return std::numeric_limits<double>::quiet_NaN();
    return raster.Cell(
        std::min(int(az), raster.AzCount() - 1), std::min(int(range), raster.RangeCount() - 1));
}

namespace {
    // The parts a job of count items is cut into for the threads: a few per thread, so that an
    // uneven part does not keep the others waiting.
    int partsFor(int64_t count, int threads)
    {
        const int wanted = threads <= 0 ? helpers::WorkerThreads() : threads;
        return int(std::clamp<int64_t>(count / 4096, 1, int64_t(wanted) * 4));
    }
} // namespace

// The map covers the box of device pixels about the outer circle. Rows of the box are mapped in
// parts, each into its own lists, joined in order: the map is the same for any number of threads.
void TpcRasterRender::buildMap(const TpcTransform& transform, const TpcRaster& raster,
    double deviceScale, int32_t deviceWidth, int32_t deviceHeight)
{
    const TpcTransformParams& p = transform.Params();
    const double outer = transform.RadiusOf(p.RangeHigh) * deviceScale + 2;
    const double cx = (static_cast<double>(p.OriginX) + 0.5) * deviceScale - 0.5;
    const double cy = (static_cast<double>(p.OriginY) + 0.5) * deviceScale - 0.5;
    // A bound that is not a number (a view without a scale) leaves the box empty.
    const auto edge = [](double value, int32_t limit) {
        return value >= 0 ? static_cast<int32_t>(std::min(value, double(limit))) : 0;
    };
    m_left = edge(std::floor(cx - outer), deviceWidth);
    m_top = edge(std::floor(cy - outer), deviceHeight);
    const int32_t right = edge(std::ceil(cx + outer) + 1, deviceWidth);
    const int32_t bottom = edge(std::ceil(cy + outer) + 1, deviceHeight);
    const int32_t width = std::max(0, right - m_left), height = std::max(0, bottom - m_top);
    m_image = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32);
    m_image.fill(0);

    const TpcRasterMapping mapping(transform, raster);
    const bool bilinear = raster.Interpolation() == TpcRasterInterp::riBilinear;
    const int azCount = raster.AzCount(), rangeCount = raster.RangeCount();
    const bool wraps = raster.Wraps();
    struct Part {
        std::vector<int32_t> offset, nearest, row, row0, row1, col0, weightAz, weightRange;
    };
    const int32_t stride = int32_t(m_image.bytesPerLine() / 4);
    const int parts = partsFor(int64_t(width) * height, raster.Threads());
    std::vector<Part> found(static_cast<size_t>(parts));
    const auto weight = [](double fraction) { return int32_t(std::lround(fraction * 65536)); };
    helpers::RunParts(
        parts,
        [&](int part) {
            Part& out = found[size_t(part)];
            const int32_t from = int32_t(int64_t(height) * part / parts);
            const int32_t to = int32_t(int64_t(height) * (part + 1) / parts);
            const size_t most = size_t(to - from) * size_t(width);
            for (std::vector<int32_t>* list : { &out.offset, &out.nearest, &out.row })
                list->reserve(most);
            std::vector<double> azs(static_cast<size_t>(width)), ranges(static_cast<size_t>(width));
            std::vector<uint8_t> founds(static_cast<size_t>(width));
            for (int32_t row = from; row < to; ++row) {
                const double y = (m_top + row + 0.5) / deviceScale - 0.5;
                mapping.AtRow(
                    y, m_left, width, deviceScale, azs.data(), ranges.data(), founds.data());
                for (int32_t column = 0; column < width; ++column) {
                    if (!founds[size_t(column)])
                        continue;
                    const double az = azs[size_t(column)], range = ranges[size_t(column)];
                    const int i = std::min(int(az), azCount - 1);
                    const int j = std::min(int(range), rangeCount - 1);
                    out.offset.push_back(row * stride + column);
                    out.nearest.push_back(i * rangeCount + j);
                    out.row.push_back(i);
                    if (!bilinear)
                        continue;
                    // Between the centres of the cells about the pixel: across the seam when
                    // the rows wrap, else the edge's cell alone beyond the outer centres.
                    const double a = az - 0.5, b = range - 0.5;
                    int i0 = int(std::floor(a)), j0 = int(std::floor(b));
                    double fa = a - i0, fb = b - j0;
                    int i1 = i0 + 1;
                    if (wraps) {
                        i0 = (i0 % azCount + azCount) % azCount;
                        i1 = (i0 + 1) % azCount;
                    } else if (i0 < 0 || i0 >= azCount - 1) {
                        i0 = i1 = std::clamp(i0, 0, azCount - 1);
                        fa = 0;
                    }
                    if (j0 < 0 || j0 >= rangeCount - 1) {
                        j0 = std::clamp(j0, 0, rangeCount - 1);
                        fb = 0;
                    }
                    out.row0.push_back(i0);
                    out.row1.push_back(i1);
                    out.col0.push_back(j0);
                    out.weightAz.push_back(weight(fa));
                    out.weightRange.push_back(weight(fb));
                }
            }
        },
        raster.Threads());

    // The pixels in order of their nearest cell's row, each row's together: a render reads the
    // cells row by row, and a row's update colours a run of pixels.
    m_rows.assign(size_t(azCount) + 1, 0);
    for (const Part& part : found)
        for (const int32_t row : part.row)
            ++m_rows[size_t(row) + 1];
    for (size_t i = 1; i < m_rows.size(); ++i)
        m_rows[i] += m_rows[i - 1];
    const size_t total = size_t(m_rows.back());
    for (std::vector<int32_t>* list : { &m_offset, &m_nearest })
        list->assign(total, 0);
    for (std::vector<int32_t>* list : { &m_row0, &m_row1, &m_col0, &m_weightAz, &m_weightRange })
        list->assign(bilinear ? total : 0, 0);
    std::vector<int64_t> next(m_rows.begin(), m_rows.end() - 1);
    for (const Part& part : found)
        for (size_t k = 0; k < part.row.size(); ++k) {
            const size_t at = size_t(next[size_t(part.row[k])]++);
            m_offset[at] = part.offset[k];
            m_nearest[at] = part.nearest[k];
            if (bilinear) {
                m_row0[at] = part.row0[k];
                m_row1[at] = part.row1[k];
                m_col0[at] = part.col0[k];
                m_weightAz[at] = part.weightAz[k];
                m_weightRange[at] = part.weightRange[k];
            }
        }
}

// Pixels (all of the map's, or those of the rows listed) coloured from their cells: the nearest
// cell's value, or for bilinear colouring the weighted mean of the four cells about the pixel (the
// nearest cell's value when one of them has no data); alpha from the nearest cell's row, 0 for
// no data.
void TpcRasterRender::color(const TpcRaster& raster, const std::vector<uint8_t>& rowAlpha,
    const std::vector<int32_t>& rows, bool all)
{
    const std::array<TColor, 256>* table = ColorMapTable(raster.ColorMap());
    uint32_t argb[256];
    for (size_t i = 0; i < 256; ++i)
        argb[i] = table ? ColorToRGB((*table)[i]) & 0xFFFFFFu : 0;
    const float* cells = raster.Cells().data();
    const int rangeCount = raster.RangeCount();
    const double low = raster.ValueLow(), high = raster.ValueHigh();
    const bool bilinear = raster.Interpolation() == TpcRasterInterp::riBilinear;
    auto* bits = reinterpret_cast<uint32_t*>(m_image.bits());
    // Pixel k of a row whose alpha is not 0, from the weighted mean of its four cells.
    const auto colorBilinear = [&](int64_t k, uint32_t opaque) {
        const int32_t nearest = m_nearest[size_t(k)];
        double value = cells[nearest];
        if (!std::isnan(value)) {
            // A neighbour of no weight is not read: the pixel lies on its cells' line.
            const int32_t wa = m_weightAz[size_t(k)], wb = m_weightRange[size_t(k)];
            const int32_t j0 = m_col0[size_t(k)];
            const int32_t j1 = wb == 0 ? j0 : std::min(j0 + 1, rangeCount - 1);
            const int64_t r0 = int64_t(m_row0[size_t(k)]) * rangeCount;
            const int64_t r1 = wa == 0 ? r0 : int64_t(m_row1[size_t(k)]) * rangeCount;
            const double c00 = cells[r0 + j0], c01 = cells[r0 + j1];
            const double c10 = cells[r1 + j0], c11 = cells[r1 + j1];
            if (!std::isnan(c00 + c01 + c10 + c11)) {
                const double fa = wa / 65536.0, fb = wb / 65536.0;
                value = (c00 * (1 - fb) + c01 * fb) * (1 - fa) + (c10 * (1 - fb) + c11 * fb) * fa;
            }
        }
        const int bin = ColorMapBin(value, low, high);
        bits[m_offset[size_t(k)]] = bin < 0 ? 0 : opaque | argb[bin];
    };
    // The pixels of row az: a row's alpha is the same for all of them, and the test whether
    // a bound is not a number is made once.
    const bool bounded = !std::isnan(low) && !std::isnan(high);
    const auto colorRow = [&](int32_t az) {
        int64_t from = m_rows[size_t(az)];
        const int64_t to = m_rows[size_t(az) + 1];
        const uint32_t alpha = bounded ? rowAlpha[size_t(az)] : 0;
        if (alpha == 0) {
            for (int64_t k = from; k < to; ++k)
                bits[m_offset[size_t(k)]] = 0;
            return;
        }
        const uint32_t opaque = alpha << 24;
        if (bilinear) {
            for (int64_t k = from; k < to; ++k)
                colorBilinear(k, opaque);
            return;
        }
        while (from < to) {
            // Four at a time where the processor has the lanes, up to a group they leave to the
            // pixel by pixel colouring; then that group, or the rest.
            int64_t end = to;
#if defined(__x86_64__) && defined(__GNUC__)
            if (wideLanes() && from + 4 <= to) {
                from = colorNearestWide(cells, m_nearest.data(), m_offset.data(), from, to, low,
                    high, argb, opaque, bits);
                end = std::min(from + 4, to);
            }
#endif
            for (; from < end; ++from) {
                const int bin = ColorMapBin(cells[m_nearest[size_t(from)]], low, high);
                bits[m_offset[size_t(from)]] = bin < 0 ? 0 : opaque | argb[bin];
            }
        }
    };
    if (!all) {
        m_lastColoured = 0;
        for (const int32_t az : rows) {
            colorRow(az);
            m_lastColoured += m_rows[size_t(az) + 1] - m_rows[size_t(az)];
        }
        return;
    }
    const int64_t total = int64_t(m_offset.size());
    const int32_t azCount = int32_t(m_rows.size()) - 1;
    const int parts = partsFor(total, raster.Threads());
    helpers::RunParts(
        parts,
        [&](int part) {
            for (int32_t az = int32_t(int64_t(azCount) * part / parts);
                 az < int32_t(int64_t(azCount) * (part + 1) / parts); ++az)
                colorRow(az);
        },
        raster.Threads());
    m_lastColoured = total;
}

TpcRasterRender::MapKey TpcRasterRender::mapKeyOf(const TpcTransform& transform,
    const TpcRaster& raster, double deviceScale, int32_t deviceWidth, int32_t deviceHeight)
{
    return MapKey { transform.Params(), deviceScale, deviceWidth, deviceHeight,
        raster.GridVersion(), raster.Interpolation() };
}

TpcRasterRender::ColorKey TpcRasterRender::colorKeyOf(
    const TpcRaster& raster, const TpcSweep& sweep)
{
    return ColorKey { raster.ColorMap(), raster.ValueLow(), raster.ValueHigh(), raster.Opacity(),
        sweep.Persistence() };
}

bool TpcRasterRender::dirtyRows(const TpcRaster& raster, std::vector<int32_t>& rows) const
{
    if (m_coloredData < raster.WritesSince())
        return false;
    const int azCount = raster.AzCount();
    const int reach = raster.Interpolation() == TpcRasterInterp::riBilinear ? 1 : 0;
    const std::vector<TpcRaster::RowWrite>& writes = raster.Writes();
    // Versions rise along the log: the writes after the last colouring are its end.
    auto write = std::upper_bound(writes.begin(), writes.end(), m_coloredData,
        [](uint64_t version, const TpcRaster::RowWrite& w) { return version < w.Version; });
    for (; write != writes.end(); ++write) {
        const int64_t first = int64_t(write->First) - reach;
        const int64_t last = std::min<int64_t>(int64_t(write->Last) + reach, first + azCount - 1);
        // More rows named than the grid has: all of them are coloured anyway.
        if (int64_t(rows.size()) + (last - first + 1) > azCount)
            return false;
        for (int64_t az = first; az <= last; ++az)
            rows.push_back(int32_t((az + azCount) % azCount));
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    m_lastVisited += int64_t(rows.size());
    int64_t pixels = 0;
    for (const int32_t az : rows) {
        pixels += m_rows[size_t(az) + 1] - m_rows[size_t(az)];
        if (pixels > int64_t(m_offset.size()) / 4)
            return false;
    }
    return true;
}

std::optional<std::array<int32_t, 4>> TpcRasterRender::PendingBox(const TpcTransform& transform,
    const TpcRaster& raster, const TpcSweep& sweep, double deviceScale, int32_t deviceWidth,
    int32_t deviceHeight) const
{
    if (m_mapKey != mapKeyOf(transform, raster, deviceScale, deviceWidth, deviceHeight)
        || m_colorKey != colorKeyOf(raster, sweep) || sweep.Persistence() > 0
        || raster.DataVersion() == m_coloredData)
        return std::nullopt;
    m_lastVisited = 0;
    std::vector<int32_t> rows;
    if (!dirtyRows(raster, rows))
        return std::nullopt;
    const int64_t stride = m_image.bytesPerLine() / 4;
    int64_t left = INT64_MAX, top = INT64_MAX, right = -1, bottom = -1;
    for (const int32_t az : rows)
        for (int64_t k = m_rows[size_t(az)]; k < m_rows[size_t(az) + 1]; ++k) {
            const int64_t row = m_offset[size_t(k)] / stride, column = m_offset[size_t(k)] % stride;
            left = std::min(left, column);
            right = std::max(right, column);
            top = std::min(top, row);
            bottom = std::max(bottom, row);
        }
    if (right < 0)
        return std::array<int32_t, 4> { 0, 0, -1, -1 };
    return std::array<int32_t, 4> { int32_t(m_left + left), int32_t(m_top + top),
        int32_t(m_left + right), int32_t(m_top + bottom) };
}

const QImage& TpcRasterRender::Update(const TpcTransform& transform, const TpcRaster& raster,
    const TpcSweep& sweep, double deviceScale, int32_t deviceWidth, int32_t deviceHeight,
    double now)
{
    m_lastColoured = 0;
    m_lastVisited = 0;
    const MapKey mapKey = mapKeyOf(transform, raster, deviceScale, deviceWidth, deviceHeight);
    bool all = false;
    if (m_mapKey != mapKey) {
        buildMap(transform, raster, deviceScale, deviceWidth, deviceHeight);
        m_mapKey = mapKey;
        all = true;
    }
    const double persistence = sweep.Persistence();
    const ColorKey colorKey = colorKeyOf(raster, sweep);
    if (m_colorKey != colorKey) {
        m_colorKey = colorKey;
        all = true;
    }
    // While rows fade every colour changes with the time; once they have all faded out, and
    // until a row is written again, the picture stands.
    const bool fading = persistence > 0 && sweep.Fading();
    if (fading || (persistence > 0 && !m_faded))
        all = true;
    m_faded = persistence > 0 && !fading;
    const int azCount = raster.AzCount();
    std::vector<int32_t> dirty;
    if (!all && raster.DataVersion() != m_coloredData)
        all = !dirtyRows(raster, dirty);
    if (!all && dirty.empty() && raster.DataVersion() == m_coloredData)
        return m_image;
    // The alphas of the rows coloured: all of them, or those written.
    m_rowAlpha.resize(size_t(azCount));
    const std::vector<double>& times = raster.RowTimes();
    const auto rowAlpha = [&](int32_t az) {
        double alpha = raster.Opacity();
        if (persistence > 0)
            alpha *= std::exp(-std::max(0.0, now - times[size_t(az)]) / persistence);
        m_rowAlpha[size_t(az)] = uint8_t(std::lround(std::clamp(alpha, 0.0, 1.0) * 255));
    };
    if (all) {
        for (int32_t az = 0; az < azCount; ++az)
            rowAlpha(az);
        m_lastVisited += azCount;
    } else {
        for (const int32_t az : dirty)
            rowAlpha(az);
    }
    color(raster, m_rowAlpha, dirty, all);
    m_coloredData = raster.DataVersion();
    return m_image;
}

} // namespace znq
