// The text label layer: captions in their five looks, anchored at a polar position or a pixel.
#include "layers/polchart_render_context.h"

#include <algorithm>
#include <string>
#include <vector>

namespace znq::layers {

using geometry::Saturate;

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

    // The box behind the caption, its border, underline or shadow, by the label's look.
    void drawBox(const TpcTextLabel& label, TCanvas& canvas, const geometry::TpcLabelBox& box,
        int64_t y, int64_t width)
    {
        TPen& pen = canvas.Pen();
        switch (label.Mode()) {
        case TTxtLblMode::tlOff:
            return;
        case TTxtLblMode::tlsimple:
            if (!label.Transparent()) {
                pen.SetColor(label.ColorBkg());
                labelBrush(canvas, label.ColorBkg(), false);
                canvas.Rectangle(box.Left, box.Top, box.Right, box.Bottom);
            }
            break;
        case TTxtLblMode::tlBox:
            pen.SetColor(label.ColorBorder());
            labelBrush(canvas, label.ColorBkg(), label.Transparent());
            canvas.Rectangle(box.Left, box.Top, box.Right, box.Bottom);
            break;
        case TTxtLblMode::tlUnderline:
            if (!label.Transparent()) {
                pen.SetColor(label.ColorBkg());
                labelBrush(canvas, label.ColorBkg(), false);
                canvas.Rectangle(box.Left, box.Top, box.Right, box.Bottom);
            }
            pen.SetColor(label.ColorBorder());
            canvas.MoveTo(Saturate(box.TextLeft), Saturate(y));
            canvas.LineTo(Saturate(box.TextLeft + width), Saturate(y));
            break;
        case TTxtLblMode::tlShadow: {
            // Both boxes are filled even for a transparent label: the colour writes make the
            // brush solid.
            pen.SetColor(label.ColorShadow());
            canvas.Brush().SetColor(label.ColorShadow());
            const int64_t dx = label.ShadowDx(), dy = label.ShadowDy();
            canvas.Rectangle(Saturate(int64_t(box.Left) + dx), Saturate(int64_t(box.Top) + dy),
                Saturate(int64_t(box.Right) + dx), Saturate(int64_t(box.Bottom) + dy));
            pen.SetColor(label.ColorBorder());
            canvas.Brush().SetColor(label.ColorBkg());
            canvas.Rectangle(box.Left, box.Top, box.Right, box.Bottom);
            break;
        }
        }
    }

    void drawLabel(const TpcRenderContext& context, const TpcTextLabel& label, TCanvas& canvas)
    {
        const TPoint anchor = geometry::LabelAnchor(
            context.Transform, label.AttachToData(), label.PosRad(), label.PosPhi());
        // A label attached to data goes where its data goes: not outside the view's region.
        if (label.AttachToData()
            && (!context.Transform.HasPlace(label.PosRad(), label.PosPhi())
                || !context.Transform.InView(anchor.x, anchor.y)))
            return;

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
        const geometry::TpcLabelBox box
            = geometry::LabelBox(anchor, label.Alignment(), width, height, n);
        const int64_t x = box.TextLeft, y = anchor.y;
        drawBox(label, canvas, box, y, width);

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

void TextLabels(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult&)
{
    canvas.Pen().SetWidth(1);
    for (auto label = context.TextLabels.rbegin(); label != context.TextLabels.rend(); ++label)
        if ((*label)->Mode() != TTxtLblMode::tlOff)
            drawLabel(context, **label, canvas);
}

} // namespace znq::layers
