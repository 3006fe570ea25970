// The layers around the chart's content: the chart image's background and outline, the
// application's own drawing, the shadow band of the frame and the zoom box overlay.
#include "layers/polchart_render_context.h"

namespace znq::layers {

void Background(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult&)
{
    TPen& pen = canvas.Pen();
    pen.SetStyle(TPenStyle::psSolid);
    pen.SetMode(TPenMode::pmCopy);
    canvas.Brush().SetColor(context.Style.ChartColor);
    pen.SetColor(context.Style.ChartColor);
    canvas.Rectangle(0, 0, canvas.ImageWidth() - 1, canvas.ImageHeight() - 1);
}

void ApplicationDrawing(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult&)
{
    if (context.DataRendered)
        context.DataRendered(canvas);
}

void Outline(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult&)
{
    const TpcViewArea& area = context.Area;
    if (area.ShadowWidth <= 0)
        return;
    const int32_t right = area.Width - area.ShadowWidth, bottom = area.Height - area.ShadowWidth;
    TPen& pen = canvas.Pen();
    pen.SetColor(clBlack);
    pen.SetStyle(TPenStyle::psSolid);
    canvas.MoveTo(0, bottom);
    canvas.LineTo(0, 0);
    canvas.LineTo(right, 0);
    canvas.LineTo(right, bottom);
    canvas.LineTo(0, bottom);
}

// ssFlying starts the bands SW pixels from the ends, leaving background-coloured corners; ssBox
// runs them into the corners with black edges.
void Shadow(const TpcRenderContext& context, TCanvas& canvas)
{
    const TpcChartStyle& style = context.Style;
    const int32_t sw = style.ShadowWidth;
    if (sw <= 1)
        return;
    const TCanvas::StateGuard keep(canvas);
    const int32_t w = canvas.ImageWidth(), h = canvas.ImageHeight();
    canvas.Brush().SetColor(style.ShadowBakColor);
    canvas.Pen().SetColor(style.ShadowBakColor);
    const TPoint topRight[]
        = { { w - sw - 1, 0 }, { w - 1, 0 }, { w - 1, sw - 1 }, { w - sw - 1, sw - 1 } };
    const TPoint bottomLeft[]
        = { { 0, h - sw - 1 }, { 0, h - 1 }, { sw - 1, h - 1 }, { sw - 1, h - sw - 1 } };
    canvas.Polygon(topRight);
    canvas.Polygon(bottomLeft);

    canvas.Brush().SetColor(style.ShadowColor);
    int32_t d = sw;
    if (style.ShadowStyle == TShadowStyle::ssFlying) {
        canvas.Pen().SetColor(style.ShadowColor);
    } else {
        canvas.Pen().SetColor(clBlack);
        d = 0;
    }
    const TPoint bottom[]
        = { { d, h - sw - 1 }, { sw, h - 1 }, { w - 1, h - 1 }, { w - sw - 1, h - sw - 1 } };
    const TPoint right[]
        = { { w - sw - 1, h - sw - 1 }, { w - 1, h - 1 }, { w - 1, sw }, { w - sw - 1, d } };
    canvas.Polygon(bottom);
    canvas.Polygon(right);
}

// The canvas is left with the copying pen and a solid brush, the state every other drawing on the
// control's canvas sets up for itself anyway.
void ZoomBox(TCanvas& canvas, TPoint anchor, TPoint corner)
{
    TPen& pen = canvas.Pen();
    pen.SetMode(TPenMode::pmXor);
    pen.SetColor(clWhite);
    pen.SetStyle(TPenStyle::psSolid);
    pen.SetWidth(1);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Rectangle(anchor.x, anchor.y, corner.x, corner.y);
    pen.SetMode(TPenMode::pmCopy);
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
}

} // namespace znq::layers
