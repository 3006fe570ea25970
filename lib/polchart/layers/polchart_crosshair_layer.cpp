// The crosshair layer: drawn over the frame, never into the chart image, so that a crosshair
// change shows without rendering the chart again.
#include "layers/polchart_render_context.h"

#include <QString>

#include <algorithm>
#include <string>

namespace znq::layers {

using geometry::Saturate;

namespace {
    // A line that would lie within half a pen width of the chart area's edges is left out.
    void drawCrossHair(
        const TpcRenderContext& context, const TpcCrossHair& crossHair, TCanvas& canvas)
    {
        const TpcTransform& transform = context.Transform;
        const int64_t hw = crossHair.LineWid() / 2;
        const int64_t areaRight = int64_t(context.Area.Width) - context.Area.ShadowWidth;
        const int64_t areaBottom = int64_t(context.Area.Height) - context.Area.ShadowWidth;
        const int64_t cx = context.View.CenterX, cy = context.View.CenterY;
        if (crossHair.Mode() == TpcCrossHMode::chOrtho) {
            const TPoint p = transform.PolarToPixel(crossHair.PosRad(), crossHair.PosPhi());
            if (hw < p.y && p.y < areaBottom - hw) {
                canvas.MoveTo(Saturate(hw + 1), p.y);
                canvas.LineTo(Saturate(areaRight - hw), p.y);
            }
            if (hw < p.x && p.x < areaRight - hw) {
                canvas.MoveTo(p.x, Saturate(hw + 1));
                canvas.LineTo(p.x, Saturate(areaBottom - hw));
            }
        } else if (crossHair.Mode() == TpcCrossHMode::chPolar) {
            canvas.Brush().SetStyle(TBrushStyle::bsClear);
            const int64_t radius
                = int64_t(transform.PolarToPixel(crossHair.PosRad(), -context.View.AngleOffset).x)
                - cx;
            const TPoint end = transform.PolarToPixel(
                std::max(crossHair.PosRad(), context.View.RangeHigh), crossHair.PosPhi());
            if (hw < end.y && end.y < areaBottom - hw) {
                canvas.MoveTo(Saturate(cx), Saturate(cy));
                canvas.LineTo(end.x, end.y);
            }
            if (hw < end.x && end.x < areaRight - hw) {
                canvas.Ellipse(Saturate(cx - radius), Saturate(cy - radius),
                    Saturate(cx + radius + 1), Saturate(cy + radius + 1));
            }
        }
    }
    std::string fixed(double value, int decimals)
    {
        return QString::number(value, 'f', std::clamp(decimals, 0, 15)).toStdString();
    }

    // The measurement from crosshair 1 to crosshair 2 in a box beside crosshair 2's point: the
    // radial difference, the turn and the distance.
    void drawMeasurement(const TpcRenderContext& context, TCanvas& canvas)
    {
        const TpcCrossHair& a = *context.CrossHairs[0];
        const TpcCrossHair& b = *context.CrossHairs[1];
        if (a.Mode() == TpcCrossHMode::chOff || b.Mode() == TpcCrossHMode::chOff)
            return;
        const bool degrees = context.Transform.Params().AngleUnit != 1;
        const TpcMeasurement m
            = MeasurePolar(a.PosRad(), a.PosPhi(), b.PosRad(), b.PosPhi(), degrees);
        const int radDecimals = std::max(context.Style.DecPlaceRad, 0);
        const std::string text = "\u0394r " + fixed(m.DeltaRad, radDecimals) + "  \u0394\u03C6 "
            + fixed(m.DeltaPhi, degrees ? 1 : context.Style.DecPlacePhi) + (degrees ? "\u00B0" : "")
            + "  d " + fixed(m.Distance, radDecimals);
        canvas.Font().Assign(context.Font);
        canvas.Font().SetColor(clBlack);
        const int32_t width = canvas.TextWidth(text), height = canvas.TextHeight(text);
        // Below and right of the point, or on the other side where the chart area ends.
        const TPoint at = context.Transform.PolarToPixel(b.PosRad(), b.PosPhi());
        const int64_t boxWidth = int64_t(width) + 8, boxHeight = int64_t(height) + 4;
        const int64_t areaRight = int64_t(context.Area.Width) - context.Area.ShadowWidth;
        const int64_t areaBottom = int64_t(context.Area.Height) - context.Area.ShadowWidth;
        int64_t x = int64_t(at.x) + 8, y = int64_t(at.y) + 8;
        if (x + boxWidth > areaRight)
            x = int64_t(at.x) - 8 - boxWidth;
        if (y + boxHeight > areaBottom)
            y = int64_t(at.y) - 8 - boxHeight;
        const int32_t left = Saturate(x), top = Saturate(y);
        canvas.Pen().SetColor(clBlack);
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetStyle(TPenStyle::psSolid);
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        canvas.Brush().SetColor(clWhite);
        canvas.Rectangle(
            left, top, Saturate(int64_t(left) + width + 8), Saturate(int64_t(top) + height + 4));
        canvas.TextOut(Saturate(int64_t(left) + 4), Saturate(int64_t(top) + 2), text);
    }
} // namespace

// The crosshairs are drawn over the frame on the control's canvas. That canvas is the control's
// off-screen backing image, which reaches the screen only when the paint is complete, so no
// partial picture is ever seen; the chart image keeps the picture without crosshairs, and no
// further full-size copy is needed for them.
void CrossHairs(const TpcRenderContext& context, TCanvas& canvas)
{
    const TCanvas::StateGuard keep(canvas);
    for (const TpcCrossHair* crossHair : context.CrossHairs) {
        if (crossHair->Mode() == TpcCrossHMode::chOff)
            continue;
        canvas.Pen().SetColor(crossHair->Color());
        canvas.Pen().SetWidth(crossHair->LineWid());
        canvas.Pen().SetStyle(crossHair->LineType());
        drawCrossHair(context, *crossHair, canvas);
    }
    if (context.Style.ShowMeasurement && context.CrossHairs.size() >= 2)
        drawMeasurement(context, canvas);
}

} // namespace znq::layers
