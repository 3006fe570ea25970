// The raster surface: the canvas's exact pixel rules in the device pixels of an RGB32 image.
// Lines step by Bresenham's rule, ellipses by rows of the inscribed ellipse, polygons by pixel
// centres; wide pens stamp squares whose union is written in spans, and XOR inverts every pixel of
// a figure once.
#include "znq_surface.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace znq {

std::span<const int> PenPatternRuns(TPenStyle style)
{
    static constexpr int dash[] = { 18, 6 };
    static constexpr int dot[] = { 3, 3 };
    static constexpr int dashDot[] = { 9, 6, 3, 6 };
    static constexpr int dashDotDot[] = { 9, 3, 3, 3, 3, 3 };
    switch (style) {
    case TPenStyle::psDash:
        return dash;
    case TPenStyle::psDot:
        return dot;
    case TPenStyle::psDashDot:
        return dashDot;
    case TPenStyle::psDashDotDot:
        return dashDotDot;
    default:
        return {};
    }
}

namespace {

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

    PenPattern makePattern(std::span<const int> runs)
    {
        PenPattern pattern;
        bool on = true;
        for (int run : runs) {
            for (int i = 0; i < run; ++i)
                pattern.bits[pattern.length++] = on;
            on = !on;
        }
        pattern.divisor = UINT64_MAX / pattern.length + 1;
        return pattern;
    }

    const PenPattern& patternFor(TPenStyle style)
    {
        static const PenPattern solid;
        static const PenPattern dash = makePattern(PenPatternRuns(TPenStyle::psDash));
        static const PenPattern dot = makePattern(PenPatternRuns(TPenStyle::psDot));
        static const PenPattern dashDot = makePattern(PenPatternRuns(TPenStyle::psDashDot));
        static const PenPattern dashDotDot = makePattern(PenPatternRuns(TPenStyle::psDashDotDot));
        switch (style) {
        case TPenStyle::psDash:
            return dash;
        case TPenStyle::psDot:
            return dot;
        case TPenStyle::psDashDot:
            return dashDot;
        case TPenStyle::psDashDotDot:
            return dashDotDot;
        default:
            return solid;
        }
    }

    int64_t floorDiv(Int128 numerator, Int128 denominator)
    {
        Int128 q = numerator / denominator;
        if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0)))
            --q;
        return static_cast<int64_t>(q);
    }

    int64_t ceilDiv(Int128 numerator, Int128 denominator)
    {
        return -floorDiv(-numerator, denominator);
    }

    // An inclusive pixel rectangle used for clipping.
    struct Box {
        int64_t left, top, right, bottom;
        bool empty() const { return left > right || top > bottom; }
        bool contains(int64_t x, int64_t y) const
        {
            return x >= left && x <= right && y >= top && y <= bottom;
        }
    };

    Box intersect(const Box& a, const Box& b)
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
            const auto half = static_cast<int64_t>(std::floor(m_a * std::sqrt(t)));
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

    // Steps a pointer along count pixels of a line: one major step per pixel, and a minor step
    // whenever the remainder passes 2 * major. Shared by every solid one-pixel line.
    template <typename Put>
    inline void stepLine(uint32_t* pixel, int64_t count, int64_t stepMajor, int64_t stepMinor,
        int64_t remainder, int64_t twoMinor, int64_t twoMajor, Put put)
    {
        for (int64_t i = 0; i < count; ++i) {
            put(pixel);
            pixel += stepMajor;
            remainder += twoMinor;
            if (remainder >= twoMajor) {
                remainder -= twoMajor;
                pixel += stepMinor;
            }
        }
    }

    // A solid one-pixel copy pen whose two end points lie inside the image: the same stepping as
    // TCanvas::lineSegment, without any clipping work.
    inline void solidLineInside(uint32_t* bits, int64_t stride, uint32_t rgb, int32_t x0,
        int32_t y0, int32_t x1, int32_t y1)
    {
        const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
        const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
        const bool xMajor = adx >= ady;
        const int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
        const int64_t stepX = dx < 0 ? -1 : 1, stepY = dy < 0 ? -stride : stride;
        stepLine(bits + int64_t(y0) * stride + x0, major, xMajor ? stepX : stepY,
            xMajor ? stepY : stepX, major - 1, 2 * minor, 2 * major,
            [rgb](uint32_t* pixel) { *pixel = rgb; });
    }

} // namespace

// Pixel sinks: where the rasterised pixels of one figure go.

