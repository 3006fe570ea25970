// The data layer: the stored elements as batched polylines, and the snap index collected from
// the same walk over the data.
#include "base_workers.h"
#include "layers/polchart_render_context.h"
#include "model/polchart_colormaps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <optional>
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

        // As count calls of add(point) right after one, when point is where the batch stands:
        // most of them only lengthen it.
        void addRepeats(TPoint point, int32_t count)
        {
            while (count > 0) {
                if (m_count < 2 || m_storeEvery) {
                    add(point);
                    --count;
                    continue;
                }
                const int32_t quiet = std::min(count, MaxBatchPoints - 1 - m_length);
                m_length += quiet;
                count -= quiet;
                if (count > 0) {
                    // The add that fills the batch, and starts the next one.
                    add(point);
                    --count;
                }
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
    // The pixels of every element, kept by the first of two walks over the same data (the fills,
    // then the lines) so that the second reads them instead of mapping the elements again.
    struct PixelCache {
        std::vector<TPoint> Pixels;
        bool Filled = false;
    };

    template <bool Logarithmic, typename Visitor>
    void walkData(const TpcRenderContext& context, Visitor& visitor, PixelCache* cache)
    {
        // Copies the compiler may keep at hand: the visitor's writes cannot change them.
        const TpcTransform transform = context.Transform;
        const bool referencePath = context.ReferenceDataPath;
        const TpcDataStore& store = context.Store;
        // Slices of a store chunk small enough that the elements are still in the first-level
        // cache when the second loop reads them again.
        constexpr int32_t sliceSize = 1024;
        static_assert(TpcDataStore::ChunkSize % sliceSize == 0);
        std::vector<TPoint> pixels(cache ? 0 : size_t(std::min(store.Count(), sliceSize)));
        const std::array<bool, 256> visible = context.ClassVisible;
        ClearUpperVectorState();
        bool broken = false;
        for (int32_t start = 0; start < store.Count(); start += sliceSize) {
            const int32_t count = std::min(sliceSize, store.Count() - start);
            const TpcDataElement* elements = store.ChunkData(start / TpcDataStore::ChunkSize)
                + start % TpcDataStore::ChunkSize;
            TPoint* out = pixels.data();
            if (cache) {
                out = cache->Pixels.data() + start;
                if (!cache->Filled)
                    chunkPixels(transform, referencePath, elements, count, out);
            } else {
                chunkPixels(transform, referencePath, elements, count, out);
            }
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
                    visitor.start(start + i, element, out[i], broken);
                    broken = false;
                    continue;
                }
                visitor.line(start + i, element, out[i]);
            }
        }
    }

    // The logarithmic walk is a function of its own: inlined beside the linear one, it would take
    // registers and room from the linear walk's loop.
    template <typename Visitor>
    [[gnu::noinline]] void walkLogarithmic(
        const TpcRenderContext& context, Visitor& visitor, PixelCache* cache)
    {
        walkData<true>(context, visitor, cache);
    }

    template <typename Visitor>
    void walkData(const TpcRenderContext& context, Visitor& visitor, PixelCache* cache = nullptr)
    {
        if (context.Transform.Params().Logarithmic)
            walkLogarithmic(context, visitor, cache);
        else
            walkData<false>(context, visitor, cache);
        if (cache)
            cache->Filled = true;
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
        // Count more elements after a line's end, on its pixel and with its pen.
        void repeat(TPoint point, int32_t count)
        {
            if constexpr (Clipped) {
                if (!m_clip.PenAtLast)
                    return;
            }
            m_batch.addRepeats(point, count);
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
            , m_marked(MarkedClasses(context.ClassStyles))
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
            // A marker draws the point whether a line starts from it or not.
            if ((resumed && element.Kind == TpcElemKind::ekDrawTo) || m_marked[element.ElemClass])
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
        // The classes that draw a marker on each element.
        std::array<bool, 256> m_marked;
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

    // How one class is drawn in a paint where some shown class has a style.
    struct ClassLook {
        bool Lines = true;
        bool Marked = false;
        TMark Mark;
        TpcFill Fill = TpcFill::flNone;
        TColor FillColor = clBlue;
        double FillOpacity = 0;
        TpcColorMap Map = TpcColorMap::cmNone;
        double Low = 0, High = 1;
    };

    struct SeriesLooks {
        std::array<ClassLook, 256> Looks;
        bool AnyLines = false, AnyMarker = false, AnyFill = false;
    };

    TMarkShape markShape(TpcMarker marker)
    {
        switch (marker) {
        case TpcMarker::mkDot:
            return TMarkShape::Dot;
        case TpcMarker::mkCircle:
            return TMarkShape::Circle;
        case TpcMarker::mkDiamond:
            return TMarkShape::Diamond;
        case TpcMarker::mkTriangle:
            return TMarkShape::Triangle;
        case TpcMarker::mkCross:
            return TMarkShape::Cross;
        case TpcMarker::mkPlus:
            return TMarkShape::Plus;
        case TpcMarker::mkStar:
            return TMarkShape::Star;
        case TpcMarker::mkNone:
        case TpcMarker::mkSquare:
            break;
        }
        return TMarkShape::Square;
    }

    // The looks of the classes, or none when every shown class draws plain lines.
    std::optional<SeriesLooks> seriesLooks(const TpcRenderContext& context)
    {
        bool styled = false;
        for (const TpcClassStyle* style : context.ClassStyles)
            styled = styled
                || (style && context.ClassVisible[size_t(style->ElemClass())] && style->Styled());
        if (!styled)
            return std::nullopt;
        SeriesLooks looks;
        for (size_t c = 0; c < 256; ++c) {
            const TpcClassStyle* style
                = c < context.ClassStyles.size() ? context.ClassStyles[c] : nullptr;
            // A class is drawn when it is shown and has elements.
            const bool shown = context.ClassVisible[c] && context.Store.ClassCount(uint8_t(c)) > 0;
            if (!style) {
                looks.AnyLines = looks.AnyLines || shown;
                continue;
            }
            ClassLook& look = looks.Looks[c];
            look.Lines = style->Lines();
            look.Marked = style->Marker() != TpcMarker::mkNone;
            look.Mark
                = TMark { markShape(style->Marker()), style->MarkerSize(), style->MarkerFilled() };
            look.Fill = style->Fill();
            look.FillColor = style->FillColor();
            look.FillOpacity = style->FillOpacity();
            look.Map = style->ColorMap();
            look.Low = style->ValueLow();
            look.High = style->ValueHigh();
            looks.AnyLines = looks.AnyLines || (shown && look.Lines);
            looks.AnyMarker = looks.AnyMarker || (shown && look.Marked);
            looks.AnyFill = looks.AnyFill || (shown && look.Fill != TpcFill::flNone);
        }
        return looks;
    }

    // The colour an element is drawn in: from its class's map at its value, else its own.
    TColor elementColor(const ClassLook& look, const TpcDataStore& store, int32_t index,
        const TpcDataElement& element)
    {
        if (look.Map == TpcColorMap::cmNone)
            return element.Color;
        return ColorMapColor(look.Map, store.Value(index), look.Low, look.High, element.Color);
    }

    // The lines of the styled classes: a class without lines moves the pen instead, and a class
    // with a colour map draws each line in the colour of its end element.
    template <typename Next> class StyledLines {
    public:
        StyledLines(Next& next, const SeriesLooks& looks, const TpcDataStore& store)
            : m_next(next)
            , m_looks(looks)
            , m_store(store)
        {
        }
        void gap() { m_next.gap(); }
        void start(int32_t i, const TpcDataElement& element, TPoint point, bool resumed)
        {
            m_next.start(i, element, point, resumed);
        }
        void line(int32_t i, const TpcDataElement& element, TPoint point)
        {
            const ClassLook& look = m_looks.Looks[element.ElemClass];
            if (!look.Lines) {
                m_next.start(i, element, point, false);
                return;
            }
            if (look.Map == TpcColorMap::cmNone) {
                m_next.line(i, element, point);
                return;
            }
            TpcDataElement colored = element;
            colored.Color = elementColor(look, m_store, i, element);
            m_next.line(i, colored, point);
        }

    private:
        Next& m_next;
        const SeriesLooks& m_looks;
        const TpcDataStore& m_store;
    };

    // The filled areas: each run of line-tos from the point it starts at, closed (flClosed) or
    // joined to the centre (flToCenter), blended in the class's fill colour. Runs end at a gap, a
    // move-to or a line of another class; points on the pixel of the one before add nothing.
    class FillPainter {
    public:
        FillPainter(const TpcRenderContext& context, const SeriesLooks& looks, TCanvas& canvas)
            : m_looks(looks)
            , m_canvas(canvas)
            , m_centre { context.View.CenterX, context.View.CenterY }
            , m_clip(
                  context.Transform.Region().Everything() ? nullptr : &context.Transform.Region())
            , m_reach(std::abs(double(context.View.CenterX))
                  + std::abs(double(context.View.CenterY)) + context.Area.Width
                  + context.Area.Height)
        {
        }
        void gap()
        {
            flush();
            m_hasLast = false;
        }
        void start(int32_t, const TpcDataElement& element, TPoint point, bool)
        {
            flush();
            begin(element.ElemClass, point);
        }
        void line(int32_t, const TpcDataElement& element, TPoint point)
        {
            if (element.ElemClass != m_class) {
                flush();
                if (m_hasLast)
                    begin(element.ElemClass, m_last);
            }
            if (m_filling && point != m_points.back())
                m_points.push_back(point);
            m_last = point;
            m_hasLast = true;
        }
        void finish() { flush(); }

    private:
        void begin(int elemClass, TPoint point)
        {
            m_class = elemClass;
            const ClassLook& look = m_looks.Looks[size_t(elemClass)];
            m_filling = look.Fill != TpcFill::flNone;
            m_points.clear();
            if (m_filling && look.Fill == TpcFill::flToCenter)
                m_points.push_back(m_centre);
            if (m_filling && (m_points.empty() || point != m_points.back()))
                m_points.push_back(point);
            m_last = point;
            m_hasLast = true;
        }
        void flush()
        {
            if (!m_filling)
                return;
            // Three points of the run at least; the centre does not count.
            const size_t least = m_looks.Looks[size_t(m_class)].Fill == TpcFill::flToCenter ? 4 : 3;
            if (m_points.size() >= least) {
                const ClassLook& look = m_looks.Looks[size_t(m_class)];
                m_canvas.Brush().SetColor(look.FillColor);
                if (m_clip)
                    m_canvas.FillPolygon(m_points, look.FillOpacity, regionOutline());
                else
                    m_canvas.FillPolygon(m_points, look.FillOpacity);
            }
            m_filling = false;
            m_points.clear();
        }
        // The view's region as a polygon, made once.
        std::span<const TPoint> regionOutline()
        {
            if (m_outline.empty())
                m_outline = m_clip->Outline(m_reach);
            return m_outline;
        }

        const SeriesLooks& m_looks;
        TCanvas& m_canvas;
        TPoint m_centre;
        const TpcViewRegion* m_clip;
        double m_reach;
        std::vector<TPoint> m_outline;
        std::vector<TPoint> m_points;
        // No class yet: data that starts with a line-to starts its run where the pen starts, at
        // the top-left corner.
        int m_class = -1;
        bool m_filling = false;
        TPoint m_last;
        bool m_hasLast = true;
    };

    // The markers, over all lines: each drawn element of a marked class, in view, in its colour.
    // Markers are handed to the canvas in batches of one look.
    class MarkerPainter {
    public:
        MarkerPainter(const TpcRenderContext& context, const SeriesLooks& looks, TCanvas& canvas)
            : m_looks(looks)
            , m_store(context.Store)
            , m_canvas(canvas)
            , m_region(
                  context.Transform.Region().Everything() ? nullptr : &context.Transform.Region())
        {
            m_points.reserve(batch);
            m_colors.reserve(batch);
        }
        void gap() { }
        void start(int32_t i, const TpcDataElement& element, TPoint point, bool)
        {
            add(i, element, point);
        }
        void line(int32_t i, const TpcDataElement& element, TPoint point)
        {
            add(i, element, point);
        }
        void finish() { flush(); }

    private:
        static constexpr size_t batch = 1024;
        void add(int32_t i, const TpcDataElement& element, TPoint point)
        {
            const ClassLook& look = m_looks.Looks[element.ElemClass];
            if (!look.Marked || (m_region && !m_region->Contains(point.x, point.y)))
                return;
            const TColor color = elementColor(look, m_store, i, element);
            const bool same = sameMark(look.Mark);
            // A marker on the pixel of the one before, alike, covers the same pixels again.
            if (same && m_hasLast && point == m_lastPoint && color == m_lastColor)
                return;
            if (m_points.size() == batch || !same)
                flush();
            m_mark = look.Mark;
            m_points.push_back(point);
            m_colors.push_back(color);
            m_hasLast = true;
            m_lastPoint = point;
            m_lastColor = color;
        }
        bool sameMark(const TMark& mark) const
        {
            return mark.Shape == m_mark.Shape && mark.Size == m_mark.Size
                && mark.Filled == m_mark.Filled;
        }
        void flush()
        {
            if (m_points.empty())
                return;
            m_canvas.Marks(m_points, m_colors, m_mark);
            m_points.clear();
            m_colors.clear();
        }

        const SeriesLooks& m_looks;
        const TpcDataStore& m_store;
        TCanvas& m_canvas;
        const TpcViewRegion* m_region;
        TMark m_mark;
        std::vector<TPoint> m_points;
        std::vector<TColor> m_colors;
        bool m_hasLast = false;
        TPoint m_lastPoint;
        TColor m_lastColor = 0;
    };

    // A paint with styled classes: the fills under everything, then the lines, then the markers;
    // the snap index is filled on the first walk that draws elements.
    template <bool Clipped>
    void paintSeries(const TpcRenderContext& context, const SeriesLooks& looks, TCanvas& canvas,
        TpcRenderResult& result)
    {
        // The line walk reads the pixels of the fill walk, up to a few million elements (8 bytes
        // each); beyond, it maps the elements again rather than hold so much.
        constexpr int32_t mostCached = 1 << 22;
        std::optional<PixelCache> cache;
        if (looks.AnyFill && (looks.AnyLines || looks.AnyMarker)
            && context.Store.Count() <= mostCached) {
            cache.emplace();
            cache->Pixels.resize(size_t(context.Store.Count()));
        }
        PixelCache* pixels = cache ? &*cache : nullptr;
        if (looks.AnyFill) {
            const TCanvas::StateGuard keep(canvas);
            FillPainter fills(context, looks, canvas);
            walkData(context, fills, pixels);
            fills.finish();
        }
        std::optional<SnapCollector> collector;
        if (context.SnapIndexToFill)
            collector.emplace(*context.SnapIndexToFill, context);
        if (looks.AnyLines) {
            DataPainter<Clipped> painter(context, canvas);
            StyledLines styled(painter, looks, context.Store);
            if (collector) {
                PaintingCollector both(styled, *collector);
                walkData(context, both, pixels);
            } else {
                walkData(context, styled, pixels);
            }
            painter.finish();
        }
        if (looks.AnyMarker) {
            MarkerPainter markers(context, looks, canvas);
            if (collector && !looks.AnyLines) {
                PaintingCollector both(markers, *collector);
                walkData(context, both, pixels);
            } else {
                walkData(context, markers, pixels);
            }
            markers.finish();
        } else if (collector && !looks.AnyLines) {
            walkData(context, *collector, pixels);
        }
        if (collector) {
            collector->finish();
            result.SnapIndexFilled = true;
        }
    }

} // namespace

namespace {

    // The plain lines' walk in two passes. The first maps a slice of elements to pixels and keeps
    // only what the painter needs of them: the gaps, the move-tos, and the line-tos, where each
    // line-to takes along the line-tos after it that land on its pixel with its pen (they only
    // lengthen the polyline). Slices are independent, so the first pass runs on several threads
    // at once; the second feeds the painter in order on the painting thread, exactly as the
    // one-pass walk would.
    struct DrawStep {
        enum Op : uint8_t { Gap, Move, Draw };
        TPoint Point;
        int32_t Index = 0;
        // Line-tos after this one on its pixel and with its pen.
        int32_t Repeats = 0;
        Op Kind = Gap;
    };

    // A slice's steps.
    struct SliceSteps {
        std::vector<DrawStep> Steps;
    };

    // A line-to is taken along by the step before only when that step is drawn as a line by the
    // painter: a line-to after a move-to or a line, in the same slice. The first line-to of a
    // slice, and one after a gap (drawn as a resumed start), are steps of their own.
    template <bool Logarithmic>
    void sliceSteps(const TpcTransform& transform, const std::array<bool, 256>& visible,
        const TpcDataElement* elements, int32_t first, int32_t count, SliceSteps& out)
    {
        ClearUpperVectorState();
        // Each thread maps into buffers of its own: the pixels, and which elements continue the
        // one before on its pixel with its pen.
        static thread_local std::vector<TPoint> mapped;
        static thread_local std::vector<uint8_t> continuing;
        mapped.resize(size_t(count));
        continuing.resize(size_t(count));
        out.Steps.clear();
        const TPoint* pixels = mapped.data();
        const uint8_t* continues = continuing.data();
        // Whether the last step is a line-to drawn as a line, and whether a line-to now would be
        // one (after a move-to or a line-to; not after a gap or at the slice's start).
        bool lined = false, lineNext = false;
        TPoint linePoint;
        uint64_t linePen = 0;
        // Whether the element before is the last step or taken along by it, that step being
        // drawn as a line: then an element that continues it is taken along too.
        bool extending = false;
        // The line-tos taken along by the last step, kept here rather than in the step: an
        // increment in memory for each element would chain every iteration to the one before.
        int32_t repeats = 0;
        auto push = [&](const DrawStep& step) {
            if (!out.Steps.empty())
                out.Steps.back().Repeats = repeats;
            repeats = 0;
            out.Steps.push_back(step);
        };
        // An element that does not simply continue the one before.
        auto fold = [&](int32_t i) {
            const TpcDataElement& element = elements[i];
            extending = false;
            if (!visible[element.ElemClass])
                return;
            if (!std::isfinite(element.Rad) || !std::isfinite(element.Phi)
                || (Logarithmic && !(element.Rad > 0))) {
                push(DrawStep { {}, first + i, 0, DrawStep::Gap });
                lined = lineNext = false;
                return;
            }
            if (element.Kind == TpcElemKind::ekMoveTo) {
                push(DrawStep { pixels[i], first + i, 0, DrawStep::Move });
                lined = false;
                lineNext = true;
                return;
            }
            // The line before, its pen (with the class and the kind) and its pixel: taken along,
            // also after elements of hidden classes.
            const uint64_t pen = PenBits(element);
            if (lined && pixels[i] == linePoint && pen == linePen) {
                ++repeats;
                extending = true;
                return;
            }
            push(DrawStep { pixels[i], first + i, 0, DrawStep::Draw });
            lined = lineNext;
            lineNext = true;
            linePoint = pixels[i];
            linePen = pen;
            extending = lined;
        };
        // The elements are mapped a block at a time, each block just before its fold, which then
        // finds them still in the nearest cache.
        constexpr int32_t block = 512;
        for (int32_t start = 0; start < count; start += block) {
            const int32_t end = std::min(count, start + block);
            transform.DataPixels(
                elements + start, end - start, mapped.data() + start, continuing.data() + start);
            int32_t i = start;
            while (i < end) {
                if (extending) {
                    // Most elements of a dense line: eight at a time while all of them continue.
                    uint64_t eight;
                    while (end - i >= 8
                        && (std::memcpy(&eight, continues + i, 8), eight == ~uint64_t {})) {
                        repeats += 8;
                        i += 8;
                    }
                    while (i < end && continues[i] != 0) {
                        ++repeats;
                        ++i;
                    }
                    if (i == end)
                        break;
                }
                fold(i);
                ++i;
            }
        }
        if (!out.Steps.empty())
            out.Steps.back().Repeats = repeats;
    }

    // Elements per slice of the first pass, and slices per round of it.
    constexpr int32_t stepSliceSize = 4096;
    static_assert(TpcDataStore::ChunkSize % stepSliceSize == 0);
    constexpr int32_t stepRoundSlices = 256;
    // Below this many elements the first pass stays on the painting thread.
    constexpr int32_t threadedFrom = 16384;

    template <bool Clipped>
    void walkSteps(const TpcRenderContext& context, DataPainter<Clipped>& painter)
    {
        const TpcTransform transform = context.Transform;
        const TpcDataStore& store = context.Store;
        const std::array<bool, 256> visible = context.ClassVisible;
        const bool logarithmic = transform.Params().Logarithmic;
        const int32_t total = store.Count();
        const int threads = total < threadedFrom ? 1 : context.DataThreads;
        // The steps of a round's slices: a few per slice for dense lines, at most one per
        // element.
        std::vector<SliceSteps> slices(
            size_t(std::min<int64_t>(stepRoundSlices, total / stepSliceSize + 1)));
        bool broken = false;
        for (int32_t round = 0; round < total; round += stepSliceSize * stepRoundSlices) {
            const int32_t parts = int32_t(std::min<int64_t>(
                stepRoundSlices, (int64_t(total) - round + stepSliceSize - 1) / stepSliceSize));
            // Each slice is drawn as soon as it and the slices before it are mapped, while the
            // other threads map the slices after it.
            helpers::RunPartsInOrder(
                parts,
                [&](int part) {
                    const int32_t first = round + part * stepSliceSize;
                    const int32_t count = std::min(stepSliceSize, total - first);
                    const TpcDataElement* elements
                        = store.ChunkData(first / TpcDataStore::ChunkSize)
                        + first % TpcDataStore::ChunkSize;
                    if (logarithmic)
                        sliceSteps<true>(
                            transform, visible, elements, first, count, slices[size_t(part)]);
                    else
                        sliceSteps<false>(
                            transform, visible, elements, first, count, slices[size_t(part)]);
                },
                [&](int part) {
                    ClearUpperVectorState();
                    for (const DrawStep& step : slices[size_t(part)].Steps) {
                        const TpcDataElement& element = store[step.Index];
                        if (step.Kind == DrawStep::Gap) {
                            painter.gap();
                            broken = true;
                            continue;
                        }
                        if (step.Kind == DrawStep::Move || broken) {
                            painter.start(step.Index, element, step.Point, broken);
                            broken = false;
                        } else {
                            painter.line(step.Index, element, step.Point);
                        }
                        if (step.Repeats > 0)
                            painter.repeat(step.Point, step.Repeats);
                    }
                },
                threads);
        }
    }

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
        } else if (context.ReferenceDataPath) {
            walkData(context, painter);
        } else {
            walkSteps(context, painter);
        }
        painter.finish();
    }
} // namespace

// An element without a place on the chart is left out, and the line resumes at the next drawable
// point as after a move-to.
void Data(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result)
{
    const bool everything = context.Transform.Region().Everything();
    if (const std::optional<SeriesLooks> looks = seriesLooks(context)) {
        if (everything)
            paintSeries<false>(context, *looks, canvas, result);
        else
            paintSeries<true>(context, *looks, canvas, result);
        return;
    }
    if (everything)
        paintData<false>(context, canvas, result);
    else
        paintData<true>(context, canvas, result);
}

std::array<bool, 256> MarkedClasses(std::span<TpcClassStyle* const> styles)
{
    std::array<bool, 256> marked {};
    for (const TpcClassStyle* style : styles)
        if (style)
            marked[size_t(style->ElemClass())] = style->Marker() != TpcMarker::mkNone;
    return marked;
}

void CollectSnapPoints(const TpcRenderContext& context, TpcSnapIndex& index)
{
    SnapCollector collector(index, context);
    walkData(context, collector);
    collector.finish();
}

} // namespace znq::layers
