// The raster layer: the cells' colours over the background, from the picture kept for the view,
// and the sweep line.
#include "layers/polchart_render_context.h"
#include "polchart_raster.h"

#include <algorithm>

namespace znq::layers {

namespace {
    // A vector canvas gets the layer as an image of this many pixels per logical pixel.
    constexpr double VectorImageScale = 2;

    void sweepLine(const TpcRenderContext& context, TCanvas& canvas)
    {
        const TpcTransformParams& p = context.Transform.Params();
        const double angle = context.Sweep->SweepAngle();
        const TPoint from = context.Transform.PolarToPixel(p.RangeLow, angle);
        const TPoint to = context.Transform.PolarToPixel(p.RangeHigh, angle);
        // Outside a partial sector's edges the line is not drawn.
        const TpcViewRegion& region = context.Transform.Region();
        if (!region.Contains((double(from.x) + to.x) / 2, (double(from.y) + to.y) / 2))
            return;
        const TCanvas::StateGuard keep(canvas);
        canvas.Pen().SetColor(context.Sweep->SweepLineColor());
        canvas.Pen().SetStyle(TPenStyle::psSolid);
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetMode(TPenMode::pmCopy);
        canvas.MoveTo(from.x, from.y);
        canvas.LineTo(to.x, to.y);
    }
} // namespace

void Raster(const TpcRenderContext& context, TCanvas& canvas, TpcRenderResult&)
{
    const TpcRaster* raster = context.Raster;
    if (raster && context.Sweep && context.RasterRender && raster->Visible()
        && raster->AzCount() > 0 && raster->RangeCount() > 0
        && raster->ColorMap() != TpcColorMap::cmNone) {
        const double now = context.Sweep->Now();
        const int32_t width = std::max(0, context.Area.Width - context.Area.ShadowWidth + 1);
        const int32_t height = std::max(0, context.Area.Height - context.Area.ShadowWidth + 1);
        if (!canvas.Image().isNull()) {
            // The chart image's device pixels, also where the canvas holds only a part of them.
            TpcRasterRender& render = *context.RasterRender;
            const double scale = canvas.Scale();
            const QImage& image = render.Update(context.Transform, *raster, *context.Sweep, scale,
                TBitmap::ScaledSize(width, scale), TBitmap::ScaledSize(height, scale), now);
            canvas.DrawTranslucent(image, scale, render.Left(), render.Top());
        } else {
            // SVG and PDF embed the layer as an image under the vector grid and data.
            TpcRasterRender render;
            const QImage& image = render.Update(context.Transform, *raster, *context.Sweep,
                VectorImageScale, TBitmap::ScaledSize(width, VectorImageScale),
                TBitmap::ScaledSize(height, VectorImageScale), now);
            canvas.DrawTranslucent(image, VectorImageScale, render.Left(), render.Top());
        }
    }
    if (context.Sweep && context.Sweep->ShowSweepLine())
        sweepLine(context, canvas);
}

} // namespace znq::layers