// Writes pen pixels into the image: width 1 pixel by pixel, wider pens as squares of the pen
// width centred on each pixel. A wide pen's pixels are gathered first and its squares written as
// their union, row by row in spans, so that the cost follows the area covered rather than the
// square of the width, and in XOR mode every pixel of the stroke is inverted once however many
// squares cover it. A caller that must know the stroke's pixels before it is drawn (a filled XOR
// polygon) asks for them in a mask with collect.
class PenSink {
public:
    PenSink(QImage& image, const TSurfacePen& pen, Box figureBounds, bool collect = false)
        : m_width(pen.Width)
        , m_rgb(ColorToRGB(pen.Color))
        , m_xor(pen.Mode == TPenMode::pmXor)
        , m_imageBox { 0, 0, image.width() - 1, image.height() - 1 }
    {
        if (!m_imageBox.empty()) {
            m_bits = reinterpret_cast<uint32_t*>(image.bits());
            m_stride = image.bytesPerLine() / 4;
        }
        if (collect) {
            const int grow = m_width;
            m_maskBox = intersect(m_imageBox,
                Box { figureBounds.left - grow, figureBounds.top - grow, figureBounds.right + grow,
                    figureBounds.bottom + grow });
            if (!m_maskBox.empty())
                m_mask.assign(static_cast<size_t>((m_maskBox.right - m_maskBox.left + 1)
                                  * (m_maskBox.bottom - m_maskBox.top + 1)),
                    0);
        }
    }

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

    void flush()
    {
        writeSquares();
        if (m_mask.empty())
            return;
        const int64_t width = m_maskBox.right - m_maskBox.left + 1;
        for (int64_t row = m_maskBox.top; row <= m_maskBox.bottom; ++row) {
            const uint8_t* mask = m_mask.data() + (row - m_maskBox.top) * width;
            uint32_t* line = m_bits + row * m_stride + m_maskBox.left;
            for (int64_t i = 0; i < width; ++i)
                if (mask[i])
                    put(line + i);
        }
        m_mask.clear();
    }

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

    // The union of the squares of the gathered pixels, written row by row. The square of the
    // pixel at (x, y) covers columns x - a .. x - a + w - 1 and the rows likewise, a = (w - 1) / 2.
    // Each row of pixels becomes a row of disjoint spans, equal neighbouring rows a band; output
    // row r is the union of the bands within w - 1 - a rows above it and a rows below.
    void writeSquares()
    {
        if (m_points.empty())
            return;
        std::sort(m_points.begin(), m_points.end());
        m_points.erase(std::unique(m_points.begin(), m_points.end()), m_points.end());
        const int64_t w = m_width, a = (w - 1) / 2;

        std::vector<Span> spans;
        std::vector<Band> bands;
        for (size_t i = 0; i < m_points.size();) {
            const int64_t y = m_points[i].y;
            const size_t begin = spans.size();
            for (; i < m_points.size() && m_points[i].y == y; ++i) {
                const Span square { m_points[i].x - a, m_points[i].x - a + w - 1 };
                if (spans.size() > begin && square.left <= spans.back().right + 1)
                    spans.back().right = std::max(spans.back().right, square.right);
                else
                    spans.push_back(square);
            }
            const size_t end = spans.size();
            if (!bands.empty()) {
                Band& last = bands.back();
                const bool same = last.y1 + 1 == y && last.end - last.begin == end - begin
                    && std::equal(spans.begin() + std::ptrdiff_t(begin),
                        spans.begin() + std::ptrdiff_t(end),
                        spans.begin() + std::ptrdiff_t(last.begin),
                        [](Span p, Span q) { return p.left == q.left && p.right == q.right; });
                if (same) {
                    ++last.y1;
                    spans.resize(begin);
                    continue;
                }
            }
            bands.push_back(Band { y, y, begin, end });
        }
        m_points.clear();

        const Box target = m_mask.empty() ? m_imageBox : m_maskBox;
        if (target.empty())
            return;
        const int64_t below = w - 1 - a;
        std::vector<Span> row;
        size_t low = 0, high = 0;
        int64_t r = std::max(target.top, bands.front().y0 - a);
        const int64_t last = std::min(target.bottom, bands.back().y1 + below);
        while (r <= last) {
            // Bands reach row r from rows y0 - a .. y1 + below.
            while (high < bands.size() && bands[high].y0 - a <= r)
                ++high;
            while (low < high && bands[low].y1 + below < r)
                ++low;
            if (low == high) {
                if (high == bands.size())
                    break;
                r = bands[high].y0 - a;
                continue;
            }
            row.clear();
            for (size_t b = low; b < high; ++b)
                row.insert(row.end(), spans.begin() + std::ptrdiff_t(bands[b].begin),
                    spans.begin() + std::ptrdiff_t(bands[b].end));
            if (high - low > 1)
                std::sort(row.begin(), row.end(), [](Span p, Span q) { return p.left < q.left; });
            int64_t covered = INT64_MIN;
            for (const Span& span : row) {
                const int64_t left = std::max({ span.left, covered + 1, target.left });
                const int64_t right = std::min(span.right, target.right);
                if (left <= right)
                    writeSpan(r, left, right);
                covered = std::max(covered, span.right);
            }
            ++r;
        }
    }

