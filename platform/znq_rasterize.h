// The raster rules of the drawing surface: pen patterns, the pixel sinks that pens and brushes
// write through, Bresenham lines with clipping, the rows of an ellipse, and blending. Internal to
// the platform library; the raster surface is their one user.
#pragma once

#include "znq_surface.h"

#include <QImage>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>
#include <vector>

namespace znq::raster {

// floor and ceil worked out inline: without the newer rounding instructions the library's are
// calls, and a row of a sector needs several. Values of 2^52 and more are whole already.
inline double floorOf(double x)
{
    if (!(std::fabs(x) < 0x1p52))
        return x;
    const double whole = static_cast<double>(static_cast<int64_t>(x));
    return whole > x ? whole - 1 : whole;
}
inline double ceilOf(double x)
{
    return -floorOf(-x);
}

// Wide integers for the line set-up: coordinates span the whole 32-bit range, so products of
// two deltas need more than 64 bits.
__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;

// Pen patterns as alternating run lengths (on, off, on, ...), stepped once per pixel:
// dash 18 on 6 off, dot 3 on 3 off, dash-dot 9-6-3-6, dash-dot-dot 9-3-3-3-3-3. The pattern
// continues from one line-to to the next and restarts at a move-to.
struct PenPattern {
    std::array<bool, 32> bits {};
    uint32_t length = 0; // 0: solid
    // 2^64 / length rounded up: the remainder of a 32-bit step by the length is then the high
    // half of (step * divisor, low 64 bits) * length, exact, without a division.
    uint64_t divisor = 0;

    bool on(uint64_t step) const
    {
        if ((step >> 32) != 0)
            return bits[static_cast<size_t>(step % length)];
        const uint64_t low = divisor * step;
        return bits[static_cast<size_t>((static_cast<UInt128>(low) * length) >> 64)];
    }
};

// The pattern step of a pixel position: on a scaled canvas each step spans stretch pixels. The
// division is left out at scale 1, where it would cost as much as the rest of the pixel.
template <typename Position> Position patternStep(Position position, uint32_t stretch)
{
    return stretch == 1 ? position : position / stretch;
}

// The pattern of a pen style; a solid one has length 0.
const PenPattern& patternFor(TPenStyle style);

// An inclusive pixel rectangle used for clipping.
struct Box {
    int64_t left, top, right, bottom;
    bool empty() const { return left > right || top > bottom; }
    bool contains(int64_t x, int64_t y) const
    {
        return x >= left && x <= right && y >= top && y <= bottom;
    }
};

// The smallest box holding every point; the caller has at least one.
inline Box boundsOf(std::span<const TPoint> points)
{
    Box bounds { points[0].x, points[0].y, points[0].x, points[0].y };
    for (const TPoint& p : points)
        bounds = Box { std::min<int64_t>(bounds.left, p.x), std::min<int64_t>(bounds.top, p.y),
            std::max<int64_t>(bounds.right, p.x), std::max<int64_t>(bounds.bottom, p.y) };
    return bounds;
}

inline Box intersect(const Box& a, const Box& b)
{
    return Box { std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
        std::min(a.bottom, b.bottom) };
}

// The inside of an ellipse inscribed in an inclusive pixel box, row by row: pixel (x, y) is
// inside when its centre lies within the ellipse through the box's outermost pixel centres,
// widened by half a pixel, so that the outline reaches all four sides of the box.
class EllipseRows {
public:
    EllipseRows(int64_t left, int64_t top, int64_t right, int64_t bottom)
        : m_top(top)
        , m_bottom(bottom)
        , m_sumX(left + right)
        , m_sumY(top + bottom)
        , m_a(static_cast<double>(right - left + 1))
        , m_b(static_cast<double>(bottom - top + 1))
    {
        // The point of slope 1 on the ellipse with semi-axes a and b.
        const double a = m_a / 2, b = m_b / 2;
        const double norm = std::sqrt(a * a + b * b);
        m_steepX = a * a / norm;
        m_steepY = b * b / norm;
    }

