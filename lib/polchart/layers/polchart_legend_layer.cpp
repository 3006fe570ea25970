// The legend layer: an entry per named class with elements (a sample of its line, marker and
// fill, and its name), and a colour bar for the first class that colours by value.
#include "layers/polchart_render_context.h"
#include "model/polchart_colormaps.h"

#include <QString>

#include <algorithm>
#include <array>

namespace znq {

namespace geometry {
    int TpcLegendLayout::EntryAt(int32_t x, int32_t y) const
    {
        for (const Entry& entry : Entries)
            if (x >= entry.Row.Left && x < entry.Row.Right && y >= entry.Row.Top
                && y < entry.Row.Bottom)
                return entry.Class;
        return -1;
    }
} // namespace geometry

namespace layers {

    namespace {
        constexpr int32_t padding = 4; // inside the frame
        constexpr int32_t margin = 8; // from the chart image's edges, in a corner
        constexpr int32_t sampleWidth = 28; // the line, marker and fill sample
        constexpr int32_t gap = 6; // between the sample and the name
        constexpr int32_t barWidth = 100, barHeight = 10; // at least as wide as the entries
        constexpr int32_t largestSampleMarker = 15;

        struct Row {
            const TpcClassStyle* Style;
            int32_t Height;
        };

        // A value at an end of the colour bar: up to four significant digits.
        std::string valueText(double value)
        {
            return QString::number(value, 'g', 4).toStdString();
        }

        TMarkShape sampleShape(TpcMarker marker)
        {
            constexpr TMarkShape shapes[] = { TMarkShape::Square, TMarkShape::Dot,
                TMarkShape::Circle, TMarkShape::Square, TMarkShape::Diamond, TMarkShape::Triangle,
                TMarkShape::Cross, TMarkShape::Plus, TMarkShape::Star };
            return shapes[size_t(marker)];
        }

        // The class's sample at the row's left: the fill swatch under the line under the marker,
        // all in gray while the class is hidden.
        void drawSample(const TpcRenderContext& context, const TpcClassStyle& style, bool wedged,
            const TRect& row, TCanvas& canvas)
        {
            const uint8_t c = uint8_t(style.ElemClass());
            const bool shown = context.ClassVisible[c];
            const int32_t first = context.Store.ClassFirst(c);
            const TpcDataElement element = first >= 0 ? context.Store[first] : TpcDataElement {};
            TColor color = element.Color;
            if (style.ColorMap() != TpcColorMap::cmNone)
                color = ColorMapColor(style.ColorMap(), (style.ValueLow() + style.ValueHigh()) / 2,
                    style.ValueLow(), style.ValueHigh(), element.Color);
            if (!shown)
                color = clGray;
            const int32_t left = row.Left, right = row.Left + sampleWidth;
            const int32_t middle = (row.Top + row.Bottom) / 2;
            if (style.Fill() != TpcFill::flNone || wedged) {
                canvas.Brush().SetColor(shown ? style.FillColor() : clSilver);
                const TPoint swatch[] = { { left, row.Top + 2 }, { right, row.Top + 2 },
                    { right, row.Bottom - 2 }, { left, row.Bottom - 2 } };
                canvas.FillPolygon(swatch, shown ? style.FillOpacity() : 0.5);
            }
            if (style.Lines() && first >= 0) {
                canvas.Pen().SetColor(color);
                canvas.Pen().SetStyle(element.PenStyle);
                canvas.Pen().SetWidth(std::min<int32_t>(element.LineWidth, 4));
                canvas.MoveTo(left + 2, middle);
                canvas.LineTo(right - 2, middle);
                canvas.Pen().SetWidth(1);
                canvas.Pen().SetStyle(TPenStyle::psSolid);
            }
            if (style.Marker() != TpcMarker::mkNone) {
                const TPoint at[] = { { (left + right) / 2, middle } };
                const TColor colors[] = { color };
                canvas.Marks(at, colors,
                    TMark { sampleShape(style.Marker()),
                        std::min(style.MarkerSize(), largestSampleMarker), style.MarkerFilled() });
            }
        }

        // The bar's colours from the low end on the left to the high end on the right.
        void drawBar(
            const TpcClassStyle& style, int32_t left, int32_t top, int32_t width, TCanvas& canvas)
        {
            for (int32_t x = 0; x < width; ++x) {
                const double t = double(x) / (width - 1);
                canvas.Brush().SetColor(ColorMapColor(style.ColorMap(),
                    style.ValueLow() + t * (style.ValueHigh() - style.ValueLow()), style.ValueLow(),
                    style.ValueHigh(), clBlack));
                canvas.FillRect(Rect(left + x, top, left + x + 1, top + barHeight));
            }
            canvas.Pen().SetColor(clGray);
            canvas.Brush().SetStyle(TBrushStyle::bsClear);
            canvas.Rectangle(left - 1, top - 1, left + width + 1, top + barHeight + 1);
        }
    } // namespace

