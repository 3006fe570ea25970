// The raster surface: the canvas's exact pixel rules in the device pixels of an RGB32 image.
#include "znq_rasterize.h"

#include <QPainter>

#include <bit>
#include <limits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace znq {

using namespace raster;

namespace {

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

    // In this file, with its callers: inlined into them, the line set-up leaves their hot loops
    // their registers.
    // Bresenham's line from (x0, y0) towards (x1, y1), end point left out. Pixel i along the major
    // axis sits at minor offset floor((2 i minor + major - 1) / (2 major)), which is the classic
    // stepping with ties kept on the starting row. Only the pixels inside the sink's clip box are
    // visited: the first and last visible steps are solved for directly, so lines with far-away end
    // points cost no more than their visible part.
    inline void lineSegment(LineRaster& raster, int32_t x0, int32_t y0, int32_t x1, int32_t y1)
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

    // A ring's fill, with its squared radii.
    struct RingFill {
        double inner2, outer2;
        uint32_t rgb, alpha;
        const Blender* blend;
        bool shown;
        // Whether the ring is a few pixels wide: its runs are found from its circle, those of a
        // thinner one pixel by pixel, which costs less for the pixel or two it has on most rows.
        bool wide;
    };

    // A run of a ring's pixels on row y, from column x0 to x1, and the index of the ring's fill.
    struct RingRun {
        int32_t y, x0, x1;
        uint32_t fill;
    };

    // The bits of a stack of rings and of the image they are filled on.
    using RingsKey = std::vector<uint64_t>;
    struct RingsKeyHash {
        size_t operator()(const RingsKey& key) const
        {
            uint64_t hash = 0xcbf29ce484222325u;
            for (const uint64_t word : key)
                hash = (hash ^ word) * 0x100000001b3u;
            return size_t(hash ^ (hash >> 29));
        }
    };
    // Where the colours and alphas of a stack's fills (in increasing order of radii), and the runs
    // it filled, lie among the kept ones.
    struct RingsRecord {
        size_t fills, fillCount, runs, runCount;
    };
} // namespace

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
    void FillPolygon(std::span<const TPoint> points, TColor color, double opacity,
        std::span<const TPoint> clip) override;
    void Marks(std::span<const TPoint> centres, std::span<const TColor> colors,
        const TSurfaceMark& mark) override;
    void FillSector(const TSector& sector, TColor color, double opacity) override;
    void FillSectorRings(const TSector& sector, std::span<const TSectorRing> rings) override;
    void Text(TSurfaceText& text) override;
    void Draw(TPoint at, QSize size, const QImage& image, TCopyMode mode) override;
    void DrawBlended(TPoint at, QSize size, const QImage& image, double opacity) override;
    void DrawTranslucent(TPoint at, QRectF area, const QImage& image) override;
    TColor Pixel(int32_t x, int32_t y) const override;
    void EndPainting() override { m_painter.reset(); }