    void writeSpan(int64_t y, int64_t left, int64_t right)
    {
        if (!m_mask.empty()) {
            std::fill(m_mask.begin() + std::ptrdiff_t(maskIndex(left, y)),
                m_mask.begin() + std::ptrdiff_t(maskIndex(right, y)) + 1, 1);
            return;
        }
        uint32_t* line = m_bits + y * m_stride;
        if (m_xor) {
            for (int64_t x = left; x <= right; ++x)
                line[x] ^= (m_rgb & 0x00FFFFFFu);
        } else {
            std::fill(line + left, line + right + 1, m_rgb);
        }
    }

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

namespace {

    struct LineRaster {
        PenSink& sink;
        const PenPattern& pattern;
        uint32_t& phase;
        // Pixels per pattern step: the drawing scale, rounded, on a scaled canvas.
        uint32_t stretch = 1;
    };

    // Bresenham's line from (x0, y0) towards (x1, y1), end point left out. Pixel i along the major
    // axis sits at minor offset floor((2 i minor + major - 1) / (2 major)), which is the classic
    // stepping with ties kept on the starting row. Only the pixels inside the sink's clip box are
    // visited: the first and last visible steps are solved for directly, so lines with far-away end
    // points cost no more than their visible part.
    void lineSegment(LineRaster& raster, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
    {
        const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
        const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
        const int64_t steps = std::max(adx, ady);
        const uint32_t phaseStart = raster.phase;
        raster.phase += static_cast<uint32_t>(steps);
        if (steps == 0 || !raster.sink.writesToImage())
            return;

        const bool xMajor = adx >= ady;
        const int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
        const int64_t a0 = xMajor ? x0 : y0, b0 = xMajor ? y0 : x0;
        const int64_t sa = ((xMajor ? dx : dy) < 0) ? -1 : 1,
                      sb = ((xMajor ? dy : dx) < 0) ? -1 : 1;
        const Box clip = raster.sink.clipBox();

        int64_t first = 0, last = steps - 1;
        const bool inside = x0 >= clip.left && x0 <= clip.right && y0 >= clip.top
            && y0 <= clip.bottom && x1 >= clip.left && x1 <= clip.right && y1 >= clip.top
            && y1 <= clip.bottom;
        if (!inside) {
            const int64_t aMin = xMajor ? clip.left : clip.top,
                          aMax = xMajor ? clip.right : clip.bottom;
            const int64_t bMin = xMajor ? clip.top : clip.left,
                          bMax = xMajor ? clip.bottom : clip.right;
            // Steps whose major coordinate is visible.
            if (sa > 0) {
                first = std::max(first, aMin - a0);
                last = std::min(last, aMax - a0);
            } else {
                first = std::max(first, a0 - aMax);
                last = std::min(last, a0 - aMin);
            }
            // Steps whose minor offset q lies in [qLow, qHigh].
            const int64_t qLow = sb > 0 ? bMin - b0 : b0 - bMax;
            const int64_t qHigh = sb > 0 ? bMax - b0 : b0 - bMin;
            if (qHigh < 0)
                return;
            if (minor == 0) {
                if (qLow > 0)
                    return;
            } else {
                if (qLow > 0)
                    first = std::max(
                        first, ceilDiv(Int128(2) * major * qLow - major + 1, Int128(2) * minor));
                last = std::min(
                    last, floorDiv(Int128(2) * major * qHigh + major, Int128(2) * minor));
            }
            if (first > last)
                return;
        }

        int64_t q = 0, remainder = major - 1;
        if (first > 0) {
            const Int128 numerator = Int128(2) * first * minor + major - 1;
            q = static_cast<int64_t>(numerator / (2 * major));
            remainder = static_cast<int64_t>(numerator % (2 * major));
        }
        const PenPattern& pattern = raster.pattern;
        uint32_t phase = phaseStart + static_cast<uint32_t>(first);
        const int64_t twoMinor = 2 * minor, twoMajor = 2 * major;

        if (PenSink::Direct direct = raster.sink.direct(); direct.bits && pattern.length == 0) {
            // A solid one-pixel pen inside the image: step a pointer.
            const int64_t stepMajor = xMajor ? sa : sa * direct.stride;
            const int64_t stepMinor = xMajor ? sb * direct.stride : sb;
            const int64_t startA = a0 + sa * first, startB = b0 + sb * q;
            uint32_t* pixel = direct.bits
                + (xMajor ? startB * direct.stride + startA : startA * direct.stride + startB);
            const int64_t count = last - first + 1;
            if (direct.xorMode) {
                const uint32_t mask = direct.rgb & 0x00FFFFFFu;
                stepLine(pixel, count, stepMajor, stepMinor, remainder, twoMinor, twoMajor,
                    [mask](uint32_t* p) { *p ^= mask; });
            } else {
                const uint32_t rgb = direct.rgb;
                stepLine(pixel, count, stepMajor, stepMinor, remainder, twoMinor, twoMajor,
                    [rgb](uint32_t* p) { *p = rgb; });
            }
            return;
        }

        for (int64_t i = first; i <= last; ++i, ++phase) {
            if (pattern.length == 0 || pattern.on(patternStep(phase, raster.stretch))) {
                const int64_t a = a0 + sa * i, b = b0 + sb * q;
                if (xMajor)
                    raster.sink.pixel(a, b);
                else
                    raster.sink.pixel(b, a);
            }
            remainder += twoMinor;
            if (remainder >= twoMajor) {
                remainder -= twoMajor;
                ++q;
            }
        }
    }

} // namespace

// The blend of a colour over a pixel at an opacity of alpha / 255, each channel rounded to the
// nearest value: (source * alpha + target * (255 - alpha) + 127) / 255, which has no ties.
static uint32_t blendPixel(uint32_t target, uint32_t source, uint32_t alpha)
{
    uint32_t result = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t s = (source >> shift) & 0xFF, t = (target >> shift) & 0xFF;
        result |= ((s * alpha + t * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

static uint32_t alphaOf(double opacity)
{
    return static_cast<uint32_t>(
        std::lround(std::clamp(std::isnan(opacity) ? 0.0 : opacity, 0.0, 1.0) * 255));
}

class TRasterSurface final : public TSurface {
public:
    explicit TRasterSurface(QImage* image)
        : m_image(image)
    {
    }
    ~TRasterSurface() override { EndPainting(); }

    int32_t Width() const override { return m_image->width(); }
    int32_t Height() const override { return m_image->height(); }
    void Line(const TSurfacePen& pen, TPoint from, TPoint to, uint32_t& phase) override;
    void Polyline(const TSurfacePen& pen, std::span<const TPoint> points) override;
    void Polygon(const TSurfacePen& pen, const TSurfaceBrush& brush,
        std::span<const TPoint> points) override;
    void Rectangle(const TSurfacePen& pen, const TSurfaceBrush& brush, int32_t x1, int32_t y1,
        int32_t x2, int32_t y2) override;
    void Ellipse(const TSurfacePen& pen, const TSurfaceBrush& brush, int32_t x1, int32_t y1,
        int32_t x2, int32_t y2) override;
    void FillRect(const TRect& rect, TColor color) override;
    void FillPolygon(std::span<const TPoint> points, TColor color, double opacity) override;
    void Text(TSurfaceText& text) override;
    void Draw(TPoint at, QSize size, const QImage& image, TCopyMode mode) override;
    void DrawBlended(TPoint at, QSize size, const QImage& image, double opacity) override;
    TColor Pixel(int32_t x, int32_t y) const override;
    void EndPainting() override { m_painter.reset(); }

private:
    Box wholeImage() const { return Box { 0, 0, m_image->width() - 1, m_image->height() - 1 }; }
    // The pixels of the polygon's interior row by row: run(y, x0, x1) for each span, clipped.
    template <typename Run>
    void interiorSpans(std::span<const TPoint> points, const Box& rows, Run run) const;
    // The part of the image that an image placed at `at` covers, or an empty box.
    Box drawBox(TPoint at, const QImage& source) const;

    QImage* m_image;
    // Text is drawn through a painter that stays open on the image between text operations.
    std::unique_ptr<QPainter> m_painter;
};

void TRasterSurface::Line(const TSurfacePen& pen, TPoint from, TPoint to, uint32_t& phase)
{
    const Box bounds { std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x),
        std::max(from.y, to.y) };
    PenSink sink(*m_image, pen, bounds);
    LineRaster raster { sink, patternFor(pen.Style), phase, pen.Stretch };
    lineSegment(raster, from.x, from.y, to.x, to.y);
}

void TRasterSurface::Polyline(const TSurfacePen& pen, std::span<const TPoint> points)
{
    if (points.size() < 2 || pen.Style == TPenStyle::psClear)
        return;
    Box bounds { points[0].x, points[0].y, points[0].x, points[0].y };
    for (const TPoint& p : points)
        bounds = Box { std::min<int64_t>(bounds.left, p.x), std::min<int64_t>(bounds.top, p.y),
            std::max<int64_t>(bounds.right, p.x), std::max<int64_t>(bounds.bottom, p.y) };
    PenSink sink(*m_image, pen, bounds);
    uint32_t phase = 0;
    LineRaster raster { sink, patternFor(pen.Style), phase, pen.Stretch };
    const PenSink::Direct direct = sink.direct();
    if (direct.bits && raster.pattern.length == 0 && !direct.xorMode) {
        // The common case of data curves: a solid one-pixel pen, most segments inside the image.
        const int64_t right = m_image->width() - 1, bottom = m_image->height() - 1;
        for (size_t i = 1; i < points.size(); ++i) {
            const TPoint from = points[i - 1], to = points[i];
            if (from.x < 0 || from.y < 0 || to.x < 0 || to.y < 0 || from.x > right || to.x > right
                || from.y > bottom || to.y > bottom) {
                lineSegment(raster, from.x, from.y, to.x, to.y);
                continue;
            }
            solidLineInside(direct.bits, direct.stride, direct.rgb, from.x, from.y, to.x, to.y);
        }
        return;
    }
    for (size_t i = 1; i < points.size(); ++i)
        lineSegment(raster, points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
}

template <typename Run>
void TRasterSurface::interiorSpans(std::span<const TPoint> points, const Box& rows, Run run) const
{
    std::vector<double> crossings;
    for (int64_t y = rows.top; y <= rows.bottom; ++y) {
        const double sampleY = static_cast<double>(y) + 0.5;
        crossings.clear();
        for (size_t i = 0; i < points.size(); ++i) {
            const TPoint& a = points[i];
            const TPoint& b = points[(i + 1) % points.size()];
            if (a.y == b.y)
                continue;
            const double ya = a.y, yb = b.y;
            if ((sampleY >= ya && sampleY < yb) || (sampleY >= yb && sampleY < ya))
                crossings.push_back(a.x + (sampleY - ya) * (double(b.x) - a.x) / (yb - ya));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            // Pixels whose centre x + 0.5 lies in [from, to).
            const double from = std::ceil(crossings[i] - 0.5);
            const double to = std::ceil(crossings[i + 1] - 0.5) - 1;
            const int64_t x0 = static_cast<int64_t>(std::max(from, double(rows.left)));
            const int64_t x1 = static_cast<int64_t>(std::min(to, double(rows.right)));
            if (x0 <= x1)
                run(y, x0, x1);
        }
    }
}

void TRasterSurface::Polygon(
    const TSurfacePen& pen, const TSurfaceBrush& brush, std::span<const TPoint> points)
{
    if (points.empty())
        return;
    const bool outline = pen.Style != TPenStyle::psClear;
    Box bounds { points[0].x, points[0].y, points[0].x, points[0].y };
    for (const TPoint& p : points)
        bounds = Box { std::min<int64_t>(bounds.left, p.x), std::min<int64_t>(bounds.top, p.y),
            std::max<int64_t>(bounds.right, p.x), std::max<int64_t>(bounds.bottom, p.y) };
    const Box imageBox { 0, 0, m_image->width() - 1, m_image->height() - 1 };

    // In XOR mode the outline is collected first so that the fill can leave its pixels out:
    // every pixel of the figure is then inverted exactly once. Otherwise the pen goes over the
    // brush.
    const bool fill = brush.Solid && points.size() >= 3;
    const bool collect = outline && fill && pen.Mode == TPenMode::pmXor;
    PenSink sink(*m_image, pen, bounds, collect);
    auto drawOutline = [&] {
        uint32_t phase = 0;
        LineRaster raster { sink, patternFor(pen.Style), phase, pen.Stretch };
        for (size_t i = 0; i < points.size(); ++i) {
            const TPoint& from = points[i];
            const TPoint& to = points[(i + 1) % points.size()];
            lineSegment(raster, from.x, from.y, to.x, to.y);
        }
        // A single point or a figure of coincident points still shows its vertex.
        if (std::all_of(
                points.begin(), points.end(), [&](const TPoint& p) { return p == points[0]; }))
            sink.pixel(points[0].x, points[0].y);
    };
    if (collect)
        drawOutline();

    if (fill) {
        BrushSink fillSink(*m_image, brush.Color, pen.Mode);
        interiorSpans(points, intersect(imageBox, bounds), [&](int64_t y, int64_t x0, int64_t x1) {
            if (!collect) {
                fillSink.run(y, x0, x1);
                return;
            }
            for (int64_t x = x0; x <= x1; ++x)
                if (!sink.isMasked(x, y))
                    fillSink.run(y, x, x);
        });
    }

    if (outline && !collect)
        drawOutline();
}

void TRasterSurface::Rectangle(const TSurfacePen& pen, const TSurfaceBrush& brush, int32_t x1,
    int32_t y1, int32_t x2, int32_t y2)
{
    const int64_t left = std::min(x1, x2), right = int64_t(std::max(x1, x2)) - 1;
    const int64_t top = std::min(y1, y2), bottom = int64_t(std::max(y1, y2)) - 1;
    if (left > right || top > bottom)
        return;
    const Box imageBox { 0, 0, m_image->width() - 1, m_image->height() - 1 };
    if (imageBox.empty())
        return;
    const bool outline = pen.Style != TPenStyle::psClear;

    if (brush.Solid) {
        const Box inner = outline ? Box { left + 1, top + 1, right - 1, bottom - 1 }
                                  : Box { left, top, right, bottom };
        const Box fill = intersect(inner, imageBox);
        if (!fill.empty()) {
            BrushSink fillSink(*m_image, brush.Color, pen.Mode);
            fillSink.box(fill.top, fill.bottom, fill.left, fill.right);
        }
    }
    if (!outline)
        return;

    // The border pixels clockwise from the top-left corner, each once; a pixel's place in this
    // walk steps the pen pattern. Only the visible stretch of each side is visited.
    PenSink sink(*m_image, pen, Box { left, top, right, bottom });
    const PenPattern& pattern = patternFor(pen.Style);
    const Box clip = sink.clipBox();
    const int64_t w = right - left, h = bottom - top;
    // Pattern and stretch are copied: the pixel writes could otherwise alias them.
    const bool solid = pattern.length == 0;
    const uint32_t stretch = pen.Stretch;
    auto plot = [&sink, &pattern, solid, stretch](int64_t x, int64_t y, int64_t position) {
        if (solid || pattern.on(patternStep(static_cast<uint64_t>(position), stretch)))
            sink.pixel(x, y);
    };
    // Top row, left to right.
    if (top >= clip.top && top <= clip.bottom)
        for (int64_t x = std::max(left, clip.left); x <= std::min(right, clip.right); ++x)
            plot(x, top, x - left);
    // Right column, downwards below the top row.
    if (right >= clip.left && right <= clip.right)
        for (int64_t y = std::max(top + 1, clip.top); y <= std::min(bottom, clip.bottom); ++y)
            plot(right, y, w + (y - top));
    // Bottom row, right to left, when it is not the top row.
    if (bottom > top && bottom >= clip.top && bottom <= clip.bottom)
        for (int64_t x = std::min(right - 1, clip.right); x >= std::max(left, clip.left); --x)
            plot(x, bottom, w + h + (right - x));
    // Left column, upwards, between the bottom and top rows, when it is not the right column.
    if (right > left && left >= clip.left && left <= clip.right)
        for (int64_t y = std::min(bottom - 1, clip.bottom); y >= std::max(top + 1, clip.top); --y)
            plot(left, y, 2 * w + h + (bottom - y));
}

void TRasterSurface::Ellipse(const TSurfacePen& pen, const TSurfaceBrush& brush, int32_t x1,
    int32_t y1, int32_t x2, int32_t y2)
{
    const int64_t left = std::min(x1, x2), right = int64_t(std::max(x1, x2)) - 1;
    const int64_t top = std::min(y1, y2), bottom = int64_t(std::max(y1, y2)) - 1;
    if (left > right || top > bottom)
        return;
    const Box imageBox { 0, 0, m_image->width() - 1, m_image->height() - 1 };
    if (imageBox.empty())
        return;
    const bool outline = pen.Style != TPenStyle::psClear;
    const bool fill = brush.Solid;
    const EllipseRows rows(left, top, right, bottom);
    PenSink sink(*m_image, pen, Box { left, top, right, bottom });
    BrushSink fillSink(*m_image, brush.Color, pen.Mode);
    const PenPattern& pattern = patternFor(pen.Style);
    const Box clip = outline ? sink.clipBox() : imageBox;

    // Pattern and stretch are copied: the pixel writes could otherwise alias them.
    const bool solid = pattern.length == 0;
    const uint32_t stretch = pen.Stretch;
    auto outlineRun = [&](int64_t y, int64_t from, int64_t to) {
        from = std::max(from, clip.left);
        to = std::min(to, clip.right);
        for (int64_t x = from; x <= to; ++x)
            if (solid || pattern.on(patternStep(rows.arcPosition(x, y), stretch)))
                sink.pixel(x, y);
    };
    auto fillRun = [&](int64_t y, int64_t from, int64_t to) {
        if (y < imageBox.top || y > imageBox.bottom)
            return;
        from = std::max(from, imageBox.left);
        to = std::min(to, imageBox.right);
        if (from <= to)
            fillSink.run(y, from, to);
    };

    const int64_t yFirst = std::max(top, clip.top), yLast = std::min(bottom, clip.bottom);
    // Spans of the previous, current and next row, each computed once.
    std::pair<int64_t, int64_t> up = rows.span(yFirst - 1), current = rows.span(yFirst), down;
    for (int64_t y = yFirst; y <= yLast; ++y, up = current, current = down) {
        down = rows.span(y + 1);
        const auto [lo, hi] = current;
        if (lo > hi)
            continue;
        if (!outline) {
            if (fill)
                fillRun(y, lo, hi);
            continue;
        }
        // Interior: pixels whose four neighbours are all inside.
        int64_t innerLo = std::max({ lo + 1, up.first, down.first });
        int64_t innerHi = std::min({ hi - 1, up.second, down.second });
        if (up.first > up.second || down.first > down.second)
            innerLo = 1, innerHi = 0;
        if (innerLo > innerHi) {
            outlineRun(y, lo, hi);
            continue;
        }
        if (fill)
            fillRun(y, innerLo, innerHi);
        outlineRun(y, lo, innerLo - 1);
        outlineRun(y, innerHi + 1, hi);
    }
}

void TRasterSurface::FillRect(const TRect& rect, TColor color)
{
    const Box imageBox { 0, 0, m_image->width() - 1, m_image->height() - 1 };
    const Box box = intersect(imageBox,
        Box { std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom),
            int64_t(std::max(rect.Left, rect.Right)) - 1,
            int64_t(std::max(rect.Top, rect.Bottom)) - 1 });
    if (box.empty())
        return;
    BrushSink fillSink(*m_image, color, TPenMode::pmCopy);
    fillSink.box(box.top, box.bottom, box.left, box.right);
}

void TRasterSurface::FillPolygon(std::span<const TPoint> points, TColor color, double opacity)
{
    const uint32_t alpha = alphaOf(opacity);
    if (points.size() < 3 || alpha == 0 || wholeImage().empty())
        return;
    Box bounds { points[0].x, points[0].y, points[0].x, points[0].y };
    for (const TPoint& p : points)
        bounds = Box { std::min<int64_t>(bounds.left, p.x), std::min<int64_t>(bounds.top, p.y),
            std::max<int64_t>(bounds.right, p.x), std::max<int64_t>(bounds.bottom, p.y) };
    const uint32_t rgb = ColorToRGB(color);
    auto* bits = reinterpret_cast<uint32_t*>(m_image->bits());
    const int64_t stride = m_image->bytesPerLine() / 4;
    interiorSpans(points, intersect(wholeImage(), bounds), [&](int64_t y, int64_t x0, int64_t x1) {
        uint32_t* line = bits + y * stride;
        for (int64_t x = x0; x <= x1; ++x)
            line[x] = blendPixel(line[x], rgb, alpha);
    });
}

// Nothing is drawn of a text far outside the image (QPainter's fixed-point coordinates do not
// reach that far) or wholly right of, below or above it: such a text is not even laid out, so a
// caption of many lines lays out only the ones in view.
void TRasterSurface::Text(TSurfaceText& text)
{
    if (m_image->width() <= 0 || m_image->height() <= 0)
        return;
    constexpr int64_t limit = 1 << 22;
    const TPoint at = text.At;
    if (std::abs(int64_t(at.x)) > limit || std::abs(int64_t(at.y)) > limit)
        return;
    if (at.x >= m_image->width() || at.y >= m_image->height() || int64_t(at.y) + text.Height <= 0)
        return;
    std::optional<QRect> clip;
    if (text.Clip) {
        const TRect& rect = *text.Clip;
        const Box box = intersect(wholeImage(),
            Box { rect.Left, rect.Top, int64_t(rect.Right) - 1, int64_t(rect.Bottom) - 1 });
        if (box.empty())
            return;
        clip = QRect(static_cast<int>(box.left), static_cast<int>(box.top),
            static_cast<int>(box.right - box.left + 1), static_cast<int>(box.bottom - box.top + 1));
    }
    const QStaticText& laidOut = text.LaidOut();
    if (text.Background)
        FillRect(text.Cell(), *text.Background);
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(m_image);
        m_painter->setRenderHint(QPainter::TextAntialiasing);
    }
    if (clip)
        m_painter->setClipRect(*clip);
    else
        m_painter->setClipping(false);
    m_painter->setFont(text.Font());
    m_painter->setPen(ColorToQColor(text.Color));
    m_painter->drawStaticText(QPoint(at.x, at.y), laidOut);
}

Box TRasterSurface::drawBox(TPoint at, const QImage& source) const
{
    if (source.isNull() || &source == m_image)
        return Box { 0, 0, -1, -1 };
    return intersect(wholeImage(),
        Box {
            at.x, at.y, int64_t(at.x) + source.width() - 1, int64_t(at.y) + source.height() - 1 });
}

void TRasterSurface::Draw(TPoint at, QSize, const QImage& source, TCopyMode mode)
{
    const int32_t x = at.x, y = at.y;
    const Box target = drawBox(at, source);
    if (target.empty())
        return;
    const size_t count = static_cast<size_t>(target.right - target.left + 1);
    // The rows are reached by stride from one pointer each: scanLine() checks for sharing on
    // every call.
    const auto* sourceBits = reinterpret_cast<const uint32_t*>(source.constBits());
    auto* targetBits = reinterpret_cast<uint32_t*>(m_image->bits());
    const qsizetype sourceStride = source.bytesPerLine() / 4,
                    targetStride = m_image->bytesPerLine() / 4;
    for (int64_t row = target.top; row <= target.bottom; ++row) {
        const uint32_t* from = sourceBits + (row - y) * sourceStride + (target.left - x);
        uint32_t* to = targetBits + row * targetStride + target.left;
        if (mode == TCopyMode::cmSrcCopy) {
            std::memcpy(to, from, count * sizeof(uint32_t));
        } else {
            for (size_t i = 0; i < count; ++i)
                to[i] &= from[i];
        }
    }
}

void TRasterSurface::DrawBlended(TPoint at, QSize, const QImage& source, double opacity)
{
    const uint32_t alpha = alphaOf(opacity);
    const Box target = drawBox(at, source);
    if (target.empty() || alpha == 0)
        return;
    const auto* sourceBits = reinterpret_cast<const uint32_t*>(source.constBits());
    auto* targetBits = reinterpret_cast<uint32_t*>(m_image->bits());
    const qsizetype sourceStride = source.bytesPerLine() / 4,
                    targetStride = m_image->bytesPerLine() / 4;
    for (int64_t row = target.top; row <= target.bottom; ++row) {
        const uint32_t* from = sourceBits + (row - at.y) * sourceStride + (target.left - at.x);
        uint32_t* to = targetBits + row * targetStride + target.left;
        for (int64_t i = 0; i <= target.right - target.left; ++i)
            to[i] = blendPixel(to[i], from[i], alpha);
    }
}

TColor TRasterSurface::Pixel(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= m_image->width() || y >= m_image->height())
        return clWhite;
    return RGBToColor(m_image->pixel(x, y));
}

std::unique_ptr<TSurface> MakeRasterSurface(QImage* image)
{
    return std::make_unique<TRasterSurface>(image);
}

} // namespace znq