    // The inside span of row y, or an empty span (lo > hi).
    std::pair<int64_t, int64_t> span(int64_t y) const
    {
        if (y < m_top || y > m_bottom)
            return { 1, 0 };
        const double yy = static_cast<double>(2 * y - m_sumY) / m_b;
        const double t = 1.0 - yy * yy;
        if (t < 0)
            return { 1, 0 };
        // Not negative: truncation is the floor, without a call.
        const auto half = static_cast<int64_t>(m_a * std::sqrt(t));
        // Doubled x coordinates run in steps of 2 with the parity of m_sumX.
        // Halved by arithmetic shifts, which round down (and up when negated twice).
        const int64_t lo = -((half - m_sumX) >> 1);
        const int64_t hi = (m_sumX + half) >> 1;
        return { lo, hi };
    }

    // Position of pixel (x, y) along the outline, counted in pixel steps clockwise from the
    // 3 o'clock point, for stepping a pen pattern. Where the outline is steep it advances
    // one step per row, where it is flat one step per column; the two meet at the point of
    // slope 1.
    uint32_t arcPosition(int64_t x, int64_t y) const
    {
        const double u = std::fabs(static_cast<double>(2 * x - m_sumX)) / 2;
        const double v = std::fabs(static_cast<double>(2 * y - m_sumY)) / 2;
        const double along = v <= m_steepY ? v : m_steepY + (m_steepX - u);
        const double quarter = m_steepX + m_steepY;
        const bool below = 2 * y >= m_sumY, right = 2 * x >= m_sumX;
        double position;
        if (below && right)
            position = along;
        else if (below)
            position = 2 * quarter - along;
        else if (!right)
            position = 2 * quarter + along;
        else
            position = 4 * quarter - along;
        // The remainder is the value itself below 2^32, as it always is but for giant figures.
        constexpr double wrap = 4294967296.0;
        position = std::max(position, 0.0);
        return static_cast<uint32_t>(position < wrap ? position : std::fmod(position, wrap));
    }

private:
    int64_t m_top, m_bottom, m_sumX, m_sumY;
    double m_a, m_b;
    double m_steepX = 0, m_steepY = 0;
};

// Pixel sinks: where the rasterised pixels of one figure go.

// Writes pen pixels into the image: width 1 pixel by pixel, wider pens as squares of the pen
// width centred on each pixel. A wide pen's pixels are gathered first and its squares written as
// their union, row by row in spans, so that the cost follows the area covered rather than the
// square of the width, and in XOR mode every pixel of the stroke is inverted once however many
// squares cover it. A caller that must know the stroke's pixels before it is drawn (a filled XOR
// polygon) asks for them in a mask with collect.
class PenSink {
public:
    PenSink(QImage& image, const TSurfacePen& pen, Box figureBounds, bool collect = false);

    ~PenSink() { flush(); }

    // Pixels that can receive ink: the image, widened by the pen for wide pens.
    Box clipBox() const
    {
        const int64_t grow = m_width > 1 ? m_width : 0;
        return Box { m_imageBox.left - grow, m_imageBox.top - grow, m_imageBox.right + grow,
            m_imageBox.bottom + grow };
    }

    bool writesToImage() const { return m_bits != nullptr; }

    // Direct access for a one-pixel pen, whose clip box is the image itself.
    struct Direct {
        uint32_t* bits = nullptr;
        int64_t stride = 0;
        uint32_t rgb = 0;
        bool xorMode = false;
    };
    Direct direct() const
    {
        if (m_width != 1 || !m_mask.empty())
            return {};
        return Direct { m_bits, m_stride, m_rgb, m_xor };
    }

    void pixel(int64_t x, int64_t y)
    {
        if (m_width > 1) {
            // Narrow squares drawn by copy may overlap: written at once. The union is needed only
            // to invert each pixel once, or to collect the stroke.
            if (m_width <= directSquareWidth && !m_xor && m_mask.empty()) {
                square(x, y);
                return;
            }
            m_points.push_back(Point { y, x });
            return;
        }
        if (x < 0 || y < 0 || x > m_imageBox.right || y > m_imageBox.bottom)
            return;
        if (m_mask.empty())
            put(m_bits + y * m_stride + x);
        else if (m_maskBox.contains(x, y))
            m_mask[maskIndex(x, y)] = 1;
    }