private:
    Box wholeImage() const { return Box { 0, 0, m_image->width() - 1, m_image->height() - 1 }; }
    // The pixels of a box from (x1, y1) to (x2 - 1, y2 - 1); none when it or the image is empty.
    std::optional<Box> figureBox(int32_t x1, int32_t y1, int32_t x2, int32_t y2) const
    {
        const Box box { std::min(x1, x2), std::min(y1, y2), int64_t(std::max(x1, x2)) - 1,
            int64_t(std::max(y1, y2)) - 1 };
        if (box.empty() || wholeImage().empty())
            return std::nullopt;
        return box;
    }
    // The pixels of the polygon's interior row by row: run(y, x0, x1) for each span, clipped.
    template <typename Run>
    void interiorSpans(std::span<const TPoint> points, const Box& rows, Run run) const;
    // interiorSpans for a polygon of many edges: each edge toggles the parity at its crossings in
    // a band of rows, and a sweep along each row turns the parity into spans.
    template <typename Run>
    void manyEdgeSpans(std::span<const TPoint> points, const Box& rows, Run run) const;
    // The part of the image that an image placed at `at` covers, or an empty box.
    Box drawBox(TPoint at, const QImage& source) const;

    QImage* m_image;
    // The blends of colours at opacities, kept for later fills: many small figures share a few.
    // A fill makes room for the blends it needs before it takes any, so that the references it
    // holds stay valid until it ends.
    void makeRoomForBlenders(size_t count)
    {
        if (m_blenders.size() + count > maxBlenders)
            m_blenders.clear();
    }
    const Blender& blender(uint32_t rgb, uint32_t alpha)
    {
        return m_blenders.try_emplace((uint64_t(rgb) << 8) | alpha, rgb, alpha).first->second;
    }
    static constexpr size_t maxBlenders = 256;
    std::unordered_map<uint64_t, Blender> m_blenders;
    // The fills of the last stack of rings, kept for the next.
    std::vector<RingFill> m_ringFills;
    // The runs of the stacks of rings filled lately, kept by their rings and the image's size:
    // a chart repainted with the same wedges in the same view fills them again without working
    // out a row. At most maxRingRuns runs (16 bytes each, 2 MB) and as many fills are kept, and
    // the hashes of at most maxRingsSeen stacks, whose runs are kept when they come again.
    RingsKey ringsKey(const TSector& sector, std::span<const TSectorRing> rings) const;
    bool replayRings(const RingsKey& key);
    void keepRings(RingsKey&& key, const RingsRecord& record);
    static constexpr size_t maxRingRuns = size_t(1) << 17, maxRingsSeen = 8192;
    std::unordered_map<RingsKey, RingsRecord, RingsKeyHash> m_ringRecords;
    std::vector<RingRun> m_ringRuns;
    std::vector<std::pair<uint32_t, uint32_t>> m_ringColors;
    std::vector<const Blender*> m_ringBlends;
    // The hashes of the stacks of rings filled lately.
    std::unordered_set<size_t> m_ringsSeen;
    // The pixels of the last marker drawn, kept for the next call.
    std::optional<TSurfaceMark> m_markKey;
    std::vector<MarkSpan> m_markSpans;
    // Text is drawn through a painter that stays open on the image between text operations,
    // with the font and colour it was last given: setting them again costs more than comparing.
    std::unique_ptr<QPainter> m_painter;
    std::optional<QFont> m_painterFont;
    std::optional<TColor> m_painterColor;
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
    // The figure's bounds matter only to a sink that collects the stroke, which this one does not.
    PenSink sink(*m_image, pen, Box { 0, 0, -1, -1 });
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

// The crossing of an edge from a to b with the middle of row y, and the first pixel whose centre
// lies at or right of it.
namespace {
    inline double rowCrossing(const TPoint& a, const TPoint& b, double sampleY)
    {
        const double ya = a.y, yb = b.y;
        return a.x + (sampleY - ya) * (double(b.x) - a.x) / (yb - ya);
    }
} // namespace

