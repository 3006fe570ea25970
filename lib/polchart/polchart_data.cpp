// Data rendering: the stored elements as batched polylines, the text labels in their five looks,
// and the crosshairs.
#include "polchart_painters.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace znq::painters {

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

    bool referenceDataPath = false;

} // namespace

void UseReferenceDataPath(bool on)
{
    referenceDataPath = on;
}

namespace {

    // The pixels of one chunk of stored elements.
    void chunkPixels(
        const TpcTransform& transform, const TpcDataElement* elements, int32_t count, TPoint* out)
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

    // Walks the stored elements as the paint draws them, by chunks: gap() at an element whose Rad
    // or Phi is not finite, start() where a line starts (a move-to, or the first drawable element
    // after a gap: resumed), line() at an element a line is drawn to. Hidden classes are skipped.
    template <typename Visitor> void walkData(const TCustomPolChart& chart, Visitor& visitor)
    {
        const TpcTransform transform = chart.Transform();
        const TpcDataStore& store = chart.Store();
        // Slices of a store chunk small enough that the elements are still in the first-level
        // cache when the second loop reads them again.
        constexpr int32_t sliceSize = 1024;
        static_assert(TpcDataStore::ChunkSize % sliceSize == 0);
        std::vector<TPoint> pixels(size_t(std::min(store.Count(), sliceSize)));
        // A copy the compiler may keep at hand: the visitor's writes cannot change it.
        std::array<bool, 256> visible;
        for (int c = 0; c < 256; ++c)
            visible[size_t(c)] = chart.ClassVisible(uint8_t(c));
        ClearUpperVectorState();
        bool broken = false;
        for (int32_t start = 0; start < store.Count(); start += sliceSize) {
            const int32_t count = std::min(sliceSize, store.Count() - start);
            const TpcDataElement* elements = store.ChunkData(start / TpcDataStore::ChunkSize)
                + start % TpcDataStore::ChunkSize;
            chunkPixels(transform, elements, count, pixels.data());
            for (int32_t i = 0; i < count; ++i) {
                const TpcDataElement& element = elements[i];
                if (!visible[element.ElemClass])
                    continue;
                if (!std::isfinite(element.Rad) || !std::isfinite(element.Phi)) {
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

    // The polylines with their pens.
    class DataPainter {
    public:
        DataPainter(const TCustomPolChart& chart, TCanvas& canvas)
            : m_pen(canvas.Pen())
            , m_batch(canvas, referenceDataPath)
            , m_width(chart.LineWidth())
            , m_color(chart.ChartColor())
        {
            m_pen.SetWidth(m_width);
            m_batch.moveTo(TPoint { 0, 0 });
            m_pen.SetColor(m_color);
            m_pen.SetStyle(m_style);
            canvas.Brush().SetColor(chart.ChartColor());
            canvas.Font().Assign(chart.Font());
            canvas.Font().SetColor(chart.ChartColor());
        }

        void gap() { m_batch.flush(); }
        void start(int32_t, const TpcDataElement& element, TPoint point, bool)
        {
            width(element);
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
            m_batch.add(point);
        }
        void finish()
        {
            m_batch.flush();
            m_pen.SetWidth(1);
        }

    private:
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
    };

    // The drawn points into a snap index: a move-to counts once a line is drawn from it.
    class SnapCollector {
    public:
        SnapCollector(TpcSnapIndex& index, int32_t width, int32_t height)
            : m_index(index)
        {
            m_index.Begin(width, height);
        }
        void gap() { m_index.Break(); }
        void start(int32_t i, const TpcDataElement& element, TPoint point, bool resumed)
        {
            if (resumed && element.Kind == TpcElemKind::ekDrawTo)
                m_index.Resume(point, i);
            else
                m_index.MoveTo(point, i);
        }
        void line(int32_t i, const TpcDataElement&, TPoint point) { m_index.LineTo(point, i); }
        void finish() { m_index.Finish(); }

    private:
        TpcSnapIndex& m_index;
    };

    // Both at once, in the paint of a chart with a snapping crosshair.
    class PaintingCollector {
    public:
        PaintingCollector(DataPainter& painter, SnapCollector& collector)
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
        DataPainter& m_painter;
        SnapCollector& m_collector;
    };

} // namespace

// An element whose Rad or Phi is not finite has no place on the chart: it is left out, and the
// line resumes at the next drawable point as after a move-to.
void DrawData(const TCustomPolChart& chart, TCanvas& canvas, TpcSnapIndex* snapIndex)
{
    DataPainter painter(chart, canvas);
    if (snapIndex) {
        SnapCollector collector(*snapIndex, chart.Width(), chart.Height());
        PaintingCollector both(painter, collector);
        walkData(chart, both);
        collector.finish();
    } else {
        walkData(chart, painter);
    }
    painter.finish();
}

void CollectSnapPoints(const TCustomPolChart& chart, TpcSnapIndex& index)
{
    SnapCollector collector(index, chart.Width(), chart.Height());
    walkData(chart, collector);
    collector.finish();
}

namespace {

    std::vector<std::string> splitLines(const std::string& caption)
    {
        std::vector<std::string> lines(1);
        for (char c : caption) {
            if (c == '\n')
                lines.emplace_back();
            else
                lines.back() += c;
        }
        return lines;
    }

    // The brush colour write makes the brush solid; a transparent label clears it again.
    void labelBrush(TCanvas& canvas, TColor color, bool transparent)
    {
        canvas.Brush().SetColor(color);
        if (transparent)
            canvas.Brush().SetStyle(TBrushStyle::bsClear);
    }

    void drawLabel(const TCustomPolChart& chart, const TpcTextLabel& label, TCanvas& canvas)
    {
        TPoint anchor;
        if (label.AttachToData())
            anchor = chart.PolarToPixel(label.PosRad(), label.PosPhi());
        else
            anchor = TPoint { RoundPixel(label.PosRad()), RoundPixel(label.PosPhi()) };

        canvas.Font().Assign(label.Font());
        canvas.Pen().SetStyle(TPenStyle::psSolid);
        canvas.Brush().SetStyle(label.Transparent() ? TBrushStyle::bsClear : TBrushStyle::bsSolid);

        const std::vector<std::string> lines = splitLines(label.Caption());
        const auto n = static_cast<int64_t>(lines.size());
        int64_t width = 0;
        for (const std::string& line : lines)
            width = std::max<int64_t>(width, canvas.TextWidth(line));
        if (width == 0)
            width = canvas.TextWidth(label.Caption());
        const int64_t height = canvas.TextHeight(label.Caption());

        int64_t x = anchor.x;
        const int64_t y = anchor.y;
        if (label.Alignment() == TAlignment::taRightJustify)
            x -= width;
        else if (label.Alignment() == TAlignment::taCenter)
            x -= width / 2;
        const int32_t boxLeft = Saturate(x - 4), boxTop = Saturate(y - n * height - 2);
        const int32_t boxRight = Saturate(x + width + 4), boxBottom = Saturate(y + 2);

        TPen& pen = canvas.Pen();
        switch (label.Mode()) {
        case TTxtLblMode::tlOff:
            return;
        case TTxtLblMode::tlsimple:
            if (!label.Transparent()) {
                pen.SetColor(label.ColorBkg());
                labelBrush(canvas, label.ColorBkg(), false);
                canvas.Rectangle(boxLeft, boxTop, boxRight, boxBottom);
            }
            break;
        case TTxtLblMode::tlBox:
            pen.SetColor(label.ColorBorder());
            labelBrush(canvas, label.ColorBkg(), label.Transparent());
            canvas.Rectangle(boxLeft, boxTop, boxRight, boxBottom);
            break;
        case TTxtLblMode::tlUnderline:
            if (!label.Transparent()) {
                pen.SetColor(label.ColorBkg());
                labelBrush(canvas, label.ColorBkg(), false);
                canvas.Rectangle(boxLeft, boxTop, boxRight, boxBottom);
            }
            pen.SetColor(label.ColorBorder());
            canvas.MoveTo(Saturate(x), Saturate(y));
            canvas.LineTo(Saturate(x + width), Saturate(y));
            break;
        case TTxtLblMode::tlShadow: {
            // Both boxes are filled even for a transparent label: the colour writes make the
            // brush solid.
            pen.SetColor(label.ColorShadow());
            canvas.Brush().SetColor(label.ColorShadow());
            const int64_t dx = label.ShadowDx(), dy = label.ShadowDy();
            canvas.Rectangle(Saturate(int64_t(boxLeft) + dx), Saturate(int64_t(boxTop) + dy),
                Saturate(int64_t(boxRight) + dx), Saturate(int64_t(boxBottom) + dy));
            pen.SetColor(label.ColorBorder());
            canvas.Brush().SetColor(label.ColorBkg());
            canvas.Rectangle(boxLeft, boxTop, boxRight, boxBottom);
            break;
        }
        }

        if (n == 1) {
            canvas.TextOut(Saturate(x), Saturate(y - height), label.Caption());
            return;
        }
        for (int64_t k = 0; k < n; ++k) {
            const std::string& line = lines[size_t(k)];
            const int64_t w = canvas.TextWidth(line);
            int64_t d = 0;
            if (label.Alignment() == TAlignment::taRightJustify)
                d = width - w;
            else if (label.Alignment() == TAlignment::taCenter)
                d = (width - w) / 2;
            canvas.TextOut(Saturate(x + d), Saturate(y - n * height + k * height), line);
        }
    }

} // namespace

void DrawTextLabels(const TCustomPolChart& chart, TCanvas& canvas)
{
    for (int i = TCustomPolChart::TextLabelCount; i >= 1; --i) {
        const TpcTextLabel& label = *chart.TextLabel(i);
        if (label.Mode() != TTxtLblMode::tlOff)
            drawLabel(chart, label, canvas);
    }
}

// A line that would lie within half a pen width of the chart area's edges is left out.
void DrawCrossHair(const TCustomPolChart& chart, const TpcCrossHair& crossHair, TCanvas& canvas,
    int32_t x0, int32_t y0)
{
    const int64_t hw = crossHair.LineWid() / 2;
    const int64_t areaRight = int64_t(chart.Width()) - chart.ShadowWidth();
    const int64_t areaBottom = int64_t(chart.Height()) - chart.ShadowWidth();
    const int64_t cx = chart.CenterX(), cy = chart.CenterY();
    if (crossHair.Mode() == TpcCrossHMode::chOrtho) {
        const TPoint p = chart.PolarToPixel(crossHair.PosRad(), crossHair.PosPhi());
        if (hw < p.y && p.y < areaBottom - hw) {
            canvas.MoveTo(Saturate(hw + 1 - x0), Saturate(int64_t(p.y) - y0));
            canvas.LineTo(Saturate(areaRight - hw - x0), Saturate(int64_t(p.y) - y0));
        }
        if (hw < p.x && p.x < areaRight - hw) {
            canvas.MoveTo(Saturate(int64_t(p.x) - x0), Saturate(hw + 1 - y0));
            canvas.LineTo(Saturate(int64_t(p.x) - x0), Saturate(areaBottom - hw - y0));
        }
    } else if (crossHair.Mode() == TpcCrossHMode::chPolar) {
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
        const int64_t radius
            = int64_t(chart.PolarToPixel(crossHair.PosRad(), -chart.AngleOffset()).x) - cx;
        const TPoint end = chart.PolarToPixel(
            std::max(crossHair.PosRad(), chart.RangeHigh()), crossHair.PosPhi());
        if (hw < end.y && end.y < areaBottom - hw) {
            canvas.MoveTo(Saturate(cx - x0), Saturate(cy - y0));
            canvas.LineTo(Saturate(int64_t(end.x) - x0), Saturate(int64_t(end.y) - y0));
        }
        if (hw < end.x && end.x < areaRight - hw) {
            canvas.Ellipse(Saturate(cx - x0 - radius), Saturate(cy - y0 - radius),
                Saturate(cx - x0 + radius + 1), Saturate(cy - y0 + radius + 1));
        }
    }
}

} // namespace znq::painters
