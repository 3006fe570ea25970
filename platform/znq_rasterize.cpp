// The raster rules: pen patterns, the wide pens' spans and masks, and the clipped Bresenham line.
#include "znq_rasterize.h"

#include <numbers>

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

bool SectorContains(const TSector& sector, double x, double y)
{
    return raster::SectorEdges(sector).contains(sector, x, y);
}

namespace raster {

    namespace {

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

    } // namespace

    // Indexed by the style's ordinal: solid, dash, dot, dash-dot, dash-dot-dot; the other styles
    // are drawn solid.
    const PenPattern& patternFor(TPenStyle style)
    {
        static const std::array<PenPattern, 5> patterns = [] {
            std::array<PenPattern, 5> made {};
            for (size_t i = 1; i < made.size(); ++i)
                made[i] = makePattern(PenPatternRuns(TPenStyle(i)));
            return made;
        }();
        const auto index = static_cast<size_t>(style);
        return index < patterns.size() ? patterns[index] : patterns[0];
    }

    PenSink::PenSink(QImage& image, const TSurfacePen& pen, Box figureBounds, bool collect)
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

    void PenSink::flush()
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

    // The union of the squares of the gathered pixels, written row by row. The square of the
    // pixel at (x, y) covers columns x - a .. x - a + w - 1 and the rows likewise, a = (w - 1) / 2.
    // Each row of pixels becomes a row of disjoint spans, equal neighbouring rows a band; output
    // row r is the union of the bands within w - 1 - a rows above it and a rows below.
    void PenSink::writeSquares()
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

    void PenSink::writeSpan(int64_t y, int64_t left, int64_t right)
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

    // A marker's shape is decided pixel by pixel on its box, by distances from the centre pixel in
    // whole pixels, so that it is symmetric about the centre. An outline keeps the interior pixels
    // whose city-block distance to the outside is at most the stroke; two passes over the box find
    // that distance exactly.
    std::vector<MarkSpan> markSpans(const TSurfaceMark& mark)
    {
        const int64_t h = (std::max(mark.Size, 1) - 1) / 2, side = 2 * h + 1;
        const int64_t half = std::max(mark.Stroke, 1) / 2;
        auto inside = [&](int64_t dx, int64_t dy) {
            const int64_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
            switch (mark.Shape) {
            case TMarkShape::Dot:
            case TMarkShape::Square:
                return true;
            case TMarkShape::Circle:
                return ax * ax + ay * ay <= h * h + h;
            case TMarkShape::Diamond:
                return ax + ay <= h;
            case TMarkShape::Triangle:
                return 2 * ax <= dy + h;
            case TMarkShape::Cross:
                return (ax > ay ? ax - ay : ay - ax) <= half;
            case TMarkShape::Plus:
                return ax <= half || ay <= half;
            case TMarkShape::Star:
                return (ax > ay ? ax - ay : ay - ax) <= half || ax <= half || ay <= half;
            }
            return false;
        };
        std::vector<uint8_t> mask(size_t(side * side));
        for (int64_t y = 0; y < side; ++y)
            for (int64_t x = 0; x < side; ++x)
                mask[size_t(y * side + x)] = inside(x - h, y - h) ? 1 : 0;
        const bool outlined = !mark.Filled
            && (mark.Shape == TMarkShape::Circle || mark.Shape == TMarkShape::Square
                || mark.Shape == TMarkShape::Diamond || mark.Shape == TMarkShape::Triangle);
        if (outlined) {
            // Distance to the nearest pixel outside, the box's surroundings counting as outside.
            std::vector<int64_t> distance(mask.size());
            auto at = [&](int64_t x, int64_t y) -> int64_t {
                if (x < 0 || y < 0 || x >= side || y >= side)
                    return 0;
                return distance[size_t(y * side + x)];
            };
            for (int64_t y = 0; y < side; ++y)
                for (int64_t x = 0; x < side; ++x)
                    distance[size_t(y * side + x)]
                        = mask[size_t(y * side + x)] ? std::min(at(x - 1, y), at(x, y - 1)) + 1 : 0;
            for (int64_t y = side - 1; y >= 0; --y)
                for (int64_t x = side - 1; x >= 0; --x) {
                    int64_t& d = distance[size_t(y * side + x)];
                    d = std::min(d, std::min(at(x + 1, y), at(x, y + 1)) + 1);
                }
            const int64_t stroke = std::max(mark.Stroke, 1);
            for (size_t i = 0; i < mask.size(); ++i)
                mask[i] = mask[i] && distance[i] <= stroke;
        }
        std::vector<MarkSpan> spans;
        for (int64_t y = 0; y < side; ++y) {
            for (int64_t x = 0; x < side; ++x) {
                if (!mask[size_t(y * side + x)])
                    continue;
                int64_t end = x;
                while (end + 1 < side && mask[size_t(y * side + end + 1)])
                    ++end;
                spans.push_back(MarkSpan { int32_t(y - h), int32_t(x - h), int32_t(end - h) });
                x = end;
            }
        }
        return spans;
    }