template <typename Run>
void TRasterSurface::interiorSpans(std::span<const TPoint> points, const Box& rows, Run run) const
{
    // Every row looks at every edge: cheap for the few edges of a box or a label, not for a curve.
    constexpr size_t fewEdges = 32;
    if (points.size() > fewEdges) {
        manyEdgeSpans(points, rows, run);
        return;
    }
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
                crossings.push_back(rowCrossing(a, b, sampleY));
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

// A pixel is inside when an odd number of crossings lie left of its centre: the same pixels as
// the sorted crossings paired off, found in time that grows with the crossings and the area
// rather than with rows times edges. Edges are bucketed by the band of rows where they start;
// the bands keep the parity grid within a few megabytes whatever the size of the picture.
template <typename Run>
void TRasterSurface::manyEdgeSpans(std::span<const TPoint> points, const Box& rows, Run run) const
{
    if (rows.empty())
        return;
    const int64_t width = rows.right - rows.left + 1;
    const int64_t bandRows = std::clamp<int64_t>((int64_t(1) << 22) / (width + 1), 1, 1024);
    const int64_t bandCount = (rows.bottom - rows.top) / bandRows + 1;
    struct Edge {
        uint32_t index; // the edge from points[index] to the next point
        int64_t first, last; // the rows whose middle it crosses, within rows
    };
    std::vector<Edge> edges;
    std::vector<uint32_t> perBand(size_t(bandCount) + 1);
    for (size_t i = 0; i < points.size(); ++i) {
        const TPoint& a = points[i];
        const TPoint& b = points[(i + 1) % points.size()];
        if (a.y == b.y)
            continue;
        // Rows y with low <= y + 0.5 < high.
        const int64_t first = std::max<int64_t>(std::min(a.y, b.y), rows.top);
        const int64_t last = std::min<int64_t>(int64_t(std::max(a.y, b.y)) - 1, rows.bottom);
        if (first > last)
            continue;
        edges.push_back(Edge { uint32_t(i), first, last });
        ++perBand[size_t((first - rows.top) / bandRows) + 1];
    }
    for (size_t band = 1; band < perBand.size(); ++band)
        perBand[band] += perBand[band - 1];
    std::vector<uint32_t> byBand(edges.size());
    {
        std::vector<uint32_t> next(perBand.begin(), perBand.end() - 1);
        for (size_t e = 0; e < edges.size(); ++e)
            byBand[next[size_t((edges[e].first - rows.top) / bandRows)]++] = uint32_t(e);
    }
    const size_t stride = size_t(width) + 1;
    std::vector<uint8_t> parity;
    std::vector<uint32_t> active;
    for (int64_t band = 0; band < bandCount; ++band) {
        const int64_t top = rows.top + band * bandRows;
        const int64_t bottom = std::min(rows.bottom, top + bandRows - 1);
        active.insert(active.end(), byBand.begin() + perBand[size_t(band)],
            byBand.begin() + perBand[size_t(band) + 1]);
        parity.assign(size_t(bottom - top + 1) * stride, 0);
        size_t kept = 0;
        for (const uint32_t e : active) {
            const Edge& edge = edges[e];
            const TPoint& a = points[edge.index];
            const TPoint& b = points[(edge.index + 1) % points.size()];
            const int64_t to = std::min(edge.last, bottom);
            for (int64_t y = std::max(edge.first, top); y <= to; ++y) {
                const double from
                    = std::ceil(rowCrossing(a, b, static_cast<double>(y) + 0.5) - 0.5);
                if (from > double(rows.right))
                    continue;
                const int64_t column = from <= double(rows.left) ? 0 : int64_t(from) - rows.left;
                parity[size_t(y - top) * stride + size_t(column)] ^= 1;
            }
            if (edge.last > bottom)
                active[kept++] = e;
        }
        active.resize(kept);
        for (int64_t y = top; y <= bottom; ++y) {
            const uint8_t* row = parity.data() + size_t(y - top) * stride;
            uint8_t in = 0;
            int64_t start = 0;
            for (int64_t x = 0; x < width; ++x) {
                if (!row[x])
                    continue;
                in ^= 1;
                if (in)
                    start = x;
                else
                    run(y, rows.left + start, rows.left + x - 1);
            }
            if (in)
                run(y, rows.left + start, rows.right);
        }
    }
}

void TRasterSurface::Polygon(
    const TSurfacePen& pen, const TSurfaceBrush& brush, std::span<const TPoint> points)
{
    if (points.empty())
        return;
    const bool outline = pen.Style != TPenStyle::psClear;
    const Box bounds = boundsOf(points);
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
    const std::optional<Box> figure = figureBox(x1, y1, x2, y2);
    if (!figure)
        return;
    const auto [left, top, right, bottom] = *figure;
    const Box imageBox = wholeImage();
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
    // A solid one-pixel pen writes the visible pixels straight into the image.
    const PenSink::Direct direct = solid ? sink.direct() : PenSink::Direct {};
    const uint32_t xorMask = direct.rgb & 0x00FFFFFFu;
    auto plot = [&sink, &pattern, solid, stretch, direct, xorMask](
                    int64_t x, int64_t y, int64_t position) {
        if (direct.bits) {
            uint32_t* pixel = direct.bits + y * direct.stride + x;
            *pixel = direct.xorMode ? *pixel ^ xorMask : direct.rgb;
            return;
        }
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
    const std::optional<Box> figure = figureBox(x1, y1, x2, y2);
    if (!figure)
        return;
    const auto [left, top, right, bottom] = *figure;
    const Box imageBox = wholeImage();
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
    // A solid one-pixel pen that copies writes its runs straight into the image.
    const PenSink::Direct direct = sink.direct();
    const bool solidRuns = solid && direct.bits && !direct.xorMode;
    auto outlineRun = [&](int64_t y, int64_t from, int64_t to) {
        from = std::max(from, clip.left);
        to = std::min(to, clip.right);
        if (solidRuns) {
            if (from <= to)
                std::fill(direct.bits + y * direct.stride + from,
                    direct.bits + y * direct.stride + to + 1, direct.rgb);
            return;
        }
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
    if (yFirst > yLast)
        return;
    // The spans of the rows from the one above the first to the one below the last. A row
    // mirrored about the middle has the same span (its offset from the middle only changes
    // sign): the lower half copies the upper one where that is among them.
    static thread_local std::vector<std::pair<int64_t, int64_t>> spans;
    spans.resize(size_t(yLast - yFirst + 3));
    for (int64_t y = yFirst - 1; y <= yLast + 1; ++y) {
        const int64_t mirror = top + bottom - y;
        spans[size_t(y - yFirst + 1)] = mirror >= yFirst - 1 && mirror < y
            ? spans[size_t(mirror - yFirst + 1)]
            : rows.span(y);
    }
    for (int64_t y = yFirst; y <= yLast; ++y) {
        const auto up = spans[size_t(y - yFirst)], down = spans[size_t(y - yFirst + 2)];
        const auto [lo, hi] = spans[size_t(y - yFirst + 1)];
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

void TRasterSurface::FillPolygon(
    std::span<const TPoint> points, TColor color, double opacity, std::span<const TPoint> clip)
{
    const uint32_t alpha = alphaOf(opacity);
    if (points.size() < 3 || alpha == 0 || wholeImage().empty())
        return;
    Box rows = intersect(wholeImage(), boundsOf(points));
    // The clip's spans by row, within the rows of the figure.
    std::vector<std::vector<std::pair<int64_t, int64_t>>> allowed;
    if (!clip.empty()) {
        if (clip.size() < 3)
            return;
        rows = intersect(rows, boundsOf(clip));
        if (rows.empty())
            return;
        allowed.resize(size_t(rows.bottom - rows.top + 1));
        interiorSpans(clip, rows, [&](int64_t y, int64_t x0, int64_t x1) {
            allowed[size_t(y - rows.top)].emplace_back(x0, x1);
        });
    }
    makeRoomForBlenders(1);
    const Blender& blend = blender(ColorToRGB(color), alpha);
    auto* bits = reinterpret_cast<uint32_t*>(m_image->bits());
    const int64_t stride = m_image->bytesPerLine() / 4;
    auto fill = [&](int64_t y, int64_t x0, int64_t x1) {
        uint32_t* line = bits + y * stride;
        for (int64_t x = x0; x <= x1; ++x)
            line[x] = blend(line[x]);
    };
    interiorSpans(points, rows, [&](int64_t y, int64_t x0, int64_t x1) {
        if (allowed.empty()) {
            fill(y, x0, x1);
            return;
        }
        for (const auto& [from, to] : allowed[size_t(y - rows.top)])
            if (std::max(from, x0) <= std::min(to, x1))
                fill(y, std::max(from, x0), std::min(to, x1));
    });
}

void TRasterSurface::FillSector(const TSector& sector, TColor color, double opacity)
{
    const uint32_t alpha = alphaOf(opacity);
    const Box image = wholeImage();
    if (alpha == 0 || image.empty())
        return;
    const SectorRows rows(sector, image.left, image.right);
    const uint32_t rgb = ColorToRGB(color);
    makeRoomForBlenders(1);
    const Blender* blend = alpha == 255 ? nullptr : &blender(rgb, alpha);
    auto* bits = reinterpret_cast<uint32_t*>(m_image->bits());
    const int64_t stride = m_image->bytesPerLine() / 4;
    std::pair<int64_t, int64_t> spans[4];
    for (int64_t y = std::max(rows.top(), image.top); y <= std::min(rows.bottom(), image.bottom);
         ++y) {
        const int n = rows.row(y, spans);
        uint32_t* line = bits + y * stride;
        for (int i = 0; i < n; ++i) {
            const int64_t x0 = std::max(spans[i].first, image.left);
            const int64_t x1 = std::min(spans[i].second, image.right);
            if (x0 > x1)
                continue;
            if (!blend)
                std::fill(line + x0, line + x1 + 1, rgb);
            else
                for (int64_t x = x0; x <= x1; ++x)
                    line[x] = (*blend)(line[x]);
        }
    }
}

namespace {
    // One row of a stack of rings, in increasing order of radii: its pixels are walked from the
    // centre's column outwards (Step +1 to the right, -1 to the left), along which the squared
    // distance of their centres never falls.
    struct RingRow {
        const std::vector<RingFill>& fills;
        uint32_t* line;
        double cx, dy2;
        // Whether the rings were given outwards: a pixel of two rings gets their fills in order.
        bool outwards;
        // The runs filled, in order, kept for the next paint of the same rings.
        std::vector<RingRun>* record;
        int32_t y;

        double distance2(int64_t x) const
        {
            const double dx = double(x) - cx;
            return dx * dx + dy2;
        }
        // The farthest column from x towards last whose squared distance stays below the bound
        // (or at it, when inclusive), x's own being known to: where the bound's circle crosses
        // the row, exact as it is unless it falls within a hair of a pixel's centre, where the
        // rule decides.
        template <int Step>
        int64_t runEnd(int64_t x, int64_t last, double bound, bool inclusive) const
        {
            constexpr double hair = 1e-6;
            const double crossing = cx + Step * std::sqrt(bound - dy2);
            const double below = floorOf(crossing);
            const double fraction = crossing - below;
            const double column = Step > 0 || fraction == 0 ? below : below + 1;
            // Within the row's columns, which hold at most a few thousand pixels.
            int64_t end = Step > 0 ? (column < double(last) ? int64_t(column) : last)
                                   : (column > double(last) ? int64_t(column) : last);
            end = Step > 0 ? std::max(end, x) : std::min(end, x);
            if (fraction < hair || fraction > 1 - hair) {
                const auto within = [&](int64_t at) {
                    const double d2 = distance2(at);
                    return inclusive ? d2 <= bound : d2 < bound;
                };
                while (end != last && within(end + Step))
                    end += Step;
                while (end != x && !within(end))
                    end -= Step;
            }
            return end;
        }
        void paint(uint32_t* pixel, const RingFill& fill) const
        {
            if (fill.shown) {
                *pixel = fill.blend ? (*fill.blend)(*pixel) : fill.rgb;
                keep(pixel, pixel, fill);
            }
        }
        void keep(const uint32_t* from, const uint32_t* to, const RingFill& fill) const
        {
            if (record)
                record->push_back(RingRun {
                    y, int32_t(from - line), int32_t(to - line), uint32_t(&fill - fills.data()) });
        }
        // Walks x .. last from ring s, the first that reaches x; returns the last ring reached.
        template <int Step> size_t walk(int64_t x, int64_t last, size_t s) const
        {
            const size_t n = fills.size();
            for (;;) {
                const double d2 = distance2(x);
                while (s < n && fills[s].outer2 < d2)
                    ++s;
                if (s == n)
                    return n - 1;
                const RingFill& fill = fills[s];
                if (fill.inner2 > d2) {
                    // Between two rings: on to the next one's first pixel.
                    x = runEnd<Step>(x, last, fill.inner2, false);
                } else if (s + 1 == n || fills[s + 1].inner2 > d2) {
                    const bool touching = s + 1 < n && fills[s + 1].inner2 <= fill.outer2;
                    const int64_t end
                        = fill.wide ? runEnd<Step>(x, last, fill.outer2, !touching) : x;
                    if (fill.shown) {
                        uint32_t* from = line + (Step > 0 ? x : end);
                        uint32_t* to = line + (Step > 0 ? end : x) + 1;
                        if (!fill.blend)
                            std::fill(from, to, fill.rgb);
                        else
                            for (uint32_t* pixel = from; pixel != to; ++pixel)
                                *pixel = (*fill.blend)(*pixel);
                        keep(from, to - 1, fill);
                    }
                    x = end;
                } else {
                    // On the circle between rings: each of them fills it, in the rings' order.
                    size_t end = s + 1;
                    while (end < n && fills[end].inner2 <= d2)
                        ++end;
                    if (outwards)
                        for (size_t t = s; t < end; ++t)
                            paint(line + x, fills[t]);
                    else
                        for (size_t t = end; t-- > s;)
                            paint(line + x, fills[t]);
                }
                if (x == last)
                    return s;
                x += Step;
            }
        }
    };
} // namespace

// Rings in order of their radii, outwards or inwards, each touching or apart from the next, are
// filled together: on each row the columns between the sector's edges are found once, and the
// pixels along them are handed to the rings by the squared distance of their centres, which
// grows away from the centre's column: a ring's run ends where its circle crosses the row. A
// pixel on the circle between two rings belongs to both, as it does to both sectors, and gets
// both fills in the rings' order. Other rings are filled one by one.
void TRasterSurface::FillSectorRings(const TSector& sector, std::span<const TSectorRing> rings)
{
    const Box image = wholeImage();
    const size_t n = rings.size();
    if (image.empty() || n == 0 || !std::isfinite(sector.CenterX) || !std::isfinite(sector.CenterY))
        return;
    bool outwards = true, inwards = true;
    for (size_t k = 0; k < n; ++k) {
        const TSectorRing& ring = rings[k];
        if (!(ring.Inner >= 0 && ring.Inner <= ring.Outer && ring.Outer < HUGE_VAL))
            outwards = inwards = false;
        else if (k > 0) {
            outwards = outwards && rings[k - 1].Outer <= ring.Inner;
            inwards = inwards && ring.Outer <= rings[k - 1].Inner;
        }
    }
    // Far from the origin, where the circles' last bits are worth more than a hair, and for more
    // rings than blends are kept, each ring is filled on its own.
    const double outermost = outwards ? rings[n - 1].Outer : rings[0].Outer;
    const bool near
        = outermost < 1e6 && std::fabs(sector.CenterX) < 1e6 && std::fabs(sector.CenterY) < 1e6;
    if ((!outwards && !inwards) || !near || n > maxBlenders) {
        TSurface::FillSectorRings(sector, rings);
        return;
    }
    // The same rings over the same image as in an earlier call fill the same runs again.
    RingsKey key = ringsKey(sector, rings);
    if (replayRings(key))
        return;
    // The fills in increasing order of radii.
    makeRoomForBlenders(n);
    std::vector<RingFill>& fills = m_ringFills;
    fills.resize(n);
    for (size_t s = 0; s < n; ++s) {
        const TSectorRing& ring = rings[outwards ? s : n - 1 - s];
        const TSectorRing* before = s > 0 ? &rings[outwards ? s - 1 : n - s] : nullptr;
        RingFill& fill = fills[s];
        // Rings of one colour and opacity, as in a stack of one class, share their fill.
        if (before && before->Color == ring.Color && before->Opacity == ring.Opacity) {
            fill = fills[s - 1];
        } else {
            fill.rgb = ColorToRGB(ring.Color);
            fill.alpha = alphaOf(ring.Opacity);
            fill.shown = fill.alpha > 0;
            fill.blend = fill.shown && fill.alpha < 255 ? &blender(fill.rgb, fill.alpha) : nullptr;
        }
        fill.inner2 = ring.Inner * ring.Inner;
        fill.outer2 = ring.Outer * ring.Outer;
        fill.wide = ring.Outer - ring.Inner >= 4;
    }
    TSector whole = sector;
    whole.Inner = rings[outwards ? 0 : n - 1].Inner;
    whole.Outer = outermost;
    const SectorRows rows(whole, image.left, image.right);
    auto* bits = reinterpret_cast<uint32_t*>(m_image->bits());
    const int64_t stride = m_image->bytesPerLine() / 4;
    // The first column at or right of the centre: the squared distance falls up to it and grows
    // from it.
    const int64_t middle = static_cast<int64_t>(
        std::clamp(std::ceil(sector.CenterX), double(image.left), double(image.right) + 1));
    // A sweep of at most half a turn has one interval of columns between its edges on each row,
    // and the walk along it finds the rings' circles; others take the rows of the whole sector.
    const bool convex = rows.convex();
    // The runs are kept from the second fill of the same rings on: a view that changes with every
    // paint keeps nothing.
    if (m_ringsSeen.size() > maxRingsSeen)
        m_ringsSeen.clear();
    const bool keeping = !m_ringsSeen.insert(RingsKeyHash()(key)).second;
    const RingsRecord kept { m_ringColors.size(), n, m_ringRuns.size(), 0 };
    if (keeping)
        for (const RingFill& fill : fills)
            m_ringColors.emplace_back(fill.rgb, fill.alpha);
    std::vector<RingRun>* runs = keeping ? &m_ringRuns : nullptr;
    // Where the last row's walks in each direction ended: the first ring of the next row's is
    // looked for from there, as it moves by a ring or so from row to row.
    size_t firstRing[2] = { 0, 0 };
    std::pair<int64_t, int64_t> spans[4];
    for (int64_t y = std::max(rows.top(), image.top); y <= std::min(rows.bottom(), image.bottom);
         ++y) {
        int count = 0;
        if (convex) {
            int64_t from = 0, to = 0;
            if (rows.between(y, from, to))
                spans[count++] = { from, to };
        } else {
            count = rows.row(y, spans);
        }
        if (count == 0)
            continue;
        const double dy = double(y) - sector.CenterY;
        const RingRow row { fills, bits + y * stride, sector.CenterX, dy * dy, outwards, runs,
            int32_t(y) };
        const auto first = [&](size_t s, int64_t x) {
            const double d2 = row.distance2(x);
            while (s > 0 && fills[s - 1].outer2 >= d2)
                --s;
            return s;
        };
        for (int i = 0; i < count; ++i) {
            const int64_t x0 = std::max(spans[i].first, image.left);
            const int64_t x1 = std::min(spans[i].second, image.right);
            if (x0 > x1)
                continue;
            if (x0 < middle) {
                const int64_t x = std::min(x1, middle - 1);
                firstRing[0] = row.walk<-1>(x, x0, first(firstRing[0], x));
            }
            if (x1 >= middle) {
                const int64_t x = std::max(x0, middle);
                firstRing[1] = row.walk<1>(x, x1, first(firstRing[1], x));
            }
        }
    }
    if (keeping)
        keepRings(std::move(key), kept);
}

RingsKey TRasterSurface::ringsKey(const TSector& sector, std::span<const TSectorRing> rings) const
{
    RingsKey key;
    key.reserve(8 + 4 * rings.size());
    for (const double value :
        { sector.CenterX, sector.CenterY, sector.Inner, sector.Outer, sector.Start, sector.Sweep })
        key.push_back(std::bit_cast<uint64_t>(value));
    key.push_back(uint64_t(m_image->width()) << 32 | uint32_t(m_image->height()));
    key.push_back(uint64_t(m_image->bytesPerLine()));
    for (const TSectorRing& ring : rings) {
        key.push_back(std::bit_cast<uint64_t>(ring.Inner));
        key.push_back(std::bit_cast<uint64_t>(ring.Outer));
        key.push_back(uint64_t(uint32_t(ring.Color)));
        key.push_back(std::bit_cast<uint64_t>(ring.Opacity));
    }
    return key;
}

bool TRasterSurface::replayRings(const RingsKey& key)
{
    const auto found = m_ringRecords.find(key);
    if (found == m_ringRecords.end())
        return false;
    const RingsRecord& record = found->second;
    const auto* colors = &m_ringColors[record.fills];
    makeRoomForBlenders(record.fillCount);
    std::vector<const Blender*>& blends = m_ringBlends;
    blends.clear();
    for (size_t k = 0; k < record.fillCount; ++k) {
        const auto [rgb, alpha] = colors[k];
        blends.push_back(alpha > 0 && alpha < 255 ? &blender(rgb, alpha) : nullptr);
    }
    auto* bits = reinterpret_cast<uint32_t*>(m_image->bits());
    const int64_t stride = m_image->bytesPerLine() / 4;
    for (const RingRun& run : std::span(m_ringRuns).subspan(record.runs, record.runCount)) {
        uint32_t* line = bits + run.y * stride;
        if (const Blender* blend = blends[run.fill])
            for (uint32_t* pixel = line + run.x0; pixel <= line + run.x1; ++pixel)
                *pixel = (*blend)(*pixel);
        else
            std::fill(line + run.x0, line + run.x1 + 1, colors[run.fill].first);
    }
    return true;
}

// The runs just filled, and their fills' colours, were appended to the kept ones. When all of
// them are more than may be kept, the others are dropped (and the new ones moved to the front);
// when the new ones alone are, they are dropped too. The arrays keep their room.
void TRasterSurface::keepRings(RingsKey&& key, const RingsRecord& record)
{
    const size_t count = m_ringRuns.size() - record.runs;
    if (count > maxRingRuns || record.fillCount > maxRingRuns) {
        m_ringRuns.resize(record.runs);
        m_ringColors.resize(record.fills);
        return;
    }
    RingsRecord kept { record.fills, record.fillCount, record.runs, count };
    if (m_ringRuns.size() > maxRingRuns || m_ringColors.size() > maxRingRuns) {
        m_ringRecords.clear();
        std::copy(m_ringRuns.begin() + record.runs, m_ringRuns.end(), m_ringRuns.begin());
        std::copy(m_ringColors.begin() + record.fills, m_ringColors.end(), m_ringColors.begin());
        m_ringRuns.resize(count);
        m_ringColors.resize(record.fillCount);
        kept = RingsRecord { 0, record.fillCount, 0, count };
    }
    m_ringRecords.insert_or_assign(std::move(key), kept);
}

// A marker on the pixel and in the colour of the one before covers the same pixels again: it is
// left out, which spares the many markers of a dense curve.
void TRasterSurface::Marks(
    std::span<const TPoint> centres, std::span<const TColor> colors, const TSurfaceMark& mark)
{
    const Box image = wholeImage();
    if (image.empty() || centres.empty() || colors.empty())
        return;
    if (m_markKey != mark) {
        m_markSpans = markSpans(mark);
        m_markKey = mark;
    }
    const int64_t h = (mark.Size - 1) / 2;
    auto* bits = reinterpret_cast<uint32_t*>(m_image->bits());
    const int64_t stride = m_image->bytesPerLine() / 4;
    const bool oneColor = colors.size() == 1;
    uint32_t rgb = ColorToRGB(colors[0]);
    TColor lastColor = colors[0];
    std::optional<TPoint> last;
    for (size_t i = 0; i < centres.size(); ++i) {
        const TPoint c = centres[i];
        if (!oneColor && colors[i] != lastColor) {
            lastColor = colors[i];
            rgb = ColorToRGB(lastColor);
            last.reset();
        }
        if (last == c)
            continue;
        last = c;
        const int64_t x = c.x, y = c.y;
        if (x + h < 0 || y + h < 0 || x - h > image.right || y - h > image.bottom)
            continue;
        const bool whole
            = x - h >= 0 && y - h >= 0 && x + h <= image.right && y + h <= image.bottom;
        for (const MarkSpan& span : m_markSpans) {
            const int64_t row = y + span.dy;
            int64_t left = x + span.left, right = x + span.right;
            if (!whole) {
                if (row < 0 || row > image.bottom)
                    continue;
                left = std::max<int64_t>(left, 0);
                right = std::min(right, image.right);
                if (left > right)
                    continue;
            }
            uint32_t* line = bits + row * stride;
            std::fill(line + left, line + right + 1, rgb);
        }
    }
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
        m_painterFont.reset();
        m_painterColor.reset();
    }
    if (clip)
        m_painter->setClipRect(*clip);
    else
        m_painter->setClipping(false);
    if (const QFont& font = text.Font(); m_painterFont != font) {
        m_painter->setFont(font);
        m_painterFont = font;
    }
    if (m_painterColor != text.Color) {
        m_painter->setPen(ColorToQColor(text.Color));
        m_painterColor = text.Color;
    }
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

// Fully transparent pixels are left alone and opaque ones copied; the others blend by their alpha.
void TRasterSurface::DrawTranslucent(TPoint at, QRectF, const QImage& source)
{
    if (source.format() != QImage::Format_ARGB32)
        return;
    const Box target = drawBox(at, source);
    if (target.empty())
        return;
    const auto* sourceBits = reinterpret_cast<const uint32_t*>(source.constBits());
    auto* targetBits = reinterpret_cast<uint32_t*>(m_image->bits());
    const qsizetype sourceStride = source.bytesPerLine() / 4,
                    targetStride = m_image->bytesPerLine() / 4;
    const int64_t count = target.right - target.left + 1;
    const auto one = [](uint32_t& to, uint32_t from) {
        const uint32_t alpha = from >> 24;
        if (alpha == 255)
            to = from;
        else if (alpha != 0)
            to = blendPixel(to, from, alpha);
    };
    for (int64_t row = target.top; row <= target.bottom; ++row) {
        const uint32_t* from = sourceBits + (row - at.y) * sourceStride + (target.left - at.x);
        uint32_t* to = targetBits + row * targetStride + target.left;
        // Eight pixels at a time where all of them are opaque, or all transparent.
        constexpr int64_t block = 8;
        int64_t i = 0;
        for (; i + block <= count; i += block) {
            uint32_t all = 0xFFFFFFFFu, any = 0;
            for (int64_t k = 0; k < block; ++k) {
                all &= from[i + k];
                any |= from[i + k];
            }
            if (all >> 24 == 255)
                for (int64_t k = 0; k < block; ++k)
                    to[i + k] = from[i + k];
            else if (any >> 24 != 0)
                for (int64_t k = 0; k < block; ++k)
                    one(to[i + k], from[i + k]);
        }
        for (; i < count; ++i)
            one(to[i], from[i]);
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
