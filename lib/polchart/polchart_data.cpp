// The data layer: the stored elements as batched polylines, and the snap index collected from
// the same walk over the data.
#include "polchart_render.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <type_traits>
#include <vector>

namespace znq::layers {

namespace {

    // The pending polyline: up to MaxBatchPoints points starting at the current point. A full
    // batch is drawn and the next one starts at its last point, so consecutive batches share
    // their joint. A point on the pixel of the one before adds a line without pixels: it counts
    // towards the batch's length, which decides where a styled pen's pattern starts again, but
    // is not stored (a dense curve has many of them).
    class PolylineBatch {
    public:
        PolylineBatch(TCanvas& canvas, bool storeEvery)
            : m_canvas(canvas)
            , m_storeEvery(storeEvery)
        {
        }

        TPoint current() const { return m_current; }
        void moveTo(TPoint point)
        {
            flush();
            m_current = point;
            m_canvas.MoveTo(point.x, point.y);
        }

        void add(TPoint point)
        {
            if (m_count == 0) {
                m_points[m_count++] = m_current;
                m_length = 1;
            }
            if (m_count < 2 || point != m_points[size_t(m_count - 1)] || m_storeEvery)
                m_points[size_t(m_count++)] = point;
            if (++m_length == MaxBatchPoints) {
                flush();
                m_points[m_count++] = m_current;
                m_length = 1;
            }
        }

        void flush()
        {
            if (m_count == 0)
                return;
            m_canvas.Polyline(std::span<const TPoint>(m_points.data(), size_t(m_count)));
            m_current = m_points[size_t(m_count - 1)];
            m_canvas.MoveTo(m_current.x, m_current.y);
            m_count = 0;
        }

    private:
        TCanvas& m_canvas;
        bool m_storeEvery;
        std::array<TPoint, MaxBatchPoints> m_points {};
        int m_count = 0;
        // The points the batch stands for, the unstored ones included.
        int m_length = 0;
        TPoint m_current;
    };

} // namespace

namespace {

    // The pixels of one chunk of stored elements.
    void chunkPixels(const TpcTransform& transform, bool referenceDataPath,
        const TpcDataElement* elements, int32_t count, TPoint* out)
    {
        if (!referenceDataPath) {
            transform.DataPixels(elements, count, out);
            return;
        }
        for (int32_t i = 0; i < count; ++i) {
            out[i] = transform.PolarToPixel(elements[i].Rad, elements[i].Phi);
            ClipCoordinates(out[i].x, out[i].y);
        }
    }

} // namespace

namespace {

    // Walks the stored elements as the paint draws them, by chunks: gap() at an element without a
    // place (Rad or Phi not finite, or Rad of 0 or below on a logarithmic scale), start() where a
    // line starts (a move-to, or the first drawable element after a gap: resumed), line() at an
    // element a line is drawn to. Hidden classes are skipped.
    template <bool Logarithmic, typename Visitor>
    void walkData(const TpcRenderContext& context, Visitor& visitor)
    {
        // Copies the compiler may keep at hand: the visitor's writes cannot change them.
        const TpcTransform transform = context.Transform;
        const bool referencePath = context.ReferenceDataPath;
        const TpcDataStore& store = context.Store;
        // Slices of a store chunk small enough that the elements are still in the first-level
        // cache when the second loop reads them again.
        constexpr int32_t sliceSize = 1024;
        static_assert(TpcDataStore::ChunkSize % sliceSize == 0);
        std::vector<TPoint> pixels(size_t(std::min(store.Count(), sliceSize)));
        const std::array<bool, 256> visible = context.ClassVisible;
        ClearUpperVectorState();
        bool broken = false;
        for (int32_t start = 0; start < store.Count(); start += sliceSize) {
            const int32_t count = std::min(sliceSize, store.Count() - start);
            const TpcDataElement* elements = store.ChunkData(start / TpcDataStore::ChunkSize)
                + start % TpcDataStore::ChunkSize;
            chunkPixels(transform, referencePath, elements, count, pixels.data());
            for (int32_t i = 0; i < count; ++i) {
                const TpcDataElement& element = elements[i];
                if (!visible[element.ElemClass])
                    continue;
                if (!std::isfinite(element.Rad) || !std::isfinite(element.Phi)
                    || (Logarithmic && !(element.Rad > 0))) {
                    visitor.gap();
                    broken = true;
                    continue;
                }
                if (element.Kind == TpcElemKind::ekMoveTo || broken) {
                    visitor.start(start + i, element, pixels[size_t(i)], broken);
                    broken = false;
                    continue;
                }
                visitor.line(start + i, element, pixels[size_t(i)]);
            }
        }
    }