    bool isMasked(int64_t x, int64_t y)
    {
        writeSquares();
        if (m_mask.empty() || !m_maskBox.contains(x, y))
            return false;
        return m_mask[maskIndex(x, y)];
    }

    // Writes what is pending: the squares of a wide pen, the collected mask.
    void flush();

private:
    struct Point {
        int64_t y, x;
        friend auto operator<=>(const Point&, const Point&) = default;
    };
    struct Span {
        int64_t left, right;
    };
    // Identical rows of spans, one after another: y0 .. y1 share spans[begin, end).
    struct Band {
        int64_t y0, y1;
        size_t begin, end;
    };

    size_t maskIndex(int64_t x, int64_t y) const
    {
        return static_cast<size_t>(
            (y - m_maskBox.top) * (m_maskBox.right - m_maskBox.left + 1) + (x - m_maskBox.left));
    }

    // The union of the squares of the gathered pixels, written row by row.
    void writeSquares();
    void writeSpan(int64_t y, int64_t left, int64_t right);

    static constexpr int directSquareWidth = 4;

    // The pen's square at (x, y), clipped to the image.
    void square(int64_t x, int64_t y)
    {
        const int64_t a = (m_width - 1) / 2;
        const int64_t left = std::max(x - a, m_imageBox.left);
        const int64_t right = std::min(x - a + m_width - 1, m_imageBox.right);
        const int64_t top = std::max(y - a, m_imageBox.top);
        const int64_t bottom = std::min(y - a + m_width - 1, m_imageBox.bottom);
        for (int64_t row = top; row <= bottom; ++row) {
            uint32_t* line = m_bits + row * m_stride;
            for (int64_t column = left; column <= right; ++column)
                line[column] = m_rgb;
        }
    }

    void put(uint32_t* pixel) const
    {
        if (m_xor)
            *pixel ^= (m_rgb & 0x00FFFFFFu);
        else
            *pixel = m_rgb;
    }

    int m_width;
    uint32_t m_rgb;
    bool m_xor;
    Box m_imageBox;
    uint32_t* m_bits = nullptr;
    int64_t m_stride = 0;
    Box m_maskBox { 0, 0, -1, -1 };
    std::vector<uint8_t> m_mask;
    // The pixels of a wide pen, as (y, x), until their squares are written.
    std::vector<Point> m_points;
};

// Fills spans with the brush colour, in XOR mode by inversion.
class BrushSink {
public:
    BrushSink(QImage& image, TColor color, TPenMode mode)
        : m_rgb(ColorToRGB(color))
        , m_xor(mode == TPenMode::pmXor)
    {
        if (image.width() > 0 && image.height() > 0) {
            m_bits = reinterpret_cast<uint32_t*>(image.bits());
            m_stride = image.bytesPerLine() / 4;
        }
    }

    // Rows top to bottom from x0 to x1 inclusive, clipped by the caller. By copy, the first row is
    // filled and copied to the others, which the library's block copy does at full memory speed.
    void box(int64_t top, int64_t bottom, int64_t x0, int64_t x1)
    {
        if (m_xor || top > bottom) {
            for (int64_t y = top; y <= bottom; ++y)
                run(y, x0, x1);
            return;
        }
        run(top, x0, x1);
        const uint32_t* first = m_bits + top * m_stride + x0;
        const size_t bytes = static_cast<size_t>(x1 - x0 + 1) * sizeof(uint32_t);
        for (int64_t y = top + 1; y <= bottom; ++y)
            std::memcpy(m_bits + y * m_stride + x0, first, bytes);
    }