    // The box is laid out from the texts' sizes: the colour bar's value texts are offered to the
    // scale-label hook first, so that units the application adds take their room.
    void Legend(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult& result)
    {
        const TpcLegend* legend = context.Legend;
        if (!legend || !legend->Visible())
            return;
        const TCanvas::StateGuard keep(canvas);
        canvas.Font().Assign(legend->Font());
        // The classes that fill wedges show a swatch of their fill, and count as classes with
        // elements.
        std::array<bool, 256> wedged {};
        if (context.Bars)
            for (const TpcWedge& wedge : context.Bars->Wedges())
                wedged[wedge.ElemClass] = wedged[wedge.ElemClass] || !wedge.Band;
        std::vector<Row> rows;
        const TpcClassStyle* mapped = nullptr;
        for (const TpcClassStyle* style : context.ClassStyles) {
            if (!style
                || (context.Store.ClassCount(uint8_t(style->ElemClass())) == 0
                    && !wedged[size_t(style->ElemClass())]))
                continue;
            if (!mapped && style->ColorMap() != TpcColorMap::cmNone
                && context.ClassVisible[size_t(style->ElemClass())])
                mapped = style;
            if (style->Name().empty())
                continue;
            const int32_t marker = style->Marker() == TpcMarker::mkNone
                ? 0
                : (std::min(style->MarkerSize(), largestSampleMarker) | 1) + 2;
            rows.push_back(
                Row { style, std::max({ canvas.TextHeight(style->Name()), marker, 12 }) });
        }
        if (rows.empty() && !mapped)
            return;

        int32_t width = 0, height = 0;
        for (const Row& row : rows) {
            width = std::max(width, sampleWidth + gap + canvas.TextWidth(row.Style->Name()));
            height += row.Height;
        }
        std::string low, high;
        int32_t valueHeight = 0;
        if (mapped) {
            // Offered at the box's corner: the box is not placed yet.
            low = valueText(mapped->ValueLow());
            high = valueText(mapped->ValueHigh());
            if (context.OfferScaleLabel) {
                context.OfferScaleLabel(canvas, TpcScaleKind::sckValue, low, 0, 0);
                context.OfferScaleLabel(canvas, TpcScaleKind::sckValue, high, 0, 0);
            }
            valueHeight = canvas.TextHeight("0");
            width = std::max(
                { width, barWidth, canvas.TextWidth(low) + gap + canvas.TextWidth(high) });
            height += (rows.empty() ? 0 : padding) + barHeight + 2 + valueHeight;
        }
        // A box no larger than the room its position keeps for it.
        const int32_t boxWidth
            = std::min<int64_t>(int64_t(width) + 2 * padding, TpcLegend::MaxPosition);
        const int32_t boxHeight
            = std::min<int64_t>(int64_t(height) + 2 * padding, TpcLegend::MaxPosition);
        const int32_t imageWidth = context.Area.Width - context.Area.ShadowWidth;
        const int32_t imageHeight = context.Area.Height - context.Area.ShadowWidth;
        int32_t left = 0, top = 0;
        if (legend->Placed()) {
            left = legend->Left();
            top = legend->Top();
        } else {
            const TpcLegendCorner corner = legend->Corner();
            const bool right
                = corner == TpcLegendCorner::lcTopRight || corner == TpcLegendCorner::lcBottomRight;
            const bool bottom = corner == TpcLegendCorner::lcBottomLeft
                || corner == TpcLegendCorner::lcBottomRight;
            left = right ? imageWidth - margin - boxWidth : margin;
            top = bottom ? imageHeight - margin - boxHeight : margin;
        }

        geometry::TpcLegendLayout layout;
        layout.Box = Rect(left, top, left + boxWidth, top + boxHeight);
        canvas.Pen().SetColor(legend->ColorBorder());
        canvas.Pen().SetStyle(TPenStyle::psSolid);
        canvas.Pen().SetWidth(1);
        canvas.Brush().SetColor(legend->ColorBkg());
        canvas.Brush().SetStyle(
            legend->Transparent() ? TBrushStyle::bsClear : TBrushStyle::bsSolid);
        canvas.Rectangle(left, top, left + boxWidth, top + boxHeight);

        int32_t y = top + padding;
        for (const Row& row : rows) {
            const TRect rect = Rect(left + padding, y, left + boxWidth - padding, y + row.Height);
            layout.Entries.push_back(
                geometry::TpcLegendLayout::Entry { row.Style->ElemClass(), rect });
            drawSample(context, *row.Style, wedged[size_t(row.Style->ElemClass())], rect, canvas);
            const bool shown = context.ClassVisible[size_t(row.Style->ElemClass())];
            canvas.Brush().SetStyle(TBrushStyle::bsClear);
            canvas.Font().SetColor(shown ? legend->Font().Color() : clGray);
            canvas.TextOut(rect.Left + sampleWidth + gap,
                y + (row.Height - canvas.TextHeight(row.Style->Name())) / 2, row.Style->Name());
            y += row.Height;
        }
        if (mapped) {
            if (!rows.empty())
                y += padding;
            const int32_t barLeft = left + padding;
            drawBar(*mapped, barLeft, y, width, canvas);
            y += barHeight + 2;
            canvas.Brush().SetStyle(TBrushStyle::bsClear);
            canvas.Font().SetColor(legend->Font().Color());
            if (!low.empty())
                canvas.TextOut(barLeft, y, low);
            if (!high.empty())
                canvas.TextOut(
                    std::max(barLeft, left + boxWidth - padding - canvas.TextWidth(high)), y, high);
        }
        result.Legend = std::move(layout);
    }

} // namespace layers

} // namespace znq