    // The logarithmic walk is a function of its own: inlined beside the linear one, it would take
    // registers and room from the linear walk's loop.
    template <typename Visitor>
    [[gnu::noinline]] void walkLogarithmic(const TpcRenderContext& context, Visitor& visitor)
    {
        walkData<true>(context, visitor);
    }

    template <typename Visitor> void walkData(const TpcRenderContext& context, Visitor& visitor)
    {
        if (context.Transform.Params().Logarithmic)
            walkLogarithmic(context, visitor);
        else
            walkData<false>(context, visitor);
    }

    // The polylines with their pens; when Clipped, cut to the view's region.
    template <bool Clipped> class DataPainter {
    public:
        DataPainter(const TpcRenderContext& context, TCanvas& canvas)
            : m_pen(canvas.Pen())
            , m_batch(canvas, context.ReferenceDataPath)
            , m_width(context.Style.LineWidth)
            , m_color(context.Style.ChartColor)
        {
            m_pen.SetWidth(m_width);
            m_batch.moveTo(TPoint { 0, 0 });
            if constexpr (Clipped) {
                // Data that starts with a line-to draws it from the pen's first place.
                m_clip.Region = &context.Transform.Region();
                m_clip.Convex = m_clip.Region->Convex();
                m_clip.PenAtLast = m_clip.Region->Contains(0, 0);
            }
            m_pen.SetColor(m_color);
            m_pen.SetStyle(m_style);
            canvas.Brush().SetColor(context.Style.ChartColor);
            canvas.Font().Assign(context.Font);
            canvas.Font().SetColor(context.Style.ChartColor);
        }

        void gap() { m_batch.flush(); }
        void start(int32_t, const TpcDataElement& element, TPoint point, bool)
        {
            width(element);
            if constexpr (Clipped) {
                m_clip.Last = point;
                m_clip.PenAtLast = m_clip.Region->Contains(point.x, point.y);
                if (!m_clip.PenAtLast) {
                    m_batch.flush();
                    return;
                }
            }
            m_batch.moveTo(point);
        }
        void line(int32_t, const TpcDataElement& element, TPoint point)
        {
            width(element);
            if (element.Color != m_color || element.PenStyle != m_style) {
                m_batch.flush();
                m_color = element.Color;
                m_style = element.PenStyle;
                m_pen.SetColor(m_color);
                m_pen.SetStyle(m_style);
            }
            if constexpr (Clipped) {
                clippedLine(point);
                return;
            }
            m_batch.add(point);
        }
        void finish()
        {
            m_batch.flush();
            m_pen.SetWidth(1);
        }

    private:
        // The parts of the line from the last point to point inside the region, each from its
        // cut with the region's edge. A line between two points inside a convex region (a sector
        // up to half a turn without a hole) stays inside and is drawn as it is.
        void clippedLine(TPoint point)
        {
            // A dense line has many points on the pixel of the one before: they are where it was.
            if (point == m_clip.Last) {
                if (m_clip.PenAtLast)
                    m_batch.add(point);
                return;
            }
            const TPoint from = m_clip.Last;
            const bool inside = m_clip.Region->Contains(point.x, point.y);
            m_clip.Last = point;
            if (inside && m_clip.PenAtLast && m_clip.Convex) {
                m_batch.add(point);
                return;
            }
            if (!inside && !m_clip.PenAtLast
                && m_clip.Region->Misses(from.x, from.y, point.x, point.y))
                return;
            double parts[3][2];
            const int count = m_clip.Region->Clip(from.x, from.y, point.x, point.y, parts);
            const double dx = double(point.x) - from.x, dy = double(point.y) - from.y;
            auto at = [&](double t) {
                return TPoint { geometry::RoundPixel(from.x + t * dx),
                    geometry::RoundPixel(from.y + t * dy) };
            };
            bool penAtEnd = false;
            for (int k = 0; k < count; ++k) {
                const bool fromStart = parts[k][0] == 0 && m_clip.PenAtLast;
                if (!fromStart)
                    m_batch.moveTo(at(parts[k][0]));
                const bool toEnd = parts[k][1] == 1;
                m_batch.add(toEnd ? point : at(parts[k][1]));
                penAtEnd = toEnd;
            }
            m_clip.PenAtLast = penAtEnd;
            if (!penAtEnd)
                m_batch.flush();
        }

        void width(const TpcDataElement& element)
        {
            if (element.LineWidth == m_width)
                return;
            m_batch.flush();
            m_width = element.LineWidth;
            m_pen.SetWidth(m_width);
        }

        TPen& m_pen;
        PolylineBatch m_batch;
        int m_width;
        TColor m_color;
        TPenStyle m_style = TPenStyle::psSolid;
        // Where a clipped line stands: the view's region, whether a segment between two points in
        // it stays in it, the last point, and whether the pen is there (the next line continues
        // the batch).
        struct ClipState {
            const TpcViewRegion* Region = nullptr;
            bool Convex = true;
            TPoint Last;
            bool PenAtLast = true;
        };
        struct NoClip { };
        [[no_unique_address]] std::conditional_t<Clipped, ClipState, NoClip> m_clip;
    };