    SectorRows::SectorRows(const TSector& sector, int64_t left, int64_t right)
        : m_sector(sector)
        , m_edges(sector)
        , m_outer2(sector.Outer * sector.Outer)
        , m_inner2(sector.Inner * sector.Inner)
        , m_left(left)
        , m_right(right)
        , m_checkEnds(!(sector.Outer < 1e6 && std::fabs(sector.CenterX) < 1e6
              && std::fabs(sector.CenterY) < 1e6))
    {
        // The first edge's side: -ay * dx + ax * dy >= 0; the second's: by * dx - bx * dy >= 0.
        m_firstSign = m_edges.ay < 0 ? 1 : m_edges.ay > 0 ? -1 : 0;
        m_firstSlope = m_edges.ay != 0 ? m_edges.ax / m_edges.ay : 0;
        m_secondSign = m_edges.by > 0 ? 1 : m_edges.by < 0 ? -1 : 0;
        m_secondSlope = m_edges.by != 0 ? m_edges.bx / m_edges.by : 0;
        // The rows between the highest and the lowest point: the edges' ends, and the outer arc's
        // top and bottom where the sweep passes them.
        constexpr double turn = 2 * std::numbers::pi;
        double high = sector.CenterY - sector.Outer, low = sector.CenterY + sector.Outer;
        if (!m_edges.whole) {
            const double firstSine = std::sin(sector.Start);
            const double secondSine = std::sin(sector.Start + sector.Sweep);
            high = low = sector.CenterY;
            for (const double radius : { sector.Inner, sector.Outer })
                for (const double sine : { firstSine, secondSine }) {
                    high = std::min(high, sector.CenterY + radius * sine);
                    low = std::max(low, sector.CenterY + radius * sine);
                }
            auto swept = [&](double direction) {
                double along = std::fmod(direction - sector.Start, turn);
                if (along < 0)
                    along += turn;
                return along <= sector.Sweep;
            };
            if (swept(std::numbers::pi / 2))
                low = sector.CenterY + sector.Outer;
            if (swept(3 * std::numbers::pi / 2))
                high = sector.CenterY - sector.Outer;
        }
        constexpr double limit = 4e18;
        const double top = std::floor(high) - 1;
        const double bottom = std::ceil(low) + 1;
        m_top = static_cast<int64_t>(std::clamp(top, -limit, limit));
        m_bottom = static_cast<int64_t>(std::clamp(bottom, -limit, limit));
        if (!(sector.Outer >= 0) || !std::isfinite(sector.CenterX) || !std::isfinite(sector.CenterY)
            || !std::isfinite(sector.Outer) || !(sector.Sweep >= 0)) {
            m_top = 1;
            m_bottom = 0;
        }
    }

} // namespace raster

} // namespace znq