    // Row y from x0 to x1 inclusive; the caller has clipped it to the image.
    void run(int64_t y, int64_t x0, int64_t x1)
    {
        uint32_t* line = m_bits + y * m_stride;
        if (m_xor) {
            for (int64_t x = x0; x <= x1; ++x)
                line[x] ^= (m_rgb & 0x00FFFFFFu);
        } else {
            std::fill(line + x0, line + x1 + 1, m_rgb);
        }
    }

private:
    uint32_t m_rgb;
    bool m_xor;
    uint32_t* m_bits = nullptr;
    int64_t m_stride = 0;
};

struct LineRaster {
    PenSink& sink;
    const PenPattern& pattern;
    uint32_t& phase;
    // Pixels per pattern step: the drawing scale, rounded, on a scaled canvas.
    uint32_t stretch = 1;
};

// The blend of a colour over a pixel at an opacity of alpha / 255, each channel rounded to the
// nearest value: (source * alpha + target * (255 - alpha) + 127) / 255, which has no ties.
inline uint32_t blendPixel(uint32_t target, uint32_t source, uint32_t alpha)
{
    uint32_t result = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t s = (source >> shift) & 0xFF, t = (target >> shift) & 0xFF;
        result |= ((s * alpha + t * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

// The blend of one colour at one opacity over any pixel, by a table per channel: the same values
// as blendPixel, without its divisions.
class Blender {
public:
    Blender(uint32_t source, uint32_t alpha)
    {
        for (int channel = 0; channel < 3; ++channel) {
            const uint32_t s = (source >> (8 * channel)) & 0xFF;
            for (uint32_t t = 0; t < 256; ++t)
                m_table[channel][t] = uint8_t((s * alpha + t * (255 - alpha) + 127) / 255);
        }
    }
    uint32_t operator()(uint32_t target) const
    {
        return 0xFF000000u | m_table[0][target & 0xFF]
            | (uint32_t(m_table[1][(target >> 8) & 0xFF]) << 8)
            | (uint32_t(m_table[2][(target >> 16) & 0xFF]) << 16);
    }

private:
    uint8_t m_table[3][256];
};

// A sector's edges as unit vectors, worked out once: the one rule of containment, which the rows
// and SectorContains both apply.
struct SectorEdges {
    explicit SectorEdges(const TSector& sector)
        : whole(!(sector.Sweep < 2 * std::numbers::pi))
        , reflex(sector.Sweep > std::numbers::pi)
        , ax(std::cos(sector.Start))
        , ay(std::sin(sector.Start))
        , bx(std::cos(sector.Start + sector.Sweep))
        , by(std::sin(sector.Start + sector.Sweep))
    {
    }
    // Inside the ring, and on the inner side of the first edge and of the second (either of them,
    // for a sweep over half a turn).
    bool contains(const TSector& sector, double x, double y) const
    {
        const double dx = x - sector.CenterX, dy = y - sector.CenterY;
        const double d2 = dx * dx + dy * dy;
        if (d2 < sector.Inner * sector.Inner || d2 > sector.Outer * sector.Outer)
            return false;
        return whole || between(dx, dy);
    }
    // The edges' part of the rule, for an offset from the centre.
    bool between(double dx, double dy) const
    {
        const bool fromFirst = ax * dy - ay * dx >= 0;
        const bool toSecond = dx * by - dy * bx >= 0;
        return reflex ? (fromFirst || toSecond) : (fromFirst && toSecond);
    }
    bool whole, reflex;
    double ax, ay, bx, by;
};

// The pixels of a sector row by row: for each row, the column intervals of the pixels whose
// centre SectorContains, found from the circles and the edges' lines and made exact at their ends
// by the rule itself.
class SectorRows {
public:
    // The rows of the sector's pixels in columns left .. right (the image's): the intervals are
    // exact there and cut one column beyond, so that no row costs more than the image's width.
    SectorRows(const TSector& sector, int64_t left, int64_t right);
    // The rows that may hold pixels.
    int64_t top() const { return m_top; }
    int64_t bottom() const { return m_bottom; }
    // The intervals of row y, sorted and apart, into out; returns their number (at most 4).
    int row(int64_t y, std::pair<int64_t, int64_t> (&out)[4]) const;
    // Whether the edges bound one interval of columns on each row: a sweep of at most half a turn.
    bool convex() const { return !m_edges.whole && !m_edges.reflex; }
    // For a convex sector, the columns of row y (within the image's) between the edges, whatever
    // the radii, into from .. to; false when there are none.
    bool between(int64_t y, int64_t& from, int64_t& to) const;

private:
    // A closed interval of real offsets from the centre's column.
    struct Span {
        double lo, hi;
    };
    bool contains(int64_t x, int64_t y) const
    {
        return m_edges.contains(m_sector, double(x), double(y));
    }
    int columns(const Span* spans, int n, int64_t y, std::pair<int64_t, int64_t> (&out)[4]) const;
    TSector m_sector;
    SectorEdges m_edges;
    double m_outer2, m_inner2;
    // The edges' sides as bounds on the offset: a lower bound (+1), an upper one (-1) or, for a
    // horizontal edge, every row or none (0); each bound is the row's offset times the slope.
    int m_firstSign = 0, m_secondSign = 0;
    double m_firstSlope = 0, m_secondSlope = 0;
    int64_t m_top, m_bottom;
    int64_t m_left, m_right;
    // Far from the origin the chords' last bits are worth more than a hair: every end is checked.
    bool m_checkEnds = false;
};

// The rows are worked out inline in the fill's loop: a sector of a wind rose has a few dozen.
// Columns of real intervals (sorted, at most four). An end that lies well between two pixel
// centres is exact as it is; one within a hair of a centre, where rounding decides, is
// widened by one and made exact by the rule. Overlapping or touching intervals are merged.
inline int SectorRows::columns(
    const Span* spans, int n, int64_t y, std::pair<int64_t, int64_t> (&out)[4]) const
{
    const TSector& s = m_sector;
    constexpr double limit = 4e18, hair = 1e-6;
    auto nearCentre = [](double x) {
        const double f = x - floorOf(x);
        return f < hair || f > 1 - hair;
    };
    std::pair<int64_t, int64_t> found[4];
    int m = 0;
    for (int i = 0; i < n && i < 4; ++i) {
        const double left = s.CenterX + spans[i].lo, right = s.CenterX + spans[i].hi;
        int64_t from = static_cast<int64_t>(std::clamp(ceilOf(left), -limit, limit));
        int64_t to = static_cast<int64_t>(std::clamp(floorOf(right), -limit, limit));
        if (m_checkEnds || nearCentre(left) || nearCentre(right)) {
            // Only the image's columns count: far out, where the rule and the chords part by more
            // than a pixel in the last bits of huge radii, the walk stops one beyond them.
            from = std::max(from > -limit ? from - 1 : from, m_left - 1);
            to = std::min(to < limit ? to + 1 : to, m_right + 1);
            while (from <= to && !contains(from, y))
                ++from;
            while (to >= from && !contains(to, y))
                --to;
            if (from > to)
                continue;
            while (from >= m_left && contains(from - 1, y))
                --from;
            while (to <= m_right && contains(to + 1, y))
                ++to;
        } else if (from > to) {
            continue;
        }
        // Kept sorted as they come: there are at most four.
        int at = m++;
        for (; at > 0 && found[at - 1].first > from; --at)
            found[at] = found[at - 1];
        found[at] = { from, to };
    }
    int count = 0;
    for (int i = 0; i < m; ++i) {
        if (count > 0 && found[i].first <= out[count - 1].second + 1)
            out[count - 1].second = std::max(out[count - 1].second, found[i].second);
        else if (count < 4)
            out[count++] = found[i];
    }
    return count;
}

inline int SectorRows::row(int64_t y, std::pair<int64_t, int64_t> (&out)[4]) const
{
    const TSector& s = m_sector;
    const double dy = double(y) - s.CenterY;
    const double inf = HUGE_VAL;
    // The annulus: the outer circle's chord less the inner one's. A chord that rounding makes
    // slightly imaginary is taken as the single column under the centre and left to the rule.
    const double outer2 = m_outer2 - dy * dy;
    if (outer2 < -1e-9 * (m_outer2 + 1))
        return 0;
    const double ho = std::sqrt(std::max(outer2, 0.0));
    const double inner2 = m_inner2 - dy * dy;
    const double hi = inner2 > 0 ? std::sqrt(inner2) : -1;
    Span ring[2];
    int nRing = 0;
    if (hi >= 0) {
        ring[nRing++] = Span { -ho, -hi };
        ring[nRing++] = Span { hi, ho };
    } else {
        ring[nRing++] = Span { -ho, ho };
    }
    if (m_edges.whole)
        return columns(ring, nRing, y, out);
    // Each edge's side as a half-line of offsets: cross(a, p) >= 0 and cross(p, b) >= 0, the
    // bounds dy times the edges' slopes.
    auto half = [&](int sign, double slope, bool anyRow) {
        if (sign > 0)
            return Span { dy * slope, inf };
        if (sign < 0)
            return Span { -inf, dy * slope };
        return anyRow ? Span { -inf, inf } : Span { 1, 0 };
    };
    const Span first = half(m_firstSign, m_firstSlope, m_edges.ax * dy >= 0);
    const Span second = half(m_secondSign, m_secondSlope, -dy * m_edges.bx >= 0);
    Span result[4];
    int n = 0;
    if (!m_edges.reflex) {
        // One angular interval; an inversion by a hair is left to the rule.
        const double lo = std::max(first.lo, second.lo), up = std::min(first.hi, second.hi);
        if (lo > up + 1e-6)
            return 0;
        for (int i = 0; i < nRing; ++i) {
            const Span part { std::max(ring[i].lo, lo), std::min(ring[i].hi, up) };
            if (part.lo <= part.hi + 1e-6)
                result[n++] = part;
        }
        return columns(result, n, y, out);
    }
    for (int i = 0; i < nRing; ++i)
        for (const Span& side : { first, second }) {
            const Span part { std::max(ring[i].lo, side.lo), std::min(ring[i].hi, side.hi) };
            if (part.lo <= part.hi)
                result[n++] = part;
        }
    return columns(result, n, y, out);
}

inline bool SectorRows::between(int64_t y, int64_t& from, int64_t& to) const
{
    const TSector& s = m_sector;
    constexpr double hair = 1e-6;
    const double dy = double(y) - s.CenterY;
    double lo = -HUGE_VAL, up = HUGE_VAL;
    if (m_firstSign > 0)
        lo = dy * m_firstSlope;
    else if (m_firstSign < 0)
        up = dy * m_firstSlope;
    else if (!(m_edges.ax * dy >= 0))
        return false;
    if (m_secondSign > 0)
        lo = std::max(lo, dy * m_secondSlope);
    else if (m_secondSign < 0)
        up = std::min(up, dy * m_secondSlope);
    else if (!(-dy * m_edges.bx >= 0))
        return false;
    if (lo > up + hair)
        return false;
    const double left = s.CenterX + lo, right = s.CenterX + up;
    // An edge of a slope so steep that its bound is not a number (infinity times 0) leaves the
    // whole row to the rule.
    const bool unknown = std::isnan(left) || std::isnan(right);
    const double first = unknown ? double(m_left) : std::max(ceilOf(left), double(m_left));
    const double last = unknown ? double(m_right) : std::min(floorOf(right), double(m_right));
    from = static_cast<int64_t>(std::min(first, double(m_right) + 1));
    to = static_cast<int64_t>(std::max(last, double(m_left) - 1));
    const auto near = [](double x) {
        const double f = x - floorOf(x);
        return f < hair || f > 1 - hair;
    };
    if (unknown || near(left) || near(right)) {
        const auto inside = [&](int64_t x) { return m_edges.between(double(x) - s.CenterX, dy); };
        from = std::max(from - 1, m_left);
        to = std::min(to + 1, m_right);
        while (from <= to && !inside(from))
            ++from;
        while (to >= from && !inside(to))
            --to;
        if (from > to)
            return false;
        while (from > m_left && inside(from - 1))
            --from;
        while (to < m_right && inside(to + 1))
            ++to;
    }
    return from <= to;
}

// One row of a marker's pixels, from its centre: row dy, columns left .. right.
struct MarkSpan {
    int32_t dy, left, right;
};

// The pixels of a marker about its centre, row by row.
std::vector<MarkSpan> markSpans(const TSurfaceMark& mark);

inline uint32_t alphaOf(double opacity)
{
    return static_cast<uint32_t>(std::lround(ClampedOpacity(opacity) * 255));
}

} // namespace znq::raster