    // The drawn points into a snap index: a move-to counts once a line is drawn from it.
    class SnapCollector {
    public:
        SnapCollector(TpcSnapIndex& index, const TpcRenderContext& context)
            : m_index(index)
            , m_region(
                  context.Transform.Region().Everything() ? nullptr : &context.Transform.Region())
        {
            m_index.Begin(context.Area.Width, context.Area.Height);
        }
        void gap() { m_index.Break(); }
        // Points outside the view's region are never snapped to: they are gaps, and the next
        // point inside, which a clipped line reaches, counts as drawn.
        void start(int32_t i, const TpcDataElement& element, TPoint point, bool resumed)
        {
            if (outside(point))
                return;
            m_afterOutside = false;
            if (resumed && element.Kind == TpcElemKind::ekDrawTo)
                m_index.Resume(point, i);
            else
                m_index.MoveTo(point, i);
        }
        void line(int32_t i, const TpcDataElement&, TPoint point)
        {
            if (outside(point))
                return;
            if (m_afterOutside) {
                m_afterOutside = false;
                m_index.Resume(point, i);
                return;
            }
            m_index.LineTo(point, i);
        }
        void finish() { m_index.Finish(); }

    private:
        bool outside(TPoint point)
        {
            if (!m_region || m_region->Contains(point.x, point.y))
                return false;
            m_index.Break();
            m_afterOutside = true;
            return true;
        }

        TpcSnapIndex& m_index;
        // The view's region unless it holds everything.
        const TpcViewRegion* m_region;
        bool m_afterOutside = false;
    };

    // Both at once, in the paint of a chart with a snapping crosshair.
    template <typename Painter> class PaintingCollector {
    public:
        PaintingCollector(Painter& painter, SnapCollector& collector)
            : m_painter(painter)
            , m_collector(collector)
        {
        }
        void gap()
        {
            m_painter.gap();
            m_collector.gap();
        }
        void start(int32_t i, const TpcDataElement& element, TPoint point, bool resumed)
        {
            m_painter.start(i, element, point, resumed);
            m_collector.start(i, element, point, resumed);
        }
        void line(int32_t i, const TpcDataElement& element, TPoint point)
        {
            m_painter.line(i, element, point);
            m_collector.line(i, element, point);
        }

    private:
        Painter& m_painter;
        SnapCollector& m_collector;
    };

} // namespace

namespace {
    template <bool Clipped>
    void paintData(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result)
    {
        DataPainter<Clipped> painter(context, canvas);
        if (context.SnapIndexToFill) {
            SnapCollector collector(*context.SnapIndexToFill, context);
            PaintingCollector both(painter, collector);
            walkData(context, both);
            collector.finish();
            result.SnapIndexFilled = true;
        } else {
            walkData(context, painter);
        }
        painter.finish();
    }
} // namespace

// An element without a place on the chart is left out, and the line resumes at the next drawable
// point as after a move-to.
void Data(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result)
{
    if (context.Transform.Region().Everything())
        paintData<false>(context, canvas, result);
    else
        paintData<true>(context, canvas, result);
}

void CollectSnapPoints(const TpcRenderContext& context, TpcSnapIndex& index)
{
    SnapCollector collector(index, context);
    walkData(context, collector);
    collector.finish();
}

} // namespace znq::layers
